#include "mission_control/accessibility.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

class AccessibilityTest : public ::testing::Test {
 protected:
  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog log;
  Settings settings{mac.preferences()};

  int trustQuestions() const { return mac.callCount("AXIsProcessTrusted"); }
  // Whether the grant is seen, whether the poll runs, how often the system was asked whether
  // Velmora is trusted and how often it prompted the user.
  std::string state(const Accessibility& access) const {
    return std::string(access.trusted() ? "trusted" : "untrusted") +
           (access.polling() ? " polling" : "") + " asked " + std::to_string(trustQuestions()) +
           " prompts " + std::to_string(mac.accessibilityPrompts());
  }

  // A user who finished the welcome window last version and now runs 1.0.0 with a grant
  // the system no longer honours.
  void afterUpdateFrom(const std::string& previous) {
    settings.setOnboardingDismissed(true);
    settings.setAccessibilityRepairedFor(previous);
  }
};

// ---- Trust and the poll ----

TEST_F(AccessibilityTest, PollsEveryTwoSecondsExactlyWhileUntrusted) {
  Accessibility access(mac.platform(), &log);
  int changes = 0;
  bool seenBefore = true;
  auto connection = access.willChange().connect([&] {
    ++changes;
    seenBefore = access.trusted();
  });
  access.checkTrust(false);
  std::vector<std::string> seen;
  for (double step : {1.9, 0.1, 4.0}) {
    loop.advance(step);
    seen.push_back(state(access));
  }
  mac.setAccessibilityTrusted(true);  // at 6 s; the tick at 8 s sees it
  for (double step : {1.9, 0.1, 60.0}) {
    loop.advance(step);
    seen.push_back(state(access));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "untrusted polling asked 2 prompts 0", "untrusted polling asked 3 prompts 0",
                      "untrusted polling asked 5 prompts 0", "untrusted polling asked 5 prompts 0",
                      "trusted asked 6 prompts 0", "trusted asked 6 prompts 0"}));
  EXPECT_EQ(changes, 1);  // the same answer publishes nothing
  EXPECT_FALSE(seenBefore) << "observers are told before the change";
  EXPECT_EQ(loop.pendingCount(), 0u);
}

TEST_F(AccessibilityTest, TrustedAtLaunchHasNoPollAndARevokeStartsItAgain) {
  mac.setAccessibilityTrusted(true);
  Accessibility access(mac.platform(), &log);
  access.checkTrust(true);
  EXPECT_EQ(state(access), "trusted asked 1 prompts 0");
  EXPECT_EQ(loop.pendingCount(), 0u);
  mac.setAccessibilityTrusted(false);
  loop.advance(10);
  EXPECT_EQ(state(access), "trusted asked 1 prompts 0");  // nothing polls while trusted
  access.checkTrust(false);
  EXPECT_EQ(state(access), "untrusted polling asked 2 prompts 0");
}

TEST_F(AccessibilityTest, PromptAsksTheSystemAndRepeatedChecksKeepOnePoll) {
  Accessibility access(mac.platform(), &log);
  access.checkTrust(true);
  access.checkTrust(true);
  access.checkTrust(false);
  EXPECT_EQ(mac.callCount("AXIsProcessTrustedWithOptions"), 2);
  loop.advance(10);
  EXPECT_EQ(state(access), "untrusted polling asked 7 prompts 2");  // the poll never prompts
}

TEST_F(AccessibilityTest, APollOutlivingItsOwnerDoesNothing) {
  auto access = std::make_unique<Accessibility>(mac.platform(), &log);
  access->checkTrust(false);
  int asked = trustQuestions();
  access.reset();
  loop.advance(10);
  EXPECT_EQ(trustQuestions(), asked);
}

// ---- Repair after an update ----

TEST_F(AccessibilityTest, RepairsAStaleGrantOncePerVersion) {
  afterUpdateFrom("0.9.0");
  {
    Accessibility access(mac.platform(), &log);
    int changes = 0;
    auto connection = access.willChange().connect([&] { ++changes; });
    access.repairAfterUpdate(settings);
    ASSERT_EQ(mac.processRuns().size(), 1u);
    EXPECT_EQ(mac.processRuns()[0],
              (sim::SimProcessRun{"/usr/bin/tccutil",
                                  {"reset", "Accessibility", "app.velmora.Velmora"}}));
    EXPECT_EQ(mac.registeredBundles(), std::vector<std::string>{"/Applications/Velmora.app"});
    EXPECT_EQ(log.lines, std::vector<std::string>{"accessibility grant reset for 1.0.0: done"});
    EXPECT_EQ(settings.accessibilityRepairedFor(), "1.0.0");
    EXPECT_TRUE(access.askedAgainAfterUpdate());
    EXPECT_EQ(changes, 1);
  }
  // The next launch of the same version leaves the grant alone.
  Accessibility relaunched(mac.platform(), &log);
  Settings reread(mac.preferences());
  relaunched.repairAfterUpdate(reread);
  EXPECT_EQ(mac.processRuns().size(), 1u);
  EXPECT_FALSE(relaunched.askedAgainAfterUpdate());
}

