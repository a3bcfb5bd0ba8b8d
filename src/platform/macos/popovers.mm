#include "platform/macos/popovers.h"

#import <AppKit/AppKit.h>

#include <functional>
#include <memory>
#include <utility>

#include "platform/macos/cg_canvas.h"
#include "platform/macos/status_bar.h"

using velmora::platform::CanvasPoint;
using PopoverPointerHandler = std::function<void(CanvasPoint)>;
using PopoverScrollHandler = std::function<void(CanvasPoint, double)>;

// The popover's one view: paints the content whenever AppKit draws it and hears the pointer.
@interface VelmoraPopoverView : NSView
@property(nonatomic) velmora::platform::PanelDraw draw;
@property(nonatomic) PopoverPointerHandler onPointerMoved;
@property(nonatomic) PopoverPointerHandler onMouseDown;
@property(nonatomic) PopoverScrollHandler onScrollWheel;
- (void)trackPointer;
@end

@implementation VelmoraPopoverView {
  BOOL _tracking;
}

- (void)trackPointer {
  if (_tracking) return;
  _tracking = YES;
  NSTrackingArea* area = [[NSTrackingArea alloc]
      initWithRect:NSZeroRect
           options:NSTrackingMouseMoved | NSTrackingActiveAlways | NSTrackingInVisibleRect
             owner:self
          userInfo:nil];
  [self addTrackingArea:area];
}

// The event's place in the content: points from its top-left corner, y down.
- (CanvasPoint)contentPointOf:(NSEvent*)event {
  NSPoint point = [self convertPoint:event.locationInWindow fromView:nil];
  return {point.x, self.bounds.size.height - point.y};
}

- (void)mouseMoved:(NSEvent*)event {
  if (!_onPointerMoved) return;
  // A copy: the handler may replace itself or drop the popover.
  PopoverPointerHandler handler = _onPointerMoved;
  handler([self contentPointOf:event]);
}

- (void)mouseDown:(NSEvent*)event {
  if (!_onMouseDown) {
    [super mouseDown:event];
    return;
  }
  PopoverPointerHandler handler = _onMouseDown;
  handler([self contentPointOf:event]);
}

// A wheel that scrolls by lines moves about ten points a line, as text views do.
- (void)scrollWheel:(NSEvent*)event {
  if (!_onScrollWheel) {
    [super scrollWheel:event];
    return;
  }
  double deltaY = event.scrollingDeltaY * (event.hasPreciseScrollingDeltas ? 1 : 10);
  PopoverScrollHandler handler = _onScrollWheel;
  handler([self contentPointOf:event], deltaY);
}

// The first click in the popover acts at once.
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return YES;
}

- (void)drawRect:(NSRect)dirtyRect {
  NSGraphicsContext* graphics = NSGraphicsContext.currentContext;
  if (!_draw || !graphics) return;
  NSSize size = self.bounds.size;
  NSWindow* window = self.window;
  std::unique_ptr<velmora::platform::Canvas> canvas = velmora::macos::makeContextCanvas(
      graphics.CGContext, {size.width, size.height}, window ? window.backingScaleFactor : 1);
  if (canvas) _draw(*canvas, {size.width, size.height});
}
@end

// The content view controller: its view is the painting view, made by loadView.
@interface VelmoraPopoverController : NSViewController
@property(nonatomic, strong) VelmoraPopoverView* paintingView;
@end

@implementation VelmoraPopoverController
- (void)loadView {
  self.view = self.paintingView;
}
@end

// The popover's delegate: takes the anchor window away and hands every close on.
@interface VelmoraPopoverDelegate : NSObject <NSPopoverDelegate>
@property(nonatomic) std::function<void()> onDidClose;
@property(nonatomic, weak) NSWindow* anchorWindow;
@end

@implementation VelmoraPopoverDelegate
- (void)popoverDidClose:(NSNotification*)notification {
  [self.anchorWindow orderOut:nil];
  if (!_onDidClose) return;
  // A copy: the handler may replace itself or drop the popover.
  std::function<void()> handler = _onDidClose;
  handler();
}
@end

namespace velmora::macos {

namespace {

class MacPopover final : public platform::Popover {
 public:
  explicit MacPopover(const platform::PopoverConfig& config) : config_(config) {
    const NSSize size = NSMakeSize(config.contentSize.width, config.contentSize.height);
    view_ = [[VelmoraPopoverView alloc] initWithFrame:NSMakeRect(0, 0, size.width, size.height)];
    controller_ = [[VelmoraPopoverController alloc] init];
    controller_.paintingView = view_;
    delegate_ = [[VelmoraPopoverDelegate alloc] init];
    popover_ = [[NSPopover alloc] init];
    popover_.behavior =
        config.transient ? NSPopoverBehaviorTransient : NSPopoverBehaviorApplicationDefined;
    popover_.animates = config.animates;
    popover_.appearance =
        config.darkAppearance ? [NSAppearance appearanceNamed:NSAppearanceNameDarkAqua] : nil;
    popover_.contentSize = size;
    popover_.contentViewController = controller_;
    popover_.delegate = delegate_;
  }

