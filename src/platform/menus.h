#pragma once
// Menus as data (NSMenu / NSMenuItem): the application's main menu and, later, the menus the
// menu bar tile opens. The macOS glue builds the real menus from these.
#include <string>
#include <vector>

namespace velmora::platform {

// Who receives a menu item's action.
enum class MenuTarget {
  delegate,        // the application delegate
  application,     // the application object
  firstResponder,  // the key window's responder chain (the focused text field)
};

struct KeyModifiers {
  bool command = false;
  bool shift = false;
  bool operator==(const KeyModifiers&) const = default;
};

struct MenuItem {
  bool separator = false;
  std::string title;
  // The key as AppKit takes it: a capital letter implies Shift, which `modifiers` spells out.
  std::string keyEquivalent;
  KeyModifiers modifiers;
  std::string action;  // the selector's name ("undo:")
  MenuTarget target = MenuTarget::firstResponder;
};

struct Menu {
  std::string title;
  std::vector<MenuItem> items;
};

}  // namespace velmora::platform
