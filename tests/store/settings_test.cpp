#include "store/settings.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "golden.h"
#include "platform/linux/plist_preferences.h"
#include "platform/linux/test_pictures.h"

namespace velmora {
namespace {

using platform::kAppDomain;
using testing::num;

Value jsonData(std::string_view json) {
  return Value(Value::Data{{json.begin(), json.end()}});
}

// An option's value as the goldens show it; enumerations with their picker label.
template <class T>
std::string show(const T& v) {
  if constexpr (std::is_same_v<T, bool>) {
    return v ? "true" : "false";
  } else if constexpr (std::is_same_v<T, std::string>) {
    return '"' + v + '"';
  } else if constexpr (std::is_same_v<T, double>) {
    return num(v);
  } else if constexpr (std::is_same_v<T, std::optional<Hotkey>>) {
    return v ? v->toJSON() : "none";
  } else if constexpr (OptionEnumeration<T>) {
    return std::to_string(rawValue(v)) + " (" + std::string(label(v)) + ")";
  } else {
    return std::to_string(v);
  }
}

// A stored value with its kind, since an integer where a real belongs is a different key.
std::string storedForm(const Value& v) {
  if (const auto* data = v.asData()) {
    return data->bytes.empty() ? "empty data"
                               : "data " + std::string(data->bytes.begin(), data->bytes.end());
  }
  if (v.kind() == Value::Kind::Real) return "real " + num(*v.asNumber());
  if (v.kind() == Value::Kind::Integer) return "integer " + describe(v);
  return describe(v);
}

// A value other than `v` of the same type, for the write check.
template <class T>
T changed(const T& v) {
  if constexpr (std::is_same_v<T, bool>) {
    return !v;
  } else if constexpr (std::is_same_v<T, std::string>) {
    return v + "2.1";
  } else if constexpr (std::is_same_v<T, double>) {
    return v + 1;
  } else if constexpr (std::is_same_v<T, std::uint32_t>) {
    return v | platform::kCmdKey;
  } else if constexpr (std::is_same_v<T, std::optional<Hotkey>>) {
    return Hotkey{v->keyCode + 1, v->modifiers | platform::kShiftKey};
  } else if constexpr (OptionEnumeration<T>) {
    return *fromRawValue<T>((rawValue(v) + 1) % static_cast<int>(allCases<T>().size()));
  } else {
    return v + 7;
  }
}

class SettingsTest : public ::testing::Test {
 protected:
  Value stored(std::string_view key) { return prefs_.value(kAppDomain, key); }
  void store(std::string_view key, const Value& value) {
    ASSERT_TRUE(prefs_.setValue(kAppDomain, key, value));
  }
  // What a fresh Settings reads for the option stored under `key`.
  std::string readsAs(std::string_view key) {
    Settings s(prefs_);
    std::string shown;
    s.forEachPref([&](const auto& pref) {
      if (pref.key == key) shown = show(pref.read(prefs_));
    });
    return shown;
  }

