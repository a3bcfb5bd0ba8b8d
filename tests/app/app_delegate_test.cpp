#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/session.h"
#include "core/virtual_loop.h"
#include "store/space_store.h"

namespace velmora {
namespace {

// Three desktops on one display, Mail on the second; trusted unless told otherwise.
std::string world(bool trusted = true) {
  return std::string(R"({"accessibilityTrusted": )") + (trusted ? "true" : "false") + R"(,
    "displays": [{"uuid": "MAIN", "spaces": ["desktop", "desktop", "desktop"]}],
    "apps": [{"name": "Mail", "windows": [{"space": "0:1"}]}]})";
}

// Velmora on a virtual Mac, as the command line runs it, with everything it printed kept.
struct Velmora {
  VirtualLoop loop;
  std::ostringstream out;
  std::unique_ptr<cli::Session> session;

  explicit Velmora(bool trusted = true, std::optional<std::filesystem::path> home = std::nullopt) {
    session = std::make_unique<cli::Session>(loop, &loop, out, std::move(home));
    EXPECT_TRUE(session->loadWorldText(world(trusted)).ok());
  }
  cli::Session::Status operator()(std::string_view command) { return session->execute(command); }
  AppDelegate& delegate() { return session->app()->delegate(); }
  sim::VirtualMac& mac() { return session->mac(); }
  std::string text() const { return out.str(); }
  bool printed(std::string_view line) const { return text().find(line) != std::string::npos; }
  std::size_t count(std::string_view line) const {
    std::size_t n = 0;
    for (auto at = text().find(line); at != std::string::npos; at = text().find(line, at + 1)) ++n;
    return n;
  }
  // The relaunch scripts started (the Dock's restart is started too, after the shortcuts).
  std::vector<sim::SimProcessRun> shellStarts() {
    std::vector<sim::SimProcessRun> shells;
    for (const auto& start : mac().processStarts()) {
      if (start.executable == "/bin/sh") shells.push_back(start);
    }
    return shells;
  }
  // Position of a line in the output, for order checks.
  std::size_t at(std::string_view line) const {
    auto position = text().find(line);
    EXPECT_NE(position, std::string::npos) << "missing: " << line;
    return position;
  }
};

TEST(AppDelegate, LaunchWiresEverythingInOrder) {
  Velmora run;
  run.mac().startAnotherCopy("/Volumes/Old/Velmora.app");
  run.session->launch();
  run("advance 1");

  EXPECT_EQ(run.mac().application(sim::VirtualMac::kSelfPID)->policy,
            platform::ActivationPolicy::Accessory);
  ASSERT_EQ(run.mac().mainMenu().size(), 3u);
  EXPECT_EQ(run.mac().mainMenu()[1].title, "Edit");
  // Tile before the surfaces follow the settings, copies retired before the update checker,
  // the first-run window last.
  EXPECT_LT(run.at("menu bar tile: shown"), run.at("hover strip: on"));
  EXPECT_LT(run.at("hover strip: on"), run.at("Mission Control overlay: on"));
  EXPECT_LT(run.at("Mission Control overlay: on"), run.at("switches.log: retiring running copy"));
  EXPECT_LT(run.at("retiring running copy"), run.at("update checker: started"));
  EXPECT_LT(run.at("update checker: started"), run.at("first-run window: shown"));
  EXPECT_TRUE(run.printed("retiring running copy pid 601 at /Volumes/Old/Velmora.app"));
  // The default hot keys are registered at start.
  EXPECT_EQ(run.mac().hotKeys().registered().size(), 25u);
  EXPECT_TRUE(run.delegate().launchCompleted());
}

TEST(AppDelegate, PresentationModeSpeaksOnlyWhenTheSettledValueChanged) {
  Velmora run;
  run("launch");
  run("set presenting true");
  run("advance 0.03");
  run("set presenting false");
  run("advance 0.2");
  EXPECT_FALSE(run.printed("Presentation mode"));
  EXPECT_FALSE(run.printed("presentation mode"));

  run("set presenting true");
  run("advance 0.049");
  EXPECT_FALSE(run.printed("presentation mode on"));
  run("advance 0.002");
  EXPECT_TRUE(run.printed(
      "toast: Presentation mode: every desktop shows as its number. Press ⌃⌥P again to bring "
      "them back. (eye.slash.fill, 3.5 s)"));
  EXPECT_TRUE(run.printed("switches.log: presentation mode on"));

  run("set presentationHotkey none");
  run("set presenting false");
  run("advance 0.1");
  EXPECT_TRUE(run.printed("toast: Presentation mode off. Your names are back. (eye.fill, 2.0 s)"));
  run("open velmora://presentation");
  run("advance 0.1");
  EXPECT_TRUE(
      run.printed("every desktop shows as its number. Turn it off from the menu bar tile."));
  EXPECT_TRUE(run.delegate().presenting());
}

