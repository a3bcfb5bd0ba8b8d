#include "app/recorded_surfaces.h"

#include <cstdio>

#include "app/drawn_surfaces.h"
#include "mission_control/accessibility.h"
#include "settings_ui/first_run_window.h"
#include "settings_ui/settings_model.h"
#include "settings_ui/settings_window.h"

namespace velmora {

namespace {

std::string seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", s);
  return text;
}

// Records each request, then hands it to the drawn tag when there is one.
class HUD final : public SwitchTag {
 public:
  HUD(SurfaceRecord& record, const RecordedSurfaceKit& kit, std::unique_ptr<SwitchTag> drawn)
      : record_(record), kit_(kit), drawn_(std::move(drawn)) {}
  void show(const Desktop& desktop, const std::string& displayUUID) override {
    record_.note("switch tag: " + kit_.title(desktop) + " on display " + displayUUID);
    drawn_->show(desktop, displayUUID);
  }
  void toast(const std::string& text, const std::string& symbol, double s) override {
    record_.toast("toast: " + text + " (" + symbol + ", " + seconds(s) + ")");
    drawn_->toast(text, symbol, s);
  }
  void preview() override {
    record_.note("switch tag: preview");
    drawn_->preview();
  }

 private:
  SurfaceRecord& record_;
  const RecordedSurfaceKit& kit_;
  std::unique_ptr<SwitchTag> drawn_;
};

// Records the requests, then hands them to the drawn overlay, kept where the command line
// finds it while it lives.
class Overlay final : public MissionControlLabels {
 public:
  Overlay(SurfaceRecord& record, std::unique_ptr<DrawnMissionControlLabels> drawn,
          MissionControlOverlay*& slot)
      : record_(record), drawn_(std::move(drawn)), slot_(slot) {
    slot_ = &drawn_->overlay();
    drawn_->setOnClosedWithoutAccess([this] { closedWithoutAccess(); });
    drawn_->setOnMissionControlChanged([this](bool open) { missionControlChanged(open); });
  }
  ~Overlay() override {
    if (slot_ == &drawn_->overlay()) slot_ = nullptr;
  }
  void start() override {
    if (!running_) record_.note("Mission Control overlay: on");
    running_ = true;
    drawn_->start();
  }
  void stop() override {
    if (running_) record_.note("Mission Control overlay: off");
    running_ = false;
    drawn_->stop();
  }
  void press(int number, std::function<void(bool)> done) override {
    record_.note("Mission Control overlay: press Desktop " + std::to_string(number));
    drawn_->press(number, std::move(done));
  }
  bool isOpen() const override { return drawn_->isOpen(); }
  std::string lastReport() const override { return drawn_->lastReport(); }

 private:
  SurfaceRecord& record_;
  std::unique_ptr<DrawnMissionControlLabels> drawn_;
  MissionControlOverlay*& slot_;
  bool running_ = false;
};

// The drawn switcher, kept where the command line finds it while it lives.
class KeptSwitcher final : public QuickSwitcherSurface {
 public:
  KeptSwitcher(const SurfaceContext& context, QuickSwitcher*& slot) : drawn_(context), slot_(slot) {
    slot_ = &drawn_.switcher();
  }
  ~KeptSwitcher() override {
    if (slot_ == &drawn_.switcher()) slot_ = nullptr;
  }
  void open() override { drawn_.open(); }
  void toggle() override { drawn_.toggle(); }

 private:
  DrawnQuickSwitcher drawn_;
  QuickSwitcher*& slot_;
};

// The drawn label, recording what the delegate asks of it and kept where the command line
// finds it while it lives.
class Notch final : public NotchName {
 public:
  Notch(SurfaceRecord& record, const SurfaceContext& context, NotchLabel*& slot)
      : record_(record), drawn_(context), slot_(slot) {
    slot_ = &drawn_.label();
    drawn_.setTilePresence(
        [this] { return tilePresence_ ? tilePresence_() : TilePresence::inBar; });
    drawn_.setOnClick([this](ScreenRect frame, bool right) {
      record_.note(std::string("notch label: ") + (right ? "right-click" : "click"));
      if (onClick_) onClick_(frame, right);
    });
  }
  ~Notch() override {
    if (slot_ == &drawn_.label()) slot_ = nullptr;
  }
  bool isShowing() const override { return drawn_.isShowing(); }
  void applySettings() override { drawn_.applySettings(); }
  void refresh() override { drawn_.refresh(); }
  void preview(double s) override {
    record_.note("notch label: preview for " + seconds(s));
    drawn_.preview(s);
  }
  void missionControlChanged(bool open) override {
    record_.note(std::string("notch label: Mission Control ") + (open ? "opened" : "closed"));
    drawn_.missionControlChanged(open);
  }
  std::vector<std::string> report() override { return drawn_.report(); }
  std::optional<ScreenRect> anchor() const override { return drawn_.anchor(); }

