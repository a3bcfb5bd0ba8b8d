#include "app/drawn_surfaces.h"

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

}  // namespace velmora
