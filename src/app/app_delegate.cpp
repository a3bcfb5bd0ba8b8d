#include "app/app_delegate.h"

#include <limits>
#include <map>
#include <utility>

#include "app/live_diagnostics.h"
#include "app/relaunch.h"
#include "app/running_copies.h"
#include "core/notifications.h"
#include "mission_control/mission_control_host.h"
#include "store/diagnostics.h"
#include "store/text.h"
#include "switching/space_search.h"
#include "updates/install_location.h"

namespace velmora {

namespace {

constexpr double kSettingsDebounce = 0.05;
constexpr double kFitCheckDelay = 0.5;
constexpr double kRelaunchDelay = 1.6;
constexpr double kCloseFirstRunDelay = 1.5;
constexpr double kPreviewSeconds = 4.0;
constexpr double kExportFailureSeconds = 5.0;

}  // namespace

AppDelegate::AppDelegate(AppServices services)
    : s_(std::move(services)),
      context_{s_.platform,     s_.center,   s_.settings,     s_.store, s_.engine,
               s_.presentation, s_.keyNames, s_.hotkeyCenter, s_.logs,  *this},
      hud_(s_.surfaces.makeSwitchHUD(context_)),
      overlay_(s_.surfaces.makeOverlay(context_)),
      switcher_(s_.surfaces.makeQuickSwitcher(context_)),
      notch_(s_.surfaces.makeNotchName(context_)),
      presenting_(s_.settings.presenting()) {}

AppDelegate::~AppDelegate() {
  // The engine and the switcher outlive the delegate; nothing they call back may reach a
  // dead delegate.
  s_.engine.setOnSwitch(nullptr);
  s_.switcher.setPressInMissionControl(nullptr);
}

// ---- Launch ----

void AppDelegate::applicationDidFinishLaunching() {
  // Names older versions kept elsewhere join the store, keyed by today's records.
  std::vector<LegacySpace> legacy;
  std::map<SpaceID, SkyLight::Space> spaces;
  for (const auto& display : s_.engine.displays()) {
    for (const auto& space : display.spaces) {
      legacy.push_back({space.id, space.managedID});
      spaces.emplace(space.id, space);
    }
  }
  s_.store.adoptLegacyNames(legacy, [&](SpaceID id) -> std::optional<std::string> {
    auto it = spaces.find(id);
    if (it == spaces.end()) return std::nullopt;
    return s_.engine.skyLight().spaceName(it->second);
  });

  // The tile and the notch label each step aside for the other.
  statusBar_ = s_.surfaces.makeStatusBar(context_, [this] { return notch_->isShowing(); });
  // The label is the delegate's own and never outlives it.
  notch_->setTilePresence(
      [this] { return statusBar_ ? statusBar_->presence() : TilePresence::inBar; });
  notch_->setOnClick(lifetime_.guard([this](ScreenRect label, bool right) {
    if (!right) {
      togglePopoverFromNotch();
    } else if (statusBar_) {
      statusBar_->showMenu({label.minX(), label.minY()});
    }
  }));
  popover_ = s_.surfaces.makePopover(context_);

  std::weak_ptr<void> alive = lifetime_.weak();
  s_.switcher.setPressInMissionControl([this, alive](int number, std::function<void(bool)> done) {
    if (alive.expired()) {
      done(false);
      return;
    }
    overlay_->press(number, std::move(done));
  });

  s_.engine.setOnSwitch(
      lifetime_.guard([this](const std::string& displayUUID, const std::optional<Desktop>&,
                             const std::optional<Desktop>& to) {
        if (to && s_.settings.hudEnabled()) hud_->show(*to, displayUUID);
      }));
  s_.engine.start();

  overlay_->setOnClosedWithoutAccess(lifetime_.guard([this] {
    if (nudgedAboutAccess_) return;
    nudgedAboutAccess_ = true;
    toast("Names in Mission Control need Accessibility access. Turn it on from the menu bar item.",
          "exclamationmark.triangle.fill", 4.0);
  }));
  overlay_->setOnMissionControlChanged(lifetime_.guard([this](bool open) {
    notch_->missionControlChanged(open);
    if (hover_) hover_->missionControlChanged(open);
  }));

  // Settings arrive in bursts (a slider, a reset); the surfaces follow once it settles.
  subscriptions_.push_back(s_.settings.willChange().connect([this] {
    std::uint64_t generation = ++settingsGeneration_;
    s_.platform.loop.after(kSettingsDebounce, lifetime_.guard([this, generation] {
      if (generation == settingsGeneration_) settingsChanged();
    }));
  }));
  // A desktop's own shortcut follows the desktop: it goes with it, comes back with it and
  // keeps working through renumbering. The signature keeps a rebind with no change cheap.
  for (const char* name : {notifications::kSpaceMetaChanged, notifications::kSpacesDidChange}) {
    observers_.push_back(s_.center.observe(name, lifetime_.guard([this] { hotkeys().rebind(); })));
  }
  // The trust state is heard as it is now, then each time it changes.
  subscriptions_.push_back(s_.access.willChange().connect([this] {
    s_.platform.loop.post(lifetime_.guard([this] {
      bool trusted = s_.access.trusted();
      if (lastTrusted_ == trusted) return;
      lastTrusted_ = trusted;
      accessibilityChanged(trusted);
    }));
  }));
  lastTrusted_ = s_.access.trusted();
  accessibilityChanged(*lastTrusted_);
  s_.updates.setOnAvailable(lifetime_.guard([this](const std::string& version) {
    if (lastUpdateVersion_ == version) return;
    lastUpdateVersion_ = version;
    updateAvailable(version);
  }));
  hotkeys().rebind();

  applySettingsToSurfaces();
  s_.platform.loop.after(kFitCheckDelay, lifetime_.guard([this] {
    if (statusBar_) statusBar_->checkFits();
  }));

  retireOtherRunningCopies(s_.platform, s_.logs.switches());
  if (offerMoveToApplications()) return;

  s_.access.repairAfterUpdate(s_.settings);
  s_.access.checkTrust(true);

  s_.updates.setOnInstalled(
      lifetime_.guard([this](const std::string& bundlePath) { relaunchFrom(bundlePath); }));
  s_.updates.start();

  afterUpdate();
  if (!s_.settings.onboardingDismissed()) openFirstRun();
  launchCompleted_ = true;
}

void AppDelegate::applySettingsToSurfaces() {
  if (s_.settings.hoverEnabled()) {
    hover().start();
  } else if (hover_) {
    hover_->stop();
  }
  if (s_.settings.mcLabelsEnabled() || s_.settings.notchEnabled()) {
    overlay_->start();
  } else {
    overlay_->stop();
  }
  notch_->applySettings();
}

void AppDelegate::settingsChanged() {
  applySettingsToSurfaces();
  notch_->refresh();
  if (statusBar_) statusBar_->refresh();
  hotkeys().rebind();

  bool presenting = s_.settings.presenting();
  if (presenting == presenting_) return;
  presenting_ = presenting;
  // Every surface redraws with or without the user's names.
  s_.center.post(notifications::kSpaceMetaChanged);
  s_.logs.switches().write(std::string("presentation mode ") + (presenting ? "on" : "off"));
  if (presenting) {
    std::string text = "Presentation mode: every desktop shows as its number.";
    if (auto hotkey = s_.settings.presentationHotkey()) {
      text += " Press " + s_.keyNames.display(*hotkey) + " again to bring them back.";
    } else {
      text += " Turn it off from the menu bar tile.";
    }
    toast(text, "eye.slash.fill", 3.5);
  } else {
    toast("Presentation mode off. Your names are back.", "eye.fill", 2.0);
  }
}

void AppDelegate::accessibilityChanged(bool trusted) {
  if (!trusted) {
    sawUntrusted_ = true;
    return;
  }
  s_.shortcuts.autoEnable(
      s_.settings, static_cast<int>(s_.engine.desktops().size()), s_.platform.loop,
      lifetime_.guard([this](const std::string& text, const std::string& symbol, double seconds) {
        toast(text, symbol, seconds);
      }));
  if (statusBar_) statusBar_->refresh();
  // The grant is what the welcome asked for: it goes once the user has seen it arrive, before
  // the restart below, so the new copy does not welcome them again.
  if (firstRunWindow_ && firstRunWindow_->isShowing()) {
    s_.platform.loop.after(kCloseFirstRunDelay, lifetime_.guard([this] {
      firstRun().close();
      s_.settings.setOnboardingDismissed(true);
    }));
  }
  if (sawUntrusted_) {
    // Switching routes chosen without the grant stay slow until a fresh start.
    toast("Accessibility is on. Velmora restarts once so switching is instant.",
          "checkmark.circle.fill", 1.6);
    s_.platform.loop.after(
        kRelaunchDelay, lifetime_.guard([this] { relaunchFrom(s_.platform.bundle.bundlePath()); }));
  }
}

void AppDelegate::updateAvailable(const std::string& version) {
  if (s_.settings.updateAnnounced() == version) return;
  s_.settings.setUpdateAnnounced(version);
  toast("Velmora " + version + " is out. Get it from the menu bar tile.", "arrow.down.circle.fill",
        4.0);
}

bool AppDelegate::offerMoveToApplications() {
  updates::InstallLocations locations(s_.platform.volumes, s_.platform.files, s_.platform.home);
  std::string bundle = s_.platform.bundle.bundlePath();
  if (!locations.runsFromDiskImage(bundle)) return false;
  auto destination = locations.moveDestination(bundle);
  if (!destination) return false;

  s_.platform.application.activateIgnoringOtherApps();
  int answer = s_.platform.application.runModalAlert(
      {"Move Velmora to Applications?",
       "Velmora is running from the disk image. From Applications it stays after the image is "
       "ejected and can update itself. Your names and settings are not affected.",
       {"Move to Applications", "Not Now"}});
  LineLog& log = s_.logs.updates();
  if (answer != 0) {
    log.write("running from " + bundle + "; the move to Applications was declined");
    return false;
  }
  if (auto moved = locations.swap(bundle, *destination); !moved) {
    log.write("move to Applications failed: " + moved.error());
    s_.platform.application.runModalAlert(
        {"The move did not go through", upperCasedFirst(moved.error()), {"OK"}});
    return false;
  }
  log.write("moved from " + bundle + " to " + destination->string() + ", relaunching from there");
  return relaunchFrom(destination->string());
}

void AppDelegate::afterUpdate() {
  std::string expected = s_.settings.updateInstalling();
  if (expected.empty()) return;
  s_.settings.setUpdateInstalling("");
  std::string running = runningVersion();
  if (expected != running) {
    s_.logs.updates().write("expected " + expected + " after the install, running " + running);
    return;
  }
  s_.logs.updates().write("running " + running + " after the install");
  toast("Velmora is now " + running + ".", "checkmark.circle.fill", 3.0);
}

// ---- Other callbacks ----

bool AppDelegate::applicationShouldHandleReopen(bool /*hasVisibleWindows*/) {
  openSettings();
  return false;
}

void AppDelegate::applicationWillTerminate() {
  s_.engine.flushTime();
  s_.store.flushPendingWrite();
}

void AppDelegate::showSettingsFromMenu() {
  openSettings();
}

void AppDelegate::openURLs(const std::vector<std::string>& urls) {
  for (const std::string& url : urls) {
    if (auto link = AppLink::parse(url)) {
      handle(*link);
    } else {
      s_.logs.switches().write(linkNotUnderstoodLogLine(url));
      toast(linkNotUnderstoodMessage(url), std::string(kLinkToastSymbol), kLinkToastSeconds);
    }
  }
}

void AppDelegate::handle(const AppLink& link) {
  switch (link.kind()) {
    case AppLink::Kind::number: {
      std::int64_t n = link.desktopNumber();
      std::optional<Desktop> desktop;
      if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max()) {
        desktop = s_.engine.desktopWithNumber(static_cast<int>(n));
      }
      if (desktop) {
        s_.engine.switchTo(*desktop, "link");
      } else {
        linkMessage(linkNoDesktopNumbered(n));
      }
      return;
    }
    case AppLink::Kind::named: {
      std::string query = SpaceSearch::normalize(link.text());
      std::optional<Desktop> best;
      int bestScore = 0;
      if (!query.empty()) {
        s_.engine.refreshApps(false);
        for (const Desktop& d : s_.engine.desktops()) {
          std::vector<std::string> apps;
          for (const SpaceApp& app : s_.engine.apps(d)) apps.push_back(app.name);
          auto score = SpaceSearch::score(query, s_.presentation.title(d), d.number, apps);
          if (score && *score > bestScore) {
            bestScore = *score;
            best = d;
          }
        }
      }
      // Letters in order alone are too weak a match to move the user.
      if (best && bestScore > SpaceSearch::Score::kInOrderLetters) {
        s_.engine.switchTo(*best, "link");
      } else {
        linkMessage(linkNoDesktopMatching(link.text()));
      }
      return;
    }
    case AppLink::Kind::settingsPage:
      if (auto page = settingsPageWithID(link.text())) {
        openSettings(page);
      } else {
        linkMessage(linkNoSettingsPage(link.text()));
      }
      return;
    case AppLink::Kind::back:
      s_.engine.jumpBack();
      return;
    case AppLink::Kind::next:
      s_.engine.step(+1);
      return;
    case AppLink::Kind::previous:
      s_.engine.step(-1);
      return;
    case AppLink::Kind::switcher:
      toggleQuickSwitcher();
      return;
    case AppLink::Kind::popover:
      togglePopover();
      return;
    case AppLink::Kind::hover:
      showHoverStrip();
      return;
    case AppLink::Kind::presentation:
      togglePresentation();
      return;
    case AppLink::Kind::settings:
      openSettings();
      return;
  }
}

