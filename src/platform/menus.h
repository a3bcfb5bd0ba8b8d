#pragma once
// Menus as data (NSMenu / NSMenuItem): the application's main menu and, later, the menus the
// menu bar tile opens. The macOS glue builds the real menus from these.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/canvas.h"

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
  bool option = false;
  bool control = false;
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
  bool enabled = true;
  bool checked = false;  // state .on: a check mark
  std::shared_ptr<const VectorImage> image;
  // The item's representedObject, for actions that act on one of several things.
  std::optional<std::uint64_t> representedObject;
};

// The item's shortcut as a menu shows it at the right: ⌃⌥⇧⌘ in that order, then the key,
// a letter in capitals and the space bar as "Space"; empty without a key equivalent.
inline std::string keyEquivalentText(const MenuItem& item) {
  if (item.keyEquivalent.empty()) return {};
  const KeyModifiers& m = item.modifiers;
  std::string out = std::string(m.control ? "\u2303" : "") + (m.option ? "\u2325" : "") +
                    (m.shift ? "\u21E7" : "") + (m.command ? "\u2318" : "");
  if (item.keyEquivalent == " ") return out + "Space";
  std::string key = item.keyEquivalent;
  if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') key[0] = static_cast<char>(key[0] - 32);
  return out + key;
}

struct Menu {
  std::string title;
  std::vector<MenuItem> items;
};

// Who hears what happens to a menu that pops up: the item the user chose (its action is
// sent before the menu's delegate hears that it closed) and the close itself.
struct MenuHandlers {
  std::function<void(const MenuItem& chosen)> onAction;
  std::function<void()> onClose;
};

}  // namespace velmora::platform
