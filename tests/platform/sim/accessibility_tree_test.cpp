#include <gtest/gtest.h>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {
namespace {

using platform::AXElementRef;

class AccessibilityTreeTest : public ::testing::Test {
 protected:
  AccessibilityTreeTest() {
    mac.addDisplay("Main", ScreenRect::make(0, 0, 1512, 982));
    mac.addSystemFurniture();
    mail = mac.addApplication(SimApp{0, "Mail", "com.apple.mail", "/System/Applications/Mail.app",
                                     platform::ActivationPolicy::Regular, false});
  }

  std::string stringAt(const AXElementRef& element, const std::string& attribute) {
    auto answer = ax.copyAttributeValue(element, attribute);
    const Value* data = answer.ok() ? answer.value.data() : nullptr;
    return data && data->asString() ? *data->asString() : "<" + std::to_string(answer.error) + ">";
  }
  std::vector<AXElementRef> children(const AXElementRef& element) {
    auto answer = ax.copyAttributeValue(element, "AXChildren");
    return answer.ok() && answer.value.elements() ? *answer.value.elements()
                                                  : std::vector<AXElementRef>{};
  }
  AXElementRef dockItem(const std::string& title) {
    for (const auto& item : children(children(ax.applicationElement(VirtualMac::kDockPID))[0])) {
      if (stringAt(item, "AXTitle") == title) return item;
    }
    return nullptr;
  }

