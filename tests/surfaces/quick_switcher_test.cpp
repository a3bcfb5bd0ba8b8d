// The quick switcher on the virtual Mac: the panel it opens and how it grows, which keys it
// keeps and where they lead, the pointer's hover, and what closes it.
#include "surfaces/quick_switcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/key_codes.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

namespace keys = platform::keys;

// Desktops on one display (1 is current), Mail with a window on desktop 2, Safari on 3.
struct SwitcherWorld : testing::EngineWorld {
  std::vector<std::uint64_t> ids;
  std::unique_ptr<QuickSwitcher> switcher;
  std::vector<std::uint16_t> passedOn;  // keys the switcher let through to the field

  explicit SwitcherWorld(int desktops = 4) {
    ids = display("MAIN", desktops);
    launch("Mail", {1});
    launch("Safari", {2});
    makeEngine();
    loop.runPending();
    switcher = std::make_unique<QuickSwitcher>(
        SwitcherServices{mac.platform(), center, *engine, presentation, names});
  }
  platform::pid_t launch(const std::string& name, std::vector<std::size_t> on) {
    sim::SimApp app;
    app.name = name;
    platform::pid_t pid = mac.addApplication(app);
    for (std::size_t i : on) mac.addWindow(pid, {ids[i]}, AXRect::make(100, 100, 600, 400));
    return pid;
  }
  void open() {
    switcher->open();
    loop.runPending();
  }
  // Notes the keys the switcher's monitor lets through, from here on.
  void watchField() {
    mac.keyboard().addLocalMonitor(platform::kNSEventMaskKeyDown, [this](const auto& e) {
      passedOn.push_back(e.keyCode);
      return false;
    });
  }
  void press(std::uint16_t key, std::uint64_t flags = 0) {
    mac.keyboard().userPress(key, flags);
    loop.runPending();
  }
  void type(const std::string& text) {
    mac.keyboard().userType(text);
    loop.runPending();
  }
  const sim::VirtualPanel& panel() { return *mac.panels().named(QuickSwitcher::kPanelName); }
  // The rows by desktop number, the highlighted one in brackets: "1 [2] 3 4".
  std::string rows() const {
    const SwitcherModel& m = switcher->model();
    std::string out;
    for (std::size_t i = 0; i < m.rows().size(); ++i) {
      std::string n = std::to_string(m.rows()[i].number);
      out += (out.empty() ? "" : " ") + (i == m.selection() ? "[" + n + "]" : n);
    }
    return out;
  }
  int current() { return engine->currentDesktop()->number; }
  ScreenPoint onRow(std::size_t row) {
    platform::CanvasRect r = *switcher->list().rowFrame(row);
    ScreenRect f = panel().frame();
    return {f.minX() + r.x + r.width / 2, f.maxY() - (r.y + r.height / 2)};
  }
};

TEST(QuickSwitcher, OpensAsTheKeyPanelAboveTheMiddleAndGrowsWithTheResults) {
  SwitcherWorld w(12);
  w.launch("Notes", {0, 1, 2, 3, 4, 5, 6, 7, 8});
  w.open();
  EXPECT_TRUE(w.panel().isKey() && w.switcher->field().isFocused());
  w.open();  // again while open: still one key monitor
  EXPECT_EQ(w.mac.keyboard().monitorCount(), 1u);

  // Centred across, its middle 12 % of the screen's height above the screen's, whatever its
  // height: one row's room for none, nine rows at most.
  const ScreenRect area = w.mac.platform().screens.screens().front().visibleFrame;
  std::vector<std::string> seen;
  for (const char* query : {"", "zz", "desktop 12", "desktop 2", "no", "desktop"}) {
    while (!w.switcher->field().text().empty()) w.press(keys::kDelete);
    w.type(query);
    const ScreenRect f = w.panel().frame();
    EXPECT_DOUBLE_EQ(f.midX(), area.midX());
    EXPECT_DOUBLE_EQ(f.midY(), area.midY() + 0.12 * area.size.height);
    seen.push_back(std::to_string(w.switcher->model().rows().size()) +
                   " rows: " + std::to_string(static_cast<int>(f.size.height)));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"12 rows: 514", "0 rows: 146", "1 rows: 146",
                                            "2 rows: 192", "9 rows: 514", "12 rows: 514"}));
}