void AppDelegate::linkMessage(const std::string& message) {
  s_.logs.switches().write(linkLogLine(message));
  toast(message, std::string(kLinkToastSymbol), kLinkToastSeconds);
}

// ---- Application commands ----

void AppDelegate::openSettings(std::optional<SettingsPage> page) {
  settingsWindow().show(page);
}

void AppDelegate::openFirstRun() {
  firstRun().show();
}

void AppDelegate::openMissionControl() {
  velmora::openMissionControl(s_.platform.launchServices);
}

void AppDelegate::toggleQuickSwitcher() {
  switcher_->toggle();
}

void AppDelegate::togglePopoverFromNotch() {
  if (popover_) popover_->toggle(MenuPopoverController::Anchor::notch);
}

void AppDelegate::togglePopover() {
  if (popover_ && statusBar_ && statusBar_->isShowing()) {
    popover_->toggle(MenuPopoverController::Anchor::tile);
  } else if (popover_ && notch_->isShowing()) {
    popover_->toggle(MenuPopoverController::Anchor::notch);
  } else {
    openSettings();
  }
}

void AppDelegate::closePopover() {
  if (popover_) popover_->close();
}

void AppDelegate::switchTo(const Desktop& desktop) {
  s_.engine.switchTo(desktop, "popover");
  closePopover();
}

