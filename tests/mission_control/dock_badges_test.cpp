#include "mission_control/dock_badges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <thread>

#include "core/notifications.h"
#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/sim/virtual_mac.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

using platform::pid_t;

// Every read takes 42.9 ms by this watch, so the reported time is 42 (whole, truncated).
DockBadges::Stopwatch fixedStopwatch() {
  auto calls = std::make_shared<std::atomic<int>>(0);
  return [calls] { return (*calls)++ % 2 ? 0.0429 : 0.0; };
}

// A machine with the Dock, Mail running and the Accessibility grant, and a badge reader.
struct DockWorld {
  DockWorld() {
    mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
    mac.addSystemFurniture();
    mac.setAccessibilityTrusted(true);
    mail = mac.addApplication({.name = "Mail", .bundlePath = "/System/Applications/Mail.app"});
  }

  // One read, through to its result on the main loop.
  void read() {
    badges.requestRead();
    badges.waitForWorker();
    loop.runPending();
  }
  int readsStarted() const { return mac.callCount("AXUIElementSetMessagingTimeout"); }
  // The published badges by application path or name, then the announcements and reads.
  std::string state() {
    std::string out;
    for (const auto& [pid, text] : badges.badges()) {
      auto app = mac.workspace().runningApplication(pid);
      out += app->bundlePath.value_or(app->localizedName.value_or("?")) + "=" + text + " ";
    }
    return out + "announced " + std::to_string(announcements) + " reads " +
           std::to_string(readsStarted()) + (badges.reading() ? " reading" : "");
  }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  NotificationCenter center;
  pid_t mail = 0;
  DockBadges badges{mac.platform(), center, fixedStopwatch()};
  int announcements = 0;
  ObserverToken token =
      center.observe(notifications::kBadgesDidChange, [this] { ++announcements; });
};

class DockBadgesTest : public ::testing::Test, public DockWorld {};

// What the Dock's labels become, a desktop's badge from its applications' badges, and the
// paths the Dock's item URLs stand for, one case a line.
TEST(BadgeTexts, LabelsSumsAndPathsAsTheirGolden) {
  std::string out;
  auto shown = [](const std::optional<std::string>& text) { return text ? *text : "(none)"; };
  for (std::string label : {" 12 ", "!", "", " \n\t", "+3", "-2", "1.5", "New", "3 4", "+",
                            "\u00A07\u2028", "\u0661\u0662", "99999999999999999999"}) {
    out += "label \"" + testing::escaped(label) + "\" -> " + shown(normalizedBadge(label)) + "\n";
  }
  // Each desktop's applications' badges, separated by "|".
  for (std::string joined : {"3|5", "60|45", "60|40", "99", "3|\u2022", "", "|", "|4", "+2|-5",
                             "9223372036854775807|1"}) {
    std::vector<std::string> texts;
    std::istringstream in(joined.empty() ? "" : joined + "|");
    for (std::string text; std::getline(in, text, '|');) texts.push_back(text);
    out += "desktop \"" + joined + "\" -> " + shown(desktopBadge(texts)) + "\n";
  }
  for (const char* url :
       {"file:///Applications/Visual%20Studio%20Code.app/",
        "file://localhost/Applications/./Tools/../Mail.app/", "Mail", "file://"}) {
    out += std::string("url ") + url + " -> " + shown(standardizedURLPath(url)) + "\n";
  }
  out += "path /Applications//Mail.app/ -> " + standardizedPath("/Applications//Mail.app/") + "\n";
  EXPECT_TRUE(testing::matchesGolden("mission_control/badge_texts.txt", out));
}

// ---- Reading ----