TEST_F(AccessibilityTest, NoRepairForFirstRunTrustedOrAnonymousBundles) {
  Accessibility access(mac.platform(), &log);

  settings.setAccessibilityRepairedFor("0.9.0");  // welcome window never dismissed
  access.repairAfterUpdate(settings);

  afterUpdateFrom("0.9.0");
  mac.setAccessibilityTrusted(true);
  access.repairAfterUpdate(settings);

  mac.setAccessibilityTrusted(false);
  mac.bundleInfo().identifier.reset();
  access.repairAfterUpdate(settings);
  EXPECT_EQ(settings.accessibilityRepairedFor(), "0.9.0") << "nothing tried, nothing stored";

  // No version in the bundle reads as "", the stored default: nothing to repair.
  mac.bundleInfo().identifier = "app.velmora.Velmora";
  mac.bundleInfo().info.erase("CFBundleShortVersionString");
  settings.setAccessibilityRepairedFor("");
  access.repairAfterUpdate(settings);
  mac.bundleInfo().info.insert_or_assign("CFBundleShortVersionString", Value(2));  // not a string
  access.repairAfterUpdate(settings);

  EXPECT_TRUE(mac.processRuns().empty());
  EXPECT_TRUE(log.lines.empty());
  EXPECT_FALSE(access.askedAgainAfterUpdate());
}

TEST_F(AccessibilityTest, AFailedResetIsLoggedAndNotRetried) {
  struct Case {
    std::string name;
    std::function<void(sim::VirtualMac&)> breakIt;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"silent status 1", [](sim::VirtualMac& m) { m.failTccutil(1); },
       "accessibility grant reset for 1.0.0: tccutil exited 1"},
      {"error text, trimmed",
       [](sim::VirtualMac& m) { m.failTccutil(2, " \n tccutil: Failed to reset Accessibility\n"); },
       "accessibility grant reset for 1.0.0: tccutil: Failed to reset Accessibility"},
      {"ill-formed bytes", [](sim::VirtualMac& m) { m.failTccutil(1, "bad \xFF byte\r\n"); },
       "accessibility grant reset for 1.0.0: bad \uFFFD byte"},
      {"cannot start",
       [](sim::VirtualMac& m) {
         m.failLaunch("/usr/bin/tccutil", "The operation is not permitted.");
       },
       "accessibility grant reset for 1.0.0: could not run tccutil: The operation is not "
       "permitted."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualLoop caseLoop;
    sim::VirtualMac caseMac(caseLoop);
    Settings caseSettings(caseMac.preferences());
    caseSettings.setOnboardingDismissed(true);
    caseSettings.setAccessibilityRepairedFor("0.9.0");
    MemoryLog caseLog;
    c.breakIt(caseMac);
    Accessibility access(caseMac.platform(), &caseLog);
    access.repairAfterUpdate(caseSettings);
    access.repairAfterUpdate(caseSettings);
    EXPECT_EQ(caseLog.lines, std::vector<std::string>{c.line});
    EXPECT_EQ(caseSettings.accessibilityRepairedFor(), "1.0.0");
    EXPECT_FALSE(access.askedAgainAfterUpdate());
    EXPECT_EQ(caseMac.processRuns().size(), 1u);
  }
}

TEST_F(AccessibilityTest, ResetGrantRemovesTheGrantOrSaysWhyNot) {
  Accessibility access(mac.platform(), &log);
  mac.setAccessibilityTrusted(true);
  EXPECT_EQ(access.resetGrant("app.velmora.Velmora"), std::nullopt);
  EXPECT_FALSE(mac.isProcessTrusted()) << "tccutil removed the grant";
  EXPECT_EQ(
      access.resetGrant("com.example.Unknown"),
      std::optional<std::string>("tccutil: No such bundle identifier \"com.example.Unknown\""));
}

// ---- System Settings ----

TEST_F(AccessibilityTest, OpensTheAccessibilityListInSystemSettings) {
  Accessibility access(mac.platform(), &log);
  access.openAccessibilitySettings();
  EXPECT_EQ(mac.openedURLs(),
            std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility"});
}

}  // namespace
}  // namespace velmora
