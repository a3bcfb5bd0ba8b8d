// The welcome as the application shows it at a first launch without the grant: its button
// asks the system, and the grant arriving puts it away after a moment, for good.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/velmora_run.h"
#include "mission_control/accessibility.h"

namespace velmora {
namespace {

TEST(FirstRun, AllowAsksAndTheArrivingGrantClosesTheWelcome) {
  testing::Velmora run(testing::threeDesktops(false));
  run.session->launch();
  run("print first run");
  EXPECT_NE(run.text().find("status: Accessibility is off."), std::string::npos);
  const int prompts = run.mac().accessibilityPrompts();
  run("click first run allow");
  EXPECT_EQ(run.mac().accessibilityPrompts(), prompts + 1);
  EXPECT_EQ(std::ranges::count(run.mac().openedURLs(), std::string(Accessibility::kSettingsURL)),
            1);
  // The poll sees the grant at 2 s; the window goes 1.5 s later, before the restart at 3.6 s.
  run("grant accessibility\nadvance 3.45\nprint first run");
  EXPECT_NE(run.text().find("buttons: Done"), std::string::npos);
  run("advance 0.1\nprint first run");
  EXPECT_NE(run.text().find("(the first-run window is closed)"), std::string::npos);
  EXPECT_TRUE(run.session->app()->settings().onboardingDismissed());
  // The copy the restart brings up does not welcome the user again.
  run("advance 1\nprint surfaces");
  const std::string text = run.text();
  const std::string restarted = text.substr(text.rfind("first-run window: closed"));
  EXPECT_NE(restarted.find("menu bar tile: shown"), std::string::npos) << text;
  EXPECT_EQ(restarted.find("first-run window: shown"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmora
