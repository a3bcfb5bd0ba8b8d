#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/velmora_run.h"
#include "golden.h"
#include "platform/linux/test_pictures.h"
#include "store/space_store.h"

namespace velmora {
namespace {

// The harness, with what only the application object and the machine can tell.
struct Velmora : testing::Velmora {
  explicit Velmora(bool trusted = true, std::optional<std::filesystem::path> home = std::nullopt)
      : testing::Velmora(testing::threeDesktops(trusted), std::move(home)) {}
  AppDelegate& delegate() { return session->app()->delegate(); }
  // The relaunch scripts started (the Dock's restart is started too, after the shortcuts).
  std::size_t shellStarts() {
    return std::ranges::count(mac().processStarts(), std::string("/bin/sh"),
                              &sim::SimProcessRun::executable);
  }
};

// The launch in order: tile, the surfaces following the settings, copies retired, the update
// checker, the first-run window last.
TEST(AppDelegate, LaunchWiresEverythingInOrder) {
  Velmora run;
  run.mac().startAnotherCopy("/Volumes/Old/Velmora.app");
  run.session->launch();
  run("advance 1\nprint hotkeys");
  EXPECT_TRUE(testing::matchesGolden("app/launch.txt", run.text()));
  EXPECT_EQ(run.mac().application(sim::VirtualMac::kSelfPID)->policy,
            platform::ActivationPolicy::Accessory);
  ASSERT_EQ(run.mac().mainMenu().size(), 3u);
  EXPECT_TRUE(run.delegate().launchCompleted());
}

// Declined, accepted (a copy in Applications, the relaunch takes over and the rest of this
// start does not run) and failed (said in an alert, the start goes on).
TEST(AppDelegate, TheMoveToApplicationsOffer) {
  Velmora declined, accepted, failed;
  declined("run from disk image\nanswer Not Now\nadvance 0.1\nprint alerts");
  accepted("run from disk image\nanswer Move to Applications\nadvance 0.1");
  failed("run from disk image");
  failed.mac().disks().failMoves(
      [](const std::filesystem::path&, const std::filesystem::path&) -> Result<void> {
        return Failure{"the disk is full"};
      });
  failed("answer Move to Applications\nadvance 0.1\nprint alerts");
  EXPECT_TRUE(testing::matchesGolden("app/move_to_applications.txt",
                                     "== declined\n" + declined.text() + "== accepted\n" +
                                         accepted.text() + "== failed\n" + failed.text()));
  EXPECT_EQ(declined.mac().alerts().at(0).buttons,
            (std::vector<std::string>{"Move to Applications", "Not Now"}));
  auto destination = accepted.mac().disks().localApplicationsFolder() / "Velmora.app";
  EXPECT_TRUE(std::filesystem::exists(destination / "Contents"));
  ASSERT_EQ(accepted.shellStarts(), 1u);
  auto shell = std::ranges::find(accepted.mac().processStarts(), std::string("/bin/sh"),
                                 &sim::SimProcessRun::executable);
  EXPECT_NE(shell->arguments[1].find(destination.string()), std::string::npos);
  // The copy from the disk image quit before the rest of its start; the new one runs from
  // Applications and does not offer the move again.
  EXPECT_EQ(accepted.mac().platform().bundle.bundlePath(), destination.string());
  EXPECT_EQ(accepted.mac().alerts().size(), 1u);
  EXPECT_TRUE(accepted.delegate().launchCompleted());
}

TEST(AppDelegate, ADesktopsShortcutGoesAndComesBackWithItsDesktop) {
  Velmora run;
  run("advance 0.1\nedit 2 shortcut ctrl+opt+m\nedit 2 done");
  auto& engine = run.session->app()->engine();
  Desktop second = *engine.desktopWithNumber(2);
  auto held = [&] {
    return std::ranges::any_of(run.mac().hotKeys().registered(), [](const auto& r) {
      return r.modifiers == (platform::kControlKey | platform::kOptionKey) && r.keyCode == 46;
    });
  };
  ASSERT_TRUE(held());
  run("remove desktop 2\nadvance 1.6");
  EXPECT_FALSE(held());  // not left holding a combination that leads nowhere

  // The desktop comes back (a display plugged in again): a new space, the same managed id.
  run.mac().addSpace("MAIN", sim::kSpaceTypeDesktop, second.space.managedID.raw());
  run("advance 1.6");
  EXPECT_TRUE(held());
  run("press ctrl+opt+m\nadvance 1");
  EXPECT_EQ(engine.currentDesktop()->space.managedID, second.space.managedID);
}

TEST(AppDelegate, NamesAndTimeAreKeptByManagedIDOnTheShippedWorld) {
  // Its spaces' managed ids (1847, 1852, …) are unlike their ids (1, 2, …).
  VirtualLoop loop;
  std::ostringstream out;
  cli::Session session(loop, &loop, out);
  ASSERT_TRUE(session.loadWorldFile(VELMORA_WORLDS_DIR "/two-displays.json").ok());
  for (const char* command : {"name 2 Deep Work", "pointer 10 10", "advance 1.6", "pointer 12 10",
                              "advance 1.6", "quit"}) {
    session.execute(command);
  }
  const SpaceStore& store = session.app()->store();
  EXPECT_EQ(store.meta(ManagedID(1852)).name, "Deep Work");
  EXPECT_GT(store.meta(ManagedID(1847)).seconds, 2.0);  // desktop 1, where the user worked
  EXPECT_EQ(store.metas().size(), 2u);                  // nothing under a space id
}

TEST(AppDelegate, QuittingWritesTheTimeTotals) {
  test_support::TemporaryFolder home;
  Velmora run(true, home.path());
  run("pointer 10 10\nadvance 1.6\npointer 12 10\nadvance 1.6\nquit");
  ManagedID managed = run.session->app()->engine().desktopWithNumber(1)->space.managedID;
  // A fresh store reads what reached the disk.
  NotificationCenter center;
  MemoryLog log;
  EXPECT_GT(SpaceStore(run.mac().platform(), center, log).meta(managed).seconds, 2.0);
}

}  // namespace
}  // namespace velmora