TEST(AppDelegate, AGrantArrivingMidRunRelaunchesOnce) {
  Velmora run(/*trusted=*/false);
  run("advance 1");
  EXPECT_TRUE(run.delegate().sawUntrusted());
  EXPECT_TRUE(run.shellStarts().empty());

  run("grant accessibility");
  run("advance 2.1");  // the poll notices within 2 s
  EXPECT_TRUE(
      run.printed("toast: Accessibility is on. Velmora restarts once so switching is instant. "
                  "(checkmark.circle.fill, 1.6 s)"));
  EXPECT_TRUE(run.shellStarts().empty());
  run("advance 1.6");
  EXPECT_EQ(run.shellStarts().size(), 1u);
  EXPECT_EQ(run.mac().terminateRequests(), 1);

  // The copy quits and the new one starts trusted: it has no reason to restart again.
  run("advance 5");
  EXPECT_LT(run.at("Velmora quits (pid 500)"), run.at("starts (pid 6"));
  EXPECT_FALSE(run.delegate().sawUntrusted());
  EXPECT_EQ(run.shellStarts().size(), 1u);
}

TEST(AppDelegate, EachVersionIsAnnouncedOnce) {
  auto home = std::filesystem::temp_directory_path() / "velmora-delegate-updates";
  std::filesystem::remove_all(home);
  {
    Velmora run(true, home);
    run("update 1.2.0");
    run("update 1.2.0");
    run("advance 0.1");
    EXPECT_EQ(run.count("toast: Velmora 1.2.0 is out. Get it from the menu bar tile. "
                        "(arrow.down.circle.fill, 4.0 s)"),
              1u);
    run("quit");
  }
  {
    Velmora again(true, home);
    again("update 1.2.0");
    again("update 1.3.0");
    EXPECT_FALSE(again.printed("toast: Velmora 1.2.0 is out"));
    EXPECT_TRUE(again.printed("toast: Velmora 1.3.0 is out"));
  }
  std::filesystem::remove_all(home);
}

TEST(AppDelegate, AfterAnInstallTheNewVersionIsConfirmed) {
  Velmora installed;
  installed("install version 1.1.0");
  installed("set updateInstalling 1.1.0");
  installed("advance 0.1");
  EXPECT_TRUE(installed.printed("updates.log: running 1.1.0 after the install"));
  EXPECT_TRUE(installed.printed("toast: Velmora is now 1.1.0. (checkmark.circle.fill, 3.0 s)"));
  EXPECT_EQ(installed.session->app()->settings().updateInstalling(), "");

  Velmora mismatch;
  mismatch("set updateInstalling 1.1.0");
  mismatch("advance 0.1");
  EXPECT_TRUE(mismatch.printed("updates.log: expected 1.1.0 after the install, running 1.0.0"));
  EXPECT_FALSE(mismatch.printed("Velmora is now"));
}

TEST(AppDelegate, LinksCarryOutEveryRowOfTheTable) {
  Velmora run;
  run("name 2 Deep Work");
  run("advance 0.1");

  run("open VELMORA://SWITCH/3");
  run("advance 1");
  EXPECT_EQ(run.session->app()->engine().currentDesktop()->number, 3);
  run("open velmora://switch/Deep%20Work");
  run("advance 1");
  EXPECT_EQ(run.session->app()->engine().currentDesktop()->number, 2);
  run("open corvane://back");
  run("advance 1");
  EXPECT_EQ(run.session->app()->engine().currentDesktop()->number, 3);
  run("open velmora://prev");
  run("advance 1");
  EXPECT_EQ(run.session->app()->engine().currentDesktop()->number, 2);
  run("open velmora://switch/mail");  // an application on desktop 2
  run("advance 1");
  EXPECT_FALSE(run.printed("No desktop matches"));

  run("open velmora://switch/+2 velmora://switch/-1 velmora://switch/dw velmora://previous");
  run("expect toast: There is no Desktop -1 (link, 3.0 s)");
  run("expect switches.log: link: No desktop matches “dw”");
  run("expect switches.log: link not understood: velmora://previous");
  run("expect toast: Velmora doesn't know the link velmora://previous (link, 3.0 s)");
  EXPECT_EQ(run.session->failedExpectations(), 0);

  run("open velmora://settings/TimeTracking velmora://settings/colors velmora://settings/");
  run("expect settings window: timeTracking");
  run("expect toast: There is no Settings page called “colors”");
  EXPECT_EQ(run.count("settings window: timeTracking"), 2u);  // the empty page keeps the page

  run("open velmora://switcher velmora://popover velmora://hover velmora://popover");
  run("expect quick switcher: shown");
  run("expect popover: shown from the menu bar tile");
  run("expect hover strip: shown for 4.0 s");
  run("expect popover: hidden");
  EXPECT_EQ(run.session->failedExpectations(), 0);
}