  ~MacPopover() override {
    // AppKit may still hold the view for a pending display: it must not reach handlers whose
    // owner is gone.
    delegate_.onDidClose = nullptr;
    view_.draw = nullptr;
    view_.onPointerMoved = nullptr;
    view_.onMouseDown = nullptr;
    view_.onScrollWheel = nullptr;
    [popover_ close];
    [anchorWindow_ orderOut:nil];
  }

  MacPopover(const MacPopover&) = delete;
  MacPopover& operator=(const MacPopover&) = delete;

  const platform::PopoverConfig& config() const override { return config_; }

  void setContentSize(Size size) override {
    config_.contentSize = size;
    popover_.contentSize = NSMakeSize(size.width, size.height);
  }

  Size contentSize() const override {
    NSSize size = popover_.contentSize;
    return {size.width, size.height};
  }

  void setContent(platform::PanelDraw draw) override {
    view_.draw = std::move(draw);
    view_.needsDisplay = YES;
  }

  void setNeedsDisplay() override { view_.needsDisplay = YES; }

  void show(const platform::PopoverAnchor& anchor) override {
    auto* item = dynamic_cast<MacStatusItem*>(anchor.item);
    NSView* button = item ? (__bridge NSView*)item->button() : nil;
    if (button) {
      [popover_ showRelativeToRect:button.bounds ofView:button preferredEdge:NSRectEdgeMinY];
      return;
    }
    // Anything else is stood for by a small clear window over the rectangle.
    const ScreenRect& r = anchor.rect;
    const NSRect frame = NSMakeRect(r.origin.x, r.origin.y, r.size.width, r.size.height);
    if (!anchorWindow_) {
      anchorWindow_ = [[NSPanel alloc] initWithContentRect:frame
                                                 styleMask:NSWindowStyleMaskBorderless
                                                   backing:NSBackingStoreBuffered
                                                     defer:NO];
      anchorWindow_.backgroundColor = NSColor.clearColor;
      anchorWindow_.opaque = NO;
      anchorWindow_.hasShadow = NO;
      anchorWindow_.ignoresMouseEvents = YES;
      anchorWindow_.releasedWhenClosed = NO;
      anchorWindow_.collectionBehavior = NSWindowCollectionBehaviorCanJoinAllSpaces |
                                         NSWindowCollectionBehaviorStationary |
                                         NSWindowCollectionBehaviorIgnoresCycle;
      anchorWindow_.contentView =
          [[NSView alloc] initWithFrame:NSMakeRect(0, 0, r.size.width, r.size.height)];
      delegate_.anchorWindow = anchorWindow_;
    }
    [anchorWindow_ setFrame:frame display:NO];
    [anchorWindow_ orderFrontRegardless];
    NSView* host = anchorWindow_.contentView;
    [popover_ showRelativeToRect:host.bounds ofView:host preferredEdge:NSRectEdgeMinY];
  }

  void close(bool animated) override {
    if (animated) {
      [popover_ performClose:nil];
      return;
    }
    // Animation off for this one close only.
    const BOOL animates = popover_.animates;
    popover_.animates = NO;
    [popover_ close];
    popover_.animates = animates;
  }

  bool isShown() const override { return popover_.shown; }

  ScreenRect frame() const override {
    NSWindow* window = view_.window;
    if (!popover_.shown || !window) return {};
    NSRect f = window.frame;
    return ScreenRect::make(f.origin.x, f.origin.y, f.size.width, f.size.height);
  }

  void setOnDidClose(std::function<void()> fn) override { delegate_.onDidClose = std::move(fn); }

  void setOnPointerMoved(std::function<void(CanvasPoint)> fn) override {
    view_.onPointerMoved = std::move(fn);
    [view_ trackPointer];
  }

  void setOnMouseDown(std::function<void(CanvasPoint)> fn) override {
    view_.onMouseDown = std::move(fn);
  }
  void setOnScrollWheel(std::function<void(CanvasPoint, double)> fn) override {
    view_.onScrollWheel = std::move(fn);
  }

 private:
  platform::PopoverConfig config_;
  NSPopover* popover_ = nil;
  VelmoraPopoverController* controller_ = nil;
  VelmoraPopoverView* view_ = nil;
  VelmoraPopoverDelegate* delegate_ = nil;  // the popover's delegate property is weak
  NSPanel* anchorWindow_ = nil;
};

}  // namespace

std::unique_ptr<platform::Popover> MacPopovers::makePopover(const platform::PopoverConfig& config) {
  return std::make_unique<MacPopover>(config);
}

}  // namespace velmora::macos