void AppDelegate::openApp(const SpaceApp& app, const Desktop& desktop) {
  s_.engine.open(app, desktop, "popover");
  closePopover();
}

void AppDelegate::previewSwitchTag() {
  hud_->preview();
}

void AppDelegate::showHoverStrip() {
  hover().show(kPreviewSeconds);
}

void AppDelegate::previewNotchLabel() {
  notch_->preview(kPreviewSeconds);
}

void AppDelegate::togglePresentation() {
  s_.settings.setPresenting(!s_.settings.presenting());
}

void AppDelegate::editDesktop(const Desktop& desktop) {
  closePopover();
  settingsWindow().edit(desktop);
}

void AppDelegate::quit() {
  s_.platform.application.terminate();
}

std::string AppDelegate::diagnostics() {
  LiveDiagnostics sources(
      s_.engine, s_.presentation, s_.shortcuts,
      [this] { return statusBar_ ? statusBar_->presenceReport() : std::string("no window"); },
      overlay_.get(), notch_.get());
  return diagnosticsText(sources, s_.settings, s_.logs.missionControl());
}

// ---- Counted time ----

void AppDelegate::exportTimeCSV(std::function<void(const TimeExportOutcome&)> done) {
  if (exportPanelOpen_) return;
  exportPanelOpen_ = true;
  // The seconds up to this moment belong in the file.
  s_.engine.flushTime();
  // An accessory's panel would open behind the front application.
  s_.platform.application.activateIgnoringOtherApps();
  s_.platform.savePanel.begin(
      timeExportRequest(),
      lifetime_.guard([this, done](std::optional<std::filesystem::path> location) {
        exportPanelOpen_ = false;
        TimeExportOutcome outcome = saveTimeCSV(location);
        if (done) done(outcome);
      }));
}

