#include "store/hotkey.h"

#include <unicode/unistr.h>

#include <array>
#include <utility>

#include "store/hotkey_json.h"

namespace velmora {

namespace {

constexpr std::array<std::pair<std::uint32_t, const char*>, 27> kFixedNames = {{
    {49, "Space"}, {48, "⇥"},   {36, "↩"},    {51, "⌫"},    {117, "⌦"},   {53, "⎋"},  {123, "←"},
    {124, "→"},    {126, "↑"},  {125, "↓"},   {115, "↖"},   {119, "↘"},   {116, "⇞"}, {121, "⇟"},
    {122, "F1"},   {120, "F2"}, {99, "F3"},   {118, "F4"},  {96, "F5"},   {97, "F6"}, {98, "F7"},
    {100, "F8"},   {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"}, {50, "`"},
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
  std::uint64_t flag;
  const char* symbol;
  const char* word;
};
// The one order modifiers are ever shown or spoken in.
constexpr std::array<Modifier, 4> kModifiers = {{
    {modifiers::kControl, 0x40000, "⌃", "Control"},
    {modifiers::kOption, 0x80000, "⌥", "Option"},
    {modifiers::kShift, 0x20000, "⇧", "Shift"},
    {modifiers::kCommand, 0x100000, "⌘", "Command"},
}};

constexpr std::array<std::uint32_t, 10> kDigitKeys = {18, 19, 20, 21, 23, 22, 26, 28, 25, 29};

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

std::optional<std::uint32_t> digitKeyCode(int desktopNumber) {
  if (desktopNumber < 1 || desktopNumber > 10) return std::nullopt;
  return kDigitKeys[static_cast<std::size_t>(desktopNumber - 1)];
}

std::uint64_t eventFlags(std::uint32_t carbon) {
  std::uint64_t flags = 0;
  for (const Modifier& m : kModifiers) {
    if (carbon & m.carbon) flags |= m.flag;
  }
  return flags;
}

std::uint32_t carbonModifiers(std::uint64_t flags) {
  std::uint32_t carbon = 0;
  for (const Modifier& m : kModifiers) {
    if (flags & m.flag) carbon |= m.carbon;
  }
  return carbon;
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
    case 48:
      return "\t";
    case 49:
      return " ";
    case 51:
      return "\x08";
    case 53:
      return "\x1b";
    case 36:
      return "\r";
    case 123:
      return "\xEF\x9C\x82";  // U+F702
    case 124:
      return "\xEF\x9C\x83";  // U+F703
    case 125:
      return "\xEF\x9C\x81";  // U+F701
    case 126:
      return "\xEF\x9C\x80";  // U+F700
    default:
      return layout_.translate(keyCode).value_or("");
  }
}

}  // namespace velmora