TEST_F(DockBadgesTest, ReadsRunningApplicationsByPathThenTitle) {
  pid_t code =
      mac.addApplication({.name = "Code", .bundlePath = "/Applications/Visual Studio Code.app"});
  pid_t notes = mac.addApplication({.name = "Notes"});
  pid_t quiet =
      mac.addApplication({.name = "Calendar", .bundlePath = "/System/Applications/Calendar.app"});
  mac.setDockBadge(mail, " 3 ");
  mac.setDockBadge(code, "12");
  mac.setDockBadge(notes, "New");
  mac.setDockBadge(quiet, "");
  read();
  EXPECT_EQ(state(),
            "/System/Applications/Mail.app=3 /Applications/Visual Studio Code.app=12 Notes=• "
            "announced 1 reads 1");
  EXPECT_EQ(badges.badge(mail), "3");
  EXPECT_EQ(badges.badge(quiet), std::nullopt);
  EXPECT_EQ(badges.lastReadMilliseconds(), 42);
  EXPECT_DOUBLE_EQ(badges.lastReadDuration(), 0.042);
  EXPECT_DOUBLE_EQ(badges.lastRead(), loop.wallNow());

  // The path decides between items of the same title; an application the Dock shows no item
  // of its own for falls back to the title.
  pid_t mine = mac.addApplication({.name = "Notes", .bundlePath = "/Applications/Notes.app"});
  pid_t other = mac.addApplication({.name = "Notes", .bundlePath = "/Users/ada/Notes.app"});
  mac.setDockBadge(mine, "1");
  mac.setDockBadge(other, "2");
  pid_t stray = mac.addApplication({.name = "Notes", .bundlePath = "/Volumes/USB/Notes.app"});
  mac.editAccessibilityTree(sim::VirtualMac::kDockPID, [](sim::SimAXNode& dock) {
    std::erase_if(dock.firstChild("AXList")->children, [](const sim::SimAXNodePtr& item) {
      const Value* url = &item->attributes["AXURL"];
      return url->asString() && url->asString()->starts_with("file:///Volumes/");
    });
  });
  read();
  EXPECT_EQ(badges.badge(mine), "1");
  EXPECT_EQ(badges.badge(other), "2");
  EXPECT_EQ(badges.badge(stray), "2");
}

// Reads run on a worker, one at a time; the result is published and announced on the main
// loop only, and a reader destroyed with a read in flight drops it.
TEST_F(DockBadgesTest, OneReadAtATimeWithResultsOnTheMainLoopOnly) {
  mac.setDockBadge(mail, "5");
  std::thread::id announcedOn;
  ObserverToken onMain = center.observe(notifications::kBadgesDidChange,
                                        [&] { announcedOn = std::this_thread::get_id(); });
  badges.requestRead();
  badges.requestRead();
  badges.waitForWorker();
  badges.requestRead();  // done on the worker, not yet on the main loop: still in flight
  badges.waitForWorker();
  EXPECT_EQ(state(), "announced 0 reads 1 reading");  // the worker never touches the map
  loop.runPending();
  EXPECT_EQ(state(), "/System/Applications/Mail.app=5 announced 1 reads 1");
  EXPECT_EQ(announcedOn, std::this_thread::get_id());
  read();
  EXPECT_EQ(readsStarted(), 2);

  auto reader = std::make_unique<DockBadges>(mac.platform(), center, fixedStopwatch());
  reader->requestRead();
  reader.reset();  // waits for the worker; the result it posted finds no reader
  loop.runPending();
  EXPECT_EQ(announcements, 1);
}

TEST_F(DockBadgesTest, WithoutTheGrantNothingIsReadAndOtherwiseOnlyAChangeIsAnnounced) {
  mac.setAccessibilityTrusted(false);
  mac.setDockBadge(mail, "1");
  read();
  EXPECT_EQ(state(), "announced 0 reads 0");
  mac.setAccessibilityTrusted(true);
  read();
  mac.setAccessibilityTrusted(false);
  mac.setDockBadge(mail, "9");
  read();
  EXPECT_EQ(state(), "/System/Applications/Mail.app=1 announced 1 reads 1");

  // With the grant, only a changed map is announced.
  mac.setAccessibilityTrusted(true);
  std::string seen;
  using Badge = std::optional<std::string>;
  for (const Badge& badge : std::initializer_list<Badge>{"1", "2", {}, {}}) {
    mac.setDockBadge(mail, badge);
    read();
    seen += std::to_string(announcements);
  }
  EXPECT_EQ(seen, "1233");

  // Straight at the seam, as a worker racing a revoke would see it.
  mac.setAccessibilityTrusted(false);
  EXPECT_EQ(readDockBadges(mac.accessibility(), sim::VirtualMac::kDockPID), DockBadgeRecords{});
}

// Each odd shape of the Dock, one a line with what was read: fewer badges, never a crash.
TEST(DockBadgesShapes, AnOddDockGivesFewerBadgesNeverACrash) {
  using Node = sim::SimAXNode;
  // An edit of the Dock's application element, its icon list and Mail's item.
  using Edit = std::function<void(Node & dock, Node & list, Node & mail)>;
  auto set = [](int node, const char* attribute, Value value) -> Edit {
    return [=](Node& dock, Node& list, Node& mail) {
      (node == 0 ? dock : node == 1 ? list : mail).attributes.insert_or_assign(attribute, value);
    };
  };
  const std::vector<std::pair<std::string, Edit>> edits = {
      {"unchanged", [](Node&, Node&, Node&) {}},
      {"no icon list", [](Node& dock, Node&, Node&) { dock.children.clear(); }},
      {"children not an array", set(0, "AXChildren", "list")},
      {"items not elements", set(1, "AXChildren", Value::array({"Mail", 3}))},
      {"a hole among the items",
       [](Node&, Node& list, Node&) { list.children.insert(list.children.begin(), nullptr); }},
      {"another list-like group first",
       [](Node& dock, Node&, Node&) {
         dock.insert(0, Node::make(sim::VirtualMac::kDockPID, "AXGroup"));
         auto odd = Node::make(sim::VirtualMac::kDockPID, "AXList");
         odd->attributes.insert_or_assign("AXRole", Value(7));
         dock.insert(0, odd);
       }},
      {"running as a number", set(2, "AXIsApplicationRunning", 1)},
      {"label as a number", set(2, "AXStatusLabel", 3)},
      {"URL unreadable, title still there", set(2, "AXURL", 42)},
      {"neither URL nor title", [](Node&, Node&, Node& mail) {
         mail.attributes.insert_or_assign("AXURL", "no url at all");
         mail.attributes.erase("AXTitle");
       }}};
  std::string out;
  auto read = [&](const std::string& name, const std::function<void(DockWorld&)>& edit) {
    DockWorld w;
    w.mac.setDockBadge(w.mail, "3");
    edit(w);
    w.read();
    out += name + ": " + w.state() + "\n";
  };
  for (const auto& [name, each] : edits) {
    const auto& edit = each;  // a binding a lambda can capture
    read(name, [&](DockWorld& w) {
      w.mac.editAccessibilityTree(sim::VirtualMac::kDockPID, [&](Node& dock) {
        auto keep = dock.children;  // the edit may take the list out of the tree
        Node& list = *dock.firstChild("AXList");
        auto mail = std::ranges::find_if(list.children, [](const auto& item) {
          return item->attributes["AXTitle"] == Value("Mail");
        });
        edit(dock, list, **mail);
      });
    });
  }
  read("Dock not answering", [](DockWorld& w) {
    w.mac.failAccessibilityCalls(sim::VirtualMac::kDockPID, platform::kAXErrorCannotComplete);
  });
  read("no Dock", [](DockWorld& w) { w.mac.quitApplication(sim::VirtualMac::kDockPID); });
  EXPECT_TRUE(testing::matchesGolden("mission_control/odd_docks.txt", out));
}

// ---- With the space engine ----

TEST(DockBadgesWithEngine, ABadgeOnAHiddenDesktopIsAnnouncedAndLogged) {
  testing::EngineWorld w;
  auto desktops = w.display("A", 2);
  w.mac.addSystemFurniture();
  w.mac.setAccessibilityTrusted(true);
  pid_t mail =
      w.mac.addApplication({.name = "Mail", .bundlePath = "/System/Applications/Mail.app"});
  w.mac.addWindow(mail, {desktops[1]}, AXRect::make(100, 100, 800, 600));

  DockBadges badges(w.mac.platform(), w.center, fixedStopwatch());
  w.badgeReader = &badges;
  w.makeEngine(false);
  int spacesChanged = 0;
  ObserverToken token = w.center.observe(notifications::kSpacesDidChange, [&] { ++spacesChanged; });
  w.engine->start();
  auto settle = [&] {
    badges.waitForWorker();
    w.loop.runPending();
  };

  w.mac.userInput(platform::kEventMouseMoved);
  w.loop.advance(1.5);  // the first sweep polls: no badges anywhere
  settle();
  EXPECT_EQ(spacesChanged, 0);

  w.mac.setDockBadge(mail, "4");
  w.mac.userInput(platform::kEventMouseMoved);
  w.loop.advance(6);  // the next poll, six seconds after the first
  settle();
  settle();  // the read the engine asks for after the change
  EXPECT_EQ(spacesChanged, 1);
  EXPECT_NE(
      std::find(w.log.lines.begin(), w.log.lines.end(), "dock badges: Mail 4 (read in 42 ms)"),
      w.log.lines.end());
  auto hidden = w.engine->desktopWithID(testing::sid(desktops[1]));
  ASSERT_TRUE(hidden);
  auto apps = w.engine->apps(*hidden);
  ASSERT_EQ(apps.size(), 1u);
  EXPECT_EQ(apps[0].badge, "4");
}

}  // namespace
}  // namespace velmora
