#include "store/settings.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/plist_preferences.h"

namespace velmora {
namespace {

using platform::kAppDomain;

constexpr std::uint32_t kControlOption = platform::kControlKey | platform::kOptionKey;

Value jsonData(std::string_view json) {
  return Value(Value::Data{{json.begin(), json.end()}});
}

// Each test gets its own Preferences folder, never the real home.
class SettingsTest : public ::testing::Test {
 protected:
  ~SettingsTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  static std::filesystem::path freshFolder() {
    static int counter = 0;
    auto folder =
        std::filesystem::temp_directory_path() /
        ("velmora-settings-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
  }

  Value stored(std::string_view key) { return prefs_.value(kAppDomain, key); }
  void store(std::string_view key, const Value& value) {
    ASSERT_TRUE(prefs_.setValue(kAppDomain, key, value));
  }

  std::filesystem::path folder_ = freshFolder();
  linuxhost::PlistPreferences prefs_{folder_};
};

// ---- Defaults --------------------------------------------------------------------------

TEST_F(SettingsTest, FreshDomainReadsEveryDefaultAndWritesNothing) {
  Settings s(prefs_);

  EXPECT_EQ(s.menuBarStyle(), MenuBarStyle::iconAndName);
  EXPECT_EQ(s.menuBarMaxWidth(), 220.0);
  EXPECT_TRUE(s.showShortcutsInMenu());
  EXPECT_TRUE(s.mcLabelsEnabled());
  EXPECT_TRUE(s.mcShowUnnamed());
  EXPECT_FALSE(s.mcShowNumber());
  EXPECT_EQ(s.mcPlacement(), PillPlacement::belowPreview);
  EXPECT_EQ(s.mcScale(), 1.0);
  EXPECT_EQ(s.mcOffsetY(), 0.0);
  EXPECT_TRUE(s.hudEnabled());
  EXPECT_EQ(s.hudPosition(), HUDPosition::center);
  EXPECT_EQ(s.hudSize(), HUDSize::regular);
  EXPECT_EQ(s.hudDuration(), 1.2);
  EXPECT_TRUE(s.hudShowNumber());
  EXPECT_TRUE(s.hoverEnabled());
  EXPECT_EQ(s.hoverZone(), HoverZone::center);
  EXPECT_EQ(s.hoverDelay(), 0.45);
  EXPECT_FALSE(s.notchEnabled());
  EXPECT_EQ(s.notchSide(), NotchSide::left);
  EXPECT_EQ(s.notchContent(), NotchContent::iconAndName);
  EXPECT_FALSE(s.tileHiddenBesideNotch());
  EXPECT_TRUE(s.notchStandsIn());
  EXPECT_TRUE(s.trackTime());
  EXPECT_EQ(s.idleMinutes(), 3);
  EXPECT_EQ(s.switcherHotkey(), (Hotkey{49, kControlOption}));
  EXPECT_EQ(s.jumpBackHotkey(), (Hotkey{48, kControlOption}));
  EXPECT_EQ(s.nextHotkey(), (Hotkey{124, kControlOption}));
  EXPECT_EQ(s.prevHotkey(), (Hotkey{123, kControlOption}));
  EXPECT_TRUE(s.directJumpEnabled());
  EXPECT_EQ(s.directJumpModifiers(), 6144u);
  EXPECT_TRUE(s.moveWindowEnabled());
  EXPECT_FALSE(s.moveFollow());
  EXPECT_FALSE(s.presenting());
  EXPECT_EQ(s.presentationHotkey(), (Hotkey{35, kControlOption}));
  EXPECT_TRUE(s.badgesEnabled());
  EXPECT_TRUE(s.nativeSwitching());
  EXPECT_FALSE(s.autoEnabledShortcuts());
  EXPECT_TRUE(s.updateCheckEnabled());
  EXPECT_EQ(s.updateLastChecked(), 0.0);
  EXPECT_EQ(s.updateSkipped(), "");
  EXPECT_EQ(s.updateAnnounced(), "");
  EXPECT_EQ(s.updateInstalling(), "");
  EXPECT_FALSE(s.onboardingDismissed());
  EXPECT_EQ(s.accessibilityRepairedFor(), "");

  EXPECT_FALSE(prefs_.persistentDomain(kAppDomain).has_value());
  EXPECT_FALSE(std::filesystem::exists(prefs_.fileFor(kAppDomain)));
}

// ---- Stored forms ----------------------------------------------------------------------

// Other copies of the app, the predecessor import and the user's `defaults` commands all meet
// these keys and forms, so every option is checked against its exact key.
TEST_F(SettingsTest, EveryOptionIsWrittenAtOnceUnderItsKeyInItsStoredForm) {
  const Hotkey sw{1, 256}, back{2, 512}, next{3, 2048}, prev{4, 4096}, present{5, 768};
  {
    Settings s(prefs_);
    s.setMenuBarStyle(MenuBarStyle::numberAndName);
    s.setMenuBarMaxWidth(300.5);
    s.setShowShortcutsInMenu(false);
    s.setMcLabelsEnabled(false);
    s.setMcShowUnnamed(false);
    s.setMcShowNumber(true);
    s.setMcPlacement(PillPlacement::insidePreview);
    s.setMcScale(1.5);
    s.setMcOffsetY(-4.0);
    s.setHudEnabled(false);
    s.setHudPosition(HUDPosition::bottom);
    s.setHudSize(HUDSize::large);
    s.setHudDuration(2.5);
    s.setHudShowNumber(false);
    s.setHoverEnabled(false);
    s.setHoverZone(HoverZone::wholeEdge);
    s.setHoverDelay(0.8);
    s.setNotchEnabled(true);
    s.setNotchSide(NotchSide::right);
    s.setNotchContent(NotchContent::iconOnly);
    s.setTileHiddenBesideNotch(true);
    s.setNotchStandsIn(false);
    s.setTrackTime(false);
    s.setIdleMinutes(10);
    s.setSwitcherHotkey(sw);
    s.setJumpBackHotkey(back);
    s.setNextHotkey(next);
    s.setPrevHotkey(prev);
    s.setDirectJumpEnabled(false);
    s.setDirectJumpModifiers(4352);
    s.setMoveWindowEnabled(false);
    s.setMoveFollow(true);
    s.setPresenting(true);
    s.setPresentationHotkey(present);
    s.setBadgesEnabled(false);
    s.setNativeSwitching(false);
    s.setAutoEnabledShortcuts(true);
    s.setUpdateCheckEnabled(false);
    s.setUpdateLastChecked(1700000000.25);
    s.setUpdateSkipped("2.1");
    s.setUpdateAnnounced("2.2");
    s.setUpdateInstalling("2.3");
    s.setOnboardingDismissed(true);
    s.setAccessibilityRepairedFor("2.0");
  }

  auto hotkeyData = [](Hotkey h) { return jsonData(h.toJSON()); };
  const Value::Dictionary expected{
      {"menuBarStyle", 3},
      {"menuBarMaxWidth", 300.5},
      {"showShortcutsInMenu", false},
      {"mcLabelsEnabled", false},
      {"mcShowUnnamed", false},
      {"mcShowNumber", true},
      {"mcPlacement", 1},
      {"mcScale", 1.5},
      {"mcOffsetY", -4.0},
      {"hudEnabled", false},
      {"hudPosition", 2},
      {"hudSize", 2},
      {"hudDuration", 2.5},
      {"hudShowNumber", false},
      {"hoverEnabled", false},
      {"hoverZone", 1},
      {"hoverDelay", 0.8},
      {"notchEnabled", true},
      {"notchSide", 1},
      {"notchContent", 2},
      {"tileHiddenBesideNotch", true},
      {"notchStandsInForTile", false},
      {"trackTime", false},
      {"idleMinutes", 10},
      {"switcherHotkey", hotkeyData(sw)},
      {"jumpBackHotkey", hotkeyData(back)},
      {"nextHotkey", hotkeyData(next)},
      {"prevHotkey", hotkeyData(prev)},
      {"directJumpEnabled", false},
      {"directJumpModifiers", 4352},
      {"moveWindowEnabled", false},
      {"moveFollow", true},
      {"presenting", true},
      {"presentationHotkey", hotkeyData(present)},
      {"badgesEnabled", false},
      {"nativeSwitching", false},
      {"autoEnabledShortcuts", true},
      {"updateCheckEnabled", false},
      {"updateLastChecked", 1700000000.25},
      {"updateSkipped", "2.1"},
      {"updateAnnounced", "2.2"},
      {"updateInstalling", "2.3"},
      {"onboardingDismissed", true},
      {"accessibilityRepairedFor", "2.0"},
  };
  auto domain = prefs_.persistentDomain(kAppDomain);
  ASSERT_TRUE(domain.has_value());
  for (const auto& [key, value] : expected) {
    auto it = domain->find(key);
    ASSERT_NE(it, domain->end()) << key;
    EXPECT_EQ(it->second, value) << key << ": " << describe(it->second);
  }
  EXPECT_EQ(domain->size(), expected.size());
}

// ---- Read rules ------------------------------------------------------------------------

TEST_F(SettingsTest, EnumerationsReadOnlyKnownRawValues) {
  store("menuBarStyle", 7);
  store("hudPosition", "1");
  store("hudSize", -1);
  store("hoverZone", 1.0);  // a whole number kept as a real still names a case
  store("mcPlacement", true);
  Settings s(prefs_);
  EXPECT_EQ(s.menuBarStyle(), MenuBarStyle::iconAndName);
  EXPECT_EQ(s.hudPosition(), HUDPosition::center);
  EXPECT_EQ(s.hudSize(), HUDSize::regular);
  EXPECT_EQ(s.hoverZone(), HoverZone::wholeEdge);
  EXPECT_EQ(s.mcPlacement(), PillPlacement::belowPreview);
}

TEST_F(SettingsTest, ModifierMaskIsClampedIntoThirtyTwoBits) {
  const std::pair<Value, std::uint32_t> cases[] = {
      {-5, 0u},
      {std::int64_t{1} << 40, std::numeric_limits<std::uint32_t>::max()},
      {4294967295LL, 4294967295u},
      {"6400", 6144u},  // wrong kind: the default
      {2048.5, 6144u},
  };
  for (const auto& [value, expected] : cases) {
    store("directJumpModifiers", value);
    EXPECT_EQ(Settings(prefs_).directJumpModifiers(), expected) << describe(value);
  }
}

TEST_F(SettingsTest, ValuesOfTheWrongKindReadAsTheDefault) {
  store("hudEnabled", 0);         // as `defaults write … -int 0` leaves it: false
  store("moveFollow", 1);         // and 1 is true
  store("mcShowNumber", "true");  // but text is not a boolean
  store("idleMinutes", 2.5);      // not a whole number
  store("hudDuration", "2");
  store("updateSkipped", 21);
  store("trackTime", Value::array({false}));
  store("menuBarMaxWidth", 300);  // an integer is a fine double
  Settings s(prefs_);
  EXPECT_FALSE(s.hudEnabled());
  EXPECT_TRUE(s.moveFollow());
  EXPECT_FALSE(s.mcShowNumber());
  EXPECT_EQ(s.idleMinutes(), 3);
  EXPECT_EQ(s.hudDuration(), 1.2);
  EXPECT_EQ(s.updateSkipped(), "");
  EXPECT_TRUE(s.trackTime());
  EXPECT_EQ(s.menuBarMaxWidth(), 300.0);

  // Reading never repairs what is stored; only a write replaces it.
  EXPECT_EQ(stored("hudEnabled"), Value(0));
  s.setHudEnabled(true);
  EXPECT_EQ(stored("hudEnabled"), Value(true));
}

// ---- Shortcuts -------------------------------------------------------------------------

TEST_F(SettingsTest, ClearedShortcutStaysClearedUntilTheKeyIsDeleted) {
  {
    Settings s(prefs_);
    s.setJumpBackHotkey(std::nullopt);
    EXPECT_EQ(s.jumpBackHotkey(), std::nullopt);
  }
  EXPECT_EQ(stored("jumpBackHotkey"), Value(Value::Data{}));
  {
    Settings s(prefs_);
    EXPECT_EQ(s.jumpBackHotkey(), std::nullopt);
  }
  store("jumpBackHotkey", nullptr);
  Settings s(prefs_);
  EXPECT_EQ(s.jumpBackHotkey(), (Hotkey{48, kControlOption}));
}

TEST_F(SettingsTest, StoredShortcutsDecodeOrReadAsNone) {
  store("switcherHotkey", jsonData(R"({"keyCode": 18, "modifiers": 4352})"));
  store("nextHotkey", jsonData("not json"));
  store("prevHotkey", jsonData(R"({"keyCode": 18})"));
  store("presentationHotkey", jsonData(R"({"keyCode": -1, "modifiers": 0})"));
  store("jumpBackHotkey", R"({"keyCode": 18, "modifiers": 4352})");  // text, not data
  Settings s(prefs_);
  EXPECT_EQ(s.switcherHotkey(), (Hotkey{18, 4352}));
  EXPECT_EQ(s.nextHotkey(), std::nullopt);
  EXPECT_EQ(s.prevHotkey(), std::nullopt);
  EXPECT_EQ(s.presentationHotkey(), std::nullopt);
  EXPECT_EQ(s.jumpBackHotkey(), (Hotkey{48, kControlOption}));
}

// ---- Notch content default -------------------------------------------------------------

TEST_F(SettingsTest, OlderIconSwitchTurnedOffMeansNameOnly) {
  store("notchShowIcon", false);
  Settings s(prefs_);
  EXPECT_EQ(s.notchContent(), NotchContent::nameOnly);
  EXPECT_TRUE(showsName(s.notchContent()));
  EXPECT_FALSE(showsIcon(s.notchContent()));

  s.setNotchContent(NotchContent::iconAndName);
  EXPECT_EQ(stored("notchShowIcon"), Value(false));  // never rewritten
  EXPECT_EQ(stored("notchContent"), Value(0));
}

TEST_F(SettingsTest, OlderIconSwitchGivesWayToAStoredChoice) {
  store("notchShowIcon", false);
  store("notchContent", 2);
  Settings s(prefs_);
  EXPECT_EQ(s.notchContent(), NotchContent::iconOnly);
}

TEST_F(SettingsTest, NotchContentDefaultIsDecidedAtCreation) {
  {
    store("notchShowIcon", true);
    Settings s(prefs_);
    EXPECT_EQ(s.notchContent(), NotchContent::iconAndName);
  }
  // Flipped after creation but before the first read: the default was already chosen.
  Settings s(prefs_);
  store("notchShowIcon", false);
  EXPECT_EQ(s.notchContent(), NotchContent::iconAndName);
}

// ---- Cache -----------------------------------------------------------------------------

TEST_F(SettingsTest, OutsideChangesAreSeenOnlyBeforeTheFirstReadOrByTheNextLaunch) {
  Settings s(prefs_);
  store("hudSize", 0);  // not read yet: seen
  EXPECT_EQ(s.hudSize(), HUDSize::compact);

  EXPECT_EQ(s.hoverDelay(), 0.45);
  store("hoverDelay", 2.0);  // already cached, default included
  EXPECT_EQ(s.hoverDelay(), 0.45);
  EXPECT_EQ(Settings(prefs_).hoverDelay(), 2.0);
}

// Preferences whose writes always fail, as with a full or read-only disk.
class UnwritablePreferences final : public platform::Preferences {
 public:
  Value value(std::string_view, std::string_view) override { return {}; }
  bool setValue(std::string_view, std::string_view, const Value&) override {
    ++attempts;
    return false;
  }
  std::optional<Value::Dictionary> persistentDomain(std::string_view) override { return {}; }
  int attempts = 0;
};

TEST(SettingsWriteFailure, KeepsTheNewValueForThisRun) {
  UnwritablePreferences prefs;
  Settings s(prefs);
  s.setPresenting(true);
  EXPECT_EQ(prefs.attempts, 1);
  EXPECT_TRUE(s.presenting());
}

// ---- Change announcement ---------------------------------------------------------------

TEST_F(SettingsTest, AnnouncesBeforeEveryWrite) {
  Settings s(prefs_);
  std::vector<std::string> seen;
  auto connection = s.willChange().connect([&] {
    // Observers are told while the old value is still in place, in memory and on disk.
    seen.push_back(std::to_string(rawValue(s.menuBarStyle())) + "/" +
                   describe(stored("menuBarStyle")));
  });

  s.setMenuBarStyle(MenuBarStyle::nameOnly);
  s.setMenuBarStyle(MenuBarStyle::nameOnly);  // the same value is still a write
  EXPECT_EQ(seen, (std::vector<std::string>{"0/" + describe(Value()), "1/" + describe(Value(1))}));

  connection.disconnect();
  s.setMenuBarStyle(MenuBarStyle::iconOnly);
  EXPECT_EQ(seen.size(), 2u);
}

// ---- Enumerations and choice lists -----------------------------------------------------

template <OptionEnumeration E>
void expectPickerInRawValueOrder() {
  const auto cases = allCases<E>();
  std::vector<std::string_view> labels;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(rawValue(cases[i]), static_cast<int>(i));
    EXPECT_EQ(fromRawValue<E>(static_cast<std::int64_t>(i)), cases[i]);
    EXPECT_FALSE(label(cases[i]).empty());
    labels.push_back(label(cases[i]));
  }
  EXPECT_EQ(fromRawValue<E>(static_cast<std::int64_t>(cases.size())), std::nullopt);
  EXPECT_EQ(fromRawValue<E>(-1), std::nullopt);
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(std::adjacent_find(labels.begin(), labels.end()), labels.end()) << "duplicate label";
}

TEST(SettingsEnumerations, PickersListEveryCaseInRawValueOrder) {
  expectPickerInRawValueOrder<MenuBarStyle>();
  expectPickerInRawValueOrder<HUDPosition>();
  expectPickerInRawValueOrder<HUDSize>();
  expectPickerInRawValueOrder<HoverZone>();
  expectPickerInRawValueOrder<NotchSide>();
  expectPickerInRawValueOrder<NotchContent>();
  expectPickerInRawValueOrder<PillPlacement>();
}

TEST(SettingsEnumerations, DerivedValues) {
  EXPECT_DOUBLE_EQ(scale(HUDSize::compact), 0.82);
  EXPECT_DOUBLE_EQ(scale(HUDSize::regular), 1.0);
  EXPECT_DOUBLE_EQ(scale(HUDSize::large), 1.3);

  EXPECT_TRUE(showsName(NotchContent::iconAndName) && showsIcon(NotchContent::iconAndName));
  EXPECT_TRUE(showsName(NotchContent::nameOnly) && !showsIcon(NotchContent::nameOnly));
  EXPECT_TRUE(!showsName(NotchContent::iconOnly) && showsIcon(NotchContent::iconOnly));
}

TEST(SettingsChoices, LabelsDescribeTheirValues) {
  for (const auto& c : choices::idleMinutes) {
    EXPECT_EQ(c.label, std::to_string(c.value) + " min");
  }
  EXPECT_EQ(choices::idleMinutes.front().value, 1);
  EXPECT_EQ(choices::idleMinutes.back().value, 10);

  // The modifier picker's labels are the menus' own symbols for the same masks.
  for (const auto& c : choices::directJumpModifiers) {
    EXPECT_EQ(c.label, KeyNames::symbols(c.value)) << c.value;
  }
  EXPECT_EQ(choices::directJumpModifiers.front().value, kControlOption);

  ASSERT_EQ(choices::notchSide.size(), 2u);
  EXPECT_EQ(choices::notchSide[0].value, NotchSide::left);
  EXPECT_EQ(choices::notchSide[0].label, "Left");
  EXPECT_EQ(choices::notchSide[1].value, NotchSide::right);
  EXPECT_EQ(choices::notchSide[1].label, "Right");
}

}  // namespace
}  // namespace velmora
