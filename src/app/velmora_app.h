#pragma once
// One running Velmora: the shared objects every part works with and the application
// delegate, made in the order the process starts. The event loop belongs to the caller (the
// Mac's run loop, or the command line's loop on the virtual Mac); once it turns, the launch
// runs.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "app/surfaces.h"
#include "core/notification_center.h"
#include "mission_control/accessibility.h"
#include "mission_control/dock_badges.h"
#include "spaces/engine_services.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/log_file.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/desktop_switcher.h"
#include "switching/hotkey_center.h"
#include "switching/key_synth.h"
#include "switching/system_shortcuts.h"
#include "updates/updates.h"

namespace velmora {

class VelmoraApp {
 public:
  // Imports the predecessor's preferences, makes the process a menu-bar accessory, creates
  // the shared objects and the delegate and installs the main menu; the launch itself is
  // queued on the loop, as the application finishes launching once its loop runs.
  // `updateFeed` is where the update feed is when it is not the maker's (the environment's
  // VELMORA_UPDATE_FEED on a Mac; the command line's own server). `badgeStopwatch` times the Dock
  // reads (a steady clock when none; the command line's scripts pass a still one so their output
  // does not depend on the machine's speed).
  VelmoraApp(const platform::Platform& platform, NotificationCenter& center, SurfaceKit& surfaces,
             std::optional<std::string> updateFeed, LineLog& systemLog,
             DockBadges::Stopwatch badgeStopwatch = {});
  ~VelmoraApp();
  VelmoraApp(const VelmoraApp&) = delete;
  VelmoraApp& operator=(const VelmoraApp&) = delete;

  AppDelegate& delegate() { return *delegate_; }
  SpaceEngine& engine() { return *engine_; }
  Settings& settings() { return settings_; }
  SpaceStore& store() { return store_; }
  Accessibility& access() { return access_; }
  Logs& logs() { return logs_; }
  Updates& updates() { return updates_; }
  const DesktopPresentation& presentation() const { return presentation_; }
  const KeyNames& keyNames() const { return keyNames_; }
  SystemShortcuts& shortcuts() { return shortcuts_; }
  // Blocks until the background Dock read in flight (if any) has handed its result to the
  // main loop, so virtual time can move on deterministically. The updater's work is waited
  // for on its own (Updates::waitForWorkers): scripts say when.
  void waitForBackgroundWork() { badges_.waitForWorker(); }
  // How many preferences came over from the predecessor at this start.
  int imported() const { return imported_; }

 private:
  platform::Platform platform_;
  int imported_;
  Settings settings_;
  SpaceStore store_;
  DesktopPresentation presentation_;
  Logs logs_;
  KeyNames keyNames_;
  SystemShortcuts shortcuts_;
  KeySynth keySynth_;
  Accessibility access_;
  HotkeyCenter hotkeyCenter_;
  SettingsEngineView engineSettings_;
  StoreTimeLedger ledger_;
  DockBadges badges_;
  Updates updates_;
  // Declared last so they go first: the delegate's subscriptions and the engine's callbacks
  // never outlive what they point at.
  std::unique_ptr<SpaceEngine> engine_;
  std::unique_ptr<DesktopSwitcher> switcher_;
  std::unique_ptr<AppDelegate> delegate_;
  Lifetime lifetime_;
};

}  // namespace velmora
