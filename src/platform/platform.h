#pragma once
// The set of platform services one running copy of Velmora talks to. The virtual Mac
// provides all of them on Linux; the macOS glue provides them on a Mac.

#include "core/main_loop.h"
#include "platform/accessibility.h"
#include "platform/app_icons.h"
#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/canvas.h"
#include "platform/code_signing.h"
#include "platform/event_taps.h"
#include "platform/files.h"
#include "platform/home.h"
#include "platform/hot_key_registry.h"
#include "platform/http_client.h"
#include "platform/image_io.h"
#include "platform/input_clocks.h"
#include "platform/keyboard_events.h"
#include "platform/keyboard_layout.h"
#include "platform/launch_services.h"
#include "platform/local_event_monitors.h"
#include "platform/login_items.h"
#include "platform/open_panel.h"
#include "platform/panels.h"
#include "platform/pasteboard.h"
#include "platform/pointer_monitors.h"
#include "platform/popover.h"
#include "platform/preferences.h"
#include "platform/process_runner.h"
#include "platform/property_lists.h"
#include "platform/save_panel.h"
#include "platform/screens.h"
#include "platform/status_bar.h"
#include "platform/symbols.h"
#include "platform/volumes.h"
#include "platform/window_server.h"
#include "platform/work_queues.h"
#include "platform/workspace.h"

namespace velmora::platform {

struct Platform {
  MainLoop& loop;
  WindowServer& windowServer;
  Screens& screens;
  Workspace& workspace;
  InputClocks& inputClocks;
  Accessibility& accessibility;
  Preferences& preferences;
  KeyboardLayout& keyboardLayout;
  PropertyLists& propertyLists;
  ImageIO& images;
  ProcessRunner& processes;
  LaunchServices& launchServices;
  Bundle& bundle;
  Application& application;
  LoginItems& loginItems;
  HomeFolder home;
  Volumes& volumes;
  Files& files;
  KeyboardEvents& keyboardEvents;
  HotKeyRegistry& hotKeys;
  LocalEventMonitors& localEvents;
  CanvasFactory& canvases;
  Symbols& symbols;
  AppIcons& appIcons;
  Panels& panels;
  Popovers& popovers;
  StatusBar& statusBar;
  OpenPanel& openPanel;
  SavePanel& savePanel;
  WorkQueues& workQueues;
  EventTaps& eventTaps;
  PointerMonitors& pointer;
  HttpClient& http;
  CodeSigning& codeSigning;
  Pasteboard& pasteboard;
  // The operating system's major version (26 for macOS Tahoe).
  int systemMajorVersion = 26;
  // Its minor and patch versions (operatingSystemVersion), for the update feed's lowest system.
  int systemMinorVersion = 0;
  int systemPatchVersion = 0;
};

}  // namespace velmora::platform