TEST(AppDelegate, TheMoveToApplicationsOffer) {
  Velmora declined;
  declined("run from disk image");
  declined("answer Not Now");
  declined("advance 0.1");
  ASSERT_EQ(declined.mac().alerts().size(), 1u);
  EXPECT_EQ(declined.mac().alerts()[0].title, "Move Velmora to Applications?");
  EXPECT_EQ(declined.mac().alerts()[0].buttons,
            (std::vector<std::string>{"Move to Applications", "Not Now"}));
  EXPECT_TRUE(declined.printed("the move to Applications was declined"));
  EXPECT_TRUE(declined.printed("update checker: started"));

  Velmora accepted;
  accepted("run from disk image");
  accepted("answer Move to Applications");
  accepted("launch");
  EXPECT_TRUE(accepted.printed(", relaunching from there"));
  auto destination = accepted.mac().disks().localApplicationsFolder() / "Velmora.app";
  EXPECT_TRUE(std::filesystem::exists(destination / "Contents"));
  ASSERT_EQ(accepted.shellStarts().size(), 1u);
  EXPECT_NE(accepted.shellStarts()[0].arguments[1].find(destination.string()), std::string::npos);
  // The relaunch took over: this copy quits before the rest of its start runs, and once it is
  // gone the new copy starts from Applications and does not offer the move again.
  EXPECT_FALSE(accepted.printed("update checker: started"));
  accepted("advance 0.1");
  EXPECT_LT(accepted.at("relaunching from there"), accepted.at("Velmora quits (pid 500)"));
  EXPECT_LT(accepted.at("Velmora quits (pid 500)"), accepted.at("update checker: started"));
  EXPECT_EQ(accepted.mac().platform().bundle.bundlePath(), destination.string());
  EXPECT_EQ(accepted.mac().alerts().size(), 1u);
  EXPECT_TRUE(accepted.delegate().launchCompleted());

  Velmora failed;
  failed("run from disk image");
  failed.mac().disks().failMoves(
      [](const std::filesystem::path&, const std::filesystem::path&) -> std::optional<std::string> {
        return "the disk is full";
      });
  failed("answer Move to Applications");
  failed("advance 0.1");
  EXPECT_TRUE(failed.printed(
      "updates.log: move to Applications failed: the new copy could not be put in place: the "
      "disk is full"));
  ASSERT_EQ(failed.mac().alerts().size(), 2u);
  EXPECT_EQ(failed.mac().alerts()[1].title, "The move did not go through");
  EXPECT_EQ(failed.mac().alerts()[1].text,
            "The new copy could not be put in place: the disk is full");
  EXPECT_TRUE(failed.printed("update checker: started"));
}

TEST(AppDelegate, ADesktopsShortcutGoesAndComesBackWithItsDesktop) {
  Velmora run;
  run("advance 0.1");
  run("edit 2 shortcut ctrl+opt+m");
  run("edit 2 done");
  auto& engine = run.session->app()->engine();
  Desktop second = *engine.desktopWithNumber(2);
  auto held = [&] {
    for (const auto& r : run.mac().hotKeys().registered()) {
      if (r.modifiers == (platform::kControlKey | platform::kOptionKey) && r.keyCode == 46) {
        return true;
      }
    }
    return false;
  };
  ASSERT_TRUE(held());

  run("remove desktop 2");
  run("advance 1.6");
  EXPECT_FALSE(held());  // not left holding a combination that leads nowhere

  // The desktop comes back (a display plugged in again): a new space, the same managed id.
  run.mac().addSpace("MAIN", sim::kSpaceTypeDesktop, second.space.managedID.raw());
  run("advance 1.6");
  EXPECT_TRUE(held());
  run("press ctrl+opt+m");
  run("advance 1");
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
  auto home = std::filesystem::temp_directory_path() / "velmora-delegate-quit";
  std::filesystem::remove_all(home);
  double seconds = 0;
  {
    Velmora run(true, home);
    run("pointer 10 10");
    run("advance 1.6");
    run("pointer 12 10");
    run("advance 1.6");
    run("quit");
    ManagedID managed = run.session->app()->engine().desktopWithNumber(1)->space.managedID;
    // A fresh store reads what reached the disk.
    NotificationCenter center;
    MemoryLog log;
    SpaceStore store(run.mac().platform(), center, log);
    seconds = store.meta(managed).seconds;
  }
  EXPECT_GT(seconds, 2.0);
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace velmora