// Each case opens afresh on desktop 1 (with nowhere to jump back to unless it says "from 3"),
// types, presses keys and tells what followed: whether the panel is still up and the field's
// text, whether the last key was kept or passed on to the field, where the user is.
TEST(QuickSwitcher, KeysSteerTheListOrReachTheField) {
  struct Case {
    const char* typed;
    std::vector<std::pair<std::uint16_t, std::uint64_t>> presses;
    const char* outcome;
    bool fromThree = false;
  };
  const std::uint64_t cmd = platform::kEventFlagCommand, shift = platform::kEventFlagShift;
  const std::vector<Case> cases{
      {"", {{keys::kReturn, 0}}, "closed, kept, on 2"},
      {"",
       {{keys::kDownArrow, 0}, {keys::kDownArrow, 0}, {keys::kUpArrow, 0}, {keys::kKeypadEnter, 0}},
       "closed, kept, on 3"},
      {"", {{keys::kUpArrow, 0}, {keys::kUpArrow, 0}, {keys::kReturn, 0}}, "closed, kept, on 4"},
      {"", {{keys::kEscape, 0}}, "closed, kept, on 1"},
      {"zz", {{keys::kReturn, 0}}, "closed, kept, on 1"},
      {"saf", {{keys::kReturn, 0}}, "closed, kept, on 3, Safari in front"},
      {"", {{keys::kDigits[4], 0}}, "closed, kept, on 4"},
      {"", {{keys::kDigits[4], shift}}, "closed, kept, on 4"},
      {"", {{keys::kDigits[7], 0}}, "open \"\", kept, on 1"},  // there is no desktop 7
      {"", {{keys::kDigits[4], cmd}}, "open \"\", passed on, on 1"},
      {"a", {{keys::kDigits[2], 0}}, "open \"a2\", passed on, on 1"},
      {"", {{keys::kTab, 0}}, "open \"\", kept, on 1"},  // nowhere to jump back to
      {"desk", {{keys::kTab, 0}}, "closed, kept, on 1", true},
  };
  for (const Case& c : cases) {
    SwitcherWorld w;
    if (c.fromThree) w.userSwitch(w.ids[2]);
    const auto front = w.mac.frontmostPID();
    w.open();
    w.watchField();
    w.type(c.typed);
    for (auto [key, flags] : c.presses) w.press(key, flags);
    w.loop.advance(1);
    std::string outcome =
        (w.panel().isVisible() ? "open \"" + w.switcher->field().text() + "\"" : "closed") +
        (!w.passedOn.empty() && w.passedOn.back() == c.presses.back().first ? ", passed on"
                                                                            : ", kept") +
        ", on " + std::to_string(w.current());
    if (auto now = w.mac.frontmostPID(); now && now != front) {
      outcome += ", " + *w.mac.application(*now)->name + " in front";
    }
    EXPECT_EQ(outcome, c.outcome) << "typed \"" << c.typed << "\"";
  }
}

TEST(QuickSwitcher, ThePointerTakesTheHighlightOnlyAfterAMomentAndAClickGoesThere) {
  SwitcherWorld w;
  w.open();
  // The pointer rests where the panel opens, then drifts a point at a time over the row.
  auto drift = [&](double by) {
    ScreenPoint p = w.onRow(3);
    w.mac.panels().pointerMoved({p.x + by, p.y});
    w.loop.runPending();
  };
  drift(0);
  w.loop.advance(0.3);
  drift(1);
  EXPECT_EQ(w.rows(), "1 [2] 3 4");
  w.loop.advance(0.01);
  drift(2);
  EXPECT_EQ(w.rows(), "1 2 3 [4]");
  w.press(keys::kEscape);
  w.open();  // a fresh opening starts the wait again
  w.mac.panels().pointerMoved(w.onRow(0));
  w.loop.runPending();
  EXPECT_EQ(w.rows(), "1 [2] 3 4");
  w.mac.panels().click(w.onRow(2));
  w.loop.advance(1);
  EXPECT_FALSE(w.panel().isVisible());
  EXPECT_EQ(w.current(), 3);
}

TEST(QuickSwitcher, ClosesWhenItLosesKeyStatusOrTheDesktopChangesBehindIt) {
  SwitcherWorld w;
  w.open();
  w.mac.panels().click({5, 5});  // outside the panel
  w.loop.runPending();
  EXPECT_FALSE(w.panel().isVisible());
  EXPECT_FALSE(w.switcher->hasKeyMonitor());

  w.open();
  w.mac.keyboard().setVelmoraWindowKey(true);  // the settings window comes forward
  w.loop.runPending();
  EXPECT_FALSE(w.panel().isVisible());
  w.mac.keyboard().setVelmoraWindowKey(false);

  // A desktop change while it is key leaves it up; once key status is gone (the panel hears
  // of it on the next turn), the change alone closes it.
  w.open();
  w.userSwitch(w.ids[3]);
  EXPECT_TRUE(w.panel().isVisible());
  w.mac.panels().resignKey();
  w.center.post(notifications::kActiveSpaceDidChange);
  EXPECT_FALSE(w.panel().isVisible());
  EXPECT_FALSE(w.switcher->hasKeyMonitor());

  // toggle closes what is open, opens what is closed.
  w.switcher->toggle();
  EXPECT_TRUE(w.panel().isVisible());
  w.switcher->toggle();
  EXPECT_FALSE(w.panel().isVisible());

  // With no screen to stand on it does not show at all.
  testing::EngineWorld bare;
  bare.makeEngine();
  QuickSwitcher nowhere(SwitcherServices{bare.mac.platform(), bare.center, *bare.engine,
                                         bare.presentation, bare.names});
  nowhere.open();
  EXPECT_FALSE(nowhere.isVisible() || nowhere.hasKeyMonitor());
}

// Between openings desktop 2 goes: rows, search and digits follow the new numbering.
TEST(QuickSwitcher, EachOpeningReadsTheDesktopsAfresh) {
  SwitcherWorld w;
  w.open();
  w.press(keys::kEscape);
  w.mac.userRemoveSpace(w.ids[1]);
  w.loop.advance(0.5);
  w.open();
  EXPECT_EQ(w.rows(), "1 [2] 3");
  w.type("saf");
  EXPECT_EQ(w.rows(), "[2]");
  w.press(keys::kEscape);
  w.open();
  w.press(keys::kDigits[3]);
  w.loop.advance(1);
  EXPECT_EQ(w.engine->currentDesktop()->id().raw(), w.ids[3]);
}

}  // namespace
}  // namespace velmora