  VirtualLoop loop;
  VirtualMac mac{loop};
  VirtualAccessibility& ax = mac.accessibility();
  pid_t mail = 0;
};

TEST_F(AccessibilityTreeTest, TheDockListsRunningApplicationsThenSeparatorAndTrash) {
  auto dock = ax.applicationElement(VirtualMac::kDockPID);
  EXPECT_EQ(ax.copyAttributeValue(dock, "AXChildren").error, platform::kAXErrorAPIDisabled);
  mac.setAccessibilityTrusted(true);

  EXPECT_EQ(stringAt(dock, "AXRole"), "AXApplication");
  auto top = children(dock);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(stringAt(top[0], "AXRole"), "AXList");
  std::vector<std::string> items;
  for (const auto& item : children(top[0])) {
    items.push_back(stringAt(item, "AXSubrole") + " " + stringAt(item, "AXTitle"));
  }
  EXPECT_EQ(items,
            (std::vector<std::string>{"AXApplicationDockItem Mail", "AXSeparatorDockItem <-25205>",
                                      "AXTrashDockItem Trash"}));

  AXElementRef item = dockItem("Mail");
  EXPECT_EQ(stringAt(item, "AXURL"), "file:///System/Applications/Mail.app/");
  EXPECT_EQ(ax.copyAttributeValue(item, "AXStatusLabel").error, platform::kAXErrorNoValue);
  EXPECT_TRUE(mac.setDockBadge(mail, "7"));
  EXPECT_FALSE(mac.setDockBadge(VirtualMac::kSelfPID, "1")) << "an accessory has no Dock icon";
  auto answer = ax.copyMultipleAttributeValues(
      item, {"AXIsApplicationRunning", "AXStatusLabel", "AXBogus"}, false);
  ASSERT_EQ(answer.values.size(), 3u);
  EXPECT_EQ(*answer.values[0].value.data(), Value(true));
  EXPECT_EQ(*answer.values[1].value.data(), Value("7"));
  EXPECT_EQ(answer.values[2].error, platform::kAXErrorAttributeUnsupported);
  EXPECT_EQ(ax.copyMultipleAttributeValues(item, {"AXTitle", "AXBogus"}, true).error,
            platform::kAXErrorAttributeUnsupported);

  auto parent = ax.copyAttributeValue(item, "AXParent").value.element();
  EXPECT_EQ(stringAt(parent, "AXRole"), "AXList");

  mac.quitApplication(mail);
  EXPECT_EQ(ax.copyAttributeValue(item, "AXTitle").error, platform::kAXErrorInvalidUIElement);
  EXPECT_EQ(dockItem("Mail"), nullptr);
  mac.failAccessibilityCalls(VirtualMac::kDockPID, platform::kAXErrorCannotComplete);
  EXPECT_EQ(ax.copyAttributeValue(dock, "AXChildren").error, platform::kAXErrorCannotComplete);
}

TEST_F(AccessibilityTreeTest, TheGrantBringsAProcessForwardAndIsAskedForWithAPromptOnlyOnce) {
  auto element = ax.applicationElement(mail);
  EXPECT_EQ(ax.setMessagingTimeout(element, 1), platform::kAXErrorAPIDisabled);
  EXPECT_EQ(ax.setAttributeValue(element, "AXFrontmost", true), platform::kAXErrorAPIDisabled);
  EXPECT_NE(mac.frontmostPID(), mail);
  // Asking whether trusted prompts the user only when asked to and untrusted.
  auto prompt = Value::dictionary({{platform::kAXTrustedCheckOptionPrompt, Value(true)}});
  EXPECT_FALSE(ax.isProcessTrustedWithOptions(Value::dictionary({})));
  EXPECT_FALSE(ax.isProcessTrustedWithOptions(prompt));

  mac.setAccessibilityTrusted(true);
  EXPECT_TRUE(ax.isProcessTrusted());
  EXPECT_TRUE(ax.isProcessTrustedWithOptions(prompt));
  EXPECT_EQ(mac.accessibilityPrompts(), 1);
  EXPECT_EQ(ax.setMessagingTimeout(element, 1), platform::kAXErrorSuccess);
  EXPECT_EQ(ax.setAttributeValue(element, "AXFrontmost", true), platform::kAXErrorSuccess);
  EXPECT_EQ(mac.frontmostPID(), mail);
  EXPECT_EQ(ax.setAttributeValue(element, "AXBogus", true), platform::kAXErrorAttributeUnsupported);
  mac.quitApplication(mail);
  EXPECT_EQ(ax.setAttributeValue(element, "AXFrontmost", true), platform::kAXErrorInvalidUIElement);
}

TEST_F(AccessibilityTreeTest, AProcessThatTimesOutAnswersNoMessageAndAPressActsAfterTheCall) {
  mac.setAccessibilityTrusted(true);
  AXElementRef item = dockItem("Mail");
  AXElementRef app = ax.applicationElement(mail);
  mac.failAccessibilityCalls(VirtualMac::kDockPID, platform::kAXErrorCannotComplete);
  mac.failAccessibilityCalls(mail, platform::kAXErrorCannotComplete);
  EXPECT_EQ(ax.performAction(item, "AXPress"), platform::kAXErrorCannotComplete);
  EXPECT_EQ(ax.setAttributeValue(item, "AXTitle", Value("Post")), platform::kAXErrorCannotComplete);
  EXPECT_EQ(ax.setAttributeValue(app, "AXFrontmost", true), platform::kAXErrorCannotComplete);
  loop.runPending();
  EXPECT_NE(mac.frontmostPID(), mail);

  // Answering again, a press activates the application after the call.
  mac.failAccessibilityCalls(VirtualMac::kDockPID, std::nullopt);
  mac.failAccessibilityCalls(mail, std::nullopt);
  EXPECT_EQ(stringAt(item, "AXTitle"), "Mail");
  EXPECT_EQ(ax.setAttributeValue(item, "AXTitle", Value("Post")),
            platform::kAXErrorAttributeUnsupported);
  EXPECT_EQ(ax.performAction(item, "AXRaise"), platform::kAXErrorActionUnsupported);
  EXPECT_EQ(ax.performAction(item, "AXPress"), platform::kAXErrorSuccess);
  EXPECT_NE(mac.frontmostPID(), mail);
  loop.runPending();
  EXPECT_EQ(mac.frontmostPID(), mail);
}

TEST_F(AccessibilityTreeTest, ObserversHearNotificationsOnTheLoopUntilDropped) {
  mac.setAccessibilityTrusted(true);
  std::vector<std::string> heard;
  auto created = ax.createObserver(VirtualMac::kDockPID,
                                   [&](const AXElementRef& element, const std::string& name) {
                                     heard.push_back(name + " " + stringAt(element, "AXTitle"));
                                   });
  ASSERT_EQ(created.error, platform::kAXErrorSuccess);
  auto dock = ax.applicationElement(VirtualMac::kDockPID);
  EXPECT_EQ(created.observer->addNotification(dock, "AXTitleChanged"), platform::kAXErrorSuccess);
  EXPECT_EQ(created.observer->addNotification(dock, "AXTitleChanged"),
            platform::kAXErrorNotificationAlreadyRegistered);
  EXPECT_EQ(created.observer->addNotification(ax.applicationElement(mail), "AXTitleChanged"),
            platform::kAXErrorIllegalArgument)
      << "an observer hears its own process only";

  // A notification about an item reaches observers of the application element.
  SimAXNodePtr item = mac.accessibilityNode(dockItem("Mail"));
  mac.postAccessibilityNotification(item, "AXTitleChanged");
  mac.postAccessibilityNotification(item, "AXUIElementDestroyed");
  EXPECT_TRUE(heard.empty());
  loop.runPending();
  EXPECT_EQ(heard, std::vector<std::string>{"AXTitleChanged Mail"});

  mac.postAccessibilityNotification(item, "AXTitleChanged");
  created.observer.reset();
  loop.runPending();
  EXPECT_EQ(heard.size(), 1u);
}

TEST_F(AccessibilityTreeTest, ToolsURLsAndTheBundle) {
  mac.setAccessibilityTrusted(true);
  auto reset =
      mac.processes().run("/usr/bin/tccutil", {"reset", "Accessibility", "app.velmora.Velmora"});
  EXPECT_TRUE(reset.launched);
  EXPECT_EQ(reset.exitStatus, 0);
  EXPECT_FALSE(ax.isProcessTrusted());
  EXPECT_EQ(mac.processes().run("/usr/bin/tccutil", {"list"}).exitStatus, 64);
  mac.failTccutil(1, "boom\n");
  EXPECT_EQ(mac.processes().run("/usr/bin/tccutil", {"reset", "Accessibility"}).standardError,
            "boom\n");
  EXPECT_FALSE(mac.processes().run("/usr/bin/nothing", {}).launched);

  EXPECT_TRUE(mac.velmora().openURL("x-apple.systempreferences:com.apple.preference.security"));
  EXPECT_FALSE(mac.velmora().openURL("not a url"));
  EXPECT_EQ(mac.openedURLs().size(), 1u);

  EXPECT_EQ(mac.velmora().infoDictionaryValue("CFBundleShortVersionString"), Value("1.0.0"));
  EXPECT_TRUE(mac.velmora().infoDictionaryValue("Missing").isNull());
  EXPECT_EQ(mac.velmora().bundleIdentifier(), "app.velmora.Velmora");
}

}  // namespace
}  // namespace velmora::sim
