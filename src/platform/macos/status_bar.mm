#include "platform/macos/status_bar.h"

#import <AppKit/AppKit.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "platform/macos/appkit_drawing.h"
#include "platform/macos/cf_value.h"
#include "platform/macos/menu_builder.h"

using velmora::platform::MouseEvent;

// The button's target: hands the click on with the event that caused it.
@interface VelmoraStatusButtonTarget : NSObject
@property(nonatomic) std::function<void(std::optional<MouseEvent>)> action;
- (void)buttonPressed:(id)sender;
@end

@implementation VelmoraStatusButtonTarget
- (void)buttonPressed:(id)sender {
  if (!_action) return;
  std::optional<MouseEvent> current;
  if (NSEvent* event = NSApp.currentEvent) {
    if (event.type == NSEventTypeLeftMouseUp || event.type == NSEventTypeRightMouseUp) {
      current = MouseEvent{event.type == NSEventTypeRightMouseUp ? MouseEvent::Type::rightMouseUp
                                                                 : MouseEvent::Type::leftMouseUp,
                           static_cast<std::uint64_t>(event.modifierFlags)};
    }
  }
  // A copy: the action may replace itself.
  auto action = _action;
  action(current);
}
@end

namespace velmora::macos {
namespace {

// What the button's window posts on the item's own centre.
constexpr const char* kWindowChanged = "statusItemWindowChanged";

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

}  // namespace

struct MacStatusItem::Impl {
  NSStatusItem* item = nil;
  VelmoraStatusButtonTarget* target = [[VelmoraStatusButtonTarget alloc] init];
  NSEventMask sendMask = NSEventMaskLeftMouseUp | NSEventMaskRightMouseUp;
  std::vector<id<NSObject>> windowObservers;
  NotificationCenter windowEvents;
};

MacStatusItem::MacStatusItem(const std::string& autosaveName) : impl_(std::make_unique<Impl>()) {
  impl_->item = [NSStatusBar.systemStatusBar statusItemWithLength:NSVariableStatusItemLength];
  impl_->item.autosaveName = nsString(autosaveName);
  // The window is matched when the notification comes, as the system may give the button
  // another window over the item's life.
  __weak NSStatusItem* weakItem = impl_->item;
  NotificationCenter* events = &impl_->windowEvents;
  void (^heard)(NSNotification*) = ^(NSNotification* note) {
    NSWindow* window = weakItem.button.window;
    if (window && note.object == window) events->post(kWindowChanged);
  };
  for (NSNotificationName name :
       {NSWindowDidMoveNotification, NSWindowDidChangeOcclusionStateNotification}) {
    impl_->windowObservers.push_back([NSNotificationCenter.defaultCenter
        addObserverForName:name
                    object:nil
                     queue:NSOperationQueue.mainQueue
                usingBlock:heard]);
  }
}

MacStatusItem::~MacStatusItem() {
  for (id<NSObject> observer : impl_->windowObservers) {
    [NSNotificationCenter.defaultCenter removeObserver:observer];
  }
  [NSStatusBar.systemStatusBar removeStatusItem:impl_->item];
}

void MacStatusItem::setLength(double length) {
  impl_->item.length = length;
}

double MacStatusItem::length() const {
  return impl_->item.length;
}

void MacStatusItem::setVisible(bool visible) {
  impl_->item.visible = visible;
}

bool MacStatusItem::isVisible() const {
  return impl_->item.visible;
}

bool MacStatusItem::hasButton() const {
  return impl_->item.button != nil;
}

void* MacStatusItem::button() const {
  return (__bridge void*)impl_->item.button;
}

void MacStatusItem::setButtonStyle(const platform::StatusButtonStyle& style) {
  NSStatusBarButton* button = impl_->item.button;
  button.imagePosition = style.imageLeading ? NSImageLeading : NSImageTrailing;
  button.imageHugsTitle = style.imageHugsTitle;
  button.font = [NSFont systemFontOfSize:style.titleFont.pointSize
                                  weight:appKitFontWeight(style.titleFont.weight)];
  button.lineBreakMode = style.truncatesTail ? NSLineBreakByTruncatingTail : NSLineBreakByClipping;
  button.usesSingleLineMode = style.singleLine;
  impl_->sendMask = style.sendsOnRightMouseUp ? NSEventMaskLeftMouseUp | NSEventMaskRightMouseUp
                                              : NSEventMaskLeftMouseUp;
  [button sendActionOn:impl_->sendMask];
}

void MacStatusItem::setImage(std::shared_ptr<const platform::VectorImage> image) {
  impl_->item.button.image = (__bridge_transfer NSImage*)makeNSImage(std::move(image)).release();
}

void MacStatusItem::setTitle(const std::string& title) {
  impl_->item.button.title = nsString(title);
}

void MacStatusItem::setToolTip(const std::string& toolTip) {
  impl_->item.button.toolTip = toolTip.empty() ? nil : nsString(toolTip);
}

double MacStatusItem::naturalWidth() {
  NSStatusBarButton* button = impl_->item.button;
  return button ? button.fittingSize.width : 0;
}

std::optional<ScreenRect> MacStatusItem::windowFrame() const {
  NSWindow* window = impl_->item.button.window;
  if (!window) return std::nullopt;
  NSRect frame = window.frame;
  return ScreenRect::make(frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
}

bool MacStatusItem::windowOcclusionVisible() const {
  NSWindow* window = impl_->item.button.window;
  return window && (window.occlusionState & NSWindowOcclusionStateVisible);
}

void MacStatusItem::setAction(std::function<void(std::optional<platform::MouseEvent>)> action) {
  impl_->target.action = std::move(action);
  NSStatusBarButton* button = impl_->item.button;
  button.target = impl_->target;
  button.action = @selector(buttonPressed:);
  [button sendActionOn:impl_->sendMask];
}

void MacStatusItem::setMenu(std::optional<platform::Menu> menu, platform::MenuHandlers handlers) {
  impl_->item.menu =
      menu ? (__bridge_transfer NSMenu*)makeNSMenu(*menu, std::move(handlers)).release() : nil;
}

void MacStatusItem::performClick() {
  [impl_->item.button performClick:nil];
}

ObserverToken MacStatusItem::observeWindowChanges(std::function<void()> fn) {
  return impl_->windowEvents.observe(kWindowChanged, std::move(fn));
}

std::unique_ptr<platform::StatusItem> MacStatusBar::makeStatusItem(
    const std::string& autosaveName) {
  return std::make_unique<MacStatusItem>(autosaveName);
}

void MacStatusBar::popUpMenu(const platform::Menu& menu, ScreenPoint location,
                             platform::MenuHandlers handlers) {
  NSMenu* popUp = (__bridge_transfer NSMenu*)makeNSMenu(menu, std::move(handlers)).release();
  // With no view the location is in screen coordinates, which ScreenPoint already is.
  [popUp popUpMenuPositioningItem:nil atLocation:NSMakePoint(location.x, location.y) inView:nil];
}

}  // namespace velmora::macos