TimeExportOutcome AppDelegate::saveTimeCSV(const std::optional<std::filesystem::path>& location) {
  TimeExportOutcome outcome;
  if (!location) return outcome;
  outcome.location = *location;
  std::string text = timeCSV(s_.engine.desktops(), s_.store, s_.presentation);
  if (auto written = s_.platform.files.writeAtomically(*location, text); !written) {
    outcome.kind = TimeExportOutcome::Kind::failed;
    outcome.sentence = timeExportFailure(*location, written.error());
    s_.logs.switches().write("time export failed: " + outcome.sentence);
    toast(outcome.sentence, "exclamationmark.triangle.fill", kExportFailureSeconds);
    return outcome;
  }
  outcome.kind = TimeExportOutcome::Kind::saved;
  s_.logs.switches().write("time exported to " + location->filename().string() + " (" +
                           std::to_string(s_.engine.desktops().size()) + " desktops)");
  return outcome;
}

bool AppDelegate::resetTimes() {
  s_.platform.application.activateIgnoringOtherApps();
  // Cancel is the default button: Return must not throw away weeks of counting.
  int pressed = s_.platform.application.runModalAlert(
      {"Reset the time counted on every desktop?",
       "Every desktop starts again from zero. This cannot be undone.",
       {"Cancel", "Reset Times"}});
  if (pressed != 1) return false;
  // Time up to now is settled first, so none of it lands on a desktop after the reset.
  s_.engine.flushTime();
  s_.store.resetTime();
  s_.logs.switches().write("time reset");
  return true;
}