 private:
  SurfaceRecord& record_;
  DrawnNotchName drawn_;
  NotchLabel*& slot_;
};

// The drawn popover, its openings and closings recorded, kept where the command line finds it
// while it lives.
class Popover final : public MenuPopoverController {
 public:
  Popover(SurfaceRecord& record, const SurfaceContext& context, MenuPopover*& slot)
      : record_(record), drawn_(context), slot_(slot) {
    slot_ = &drawn_.popover();
    drawn_.setAnchors([this](Anchor anchor) { return anchorFor(anchor); });
    drawn_.popover().setOnDidClose([this] { record_.note("popover: hidden"); });
  }
  ~Popover() override {
    if (slot_ == &drawn_.popover()) slot_ = nullptr;
  }
  void toggle(Anchor anchor) override {
    const bool was = drawn_.popover().isShown();
    drawn_.toggle(anchor);
    noteShown(was, anchor);
  }
  void show(Anchor anchor, std::optional<Desktop> edit) override {
    const bool was = drawn_.popover().isShown();
    drawn_.show(anchor, std::move(edit));
    noteShown(was, anchor);
  }
  void closeNow() override { drawn_.closeNow(); }
  void refresh() override { drawn_.refresh(); }
  void setSources(PopoverSources sources) override { drawn_.setSources(std::move(sources)); }

 private:
  void noteShown(bool was, Anchor anchor) {
    if (was || !drawn_.popover().isShown()) return;
    record_.note(std::string("popover: shown from the ") +
                 (anchor == Anchor::tile ? "menu bar tile" : "notch label"));
  }

  SurfaceRecord& record_;
  DrawnMenuPopover drawn_;
  MenuPopover*& slot_;
};

// The drawn strip, its switching on and off and the explicit command recorded, kept where
// the command line finds it while it lives.
class Hover final : public SpaceHover {
 public:
  Hover(SurfaceRecord& record, const SurfaceContext& context, HoverStrip*& slot)
      : record_(record), drawn_(context), slot_(slot) {
    slot_ = &drawn_.strip();
    drawn_.setMissionControlIsOpen([this] { return missionControlIsOpen(); });
  }
  ~Hover() override {
    if (slot_ == &drawn_.strip()) slot_ = nullptr;
  }
  void start() override {
    if (!running_) record_.note("hover strip: on");
    running_ = true;
    drawn_.start();
  }
  void stop() override {
    if (running_) record_.note("hover strip: off");
    running_ = false;
    drawn_.stop();
  }
  void show(double s) override {
    record_.note("hover strip: shown for " + seconds(s));
    drawn_.show(s);
  }
  void missionControlChanged(bool open) override { drawn_.missionControlChanged(open); }

 private:
  SurfaceRecord& record_;
  DrawnSpaceHover drawn_;
  HoverStrip*& slot_;
  bool running_ = false;
};

// The settings window: the pages as a model the command line reads and drives, each page it
// is asked for recorded; the desktop editor's own window stays until the window draws.
class SettingsHost final : public SettingsWindow {
 public:
  // `modelSlot` and `windowSlot` are where the kit keeps them for the command line.
  SettingsHost(SurfaceRecord& record, const RecordedSurfaceKit& kit, const SurfaceContext& context,
               SettingsModel*& modelSlot, SettingsWindowController*& windowSlot)
      : record_(record),
        kit_(kit),
        model_(std::make_unique<SettingsModel>(SettingsServices{
            context.platform, context.settings, context.store, context.engine, context.presentation,
            context.keyNames, context.hotkeyCenter, context.shortcuts,
            context.settingsHooks ? context.settingsHooks() : SettingsHooks{}})),
        window_(std::make_unique<SettingsWindowController>(*model_, context.platform)),
        modelSlot_(modelSlot),
        windowSlot_(windowSlot) {
    modelSlot_ = model_.get();
    windowSlot_ = window_.get();
  }
  ~SettingsHost() override {
    if (windowSlot_ == window_.get()) windowSlot_ = nullptr;
    if (modelSlot_ == model_.get()) modelSlot_ = nullptr;
  }
  void show(std::optional<SettingsPage> page) override {
    window_->show(page);
    record_.note("settings window: " + std::string(settingsPageID(model_->page())));
  }
  void edit(const Desktop& desktop) override {
    record_.note("settings window: editor for " + kit_.title(desktop));
    window_->show(SettingsPage::spaces);
    model_->edit(desktop);
  }

