#include "platform/macos/application.h"

#import <AppKit/AppKit.h>

#include <string>

#include "platform/macos/cf_value.h"
#include "platform/macos/menu_builder.h"

namespace velmora::macos {
namespace {

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

NSApplicationActivationPolicy nsPolicy(platform::ActivationPolicy policy) {
  switch (policy) {
    case platform::ActivationPolicy::Regular:
      return NSApplicationActivationPolicyRegular;
    case platform::ActivationPolicy::Accessory:
      return NSApplicationActivationPolicyAccessory;
    case platform::ActivationPolicy::Prohibited:
      return NSApplicationActivationPolicyProhibited;
  }
  return NSApplicationActivationPolicyRegular;
}

}  // namespace

void MacApplication::setActivationPolicy(platform::ActivationPolicy policy) {
  [NSApplication.sharedApplication setActivationPolicy:nsPolicy(policy)];
}

void MacApplication::setMainMenu(const std::vector<platform::Menu>& menus) {
  NSMenu* bar = [[NSMenu alloc] initWithTitle:@""];
  for (const platform::Menu& menu : menus) {
    NSMenuItem* top = [[NSMenuItem alloc] initWithTitle:nsString(menu.title)
                                                 action:nil
                                          keyEquivalent:@""];
    top.submenu = (__bridge_transfer NSMenu*)makeNSMenu(menu).release();
    [bar addItem:top];
  }
  NSApplication.sharedApplication.mainMenu = bar;
}

void MacApplication::activateIgnoringOtherApps() {
  [NSApplication.sharedApplication activateIgnoringOtherApps:YES];
}

int MacApplication::runModalAlert(const platform::Alert& alert) {
  NSAlert* panel = [[NSAlert alloc] init];
  panel.messageText = nsString(alert.title);
  panel.informativeText = nsString(alert.text);
  for (const std::string& button : alert.buttons) [panel addButtonWithTitle:nsString(button)];
  return static_cast<int>([panel runModal] - NSAlertFirstButtonReturn);
}

void MacApplication::terminate() {
  [NSApplication.sharedApplication terminate:nil];
}

}  // namespace velmora::macos