// ---- Helpers ----

void AppDelegate::toast(const std::string& text, const std::string& symbol, double seconds) {
  hud_->toast(text, symbol, seconds);
}

bool AppDelegate::relaunchFrom(const std::string& bundlePath) {
  return relaunch(s_.platform, bundlePath, s_.logs.switches());
}

std::string AppDelegate::runningVersion() {
  Value version = s_.platform.bundle.infoDictionaryValue("CFBundleShortVersionString");
  const std::string* text = version.asString();
  return text ? *text : std::string();
}

SpaceHover& AppDelegate::hover() {
  if (!hover_) {
    hover_ = s_.surfaces.makeHover(context_);
    hover_->setMissionControlIsOpen([this] { return overlay_->isOpen(); });
  }
  return *hover_;
}

SettingsWindow& AppDelegate::settingsWindow() {
  if (!settingsWindow_) settingsWindow_ = s_.surfaces.makeSettingsWindow(context_);
  return *settingsWindow_;
}

FirstRunWindow& AppDelegate::firstRun() {
  if (!firstRunWindow_) firstRunWindow_ = s_.surfaces.makeFirstRunWindow(context_);
  return *firstRunWindow_;
}

HotkeyBindings& AppDelegate::hotkeys() {
  if (!hotkeys_) {
    HotkeyBindings::Callbacks actions;
    actions.openQuickSwitcher = lifetime_.guard([this] { switcher_->open(); });
    actions.toast = lifetime_.guard([this](const std::string& text, const std::string& symbol,
                                           double seconds) { toast(text, symbol, seconds); });
    hotkeys_ = std::make_unique<HotkeyBindings>(
        s_.hotkeyCenter, s_.engine, s_.settings, s_.store, s_.keyNames, s_.platform.workspace,
        [this](const Desktop& d) { return s_.presentation.title(d); }, std::move(actions));
  }
  return *hotkeys_;
}

}  // namespace velmora
