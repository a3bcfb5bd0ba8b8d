#include "switching/system_shortcuts.h"

#include <algorithm>

#include "store/settings.h"

namespace velmora {

namespace {

constexpr int kSwitchToDesktopBase = 117;
constexpr std::int64_t kNoCharacter = 65535;
// A keyboard event carries a 16-bit key code, so KeySynth cannot press anything larger.
constexpr std::int64_t kLargestPressableKeyCode = 0xFFFF;
constexpr double kToastDelay = 1.5;
constexpr double kToastSeconds = 5.0;
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
  // Stored, and on, but no key press can reach it: no combination at all (not the default),
  // so the switcher takes another route instead of pressing keys the Dock ignores.
  if (*keyCode > kLargestPressableKeyCode) return std::nullopt;
  Combo combo;
  combo.keyCode = static_cast<std::uint32_t>(*keyCode);
  // Only the four modifier bits count; the rest of the stored flags are noise.
  std::uint32_t modifiers = platform::carbonModifiers(static_cast<std::uint64_t>(*rawFlags));
  combo.flags = platform::eventFlags(modifiers);
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
  Combo fallback{left ? platform::keys::kLeftArrow : platform::keys::kRightArrow,
                 platform::kEventFlagControl, left ? "⌃←" : "⌃→"};
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

bool SystemShortcuts::enable(int count) {
  count = std::clamp(count, 1, 10);
  Value::Dictionary all = entries();
  for (int n = 1; n <= count; ++n) {
    std::string id = std::to_string(kSwitchToDesktopBase + n);
    // One the user has on keeps the keys they chose.
    if (auto it = all.find(id); it != all.end() && isEnabled(it->second)) continue;
    Value parameters = Value::array(
        {kNoCharacter, *platform::keys::digitForDesktop(n), platform::kEventFlagControl});
    all.insert_or_assign(
        id,
        Value::dictionary(
            {{"enabled", true},
             {"value", Value::dictionary({{"parameters", parameters}, {"type", "standard"}})}}));
  }
  bool synchronized = preferences_.setValue(kDomain, kKey, Value(std::move(all)));
  // The running Dock only reads the shortcuts when told to, and for good when it restarts.
  runTool(kActivateSettings, {"-u"}, true);
  runTool(kKillall, {"Dock"}, false);
  return synchronized;
}

void SystemShortcuts::runTool(const char* executable, const std::vector<std::string>& arguments,
                              bool wait) {
  bool launched = true;
  std::string error;
  if (wait) {
    platform::ProcessResult result = processes_.run(executable, arguments);
    launched = result.launched;
    error = result.launchError;
  } else {
    platform::ProcessStart started = processes_.start(executable, arguments);
    launched = started.launched;
    error = started.launchError;
  }
  if (!launched && switchesLog_) {
    switchesLog_->write("could not run " + std::string(executable) + ": " + error);
  }
}

bool SystemShortcuts::autoEnable(Settings& settings, int desktopCount, MainLoop& loop,
                                 Toast toast) {
  if (!settings.nativeSwitching() || settings.autoEnabledShortcuts()) return false;
  int n = std::min(desktopCount, 10);
  if (n < 1 || enabledCount() >= n) {
    settings.setAutoEnabledShortcuts(true);
    return false;
  }
  enable(n);
  settings.setAutoEnabledShortcuts(true);
  std::uint32_t lastKey = *platform::keys::digitForDesktop(n);
  std::string keyName = keyNames_.name(lastKey);
  if (keyName == "Key " + std::to_string(lastKey)) keyName = std::to_string(n);  // no name
  std::string text = "Turned on macOS shortcuts ⌃1–⌃" + keyName +
                     " so switching is instant (the Dock restarted to load them). Change any time "
                     "in System Settings → Keyboard.";
  loop.after(kToastDelay, lifetime_.guard([toast = std::move(toast), text = std::move(text)] {
    if (toast) toast(text, "keyboard", kToastSeconds);
  }));
  return true;
}

}  // namespace velmora
