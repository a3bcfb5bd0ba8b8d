#include "platform/macos/menu_builder.h"

#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>
#include <dispatch/dispatch.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/cf_value.h"
#include "platform/macos/cg_canvas.h"

using velmora::platform::MenuHandlers;
using velmora::platform::MenuItem;

// Hears a handled menu: every item's action comes here with the item's index as its tag, and
// so does the menu's close.
@interface VelmoraMenuListener : NSObject <NSMenuDelegate>
- (instancetype)initWithItems:(std::vector<MenuItem>)items handlers:(MenuHandlers)handlers;
- (void)chooseItem:(NSMenuItem*)sender;
@end

@implementation VelmoraMenuListener {
  std::vector<MenuItem> _items;
  MenuHandlers _handlers;
}

- (instancetype)initWithItems:(std::vector<MenuItem>)items handlers:(MenuHandlers)handlers {
  if ((self = [super init])) {
    _items = std::move(items);
    _handlers = std::move(handlers);
  }
  return self;
}

- (void)chooseItem:(NSMenuItem*)sender {
  NSInteger index = sender.tag;
  if (index < 0 || static_cast<std::size_t>(index) >= _items.size() || !_handlers.onAction) {
    return;
  }
  // Copies: the handler may drop the menu, and this listener with it.
  auto onAction = _handlers.onAction;
  MenuItem chosen = _items[static_cast<std::size_t>(index)];
  onAction(chosen);
}

- (void)menuDidClose:(NSMenu*)menu {
  if (!_handlers.onClose) return;
  // AppKit tells the delegate of the close before it sends the chosen item's action; the
  // close waits for the next turn of the main queue so that the action is heard first.
  auto onClose = _handlers.onClose;
  dispatch_async(dispatch_get_main_queue(), ^{
    onClose();
  });
}
@end

// A menu that owns its listener (NSMenu.delegate and NSMenuItem.target do not retain).
@interface VelmoraHandledMenu : NSMenu
@property(nonatomic, strong) VelmoraMenuListener* listener;
@end

@implementation VelmoraHandledMenu
@end

namespace velmora::macos {
namespace {

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

NSEventModifierFlags modifierMask(const platform::KeyModifiers& m) {
  NSEventModifierFlags mask = 0;
  if (m.command) mask |= NSEventModifierFlagCommand;
  if (m.shift) mask |= NSEventModifierFlagShift;
  if (m.option) mask |= NSEventModifierFlagOption;
  if (m.control) mask |= NSEventModifierFlagControl;
  return mask;
}

id targetFor(platform::MenuTarget target) {
  switch (target) {
    case platform::MenuTarget::delegate:
      return NSApp.delegate;
    case platform::MenuTarget::application:
      return NSApp;
    case platform::MenuTarget::firstResponder:
      return nil;
  }
  return nil;
}

NSMenuItem* makeItem(const MenuItem& item, NSInteger index, VelmoraMenuListener* listener) {
  if (item.separator) return [NSMenuItem separatorItem];
  NSMenuItem* built = [[NSMenuItem alloc] initWithTitle:nsString(item.title)
                                                 action:nil
                                          keyEquivalent:nsString(item.keyEquivalent)];
  built.keyEquivalentModifierMask = modifierMask(item.modifiers);
  if (listener) {
    built.target = listener;
    built.action = @selector(chooseItem:);
    built.tag = index;
  } else {
    built.target = targetFor(item.target);
    built.action = item.action.empty() ? nil : NSSelectorFromString(nsString(item.action));
  }
  built.enabled = item.enabled;
  if (item.checked) built.state = NSControlStateValueOn;
  if (item.representedObject) {
    built.representedObject = [NSNumber numberWithUnsignedLongLong:*item.representedObject];
  }
  if (item.image) {
    built.image = (__bridge_transfer NSImage*)makeNSImage(item.image).release();
  }
  return built;
}

}  // namespace

CFPtr<CFTypeRef> makeNSMenu(const platform::Menu& menu, platform::MenuHandlers handlers) {
  NSMenu* built;
  VelmoraMenuListener* itemListener = nil;
  if (handlers.onAction || handlers.onClose) {
    bool hearsItems = static_cast<bool>(handlers.onAction);
    VelmoraMenuListener* listener = [[VelmoraMenuListener alloc] initWithItems:menu.items
                                                                      handlers:std::move(handlers)];
    VelmoraHandledMenu* handled = [[VelmoraHandledMenu alloc] initWithTitle:nsString(menu.title)];
    handled.listener = listener;
    handled.delegate = listener;
    if (hearsItems) itemListener = listener;
    built = handled;
  } else {
    built = [[NSMenu alloc] initWithTitle:nsString(menu.title)];
  }
  built.autoenablesItems = NO;
  for (std::size_t i = 0; i < menu.items.size(); ++i) {
    [built addItem:makeItem(menu.items[i], static_cast<NSInteger>(i), itemListener)];
  }
  return CFPtr<CFTypeRef>::adopt((__bridge_retained CFTypeRef)built);
}

CFPtr<CFTypeRef> makeNSImage(std::shared_ptr<const platform::VectorImage> image) {
  if (!image) return nullptr;
  Size size = image->size();
  NSImage* built = [NSImage
       imageWithSize:NSMakeSize(size.width, size.height)
             flipped:NO
      drawingHandler:^BOOL(NSRect dstRect) {
        CGContextRef context = NSGraphicsContext.currentContext.CGContext;
        if (!context) return NO;
        double scale =
            std::fabs(CGContextConvertSizeToDeviceSpace(context, CGSizeMake(1, 1)).width);
        // The canvas flips about its height, so one reaching up to the rectangle's top puts
        // the rectangle at its own top edge.
        Size reach{dstRect.origin.x + dstRect.size.width, dstRect.origin.y + dstRect.size.height};
        std::unique_ptr<platform::Canvas> canvas =
            makeContextCanvas(context, reach, scale > 0 ? scale : 1);
        if (!canvas) return NO;
        canvas->drawImage(*image, platform::CanvasRect{dstRect.origin.x, 0, dstRect.size.width,
                                                       dstRect.size.height});
        return YES;
      }];
  return CFPtr<CFTypeRef>::adopt((__bridge_retained CFTypeRef)built);
}

}  // namespace velmora::macos
