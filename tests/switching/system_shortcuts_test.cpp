#include "switching/system_shortcuts.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/sim/virtual_mac.h"
#include "store/settings.h"
#include "switching/key_synth.h"

namespace velmora {
namespace {

Value entry(Value enabled, Value parameters) {
  Value::Dictionary d;
  if (!enabled.isNull()) d["enabled"] = enabled;
  if (!parameters.isNull()) {
    d["value"] = Value::dictionary({{"parameters", parameters}, {"type", "standard"}});
  }
  return Value(d);
}

class SystemShortcutsTest : public ::testing::Test {
 protected:
  void store(Value::Dictionary entries) {
    mac.preferences().setValue(SystemShortcuts::kDomain, SystemShortcuts::kKey, Value(entries));
  }
  Value::Dictionary stored() {
    Value all = mac.preferences().value(SystemShortcuts::kDomain, SystemShortcuts::kKey);
    const Value::Dictionary* d = all.asDictionary();
    return d ? *d : Value::Dictionary{};
  }
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  KeyNames names{mac.platform().keyboardLayout};
  MemoryLog switchesLog;
  SystemShortcuts shortcuts{mac.preferences(), names, mac, &switchesLog};
};

// What the stored domain gives: the number of desktop shortcuts on, then one line per
// desktop 1 to 11 and per move, with key code and flags.
std::string combos(const SystemShortcuts& shortcuts) {
  std::string out = "enabled " + std::to_string(shortcuts.enabledCount()) + "\n";
  auto line = [&](const std::string& name, const std::optional<SystemShortcuts::Combo>& c) {
    char flags[16];
    std::snprintf(flags, sizeof flags, "%#llx",
                  c ? static_cast<unsigned long long>(c->flags) : 0ULL);
    out += name + ": " +
           (c ? c->display + " key " + std::to_string(c->keyCode) + " flags " + flags : "none") +
           "\n";
  };
  for (int n = 1; n <= 11; ++n) line("desktop " + std::to_string(n), shortcuts.combo(n));
  line("left", shortcuts.combo(SystemShortcuts::Direction::left));
  line("right", shortcuts.combo(SystemShortcuts::Direction::right));
  return out;
}

// A missing domain (no desktop shortcuts, the default ⌃←/⌃→ moves); entries read under their
// own keys, "enabled" being true or 1, stray flag bits dropped, unusable or short parameters
// meaning off or the default; key codes no key press can send (past 16 bits) being no
// combination at all, not even the default move; and a domain that is not a dictionary.
TEST_F(SystemShortcutsTest, StoredEntriesReadAsTheirGolden) {
  std::string out = "-- no domain\n" + combos(shortcuts);
  store({
      {"118", entry(true, Value::array({65535, 18, 262144}))},
      {"119", entry(1, Value::array({65535, 19, 0x40000 | 0x100000 | 0x1}))},
      {"120", entry(false, Value::array({65535, 20, 262144}))},
      {"121", entry(2, Value::array({65535, 21, 262144}))},
      {"122", entry(true, Value::array({65535, "23", 262144}))},
      {"127", entry(true, Value::array({65535, 29, 0x80000}))},
      {"79", entry(false, {})},
      {"81", entry(true, Value::array({1, 2}))},
  });
  out += "-- entries\n" + combos(shortcuts);
  store({
      {"118", entry(true, Value::array({65535, 70000, 262144}))},
      {"119", entry(true, Value::array({65535, 65535, 262144}))},
      {"81", entry(true, Value::array({65535, 65536, 262144}))},
  });
  out += "-- key codes past 16 bits\n" + combos(shortcuts);
  mac.preferences().setValue(SystemShortcuts::kDomain, SystemShortcuts::kKey, "garbage");
  out += "-- not a dictionary\n" + combos(shortcuts);
  EXPECT_TRUE(testing::matchesGolden("switching/system_shortcuts.txt", out));
}

// ---- Turning the desktop shortcuts on ----

Value standard(std::int64_t keyCode) {
  return entry(true, Value::array({65535, keyCode, 262144}));
}

TEST_F(SystemShortcutsTest, EnableTurnsOnDesktopsOneToTenAndKeepsWhatTheUserHasOn) {
  Value usersOwn = entry(1, Value::array({51, 20, 0x80000}));  // ⌥3
  Value off = entry(false, Value::array({65535, 23, 262144}));
  store({{"120", usersOwn}, {"122", off}, {"124", "junk"}, {"79", off}, {"160", usersOwn}});

  EXPECT_TRUE(shortcuts.enable(15));
  Value::Dictionary expected{{"79", off}, {"160", usersOwn}, {"120", usersOwn}};
  const std::int64_t digits[] = {18, 19, 20, 21, 23, 22, 26, 28, 25, 29};
  for (int n = 1; n <= 10; ++n) {
    if (n != 3) expected[std::to_string(117 + n)] = standard(digits[n - 1]);
  }
  EXPECT_EQ(stored(), expected);
  EXPECT_EQ(shortcuts.enabledCount(), 10);
  EXPECT_EQ(shortcuts.combo(3)->display, "⌥3");
  EXPECT_EQ(mac.processRuns(),
            (std::vector<sim::SimProcessRun>{{SystemShortcuts::kActivateSettings, {"-u"}}}));
  EXPECT_EQ(mac.processStarts(), (std::vector<sim::SimProcessRun>{{"/usr/bin/killall", {"Dock"}}}));
  EXPECT_TRUE(switchesLog.lines.empty());
}

TEST_F(SystemShortcutsTest, EnableTurnsOnAtLeastTheFirstDesktop) {
  EXPECT_TRUE(shortcuts.enable(0));
  EXPECT_EQ(stored(), (Value::Dictionary{{"118", standard(18)}}));
  EXPECT_TRUE(shortcuts.enable(2));
  EXPECT_EQ(stored().size(), 2u);
}

TEST_F(SystemShortcutsTest, EnabledShortcutsReachTheDockSoAPressedControlDigitSwitches) {
  mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t first = mac.currentSpace("A");
  std::uint64_t second = mac.addSpace("A"), third = mac.addSpace("A");
  std::vector<double> heard;
  auto token = mac.observeActiveSpaceChanged([&] { heard.push_back(loop.now()); });

  mac.keyboard().userPress(20, platform::kEventFlagControl);
  loop.advance(1);
  EXPECT_EQ(mac.keyboard().deliveries().back().receiver, "") << "⌃3 is nobody's yet";

  ASSERT_TRUE(shortcuts.enable(3));
  loop.runPending();  // the Dock restarts on its own after killall
  EXPECT_EQ(mac.dock().restarts(), 1);
  EXPECT_EQ(mac.dock().shortcutReads(), 3);  // at start, after activateSettings, after restart

  mac.keyboard().userPress(20, platform::kEventFlagControl);
  loop.advance(0.24);
  EXPECT_EQ(mac.currentSpace("A"), first);
  loop.advance(0.01);
  EXPECT_EQ(mac.currentSpace("A"), third);
  EXPECT_EQ(heard, std::vector<double>{1.25});

  // What the switcher presses arrives the same way.
  KeySynth synth(mac.keyboard());
  auto combo = shortcuts.combo(2);
  ASSERT_TRUE(combo);
  ASSERT_TRUE(synth.post(combo->keyCode, combo->flags));
  loop.advance(0.25);
  EXPECT_EQ(mac.currentSpace("A"), second);
  EXPECT_EQ(mac.keyboard().deliveries().back().receiver, "system shortcut");
}

TEST_F(SystemShortcutsTest, AToolThatCannotBeLaunchedIsLoggedAndSkipped) {
  const std::string path = SystemShortcuts::kActivateSettings;
  mac.failLaunch(path, "The file \u201CactivateSettings\u201D doesn\u2019t exist.");
  EXPECT_TRUE(shortcuts.enable(1));
  EXPECT_EQ(switchesLog.lines, std::vector<std::string>{"could not run " + path +
                                                        ": The file \u201CactivateSettings\u201D "
                                                        "doesn\u2019t exist."});
  loop.runPending();
  EXPECT_EQ(mac.dock().restarts(), 1) << "the Dock restarts all the same";

  mac.failLaunch("/usr/bin/killall", "Permission denied.");
  EXPECT_TRUE(shortcuts.enable(1));
  EXPECT_EQ(switchesLog.lines.back(), "could not run /usr/bin/killall: Permission denied.");
  EXPECT_EQ(switchesLog.lines.size(), 3u);
  loop.runPending();
  EXPECT_EQ(mac.dock().restarts(), 1);
}

// Reads as the machine's preferences do, but no domain can be written.
class ReadOnlyPreferences final : public platform::Preferences {
 public:
  explicit ReadOnlyPreferences(platform::Preferences& real) : real_(real) {}
  Value value(std::string_view domain, std::string_view key) override {
    return real_.value(domain, key);
  }
  bool setValue(std::string_view, std::string_view, const Value&) override { return false; }
  std::optional<Value::Dictionary> persistentDomain(std::string_view domain) override {
    return real_.persistentDomain(domain);
  }

