#pragma once
// Every user option of Velmora, one defaults key each in the app's own domain. Reads go
// through a per-option cache (so a change made to the defaults from outside the process is
// seen at the next launch); writes announce the change first, then update the cache and
// write the key at once. There is no save step and no settings file of our own. Observers
// subscribe to willChange() and re-read whatever they show.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "core/signal.h"
#include "platform/preferences.h"
#include "store/hotkey.h"

namespace velmora {

// ---- Option enumerations ---------------------------------------------------------------
// Each is stored as its raw value (the case number) and listed in raw-value order for the
// settings window's pickers, with the label the window shows.

enum class MenuBarStyle { iconAndName = 0, nameOnly = 1, iconOnly = 2, numberAndName = 3 };
enum class HUDPosition { center = 0, top = 1, bottom = 2 };
enum class HUDSize { compact = 0, regular = 1, large = 2 };
enum class HoverZone { center = 0, wholeEdge = 1 };
enum class NotchSide { left = 0, right = 1 };
enum class NotchContent { iconAndName = 0, nameOnly = 1, iconOnly = 2 };
enum class PillPlacement { belowPreview = 0, insidePreview = 1 };

// One entry of a picker: the value it selects and the text it shows.
template <class T>
struct Choice {
  T value;
  std::string_view label;
};

// The cases of an option enumeration with their labels, in raw-value order.
template <class E>
struct OptionEnum;

template <>
struct OptionEnum<MenuBarStyle> {
  static constexpr std::array<Choice<MenuBarStyle>, 4> cases{{
      {MenuBarStyle::iconAndName, "Icon and name"},
      {MenuBarStyle::nameOnly, "Name only"},
      {MenuBarStyle::iconOnly, "Icon only"},
      {MenuBarStyle::numberAndName, "Number and name"},
  }};
};
template <>
struct OptionEnum<HUDPosition> {
  static constexpr std::array<Choice<HUDPosition>, 3> cases{{
      {HUDPosition::center, "Center"},
      {HUDPosition::top, "Top"},
      {HUDPosition::bottom, "Bottom"},
  }};
};
template <>
struct OptionEnum<HUDSize> {
  static constexpr std::array<Choice<HUDSize>, 3> cases{{
      {HUDSize::compact, "Compact"},
      {HUDSize::regular, "Regular"},
      {HUDSize::large, "Large"},
  }};
};
template <>
struct OptionEnum<HoverZone> {
  static constexpr std::array<Choice<HoverZone>, 2> cases{{
      {HoverZone::center, "Center"},
      {HoverZone::wholeEdge, "Whole top edge"},
  }};
};
template <>
struct OptionEnum<NotchSide> {
  static constexpr std::array<Choice<NotchSide>, 2> cases{{
      {NotchSide::left, "Left of the notch"},
      {NotchSide::right, "Right of the notch"},
  }};
};
template <>
struct OptionEnum<NotchContent> {
  static constexpr std::array<Choice<NotchContent>, 3> cases{{
      {NotchContent::iconAndName, "Icon and name"},
      {NotchContent::nameOnly, "Name"},
      {NotchContent::iconOnly, "Icon"},
  }};
};
template <>
struct OptionEnum<PillPlacement> {
  static constexpr std::array<Choice<PillPlacement>, 2> cases{{
      {PillPlacement::belowPreview, "Below the preview"},
      {PillPlacement::insidePreview, "Inside the preview"},
  }};
};

template <class E>
concept OptionEnumeration = std::is_enum_v<E> && requires {
  OptionEnum<E>::cases;
};

// The stored number of a case (also what the diagnostics text prints).
template <OptionEnumeration E>
constexpr int rawValue(E value) {
  return static_cast<int>(value);
}

// The case stored as `raw`, or none when no case has that number.
template <OptionEnumeration E>
constexpr std::optional<E> fromRawValue(std::int64_t raw) {
  for (const auto& c : OptionEnum<E>::cases) {
    if (rawValue(c.value) == raw) return c.value;
  }
  return std::nullopt;
}

// Every case with its label, in raw-value order, for a picker.
template <OptionEnumeration E>
constexpr const auto& allChoices() {
  return OptionEnum<E>::cases;
}

// Every case in raw-value order.
template <OptionEnumeration E>
constexpr auto allCases() {
  std::array<E, OptionEnum<E>::cases.size()> out{};
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = OptionEnum<E>::cases[i].value;
  return out;
}

// The settings window's text for a case; empty for a number that is no case.
template <OptionEnumeration E>
constexpr std::string_view label(E value) {
  for (const auto& c : OptionEnum<E>::cases) {
    if (c.value == value) return c.label;
  }
  return {};
}

// How much larger or smaller than regular the switch tag is drawn.
constexpr double scale(HUDSize size) {
  switch (size) {
    case HUDSize::compact:
      return 0.82;
    case HUDSize::large:
      return 1.3;
    case HUDSize::regular:
      break;
  }
  return 1.0;
}

constexpr bool showsName(NotchContent content) {
  return content != NotchContent::iconOnly;
}
constexpr bool showsIcon(NotchContent content) {
  return content != NotchContent::nameOnly;
}

// Fixed choice lists of the settings window for options that are plain numbers, and the
// notch page's short side labels.
namespace choices {
inline constexpr std::array<Choice<std::int64_t>, 4> idleMinutes{{
    {1, "1 min"},
    {3, "3 min"},
    {5, "5 min"},
    {10, "10 min"},
}};
inline constexpr std::array<Choice<std::uint32_t>, 5> directJumpModifiers{{
    {platform::kControlKey | platform::kOptionKey, "⌃⌥"},
    {platform::kOptionKey, "⌥"},
    {platform::kControlKey | platform::kCmdKey, "⌃⌘"},
    {platform::kOptionKey | platform::kCmdKey, "⌥⌘"},
    {platform::kControlKey | platform::kOptionKey | platform::kCmdKey, "⌃⌥⌘"},
}};
inline constexpr std::array<Choice<NotchSide>, 2> notchSide{{
    {NotchSide::left, "Left"},
    {NotchSide::right, "Right"},
}};
}  // namespace choices

// ---- Stored forms ----------------------------------------------------------------------
// How a value type reads itself from a defaults key and writes itself back. read() answers
// none ("nothing stored") when the key is absent or holds something of another kind, so
// the option falls back to its default.

template <class T>
struct PrefValue;

template <>
struct PrefValue<bool> {
  static std::optional<bool> read(const Value& stored);
  static Value write(bool value);
};
template <>
struct PrefValue<std::int64_t> {
  static std::optional<std::int64_t> read(const Value& stored);
  static Value write(std::int64_t value);
};
// Modifier masks: stored as an integer; negative reads as 0, anything past 32 bits as the
// largest mask.
template <>
struct PrefValue<std::uint32_t> {
  static std::optional<std::uint32_t> read(const Value& stored);
  static Value write(std::uint32_t value);
};
template <>
struct PrefValue<double> {
  static std::optional<double> read(const Value& stored);
  static Value write(double value);
};
template <>
struct PrefValue<std::string> {
  static std::optional<std::string> read(const Value& stored);
  static Value write(const std::string& value);
};
// A shortcut is stored as the Hotkey's JSON; a cleared shortcut as empty data, so it stays
// cleared instead of falling back to its default. Data that does not decode reads as no
// shortcut. The outer optional is "stored or not", the inner one the shortcut itself.
template <>
struct PrefValue<std::optional<Hotkey>> {
  static std::optional<std::optional<Hotkey>> read(const Value& stored);
  static Value write(const std::optional<Hotkey>& value);
};
template <OptionEnumeration E>
struct PrefValue<E> {
  static std::optional<E> read(const Value& stored) {
    auto raw = stored.asInteger();
    return raw ? fromRawValue<E>(*raw) : std::nullopt;
  }
  static Value write(E value) { return Value(rawValue(value)); }
};

// One persisted option: its defaults key, the value it has when nothing usable is stored,
// and the cached copy (empty until first read or write).
template <class T>
struct Pref {
  std::string_view key;
  T defaultValue;
  mutable std::optional<T> cached{};