  test_support::TemporaryFolder folder_;
  linuxhost::PlistPreferences prefs_{folder_.path()};
};

// Other copies of the app, the predecessor import and the user's `defaults` commands all meet
// these keys and forms, so every option's key, default and stored form is in the golden file.
TEST_F(SettingsTest, EveryOptionHasItsKeyDefaultAndStoredForm) {
  std::vector<std::string> lines, written;
  {
    Settings s(prefs_);
    s.forEachPref([&](const auto& pref) {
      lines.push_back(std::string(pref.key) + "  default " + show(pref.read(prefs_)));
    });
    EXPECT_FALSE(std::filesystem::exists(prefs_.fileFor(kAppDomain))) << "reading wrote nothing";
    s.forEachPref([&](auto& pref) {
      auto value = changed(pref.read(prefs_));
      pref.write(prefs_, value);
      written.push_back(show(value));
      lines[written.size() - 1] +=
          "  set " + show(value) + "  stored " + storedForm(stored(pref.key));
    });
  }
  std::string table;
  for (const std::string& line : lines) table += line + "\n";
  EXPECT_TRUE(testing::matchesGolden("store/settings_options.txt", table));

  // A later launch reads every option back, and nothing else was written.
  std::vector<std::string> readBack;
  Settings again(prefs_);
  again.forEachPref([&](const auto& pref) { readBack.push_back(show(pref.read(prefs_))); });
  EXPECT_EQ(readBack, written);
  EXPECT_EQ(prefs_.persistentDomain(kAppDomain)->size(), written.size());
}

// What other programs may leave under our keys, and what each option makes of it.
TEST_F(SettingsTest, StoredValuesOfEveryKindReadByTheOptionsRules) {
  // Whole numbers kept as reals, masks beyond 32 bits, text where a number or a shortcut's data
  // belongs, and `defaults write … -int 0` where a boolean belongs.
  const std::vector<std::pair<std::string, Value>> cases = {
      {"menuBarStyle", 7},
      {"hudPosition", "1"},
      {"hudSize", -1},
      {"hoverZone", 1.0},
      {"mcPlacement", true},
      {"directJumpModifiers", -5},
      {"directJumpModifiers", std::int64_t{1} << 40},
      {"directJumpModifiers", 4294967295LL},
      {"directJumpModifiers", "6400"},
      {"directJumpModifiers", 2048.5},
      {"hudEnabled", 0},
      {"moveFollow", 1},
      {"mcShowNumber", "true"},
      {"idleMinutes", 2.5},
      {"hudDuration", "2"},
      {"updateSkipped", 21},
      {"trackTime", Value::array({false})},
      {"menuBarMaxWidth", 300},
      {"switcherHotkey", jsonData(R"({"keyCode": 18, "modifiers": 4352})")},
      {"nextHotkey", jsonData("not json")},
      {"prevHotkey", jsonData(R"({"keyCode": 18})")},
      {"presentationHotkey", jsonData(R"({"keyCode": -1, "modifiers": 0})")},
      {"jumpBackHotkey", R"({"keyCode": 18, "modifiers": 4352})"},
      {"jumpBackHotkey", Value(Value::Data{})}};
  std::ostringstream table;
  for (const auto& [key, value] : cases) {
    store(key, value);
    table << key << " = " << storedForm(value) << "  reads " << readsAs(key) << "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("store/settings_read_rules.txt", table.str()));

  // Reading never repairs what is stored; only a write replaces it.
  Settings s(prefs_);
  EXPECT_FALSE(s.hudEnabled());
  EXPECT_EQ(stored("hudEnabled"), Value(0));
  s.setHudEnabled(true);
  EXPECT_EQ(stored("hudEnabled"), Value(true));
}

TEST_F(SettingsTest, ClearedShortcutStaysClearedUntilTheKeyIsDeleted) {
  Settings(prefs_).setJumpBackHotkey(std::nullopt);
  EXPECT_EQ(stored("jumpBackHotkey"), Value(Value::Data{}));
  EXPECT_EQ(Settings(prefs_).jumpBackHotkey(), std::nullopt);
  store("jumpBackHotkey", nullptr);
  EXPECT_EQ(Settings(prefs_).jumpBackHotkey(),
            (Hotkey{48, platform::kControlKey | platform::kOptionKey}));
}

// Older versions kept a plain "show the icon beside the notch" switch; its default is decided
// when Settings is made, and a stored choice wins.
TEST_F(SettingsTest, TheOlderNotchIconSwitchDecidesTheNotchContentDefault) {
  store("notchShowIcon", true);
  Settings early(prefs_);
  store("notchShowIcon", false);  // flipped after creation, before the first read
  EXPECT_EQ(early.notchContent(), NotchContent::iconAndName);

  Settings s(prefs_);
  EXPECT_EQ(s.notchContent(), NotchContent::nameOnly);
  s.setNotchContent(NotchContent::iconAndName);
  EXPECT_EQ(stored("notchShowIcon"), Value(false));  // never rewritten
  EXPECT_EQ(stored("notchContent"), Value(0));
  store("notchContent", 2);
  EXPECT_EQ(Settings(prefs_).notchContent(), NotchContent::iconOnly);
}

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

TEST_F(SettingsTest, AnnouncesBeforeEveryWrite) {
  Settings s(prefs_);
  std::vector<std::string> seen;
  auto connection = s.willChange().connect([&] {
    // Observers are told while the old value is still in place, in memory and on disk.
    seen.push_back(show(s.menuBarStyle()) + "/" + describe(stored("menuBarStyle")));
  });

  s.setMenuBarStyle(MenuBarStyle::nameOnly);
  s.setMenuBarStyle(MenuBarStyle::nameOnly);  // the same value is still a write
  EXPECT_TRUE(s.setStoredValue("menuBarStyle", 2));
  EXPECT_FALSE(s.setStoredValue("noSuchOption", 2));
  EXPECT_EQ(seen, (std::vector<std::string>{"0 (Icon and name)/null", "1 (Name only)/1",
                                            "1 (Name only)/1"}));
  EXPECT_EQ(s.menuBarStyle(), MenuBarStyle::iconOnly);

  connection.disconnect();
  s.setMenuBarStyle(MenuBarStyle::iconOnly);
  EXPECT_EQ(seen.size(), 3u);
}

// Every picker case in raw-value order with its label, and the fixed choice lists.
template <OptionEnumeration E>
void listCases(std::ostream& out, const char* name) {
  std::set<std::string_view> labels;
  for (const auto& [value, text] : allChoices<E>()) {
    EXPECT_EQ(fromRawValue<E>(rawValue(value)), value) << name;
    labels.insert(text);
    out << name << " " << show(value);
    if constexpr (std::is_same_v<E, HUDSize>) out << " scale " << num(scale(value));
    if constexpr (std::is_same_v<E, NotchContent>) {
      out << (showsIcon(value) ? " icon" : "") << (showsName(value) ? " name" : "");
    }
    out << "\n";
  }
  EXPECT_EQ(labels.size(), allChoices<E>().size()) << name << ": a label twice";
  EXPECT_EQ(fromRawValue<E>(static_cast<std::int64_t>(allChoices<E>().size())), std::nullopt);
  EXPECT_EQ(fromRawValue<E>(-1), std::nullopt);
}

TEST(SettingsChoices, PickersListEveryCaseInRawValueOrder) {
  std::ostringstream out;
  listCases<MenuBarStyle>(out, "MenuBarStyle");
  listCases<HUDPosition>(out, "HUDPosition");
  listCases<HUDSize>(out, "HUDSize");
  listCases<HoverZone>(out, "HoverZone");
  listCases<NotchSide>(out, "NotchSide");
  listCases<NotchContent>(out, "NotchContent");
  listCases<PillPlacement>(out, "PillPlacement");
  for (const auto& c : choices::idleMinutes)
    out << "idleMinutes " << c.value << " " << c.label << "\n";
  for (const auto& c : choices::notchSide)
    out << "notchSide " << show(c.value) << " " << c.label << "\n";
  for (const auto& c : choices::directJumpModifiers) {
    out << "directJumpModifiers " << c.value << " " << c.label << "\n";
    // The modifier picker's labels are the menus' own symbols for the same masks.
    EXPECT_EQ(c.label, KeyNames::symbols(c.value)) << c.value;
  }
  EXPECT_TRUE(testing::matchesGolden("store/settings_choices.txt", out.str()));
}

}  // namespace
}  // namespace velmora
