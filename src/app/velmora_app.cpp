#include "app/velmora_app.h"

#include "app/main_menu.h"
#include "drawing/glyph.h"
#include "store/predecessor_import.h"
#include "switching/desktop_switcher.h"

namespace velmora {

VelmoraApp::VelmoraApp(const platform::Platform& platform, NotificationCenter& center,
                       SurfaceKit& surfaces, std::optional<std::string> updateFeed,
                       LineLog& systemLog, DockBadges::Stopwatch badgeStopwatch)
    : platform_(platform),
      // Before anything reads an option: the predecessor's choices become this run's.
      imported_(LegacyMigration::importPreferences(platform.preferences, platform.home, systemLog)),
      settings_(platform.preferences),
      store_(platform, center, systemLog),
      presentation_(store_, settings_),
      logs_(platform.home, platform.loop),
      keyNames_(platform.keyboardLayout),
      shortcuts_(platform.preferences, keyNames_, platform.processes, &logs_.switches()),
      keySynth_(platform.keyboardEvents),
      access_(platform, &logs_.switches()),
      hotkeyCenter_(platform.hotKeys, systemLog, keyNames_),
      engineSettings_(settings_),
      ledger_(store_),
      badges_(platform, center, std::move(badgeStopwatch)),
      updates_(platform, settings_, logs_.updates(), std::move(updateFeed)) {
  platform.application.setActivationPolicy(platform::ActivationPolicy::Accessory);
  // Every tile is drawn with this machine's symbols, pictures and canvases.
  Glyph::setServices(
      {&platform.symbols, &platform.images, &platform.canvases, store_.picturesFolder()});

  DesktopSwitcher::Dependencies switching;
  switching.settings = &settings_;
  switching.trusted = [this] { return access_.trusted(); };
  switching.shortcuts = &shortcuts_;
  switching.keys = &keySynth_;
  switching.log = &logs_.switches();
  switching.title = [this](const Desktop& d) { return presentation_.title(d); };
  EngineServices services;
  services.settings = &engineSettings_;
  services.timeLedger = &ledger_;
  services.badgeReader = &badges_;
  services.switchesLog = &logs_.switches();
  engine_ = std::make_unique<SpaceEngine>(platform, center, std::move(services));
  switcher_ = std::make_unique<DesktopSwitcher>(*engine_, std::move(switching));
  engine_->setSwitcher(*switcher_);

  delegate_ = std::make_unique<AppDelegate>(
      AppServices{platform, center, settings_, store_, *engine_, *switcher_, access_, updates_,
                  logs_, systemLog, presentation_, shortcuts_, keyNames_, hotkeyCenter_, surfaces});
  platform.application.setMainMenu(MainMenu::standard().menus);
  platform.loop.post(lifetime_.guard([this] { delegate_->applicationDidFinishLaunching(); }));
}

VelmoraApp::~VelmoraApp() = default;

}  // namespace velmora