  const T& read(platform::Preferences& prefs) const {
    if (!cached) {
      cached = PrefValue<T>::read(prefs.value(platform::kAppDomain, key)).value_or(defaultValue);
    }
    return *cached;
  }
  void write(platform::Preferences& prefs, T value) {
    cached = std::move(value);
    prefs.setValue(platform::kAppDomain, key, PrefValue<T>::write(*cached));
  }
};

// ---- Settings --------------------------------------------------------------------------

class Settings {
 public:
  explicit Settings(platform::Preferences& prefs);
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // Fires before every write, with the old value still readable.
  Signal& willChange() { return willChange_; }

  // Menu bar tile and menu.
  MenuBarStyle menuBarStyle() const { return get(_menuBarStyle); }
  void setMenuBarStyle(MenuBarStyle v) { set(_menuBarStyle, v); }
  double menuBarMaxWidth() const { return get(_menuBarMaxWidth); }
  void setMenuBarMaxWidth(double v) { set(_menuBarMaxWidth, v); }
  bool showShortcutsInMenu() const { return get(_showShortcutsInMenu); }
  void setShowShortcutsInMenu(bool v) { set(_showShortcutsInMenu, v); }

  // Mission Control pills.
  bool mcLabelsEnabled() const { return get(_mcLabelsEnabled); }
  void setMcLabelsEnabled(bool v) { set(_mcLabelsEnabled, v); }
  bool mcShowUnnamed() const { return get(_mcShowUnnamed); }
  void setMcShowUnnamed(bool v) { set(_mcShowUnnamed, v); }
  bool mcShowNumber() const { return get(_mcShowNumber); }
  void setMcShowNumber(bool v) { set(_mcShowNumber, v); }
  PillPlacement mcPlacement() const { return get(_mcPlacement); }
  void setMcPlacement(PillPlacement v) { set(_mcPlacement, v); }
  double mcScale() const { return get(_mcScale); }
  void setMcScale(double v) { set(_mcScale, v); }
  double mcOffsetY() const { return get(_mcOffsetY); }
  void setMcOffsetY(double v) { set(_mcOffsetY, v); }

