#include "switching/system_shortcuts.h"

namespace velmora {

namespace {

constexpr int kSwitchToDesktopBase = 117;
constexpr const char* kMoveLeft = "79";
constexpr const char* kMoveRight = "81";

bool isEnabled(const Value& entry) {
  const Value* enabled = entry.find("enabled");
  if (!enabled) return false;
  if (enabled->asBool() == true) return true;
  return enabled->kind() == Value::Kind::Integer && enabled->asInteger() == 1;
}

}  // namespace

Value::Dictionary SystemShortcuts::entries() const {
  Value all = preferences_.value(kDomain, kKey);
  const Value::Dictionary* dict = all.asDictionary();
  return dict ? *dict : Value::Dictionary{};
}

std::optional<SystemShortcuts::Combo> SystemShortcuts::parse(const Value& entry,
                                                             std::optional<Combo> fallback) const {
  if (!isEnabled(entry)) return std::nullopt;
  const Value* value = entry.find("value");
  const Value* parameters = value ? value->find("parameters") : nullptr;
  const Value::Array* list = parameters ? parameters->asArray() : nullptr;
  if (!list || list->size() < 3 || !(*list)[1].isNumber() || !(*list)[2].isNumber()) {
    return fallback;
  }
  std::optional<std::int64_t> keyCode = (*list)[1].asInteger();
  std::optional<std::int64_t> rawFlags = (*list)[2].asInteger();
  if (!keyCode || *keyCode < 0 || *keyCode > UINT32_MAX || !rawFlags) return fallback;
  Combo combo;
  combo.keyCode = static_cast<std::uint32_t>(*keyCode);
  // Only the four modifier bits count; the rest of the stored flags are noise.
  std::uint32_t modifiers = carbonModifiers(static_cast<std::uint64_t>(*rawFlags));
  combo.flags = eventFlags(modifiers);
  combo.display = KeyNames::symbols(modifiers) + keyNames_.name(combo.keyCode);
  return combo;
}

std::optional<SystemShortcuts::Combo> SystemShortcuts::combo(int desktopNumber) const {
  if (desktopNumber < 1 || desktopNumber > 10) return std::nullopt;
  Value::Dictionary all = entries();
  auto it = all.find(std::to_string(kSwitchToDesktopBase + desktopNumber));
  if (it == all.end()) return std::nullopt;
  return parse(it->second, std::nullopt);
}

std::optional<SystemShortcuts::Combo> SystemShortcuts::combo(Direction direction) const {
  bool left = direction == Direction::left;
  Combo fallback{left ? 123u : 124u, 0x40000, left ? "⌃←" : "⌃→"};
  Value::Dictionary all = entries();
  auto it = all.find(left ? kMoveLeft : kMoveRight);
  if (it == all.end() || !it->second.asDictionary()) return fallback;
  return parse(it->second, fallback);
}

int SystemShortcuts::enabledCount() const {
  int count = 0;
  for (int n = 1; n <= 10; ++n) {
    if (combo(n)) ++count;
  }
  return count;
}

}  // namespace velmora
