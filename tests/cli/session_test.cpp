// The command line's session as a process manager: what a kill leaves behind, what waits for
// the next launch, and panels that fade.
#include "cli/session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/virtual_loop.h"

namespace velmora {
namespace {

struct Velmora {
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session{loop, &loop, out};

  Velmora() { EXPECT_TRUE(session.loadWorldFile(VELMORA_WORLDS_DIR "/two-displays.json").ok()); }
  cli::Session::Status operator()(std::string_view command) { return session.execute(command); }
  bool printed(std::string_view text) const { return out.str().find(text) != std::string::npos; }
  std::size_t shellStarts() {
    std::size_t n = 0;
    for (const auto& start : session.mac().processStarts()) n += start.executable == "/bin/sh";
    return n;
  }
};

TEST(Session, AnInstallerThatFinishesAfterAKillReachesNobody) {
  Velmora run;
  run("launch");
  run("advance 1");
  run("kill");
  // The delegate's callback is still installed on the updater's stand-in; its lifetime guard
  // keeps it from reaching the dead delegate (AddressSanitizer reports it otherwise).
  run("update installed /Applications/Velmora.app");
  run("advance 1");
  EXPECT_EQ(run.shellStarts(), 0u);
  EXPECT_EQ(run.session.mac().terminateRequests(), 0);
  EXPECT_FALSE(run.session.launched());
  EXPECT_TRUE(run.printed("update installer: a new copy is in place at /Applications/Velmora.app"));
}

TEST(Session, AfterAKillVelmorasCommandsWaitForTheNextLaunch) {
  Velmora run;
  run("launch");
  run("advance 0.5");
  ASSERT_TRUE(run.session.launched());
  EXPECT_EQ(run("kill"), cli::Session::Status::ok);
  EXPECT_FALSE(run.session.launched());
  EXPECT_EQ(run.session.app(), nullptr);
  ASSERT_NE(run.session.mac().application(sim::VirtualMac::kSelfPID), nullptr);
  EXPECT_TRUE(run.session.mac().application(sim::VirtualMac::kSelfPID)->terminated);

  EXPECT_EQ(run("name 1 Inbox"), cli::Session::Status::error);
  EXPECT_TRUE(run.printed("error: Velmora is not running; launch starts it again"));
  EXPECT_EQ(run("kill"), cli::Session::Status::error);
  // The machine goes on without it, and printing what it holds does not start Velmora.
  EXPECT_EQ(run("switch 2"), cli::Session::Status::ok);
  EXPECT_EQ(run("print hotkeys"), cli::Session::Status::ok);
  EXPECT_FALSE(run.session.launched());

  EXPECT_EQ(run("launch"), cli::Session::Status::ok);
  ASSERT_TRUE(run.session.launched());
  EXPECT_NE(run.session.mac().selfPID(), sim::VirtualMac::kSelfPID);
  EXPECT_EQ(run("name 1 Inbox"), cli::Session::Status::ok);
  EXPECT_EQ(run.session.mac().hotKeys().registered().size(), 25u);
}

TEST(Session, AFadingPanelSaysWhereItIsGoingAndWhen) {
  Velmora run;
  run("launch");
  platform::PanelConfig config;
  config.size = Size{200, 100};
  config.level = 25;
  config.name = "fader";
  auto panel = run.session.mac().panels().makePanel(config);
  panel->orderFrontRegardless();
  panel->setAlpha(0.2, 0.5);

  run("advance 0.25");
  run("print panels");
  EXPECT_TRUE(run.printed("fader at 0,0 200x100 level 25 alpha 0.60, fading to 0.20 until 0.500"))
      << run.out.str();
  run("advance 0.3");
  run.out.str("");
  run("print panels");
  EXPECT_TRUE(run.printed("fader at 0,0 200x100 level 25 alpha 0.20\n")) << run.out.str();
  EXPECT_FALSE(run.printed("fading"));
}

}  // namespace
}  // namespace velmora
