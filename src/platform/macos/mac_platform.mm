#include "platform/macos/mac_platform.h"

#import <Foundation/Foundation.h>

#include "platform/macos/accessibility.h"
#include "platform/macos/app_icons.h"
#include "platform/macos/application.h"
#include "platform/macos/bundle.h"
#include "platform/macos/cf_value.h"
#include "platform/macos/cg_canvas.h"
#include "platform/macos/code_signing.h"
#include "platform/macos/event_taps.h"
#include "platform/macos/files.h"
#include "platform/macos/hot_keys.h"
#include "platform/macos/http_client.h"
#include "platform/macos/image_io.h"
#include "platform/macos/input_clocks.h"
#include "platform/macos/keyboard_events.h"
#include "platform/macos/keyboard_layout.h"
#include "platform/macos/launch_services.h"
#include "platform/macos/local_event_monitors.h"
#include "platform/macos/login_items.h"
#include "platform/macos/open_panel.h"
#include "platform/macos/panels.h"
#include "platform/macos/pasteboard.h"
#include "platform/macos/pointer_monitors.h"
#include "platform/macos/popovers.h"
#include "platform/macos/preferences.h"
#include "platform/macos/process_runner.h"
#include "platform/macos/property_lists.h"
#include "platform/macos/save_panel.h"
#include "platform/macos/screens.h"
#include "platform/macos/status_bar.h"
#include "platform/macos/symbols.h"
#include "platform/macos/volumes.h"
#include "platform/macos/window_server.h"
#include "platform/macos/work_queues.h"
#include "platform/macos/workspace.h"

namespace velmora::macos {

// In the order platform::Platform names them.
struct MacPlatform::Impl {
  RunLoopMainLoop loop;
  MacWindowServer windowServer;
  MacScreens screens;
  MacWorkspace workspace;
  MacInputClocks inputClocks;
  MacAccessibility accessibility;
  MacPreferences preferences;
  MacKeyboardLayout keyboardLayout;
  MacPropertyLists propertyLists;
  MacImageIO images;
  MacProcessRunner processes;
  MacLaunchServices launchServices;
  MacBundle bundle;
  MacApplication application;
  MacLoginItems loginItems;
  MacVolumes volumes;
  MacFiles files;
  MacKeyboardEvents keyboardEvents;
  MacHotKeyRegistry hotKeys;
  MacLocalEventMonitors localEvents;
  CGCanvasFactory canvases;
  MacSymbols symbols;
  MacAppIcons appIcons;
  MacPanels panels;
  MacPopovers popovers;
  MacStatusBar statusBar;
  MacOpenPanel openPanel;
  MacSavePanel savePanel;
  DispatchWorkQueues workQueues;
  MacEventTaps eventTaps;
  MacPointerMonitors pointer;
  MacHttpClient http{loop};
  MacCodeSigning codeSigning;
  MacPasteboard pasteboard;
};

MacPlatform::MacPlatform() : impl_(std::make_unique<Impl>()) {}

MacPlatform::~MacPlatform() = default;

RunLoopMainLoop& MacPlatform::loop() {
  return impl_->loop;
}

platform::Platform MacPlatform::platform() {
  Impl& m = *impl_;
  platform::HomeFolder home{stdStringOr((__bridge CFStringRef)NSHomeDirectory()),
                            stdStringOr((__bridge CFStringRef)NSTemporaryDirectory())};
  NSOperatingSystemVersion system = NSProcessInfo.processInfo.operatingSystemVersion;
  return platform::Platform{m.loop,
                            m.windowServer,
                            m.screens,
                            m.workspace,
                            m.inputClocks,
                            m.accessibility,
                            m.preferences,
                            m.keyboardLayout,
                            m.propertyLists,
                            m.images,
                            m.processes,
                            m.launchServices,
                            m.bundle,
                            m.application,
                            m.loginItems,
                            home,
                            m.volumes,
                            m.files,
                            m.keyboardEvents,
                            m.hotKeys,
                            m.localEvents,
                            m.canvases,
                            m.symbols,
                            m.appIcons,
                            m.panels,
                            m.popovers,
                            m.statusBar,
                            m.openPanel,
                            m.savePanel,
                            m.workQueues,
                            m.eventTaps,
                            m.pointer,
                            m.http,
                            m.codeSigning,
                            m.pasteboard,
                            static_cast<int>(system.majorVersion),
                            static_cast<int>(system.minorVersion),
                            static_cast<int>(system.patchVersion)};
}

}  // namespace velmora::macos
