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

// A machine's preferences and the shortcuts read from them.
struct ShortcutsWorld {
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
  SystemShortcuts shortcuts{mac.preferences(), names, mac.processes(), &switchesLog};
};

class SystemShortcutsTest : public ::testing::Test, public ShortcutsWorld {};

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

// Turning desktops 1 to 10 on keeps what the user has on (⌥3) and off (79) and drops what
// is unreadable; at least the first desktop's is turned on. The domain is told to the Dock
// (activateSettings -u, then the Dock restarts); each stored domain in the golden file.
TEST_F(SystemShortcutsTest, EnableTurnsOnDesktopsOneToTenAndKeepsWhatTheUserHasOn) {
  Value usersOwn = entry(1, Value::array({51, 20, 0x80000}));  // ⌥3
  Value off = entry(false, Value::array({65535, 23, 262144}));
  store({{"120", usersOwn}, {"122", off}, {"124", "junk"}, {"79", off}, {"160", usersOwn}});
  EXPECT_TRUE(shortcuts.enable(15));
  std::string out = "for 15 desktops: " + describe(Value(stored())) + "\n" + combos(shortcuts);
  EXPECT_EQ(mac.processRuns(),
            (std::vector<sim::SimProcessRun>{{SystemShortcuts::kActivateSettings, {"-u"}}}));
  EXPECT_EQ(mac.processStarts(), (std::vector<sim::SimProcessRun>{{"/usr/bin/killall", {"Dock"}}}));
  EXPECT_TRUE(switchesLog.lines.empty());
  store({});
  EXPECT_TRUE(shortcuts.enable(0));
  out += "for no desktops: " + describe(Value(stored())) + "\n";
  EXPECT_TRUE(testing::matchesGolden("switching/enabled_shortcuts.txt", out));
}

TEST_F(SystemShortcutsTest, EnabledShortcutsReachTheDockSoAPressedControlDigitSwitches) {
  mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t first = mac.currentSpace("A");
  std::uint64_t second = mac.addSpace("A"), third = mac.addSpace("A");
  std::vector<double> heard;
  auto token = mac.workspace().observeActiveSpaceChanged([&] { heard.push_back(loop.now()); });

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
  SystemShortcuts locked(readOnly, names, mac.processes(), &switchesLog);
  EXPECT_FALSE(locked.enable(3));
  EXPECT_EQ(locked.enabledCount(), 0);
  EXPECT_EQ(mac.processRuns().size(), 1u) << "the Dock is still told";
}

// ---- Turning them on by itself, once ----

// The options too, and the toasts the shortcuts ask for.
struct AutoEnableWorld : ShortcutsWorld {
  SystemShortcuts::Toast toast() {
    return [this](std::string text, std::string symbol, double seconds) {
      toasts.push_back({text, symbol, std::to_string(seconds), std::to_string(loop.now())});
    };
  }
  Settings settings{mac.preferences()};
  std::vector<std::vector<std::string>> toasts;
};

class AutoEnableTest : public ::testing::Test, public AutoEnableWorld {};

// Turning the desktop shortcuts on by itself, once: for twelve desktops (and not again after
// the user turned them off), naming the last desktop's key, not at all when enough are on
// (three, though not for desktops 1–3) or none are needed, nor without native switching.
// One line each: the answer, shortcuts on, marked done, tools run and the toasts with their time.
TEST_F(AutoEnableTest, EachStartingPointAsItsGolden) {
  struct Case {
    const char* name;
    Value::Dictionary stored;
    int desktops;
    bool native = true;
  };
  const std::vector<Case> cases = {
      {"twelve desktops", {}, 12},
      {"two on, four desktops", {{"118", standard(18)}, {"119", standard(19)}}, 4},
      {"three on", {{"118", standard(18)}, {"120", standard(20)}, {"122", standard(23)}}, 3},
      {"no desktops", {}, 0},
      {"no native switching", {}, 5, false}};
  std::string out;
  for (const Case& c : cases) {
    AutoEnableWorld w;
    w.store(c.stored);
    w.settings.setNativeSwitching(c.native);
    const bool answer = w.shortcuts.autoEnable(w.settings, c.desktops, w.loop, w.toast());
    const int on = w.shortcuts.enabledCount();
    w.store({});  // the user turns them all off again: no second time
    w.shortcuts.autoEnable(w.settings, c.desktops, w.loop, w.toast());
    w.loop.advance(5);
    out += std::string(c.name) + ": " + (answer ? "on" : "left alone") + ", " + std::to_string(on) +
           " shortcuts, " + std::to_string(w.mac.processRuns().size()) + " tools run, marked " +
           (w.settings.autoEnabledShortcuts() ? "done" : "not done");
    for (const auto& t : w.toasts)
      out +=
          "; toast at " + t[3].substr(0, 3) + " \"" + t[0] + "\" " + t[1] + " " + t[2].substr(0, 3);
    out += "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("switching/auto_enable.txt", out));
}

TEST_F(AutoEnableTest, NoToastOnceTheShortcutsObjectIsGone) {
  auto owner =
      std::make_unique<SystemShortcuts>(mac.preferences(), names, mac.processes(), &switchesLog);
  EXPECT_TRUE(owner->autoEnable(settings, 2, loop, toast()));
  owner.reset();
  loop.advance(2);
  EXPECT_TRUE(toasts.empty());
}

}  // namespace
}  // namespace velmora