  // Switch tag.
  bool hudEnabled() const { return get(_hudEnabled); }
  void setHudEnabled(bool v) { set(_hudEnabled, v); }
  HUDPosition hudPosition() const { return get(_hudPosition); }
  void setHudPosition(HUDPosition v) { set(_hudPosition, v); }
  HUDSize hudSize() const { return get(_hudSize); }
  void setHudSize(HUDSize v) { set(_hudSize, v); }
  double hudDuration() const { return get(_hudDuration); }
  void setHudDuration(double v) { set(_hudDuration, v); }
  bool hudShowNumber() const { return get(_hudShowNumber); }
  void setHudShowNumber(bool v) { set(_hudShowNumber, v); }

  // Hover strip.
  bool hoverEnabled() const { return get(_hoverEnabled); }
  void setHoverEnabled(bool v) { set(_hoverEnabled, v); }
  HoverZone hoverZone() const { return get(_hoverZone); }
  void setHoverZone(HoverZone v) { set(_hoverZone, v); }
  double hoverDelay() const { return get(_hoverDelay); }
  void setHoverDelay(double v) { set(_hoverDelay, v); }

  // Notch label.
  bool notchEnabled() const { return get(_notchEnabled); }
  void setNotchEnabled(bool v) { set(_notchEnabled, v); }
  NotchSide notchSide() const { return get(_notchSide); }
  void setNotchSide(NotchSide v) { set(_notchSide, v); }
  NotchContent notchContent() const { return get(_notchContent); }
  void setNotchContent(NotchContent v) { set(_notchContent, v); }
  bool tileHiddenBesideNotch() const { return get(_tileHiddenBesideNotch); }
  void setTileHiddenBesideNotch(bool v) { set(_tileHiddenBesideNotch, v); }
  bool notchStandsIn() const { return get(_notchStandsIn); }
  void setNotchStandsIn(bool v) { set(_notchStandsIn, v); }

  // Time tracking.
  bool trackTime() const { return get(_trackTime); }
  void setTrackTime(bool v) { set(_trackTime, v); }
  std::int64_t idleMinutes() const { return get(_idleMinutes); }
  void setIdleMinutes(std::int64_t v) { set(_idleMinutes, v); }

  // Shortcuts. An empty hotkey is a shortcut the user cleared.
  std::optional<Hotkey> switcherHotkey() const { return get(_switcherHotkey); }
  void setSwitcherHotkey(std::optional<Hotkey> v) { set(_switcherHotkey, v); }
  std::optional<Hotkey> jumpBackHotkey() const { return get(_jumpBackHotkey); }
  void setJumpBackHotkey(std::optional<Hotkey> v) { set(_jumpBackHotkey, v); }
  std::optional<Hotkey> nextHotkey() const { return get(_nextHotkey); }
  void setNextHotkey(std::optional<Hotkey> v) { set(_nextHotkey, v); }
  std::optional<Hotkey> prevHotkey() const { return get(_prevHotkey); }
  void setPrevHotkey(std::optional<Hotkey> v) { set(_prevHotkey, v); }
  bool directJumpEnabled() const { return get(_directJumpEnabled); }
  void setDirectJumpEnabled(bool v) { set(_directJumpEnabled, v); }
  std::uint32_t directJumpModifiers() const { return get(_directJumpModifiers); }
  void setDirectJumpModifiers(std::uint32_t v) { set(_directJumpModifiers, v); }
  bool moveWindowEnabled() const { return get(_moveWindowEnabled); }
  void setMoveWindowEnabled(bool v) { set(_moveWindowEnabled, v); }
  bool moveFollow() const { return get(_moveFollow); }
  void setMoveFollow(bool v) { set(_moveFollow, v); }

