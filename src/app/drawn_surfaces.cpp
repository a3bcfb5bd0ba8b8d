#include "app/drawn_surfaces.h"

#include "settings_ui/edit_space_view.h"

namespace velmora {

DrawnSwitchTag::DrawnSwitchTag(const SurfaceContext& context)
    : hud_(HUDServices{context.platform, context.settings, context.engine, context.presentation}) {}

void DrawnSwitchTag::show(const Desktop& desktop, const std::string& displayUUID) {
  hud_.show(desktop, displayUUID);
}

void DrawnSwitchTag::toast(const std::string& text, const std::string& symbol, double seconds) {
  hud_.toast(text, symbol, seconds);
}

void DrawnSwitchTag::preview() {
  hud_.preview();
}

DrawnMenuBarTile::DrawnMenuBarTile(const SurfaceContext& context,
                                   std::function<bool()> notchIsShowing)
    : controller_(StatusBarServices{
          context.platform, context.center, context.engine, context.settings, context.presentation,
          context.keyNames, context.logs.switches(), context.commands, std::move(notchIsShowing)}) {
}

std::optional<platform::PopoverAnchor> DrawnMenuBarTile::popoverAnchor() {
  if (!controller_.isInBar()) return std::nullopt;
  std::optional<ScreenRect> frame = controller_.item().windowFrame();
  if (!frame) return std::nullopt;
  return platform::PopoverAnchor{*frame, &controller_.item()};
}

DrawnQuickSwitcher::DrawnQuickSwitcher(const SurfaceContext& context)
    : switcher_(SwitcherServices{context.platform, context.center, context.engine,
                                 context.presentation, context.keyNames}) {}

DrawnSpaceHover::DrawnSpaceHover(const SurfaceContext& context)
    : strip_(HoverStripServices{context.platform, context.engine, context.settings,
                                context.presentation, [this] { return missionControlIsOpen(); }}) {}

DrawnMissionControlLabels::DrawnMissionControlLabels(const SurfaceContext& context,
                                                     std::function<double()> stopwatch)
    : overlay_(OverlayServices{context.platform, context.engine, context.settings,
                               context.presentation, context.logs.missionControl(),
                               std::move(stopwatch)}) {
  overlay_.setOnClosedWithoutAccess([this] { closedWithoutAccess(); });
  overlay_.setOnOpenChange([this](bool open) { missionControlChanged(open); });
}

DrawnNotchName::DrawnNotchName(const SurfaceContext& context)
    : label_(NotchServices{context.platform, context.center, context.engine, context.settings,
                           context.presentation, context.logs.switches(), [this] {
                             return tilePresence_ ? tilePresence_() : TilePresence::inBar;
                           }}) {
  label_.setOnClick([this](ScreenRect frame, bool right) {
    if (onClick_) onClick_(frame, right);
  });
}

void DrawnNotchName::applySettings() {
  if (label_.started()) {
    label_.refresh();
  } else {
    label_.start();
  }
}

namespace {

// The settings window's desktop editor, embedded: its back control returns to the list.
class EmbeddedEditor final : public PopoverEditor {
 public:
  EmbeddedEditor(EditorServices services, const Desktop& desktop, std::function<void()> onChanged,
                 std::function<void()> onDone)
      : view_(services, desktop, /*embedded=*/true, std::move(onDone)),
        changed_(view_.changed().connect(std::move(onChanged))) {}
  Size preferredSize() const override { return view_.preferredSize(); }
  void draw(platform::Canvas& canvas, Size size) const override {
    width_ = size.width;
    view_.draw(canvas, size);
  }
  void click(platform::CanvasPoint p) override {
    view_.click(p, width_ > 0 ? width_ : preferredSize().width);
  }
  platform::CanvasRect backFrame() const override {
    return view_.layout(width_ > 0 ? width_ : preferredSize().width).back;
  }
  std::string describe() const override {
    return "editor: " + view_.header() + " · name \"" + view_.name() + "\" · [Back] [Done]";
  }

 private:
  EditSpaceView view_;
  Connection changed_;
  mutable double width_ = 0;
};

}  // namespace

DrawnMenuPopover::DrawnMenuPopover(const SurfaceContext& context)
    : popover_(PopoverServices{context.platform, context.engine, context.settings,
                               context.presentation, context.keyNames, context.commands},
               [context](const Desktop& desktop, std::function<void()> onChanged,
                         std::function<void()> onDone) -> std::unique_ptr<PopoverEditor> {
                 EditorServices services{context.engine,
                                         context.store,
                                         context.presentation,
                                         context.keyNames,
                                         context.hotkeyCenter,
                                         context.platform.localEvents,
                                         context.platform.openPanel,
                                         context.platform.application};
                 return std::make_unique<EmbeddedEditor>(services, desktop, std::move(onChanged),
                                                         std::move(onDone));
               }) {}

void DrawnMenuPopover::toggle(Anchor anchor) {
  if (popover_.isShown()) {
    popover_.toggle({});
  } else if (std::optional<platform::PopoverAnchor> at = anchorFor(anchor)) {
    popover_.show(*at);
  }
}

void DrawnMenuPopover::show(Anchor anchor, std::optional<Desktop> edit) {
  if (std::optional<platform::PopoverAnchor> at = anchorFor(anchor)) {
    popover_.show(*at, std::move(edit));
  }
}

void DrawnMenuPopover::refresh() {
  popover_.refresh();
}

}  // namespace velmora
