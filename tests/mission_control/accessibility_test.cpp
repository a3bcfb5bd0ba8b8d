#include "mission_control/accessibility.h"

#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "golden.h"
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

// The repair after an update, one case a line: what it logged and ran, the version it stored
// and whether it asked for the grant again. A stale grant is reset once per version (the next
// launch of the same version leaves it alone); nothing is tried for a first run, a trusted
// copy, a bundle without an identifier or without a version; a failed reset is logged once
// and not retried.
TEST(AccessibilityRepair, EachCaseAsItsGolden) {
  using Setup = std::function<void(sim::VirtualMac&, Settings&)>;
  const Setup tccutil = [](sim::VirtualMac&, Settings&) {};
  const std::vector<std::pair<std::string, Setup>> cases = {
      {"stale grant", tccutil},
      {"welcome window never dismissed",
       [](sim::VirtualMac&, Settings& s) { s.setOnboardingDismissed(false); }},
      {"trusted", [](sim::VirtualMac& m, Settings&) { m.setAccessibilityTrusted(true); }},
      {"no identifier", [](sim::VirtualMac& m, Settings&) { m.bundleInfo().identifier.reset(); }},
      {"no version",
       [](sim::VirtualMac& m, Settings& s) {
         m.bundleInfo().info.erase("CFBundleShortVersionString");
         s.setAccessibilityRepairedFor("");
       }},
      {"version not text",
       [](sim::VirtualMac& m, Settings& s) {
         m.bundleInfo().info.insert_or_assign("CFBundleShortVersionString", Value(2));
         s.setAccessibilityRepairedFor("");
       }},
      {"tccutil exits 1", [](sim::VirtualMac& m, Settings&) { m.failTccutil(1); }},
      {"tccutil says why",
       [](sim::VirtualMac& m, Settings&) {
         m.failTccutil(2, " \n tccutil: Failed to reset Accessibility\n");
       }},
      {"ill-formed bytes",
       [](sim::VirtualMac& m, Settings&) { m.failTccutil(1, "bad \xFF byte\r\n"); }},
      {"tccutil cannot start", [](sim::VirtualMac& m, Settings&) {
         m.failLaunch("/usr/bin/tccutil", "The operation is not permitted.");
       }}};
  std::string out;
  for (const auto& [name, setup] : cases) {
    VirtualLoop loop;
    sim::VirtualMac mac(loop);
    Settings settings(mac.preferences());
    settings.setOnboardingDismissed(true);
    settings.setAccessibilityRepairedFor("0.9.0");
    MemoryLog log;
    setup(mac, settings);
    int changes = 0;
    bool asked = false;
    for (int launch = 0; launch < 2; ++launch) {  // and the next launch of the same version
      Accessibility access(mac.platform(), &log);
      auto connection = access.willChange().connect([&] { ++changes; });
      Settings reread(mac.preferences());
      access.repairAfterUpdate(reread);
      asked = asked || access.askedAgainAfterUpdate();
    }
    out += name + ": log [";
    for (const std::string& line : log.lines) out += testing::escaped(line);
    out += "] ran [";
    for (const auto& run : mac.processRuns()) {
      out += run.executable;
      for (const std::string& argument : run.arguments) out += " " + argument;
    }
    out += "] registered " + std::to_string(mac.registeredBundles().size()) + " stored \"" +
           Settings(mac.preferences()).accessibilityRepairedFor() + "\" " +
           (asked ? "asked again" : "not asked") + " changes " + std::to_string(changes) + "\n";
  }
  EXPECT_TRUE(testing::matchesGolden("mission_control/accessibility_repairs.txt", out));
}

TEST_F(AccessibilityTest, ResetGrantRemovesTheGrantOrSaysWhyNot) {
  Accessibility access(mac.platform(), &log);
  mac.setAccessibilityTrusted(true);
  EXPECT_TRUE(access.resetGrant("app.velmora.Velmora").ok());
  EXPECT_FALSE(mac.accessibility().isProcessTrusted()) << "tccutil removed the grant";
  EXPECT_EQ(access.resetGrant("com.example.Unknown").error(),
            "tccutil: No such bundle identifier \"com.example.Unknown\"");
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
