#include "store/hotkey.h"

#include <unicode/unistr.h>

#include <array>
#include <utility>

#include "store/hotkey_json.h"

namespace velmora {

namespace {

using namespace platform::keys;

constexpr std::array<std::pair<std::uint32_t, const char*>, 27> kFixedNames = {{
    {kSpace, "Space"},
    {kTab, "⇥"},
    {kReturn, "↩"},
    {kDelete, "⌫"},
    {kForwardDelete, "⌦"},
    {kEscape, "⎋"},
    {kLeftArrow, "←"},
    {kRightArrow, "→"},
    {kUpArrow, "↑"},
    {kDownArrow, "↓"},
    {kHome, "↖"},
    {kEnd, "↘"},
    {kPageUp, "⇞"},
    {kPageDown, "⇟"},
    {kFunctionKeys[0], "F1"},
    {kFunctionKeys[1], "F2"},
    {kFunctionKeys[2], "F3"},
    {kFunctionKeys[3], "F4"},
    {kFunctionKeys[4], "F5"},
    {kFunctionKeys[5], "F6"},
    {kFunctionKeys[6], "F7"},
    {kFunctionKeys[7], "F8"},
    {kFunctionKeys[8], "F9"},
    {kFunctionKeys[9], "F10"},
    {kFunctionKeys[10], "F11"},
    {kFunctionKeys[11], "F12"},
    {kGrave, "`"},
}};

constexpr std::array<std::pair<const char*, const char*>, 13> kSpokenNames = {{
    {"⇥", "Tab"},
    {"↩", "Return"},
    {"⌫", "Delete"},
    {"⌦", "Forward Delete"},
    {"⎋", "Escape"},
    {"←", "Left Arrow"},
    {"→", "Right Arrow"},
    {"↑", "Up Arrow"},
    {"↓", "Down Arrow"},
    {"↖", "Home"},
    {"↘", "End"},
    {"⇞", "Page Up"},
    {"⇟", "Page Down"},
}};

struct Modifier {
  std::uint32_t carbon;
  const char* symbol;
  const char* word;
};
// The one order modifiers are ever shown or spoken in.
constexpr std::array<Modifier, 4> kModifiers = {{
    {platform::kControlKey, "⌃", "Control"},
    {platform::kOptionKey, "⌥", "Option"},
    {platform::kShiftKey, "⇧", "Shift"},
    {platform::kCmdKey, "⌘", "Command"},
}};

std::string upperCased(const std::string& text) {
  std::string out;
  icu::UnicodeString::fromUTF8(text).toUpper().toUTF8String(out);
  return out;
}

}  // namespace

std::string Hotkey::toJSON() const {
  return nlohmann::json(*this).dump();
}

std::optional<Hotkey> Hotkey::fromJSON(std::string_view json) {
  nlohmann::json j = nlohmann::json::parse(json, nullptr, false);
  if (j.is_discarded() || !j.is_object()) return std::nullopt;
  try {
    return j.get<Hotkey>();
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
}

std::string KeyNames::name(std::uint32_t keyCode) const {
  for (const auto& [code, fixed] : kFixedNames) {
    if (code == keyCode) return fixed;
  }
  if (auto typed = layout_.translate(keyCode); typed && !typed->empty()) return upperCased(*typed);
  return "Key " + std::to_string(keyCode);
}

std::string KeyNames::symbols(std::uint32_t mods) {
  std::string out;
  for (const Modifier& m : kModifiers) {
    if (mods & m.carbon) out += m.symbol;
  }
  return out;
}

std::string KeyNames::display(const Hotkey& hotkey) const {
  return symbols(hotkey.modifiers) + name(hotkey.keyCode);
}

std::string KeyNames::spoken(const Hotkey& hotkey) const {
  std::string out;
  for (const Modifier& m : kModifiers) {
    if (hotkey.modifiers & m.carbon) {
      out += m.word;
      out += " + ";
    }
  }
  std::string key = name(hotkey.keyCode);
  for (const auto& [shown, said] : kSpokenNames) {
    if (key == shown) {
      key = said;
      break;
    }
  }
  return out + key;
}

std::string KeyNames::keyEquivalent(std::uint32_t keyCode) const {
  switch (keyCode) {
    case kTab:
      return "\t";
    case kSpace:
      return " ";
    case kDelete:
      return "\x08";
    case kEscape:
      return "\x1b";
    case kReturn:
      return "\r";
    case kLeftArrow:
      return "\xEF\x9C\x82";  // U+F702
    case kRightArrow:
      return "\xEF\x9C\x83";  // U+F703
    case kDownArrow:
      return "\xEF\x9C\x81";  // U+F701
    case kUpArrow:
      return "\xEF\x9C\x80";  // U+F700
    default:
      return layout_.translate(keyCode).value_or("");
  }
}

}  // namespace velmora
