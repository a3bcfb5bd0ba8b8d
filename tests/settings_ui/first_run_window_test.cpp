// The welcome window on the virtual Mac: what it says as the grant changes, its buttons at
// their real places, and the difference between putting it away and closing it.
#include "settings_ui/first_run_window.h"

#include <gtest/gtest.h>

#include "spaces/engine_world.h"

namespace velmora {
namespace {

using Window = FirstRunWindowController;

struct WelcomeWorld : testing::EngineWorld {
  bool trusted = false, askedAgain = false;
  int asked = 0, closed = 0;
  Window window{FirstRunServices{mac.platform(), options, [this] { return trusted; },
                                 [this] { return askedAgain; }, [this] { ++asked; }}};

  WelcomeWorld() {
    display("MAIN", 2);
    window.setOnClosed([this] { ++closed; });
  }
  void click(std::optional<ScreenRect> frame) {
    ASSERT_TRUE(frame);
    mac.click({frame->midX(), frame->midY()});
    loop.runPending();
  }
};

// Off, then reset by an update, then on: the status line follows and the allow button goes
// once there is nothing left to allow.
TEST(FirstRunWindow, TheStatusAndButtonsFollowTheGrant) {
  WelcomeWorld w;
  w.window.show();
  const sim::VirtualPanel* panel = w.mac.panels().named("first-run");
  ASSERT_TRUE(panel);
  EXPECT_TRUE(panel->isKey());
  EXPECT_EQ(w.window.statusText(), Window::kOffText);
  w.click(w.window.buttonFrame(Window::Button::allow));
  EXPECT_EQ(w.asked, 1);
  EXPECT_TRUE(w.window.isShowing());
  w.askedAgain = true;
  EXPECT_EQ(w.window.statusText(), Window::kAskedAgainText);
  w.trusted = true;
  w.window.refresh();
  EXPECT_EQ(w.window.statusText(), Window::kOnText);
  EXPECT_FALSE(w.window.buttonFrame(Window::Button::allow));
  EXPECT_TRUE(w.window.buttonFrame(Window::Button::dismiss));
  EXPECT_EQ(w.closed, 0);
}

// The close button only closes; Not Now (or Done) also keeps it from coming back at launch.
TEST(FirstRunWindow, NotNowPutsItAwayForGoodWhereClosingDoesNot) {
  WelcomeWorld w;
  w.window.show();
  const ScreenRect frame = w.mac.panels().named("first-run")->frame();
  w.mac.click({frame.minX() + 18, frame.maxY() - Window::kTitleBarHeight / 2});
  w.loop.runPending();
  EXPECT_FALSE(w.window.isShowing());
  EXPECT_FALSE(w.options.onboardingDismissed());
  EXPECT_FALSE(w.window.buttonFrame(Window::Button::dismiss));
  w.window.show();
  w.click(w.window.buttonFrame(Window::Button::dismiss));
  EXPECT_FALSE(w.window.isShowing());
  EXPECT_TRUE(w.options.onboardingDismissed());
  EXPECT_EQ(w.closed, 2);
  EXPECT_EQ(w.asked, 0);
  // Closing a closed window tells nobody.
  w.window.close();
  EXPECT_EQ(w.closed, 2);
}

}  // namespace
}  // namespace velmora