  // Presentation mode.
  bool presenting() const { return get(_presenting); }
  void setPresenting(bool v) { set(_presenting, v); }
  std::optional<Hotkey> presentationHotkey() const { return get(_presentationHotkey); }
  void setPresentationHotkey(std::optional<Hotkey> v) { set(_presentationHotkey, v); }

  // Dock badges and switching.
  bool badgesEnabled() const { return get(_badgesEnabled); }
  void setBadgesEnabled(bool v) { set(_badgesEnabled, v); }
  bool nativeSwitching() const { return get(_nativeSwitching); }
  void setNativeSwitching(bool v) { set(_nativeSwitching, v); }
  bool autoEnabledShortcuts() const { return get(_autoEnabledShortcuts); }
  void setAutoEnabledShortcuts(bool v) { set(_autoEnabledShortcuts, v); }

  // Updates.
  bool updateCheckEnabled() const { return get(_updateCheckEnabled); }
  void setUpdateCheckEnabled(bool v) { set(_updateCheckEnabled, v); }
  // Seconds since 1970.
  double updateLastChecked() const { return get(_updateLastChecked); }
  void setUpdateLastChecked(double v) { set(_updateLastChecked, v); }
  std::string updateSkipped() const { return get(_updateSkipped); }
  void setUpdateSkipped(std::string v) { set(_updateSkipped, std::move(v)); }
  std::string updateAnnounced() const { return get(_updateAnnounced); }
  void setUpdateAnnounced(std::string v) { set(_updateAnnounced, std::move(v)); }
  std::string updateInstalling() const { return get(_updateInstalling); }
  void setUpdateInstalling(std::string v) { set(_updateInstalling, std::move(v)); }

  // First run and Accessibility.
  bool onboardingDismissed() const { return get(_onboardingDismissed); }
  void setOnboardingDismissed(bool v) { set(_onboardingDismissed, v); }
  std::string accessibilityRepairedFor() const { return get(_accessibilityRepairedFor); }

  // Stores a raw value under an option's key, as another program writing Velmora's defaults
  // would (a script, `defaults write`), and tells observers; the option reads it back with
  // its own forgiving rules. False for a key that names no option.
  bool setStoredValue(std::string_view key, const Value& value);
  void setAccessibilityRepairedFor(std::string v) { set(_accessibilityRepairedFor, std::move(v)); }

  // Every option in turn as its Pref (key, default, cached value), in the order above: how
  // a raw value finds its option by key, and how the whole table can be listed at once.
  template <class F>
  void forEachPref(F&& f) {
    f(_menuBarStyle);
    f(_menuBarMaxWidth);
    f(_showShortcutsInMenu);
    f(_mcLabelsEnabled);
    f(_mcShowUnnamed);
    f(_mcShowNumber);
    f(_mcPlacement);
    f(_mcScale);
    f(_mcOffsetY);
    f(_hudEnabled);
    f(_hudPosition);
    f(_hudSize);
    f(_hudDuration);
    f(_hudShowNumber);
    f(_hoverEnabled);
    f(_hoverZone);
    f(_hoverDelay);
    f(_notchEnabled);
    f(_notchSide);
    f(_notchContent);
    f(_tileHiddenBesideNotch);
    f(_notchStandsIn);
    f(_trackTime);
    f(_idleMinutes);
    f(_switcherHotkey);
    f(_jumpBackHotkey);
    f(_nextHotkey);
    f(_prevHotkey);
    f(_directJumpEnabled);
    f(_directJumpModifiers);
    f(_moveWindowEnabled);
    f(_moveFollow);
    f(_presenting);
    f(_presentationHotkey);
    f(_badgesEnabled);
    f(_nativeSwitching);
    f(_autoEnabledShortcuts);
    f(_updateCheckEnabled);
    f(_updateLastChecked);
    f(_updateSkipped);
    f(_updateAnnounced);
    f(_updateInstalling);
    f(_onboardingDismissed);
    f(_accessibilityRepairedFor);
  }