 private:
  SurfaceRecord& record_;
  const RecordedSurfaceKit& kit_;
  std::unique_ptr<SettingsModel> model_;
  std::unique_ptr<SettingsWindowController> window_;
  SettingsModel*& modelSlot_;
  SettingsWindowController*& windowSlot_;
};

// The drawn first-run window, its showing and closing recorded, kept where the command line
// finds it while it lives.
class FirstRun final : public FirstRunWindow {
 public:
  FirstRun(SurfaceRecord& record, const SurfaceContext& context, Accessibility* access,
           FirstRunWindowController*& slot)
      : record_(record),
        drawn_(FirstRunServices{context.platform, context.settings,
                                [access] { return access && access->trusted(); },
                                [access] { return access && access->askedAgainAfterUpdate(); },
                                [access] {
                                  if (!access) return;
                                  // The system's own request shows once per build; the list is
                                  // there every time.
                                  access->checkTrust(true);
                                  access->openAccessibilitySettings();
                                }}),
        slot_(slot) {
    slot_ = &drawn_;
    drawn_.setOnClosed([this] { record_.note("first-run window: closed"); });
    if (access) accessChanged_ = access->willChange().connect([this] { drawn_.refresh(); });
  }
  ~FirstRun() override {
    if (slot_ == &drawn_) slot_ = nullptr;
  }
  void show() override {
    record_.note("first-run window: shown");
    drawn_.show();
  }
  void close() override { drawn_.close(); }
  bool isShowing() const override { return drawn_.isShowing(); }

 private:
  SurfaceRecord& record_;
  FirstRunWindowController drawn_;
  FirstRunWindowController*& slot_;
  Connection accessChanged_;
};

}  // namespace

void SurfaceRecord::note(const std::string& line) {
  lines_.push_back(line);
  if (sink_) sink_(line);
}

void SurfaceRecord::toast(const std::string& line) {
  toasts_.push_back(line);
  note(line);
}

EditSpaceView* RecordedSurfaceKit::desktopEditor() const {
  return settingsModel_ ? settingsModel_->editor() : nullptr;
}

std::string RecordedSurfaceKit::title(const Desktop& desktop) const {
  return title_ ? title_(desktop) : "Desktop " + std::to_string(desktop.number);
}

std::unique_ptr<SwitchTag> RecordedSurfaceKit::makeSwitchHUD(const Context& context) {
  return std::make_unique<HUD>(record_, *this, std::make_unique<DrawnSwitchTag>(context));
}
std::unique_ptr<MissionControlLabels> RecordedSurfaceKit::makeOverlay(const Context& context) {
  return std::make_unique<Overlay>(
      record_, std::make_unique<DrawnMissionControlLabels>(context, passStopwatch_), overlay_);
}
std::unique_ptr<QuickSwitcherSurface> RecordedSurfaceKit::makeQuickSwitcher(
    const Context& context) {
  return std::make_unique<KeptSwitcher>(context, quickSwitcher_);
}
std::unique_ptr<NotchName> RecordedSurfaceKit::makeNotchName(const Context& context) {
  return std::make_unique<Notch>(record_, context, notchLabel_);
}
std::unique_ptr<MenuBarTile> RecordedSurfaceKit::makeStatusBar(const Context& context,
                                                               std::function<bool()> notch) {
  // The drawn tile says where it is through the switches log from here on.
  record_.note("menu bar tile: shown");
  return std::make_unique<DrawnMenuBarTile>(context, std::move(notch));
}
std::unique_ptr<MenuPopoverController> RecordedSurfaceKit::makePopover(const Context& context) {
  return std::make_unique<Popover>(record_, context, menuPopover_);
}
std::unique_ptr<SpaceHover> RecordedSurfaceKit::makeHover(const Context& context) {
  return std::make_unique<Hover>(record_, context, hoverStrip_);
}
std::unique_ptr<SettingsWindow> RecordedSurfaceKit::makeSettingsWindow(const Context& context) {
  return std::make_unique<SettingsHost>(record_, *this, context, settingsModel_, settingsWindow_);
}
std::unique_ptr<FirstRunWindow> RecordedSurfaceKit::makeFirstRunWindow(const Context& context) {
  return std::make_unique<FirstRun>(record_, context, access_, firstRunWindow_);
}

}  // namespace velmora