 private:
  platform::Preferences& real_;
};

TEST_F(SystemShortcutsTest, EnableReportsPreferencesThatCannotBeWritten) {
  ReadOnlyPreferences readOnly(mac.preferences());
  SystemShortcuts locked(readOnly, names, mac, &switchesLog);
  EXPECT_FALSE(locked.enable(3));
  EXPECT_EQ(locked.enabledCount(), 0);
  EXPECT_EQ(mac.processRuns().size(), 1u) << "the Dock is still told";
}

// ---- Turning them on by itself, once ----

class AutoEnableTest : public SystemShortcutsTest {
 protected:
  SystemShortcuts::Toast toast() {
    return [this](std::string text, std::string symbol, double seconds) {
      toasts.push_back({text, symbol, std::to_string(seconds), std::to_string(loop.now())});
    };
  }
  Settings settings{mac.preferences()};
  std::vector<std::vector<std::string>> toasts;
};

TEST_F(AutoEnableTest, TurnsTheShortcutsOnOnceAndSaysSoAMomentLater) {
  EXPECT_TRUE(shortcuts.autoEnable(settings, 12, loop, toast()));
  EXPECT_EQ(shortcuts.enabledCount(), 10);
  EXPECT_TRUE(settings.autoEnabledShortcuts());
  loop.advance(1.49);
  EXPECT_TRUE(toasts.empty());
  loop.advance(0.01);
  ASSERT_EQ(toasts.size(), 1u);
  EXPECT_EQ(toasts[0], (std::vector<std::string>{
                           "Turned on macOS shortcuts ⌃1–⌃0 so switching is instant (the Dock "
                           "restarted to load them). Change any time in System Settings → "
                           "Keyboard.",
                           "keyboard", std::to_string(5.0), std::to_string(1.5)}));

  store({});  // the user turns them all off again: no second time
  EXPECT_FALSE(shortcuts.autoEnable(settings, 12, loop, toast()));
  loop.advance(5);
  EXPECT_EQ(toasts.size(), 1u);
  EXPECT_EQ(mac.processRuns().size(), 1u);
}

TEST_F(AutoEnableTest, NamesTheLastDesktopsKey) {
  store({{"118", standard(18)}, {"119", standard(19)}});
  EXPECT_TRUE(shortcuts.autoEnable(settings, 4, loop, toast()));
  loop.advance(2);
  ASSERT_EQ(toasts.size(), 1u);
  EXPECT_NE(toasts[0][0].find("shortcuts ⌃1–⌃4 so switching"), std::string::npos) << toasts[0][0];
}

TEST_F(AutoEnableTest, OnlyMarksItselfDoneWhenNothingIsMissing) {
  store({{"118", standard(18)}, {"120", standard(20)}, {"122", standard(23)}});
  EXPECT_FALSE(shortcuts.autoEnable(settings, 3, loop, toast()))
      << "three shortcuts, though not for desktops 1-3, are enough";
  EXPECT_TRUE(settings.autoEnabledShortcuts());

  settings.setAutoEnabledShortcuts(false);
  EXPECT_FALSE(shortcuts.autoEnable(settings, 0, loop, toast()));
  EXPECT_TRUE(settings.autoEnabledShortcuts());
  loop.advance(2);
  EXPECT_TRUE(toasts.empty());
  EXPECT_TRUE(mac.processRuns().empty());
}

TEST_F(AutoEnableTest, LeavesEverythingAloneWithoutNativeSwitching) {
  settings.setNativeSwitching(false);
  EXPECT_FALSE(shortcuts.autoEnable(settings, 5, loop, toast()));
  EXPECT_FALSE(settings.autoEnabledShortcuts());
  EXPECT_EQ(shortcuts.enabledCount(), 0);
}

TEST_F(AutoEnableTest, NoToastOnceTheShortcutsObjectIsGone) {
  auto owner = std::make_unique<SystemShortcuts>(mac.preferences(), names, mac, &switchesLog);
  EXPECT_TRUE(owner->autoEnable(settings, 2, loop, toast()));
  owner.reset();
  loop.advance(2);
  EXPECT_TRUE(toasts.empty());
}

}  // namespace
}  // namespace velmora
