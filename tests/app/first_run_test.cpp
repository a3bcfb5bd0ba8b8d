// The welcome as the application shows it at a first launch without the grant: its button
// asks the system; once the grant has arrived and Velmora has restarted, Done puts it away.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/velmora_run.h"
#include "mission_control/accessibility.h"

namespace velmora {
namespace {

TEST(FirstRun, AllowAsksAndDoneAfterTheRestartPutsTheWelcomeAway) {
  testing::Velmora run(testing::threeDesktops(false));
  run.session->launch();
  run("print first run");
  EXPECT_NE(run.text().find("status: Accessibility is off."), std::string::npos);
  const int prompts = run.mac().accessibilityPrompts();
  run("click first run allow");
  EXPECT_EQ(run.mac().accessibilityPrompts(), prompts + 1);
  EXPECT_EQ(std::ranges::count(run.mac().openedURLs(), std::string(Accessibility::kSettingsURL)),
            1);
  // The poll sees the grant at 2 s and Velmora restarts 1.6 s later; the new copy welcomes
  // the user with the grant on, and Done puts the welcome away for good.
  run("grant accessibility\nadvance 4\nprint first run");
  const std::string text = run.text();
  EXPECT_NE(text.find("Velmora restarts once"), std::string::npos) << text;
  EXPECT_NE(text.find("buttons: Done"), std::string::npos) << text;
  EXPECT_FALSE(run.session->app()->settings().onboardingDismissed());
  run("click first run dismiss\nadvance 0.1\nprint first run");
  EXPECT_NE(run.text().find("(the first-run window is closed)"), std::string::npos);
  EXPECT_TRUE(run.session->app()->settings().onboardingDismissed());
}

}  // namespace
}  // namespace velmora
