#include "cli/dev_tools.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/self_test.h"
#include "app/velmora_run.h"
#include "app/world_capture.h"
#include "golden.h"

namespace velmora {
namespace {

using cli::DeveloperRequest;

// A built-in display with a notch and three desktops; `extra` joins the top level.
std::string notchedMac(bool trusted, const std::string& extra = {}) {
  return std::string(R"({"accessibilityTrusted": )") + (trusted ? "true" : "false") +
         R"(, "displays": [{"uuid": "MAIN", "name": "Built-in Retina Display", "notch": true,
             "spaces": ["desktop", "desktop", "desktop"]}],
         "apps": [{"name": "Mail", "bundleIdentifier": "com.apple.mail",
                   "windows": [{"space": "0:1"}]}])" +
         extra + "}";
}

struct ToolRun {
  int status = -1;
  std::string out, err;
};

ToolRun tool(const std::vector<std::string>& args, const std::string& world) {
  auto request = cli::developerRequest(args);
  EXPECT_TRUE(request && *request);
  ToolRun run;
  std::ostringstream out, err;
  run.status = cli::runDeveloperTool(**request, world, std::nullopt, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// Healthy, without the Accessibility grant, and with the system's desktop shortcuts left off:
// a line per check and the exit status a script can test.
TEST(DeveloperTools, SelfTestPassesOnlyOnAHealthyMac) {
  std::string text;
  for (const auto& [title, world] : std::vector<std::pair<std::string, std::string>>{
           {"healthy", notchedMac(true)},
           {"no accessibility", notchedMac(false)},
           {"shortcuts off", notchedMac(true, R"(, "defaults": {"app.velmora.Velmora":
                                                   {"nativeSwitching": false}})")}}) {
    ToolRun run = tool({"--selftest"}, world);
    text += "== " + title + " (exit " + std::to_string(run.status) + ")\n" + run.out + run.err;
  }
  EXPECT_TRUE(testing::matchesGolden("cli/selftest.txt", text));
}

// The grant arriving while Velmora runs (it restarts once, then turns the shortcuts on) turns
// every check that needs it to PASS; a Dock that stops answering fails again.
TEST(DeveloperTools, SelfTestFollowsTheGrant) {
  testing::Velmora run(notchedMac(false));
  run("advance 2");
  auto failing = [&] {
    std::vector<std::string> names;
    for (const auto& check : runSelfTest(*run.session->app(), run.mac().platform())) {
      if (!check.passed) names.push_back(check.name);
    }
    return names;
  };
  EXPECT_EQ(failing(),
            (std::vector<std::string>{"accessibility", "system shortcuts", "mission control"}));
  run("grant accessibility\nadvance 5");
  EXPECT_TRUE(failing().empty());
  run("restart dock\naccessibility times out for Dock\nadvance 1");
  EXPECT_EQ(failing(), std::vector<std::string>{"mission control"});
}

// A world captured from the virtual Mac loads back into the same machine: the second capture
// is the first, byte for byte, and Velmora sees the same desktops on both.
TEST(DeveloperTools, ACapturedWorldLoadsBackIntoTheSameMachine) {
  const std::string world = R"({"accessibilityTrusted": true,
    "displays": [
      {"uuid": "MAIN", "name": "Built-in Retina Display", "notch": true, "dockHeight": 60,
       "spaces": ["desktop", {"type": "fullscreen", "fullScreenOwner": "Safari"},
                  {"type": "desktop", "name": "Old Name", "managedID": 9001}, "desktop"],
       "current": 2},
      {"uuid": "SIDE", "size": [2560, 1440], "scale": 1, "spaces": ["desktop", "desktop"]}],
    "apps": [
      {"name": "Safari", "bundleIdentifier": "com.apple.Safari",
       "windows": [{"space": "0:0", "bounds": [80, 60, 1200, 760]}, {"space": "0:1"}]},
      {"name": "Mail", "bundleIdentifier": "com.apple.mail", "windows": [{"space": "1:1"}]},
      {"name": "Clips", "policy": "accessory",
       "windows": [{"space": "all", "bounds": [1180, 0, 30, 24], "layer": 25}]}],
    "activeMenuBarDisplay": "SIDE", "frontmost": "Mail"})";
  testing::Velmora first(world);
  first("advance 1\nname 3 Deep \"Work\"\nset hudEnabled false\nswitch 5\nadvance 1");
  std::string captured = captureWorld(first.mac().platform());
  EXPECT_TRUE(testing::matchesGolden("cli/captured_world.json", captured));

  testing::Velmora second(captured);
  second("advance 1");
  EXPECT_EQ(captureWorld(second.mac().platform()), captured);
  std::ostringstream desktops;
  for (auto* run : {&first, &second}) {
    std::size_t from = run->out.str().size();
    (*run)("print desktops");
    desktops << run->out.str().substr(from) << "--\n";
  }
  std::string both = desktops.str();
  std::size_t split = both.find("--\n");
  EXPECT_EQ(both.substr(0, split), both.substr(split + 3, split));
  EXPECT_NE(both.find("Deep \"Work\""), std::string::npos);
}

// What the options mean, and the sentence for each mistake.
TEST(DeveloperTools, OptionsAreReadOrRefusedInOneSentence) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"run", "w.json"}, "none"},
      {{"--selftest"}, "tool 0"},
      {{"--capture", "shots"}, "tool 1 shots"},
      {{"--render", "out", "--world", "w.json"}, "tool 3 out world w.json"},
      {{"--switch", "4"}, "tool 4 desktop 4"},
      {{"--capture-world", "bug.json"}, "tool 6 bug.json"},
      {{"--switch", "two"}, "--switch takes a desktop number, not \"two\"."},
      {{"--switch", "0"}, "--switch takes a desktop number, not \"0\"."},
      {{"--capture"}, "--capture takes a path."},
      {{"--selftest", "--diagnose"}, "Give one developer option at a time."},
      {{"--world", "w.json"}, "--world goes with a developer option, such as --selftest."},
  };
  for (const auto& [args, expected] : cases) {
    auto request = cli::developerRequest(args);
    std::string got = "none";
    if (request && !*request) got = request->error();
    if (request && *request) {
      const DeveloperRequest& r = **request;
      got = "tool " + std::to_string(static_cast<int>(r.tool));
      if (!r.path.empty()) got += " " + r.path.string();
      if (r.desktop) got += " desktop " + std::to_string(r.desktop);
      if (r.worldFile) got += " world " + *r.worldFile;
    }
    EXPECT_EQ(got, expected) << args.front();
  }
}

// One switch prints its own log line; a desktop the machine lacks is refused.
TEST(DeveloperTools, SwitchAndRender) {
  ToolRun landed = tool({"--switch", "2"}, testing::threeDesktops());
  EXPECT_EQ(landed.status, 0);
  EXPECT_NE(landed.out.find("] developer [⌃2]: 1 → 2 'Desktop 2'"), std::string::npos)
      << landed.out;
  ToolRun missing = tool({"--switch", "7"}, testing::threeDesktops());
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "velmora: there is no desktop 7\n");

  auto folder =
      std::filesystem::temp_directory_path() / ("velmora-render-" + std::to_string(::getpid()));
  ToolRun rendered = tool({"--render", folder.string()}, notchedMac(true));
  EXPECT_EQ(rendered.status, 0) << rendered.err;
  std::size_t pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_GT(entry.file_size(), 1000u) << entry.path();
    ++pictures;
  }
  EXPECT_EQ(pictures, 9u);  // the display and eight surfaces
  std::filesystem::remove_all(folder);
  EXPECT_NE(tool({"--sample"}, notchedMac(true)).out.find("2  Deep Work  (Xcode, Terminal)"),
            std::string::npos);
}

}  // namespace
}  // namespace velmora