 private:
  template <class T>
  T get(const Pref<T>& pref) const {
    return pref.read(prefs_);
  }
  template <class T>
  void set(Pref<T>& pref, T value) {
    willChange_.emit();
    pref.write(prefs_, std::move(value));
  }

  // Default shortcuts: Control + Option with Space, Tab, →, ← and P.
  static constexpr std::optional<Hotkey> controlOption(std::uint32_t keyCode) {
    return Hotkey{keyCode, platform::kControlKey | platform::kOptionKey};
  }

  platform::Preferences& prefs_;
  Signal willChange_;

  Pref<MenuBarStyle> _menuBarStyle{"menuBarStyle", MenuBarStyle::iconAndName};
  Pref<double> _menuBarMaxWidth{"menuBarMaxWidth", 220.0};
  Pref<bool> _showShortcutsInMenu{"showShortcutsInMenu", true};
  Pref<bool> _mcLabelsEnabled{"mcLabelsEnabled", true};
  Pref<bool> _mcShowUnnamed{"mcShowUnnamed", true};
  Pref<bool> _mcShowNumber{"mcShowNumber", false};
  Pref<PillPlacement> _mcPlacement{"mcPlacement", PillPlacement::belowPreview};
  Pref<double> _mcScale{"mcScale", 1.0};
  Pref<double> _mcOffsetY{"mcOffsetY", 0.0};
  Pref<bool> _hudEnabled{"hudEnabled", true};
  Pref<HUDPosition> _hudPosition{"hudPosition", HUDPosition::center};
  Pref<HUDSize> _hudSize{"hudSize", HUDSize::regular};
  Pref<double> _hudDuration{"hudDuration", 1.2};
  Pref<bool> _hudShowNumber{"hudShowNumber", true};
  Pref<bool> _hoverEnabled{"hoverEnabled", true};
  Pref<HoverZone> _hoverZone{"hoverZone", HoverZone::center};
  Pref<double> _hoverDelay{"hoverDelay", 0.45};
  Pref<bool> _notchEnabled{"notchEnabled", false};
  Pref<NotchSide> _notchSide{"notchSide", NotchSide::left};
  Pref<NotchContent> _notchContent;  // its default depends on what older versions stored
  Pref<bool> _tileHiddenBesideNotch{"tileHiddenBesideNotch", false};
  Pref<bool> _notchStandsIn{"notchStandsInForTile", true};
  Pref<bool> _trackTime{"trackTime", true};
  Pref<std::int64_t> _idleMinutes{"idleMinutes", 3};
  Pref<std::optional<Hotkey>> _switcherHotkey{"switcherHotkey",
                                              controlOption(platform::keys::kSpace)};
  Pref<std::optional<Hotkey>> _jumpBackHotkey{"jumpBackHotkey",
                                              controlOption(platform::keys::kTab)};
  Pref<std::optional<Hotkey>> _nextHotkey{"nextHotkey", controlOption(platform::keys::kRightArrow)};
  Pref<std::optional<Hotkey>> _prevHotkey{"prevHotkey", controlOption(platform::keys::kLeftArrow)};
  Pref<bool> _directJumpEnabled{"directJumpEnabled", true};
  Pref<std::uint32_t> _directJumpModifiers{"directJumpModifiers",
                                           platform::kControlKey | platform::kOptionKey};
  Pref<bool> _moveWindowEnabled{"moveWindowEnabled", true};
  Pref<bool> _moveFollow{"moveFollow", false};
  Pref<bool> _presenting{"presenting", false};
  Pref<std::optional<Hotkey>> _presentationHotkey{"presentationHotkey",
                                                  controlOption(platform::keys::kP)};
  Pref<bool> _badgesEnabled{"badgesEnabled", true};
  Pref<bool> _nativeSwitching{"nativeSwitching", true};
  Pref<bool> _autoEnabledShortcuts{"autoEnabledShortcuts", false};
  Pref<bool> _updateCheckEnabled{"updateCheckEnabled", true};
  Pref<double> _updateLastChecked{"updateLastChecked", 0.0};
  Pref<std::string> _updateSkipped{"updateSkipped", ""};
  Pref<std::string> _updateAnnounced{"updateAnnounced", ""};
  Pref<std::string> _updateInstalling{"updateInstalling", ""};
  Pref<bool> _onboardingDismissed{"onboardingDismissed", false};
  Pref<std::string> _accessibilityRepairedFor{"accessibilityRepairedFor", ""};
};

}  // namespace velmora
