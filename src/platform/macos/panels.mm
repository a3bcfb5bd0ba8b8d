#include "platform/macos/panels.h"

#import <AppKit/AppKit.h>
#import <QuartzCore/QuartzCore.h>
#include <dispatch/dispatch.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/macos/appkit_drawing.h"
#include "platform/macos/cf_value.h"
#include "platform/macos/cg_canvas.h"

// The seam spells out the collection behaviour bits the surfaces use; they are AppKit's.
static_assert(velmora::platform::kCollectionCanJoinAllSpaces ==
              NSWindowCollectionBehaviorCanJoinAllSpaces);
static_assert(velmora::platform::kCollectionStationary == NSWindowCollectionBehaviorStationary);
static_assert(velmora::platform::kCollectionIgnoresCycle == NSWindowCollectionBehaviorIgnoresCycle);
static_assert(velmora::platform::kCollectionFullScreenAuxiliary ==
              NSWindowCollectionBehaviorFullScreenAuxiliary);

using velmora::platform::CanvasPoint;
using PointerHandler = std::function<void(CanvasPoint)>;
using ScrollHandler = std::function<void(CanvasPoint, double)>;

// A borderless panel becomes the key window only when it is made to take input.
@interface VelmoraPanel : NSPanel
@property BOOL takesKey;
@property(nonatomic) std::function<void()> onResignKey;
@end

@implementation VelmoraPanel
- (BOOL)canBecomeKeyWindow {
  return self.takesKey;
}

// AppKit sends this from inside its change of key window; the handler runs on the next turn
// of the main queue, so whatever it does (closing this very panel) comes after the change. A
// panel whose owner has gone by then has no handler left.
- (void)resignKeyWindow {
  [super resignKeyWindow];
  __weak VelmoraPanel* weakSelf = self;
  dispatch_async(dispatch_get_main_queue(), ^{
    // A copy: the handler may replace itself or drop the panel.
    std::function<void()> handler = weakSelf.onResignKey;
    if (handler) handler();
  });
}
@end

// The panel's one view: it paints the content whenever AppKit draws it, hears the pointer
// over it, and holds the panel's text fields.
@interface VelmoraPanelView : NSView
@property(nonatomic) PointerHandler onPointerMoved;
@property(nonatomic) PointerHandler onMouseDown;
@property(nonatomic) PointerHandler onRightMouseDown;
@property(nonatomic) ScrollHandler onScrollWheel;
- (void)setDraw:(velmora::platform::PanelDraw)draw firstMouse:(BOOL)firstMouse;
- (void)trackPointer;
@end

@implementation VelmoraPanelView {
  velmora::platform::PanelDraw _draw;
  BOOL _firstMouse;
  BOOL _tracking;
  NSTimeInterval _lastMoveTime;
}

- (void)setDraw:(velmora::platform::PanelDraw)draw firstMouse:(BOOL)firstMouse {
  _draw = std::move(draw);
  _firstMouse = firstMouse;
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
  // One move can arrive twice, from the tracking area and up the responder chain from a
  // focused text field; it is reported once.
  if (!_onPointerMoved || event.timestamp == _lastMoveTime) return;
  _lastMoveTime = event.timestamp;
  // A copy: the handler may replace itself or drop the panel.
  PointerHandler handler = _onPointerMoved;
  handler([self contentPointOf:event]);
}

- (void)mouseDown:(NSEvent*)event {
  if (!_onMouseDown) {
    [super mouseDown:event];
    return;
  }
  PointerHandler handler = _onMouseDown;
  handler([self contentPointOf:event]);
}

- (void)rightMouseDown:(NSEvent*)event {
  if (!_onRightMouseDown) {
    [super rightMouseDown:event];
    return;
  }
  PointerHandler handler = _onRightMouseDown;
  handler([self contentPointOf:event]);
}

// A wheel that scrolls by lines moves about ten points a line, as text views do.
- (void)scrollWheel:(NSEvent*)event {
  if (!_onScrollWheel) {
    [super scrollWheel:event];
    return;
  }
  double deltaY = event.scrollingDeltaY * (event.hasPreciseScrollingDeltas ? 1 : 10);
  ScrollHandler handler = _onScrollWheel;
  handler([self contentPointOf:event], deltaY);
}

// A click on a panel reaches its view at once, without first activating Velmora.
- (BOOL)acceptsFirstMouse:(NSEvent*)event {
  return _firstMouse;
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

// A text field's delegate: hands the user's edits on.
@interface VelmoraTextFieldDelegate : NSObject <NSTextFieldDelegate>
@property(nonatomic) std::function<void()> onTextChanged;
@end

@implementation VelmoraTextFieldDelegate
- (void)controlTextDidChange:(NSNotification*)notification {
  if (!_onTextChanged) return;
  // A copy: the handler may replace itself or drop the field.
  std::function<void()> handler = _onTextChanged;
  handler();
}
@end

namespace velmora::macos {

namespace {

NSWindowAnimationBehavior animationBehavior(platform::WindowAnimation animation) {
  switch (animation) {
    case platform::WindowAnimation::automatic:
      return NSWindowAnimationBehaviorDefault;
    case platform::WindowAnimation::none:
      return NSWindowAnimationBehaviorNone;
    case platform::WindowAnimation::documentWindow:
      return NSWindowAnimationBehaviorDocumentWindow;
    case platform::WindowAnimation::utilityWindow:
      return NSWindowAnimationBehaviorUtilityWindow;
    case platform::WindowAnimation::alertPanel:
      return NSWindowAnimationBehaviorAlertPanel;
  }
  return NSWindowAnimationBehaviorNone;
}

NSString* nsString(const std::string& text) {
  NSString* string = (__bridge_transfer NSString*)cfString(text).release();
  return string ? string : @"";
}

NSColor* nsColor(const platform::Color& color) {
  return [NSColor colorWithSRGBRed:color.red green:color.green blue:color.blue alpha:color.alpha];
}

using platform::CanvasRect;

class MacTextField final : public platform::TextField {
 public:
  explicit MacTextField(NSView* host) {
    field_ = [NSTextField textFieldWithString:@""];
    // Only the text: the panel's content draws whatever frames the field.
    field_.bezeled = NO;
    field_.bordered = NO;
    field_.drawsBackground = NO;
    field_.focusRingType = NSFocusRingTypeNone;
    field_.editable = YES;
    field_.selectable = YES;
    field_.usesSingleLineMode = YES;
    // Frames are given from the content's top: the field keeps its place when the panel
    // grows or shrinks under it.
    field_.autoresizingMask = NSViewMinYMargin;
    delegate_ = [[VelmoraTextFieldDelegate alloc] init];
    field_.delegate = delegate_;
    [host addSubview:field_];
    setStyle({});
  }

  ~MacTextField() override {
    delegate_.onTextChanged = nullptr;
    [field_ removeFromSuperview];
  }

  MacTextField(const MacTextField&) = delete;
  MacTextField& operator=(const MacTextField&) = delete;

  void setFrame(const CanvasRect& frame) override {
    frame_ = frame;
    layOut();
  }

  void setStyle(const platform::TextFieldStyle& style) override {
    NSFont* font = [NSFont systemFontOfSize:style.font.pointSize
                                     weight:appKitFontWeight(style.font.weight)];
    field_.font = font;
    field_.textColor = nsColor(style.textColor);
    field_.placeholderAttributedString = [[NSAttributedString alloc]
        initWithString:nsString(style.placeholder)
            attributes:@{
              NSFontAttributeName : font,
              NSForegroundColorAttributeName : nsColor(style.placeholderColor)
            }];
    // The line's height follows the font.
    layOut();
  }

  std::string text() const override {
    return stdStringOr((__bridge CFStringRef)field_.stringValue);
  }

  void setText(const std::string& text) override { field_.stringValue = nsString(text); }

  void focus() override { [field_.window makeFirstResponder:field_]; }

  bool isFocused() const override {
    NSResponder* first = field_.window.firstResponder;
    if (!first) return false;
    // While the field is edited, the window's field editor stands in for it.
    NSText* editor = field_.currentEditor;
    return first == field_ || (editor != nil && first == editor);
  }

  void setOnTextChanged(std::function<void()> fn) override {
    delegate_.onTextChanged = std::move(fn);
  }

 private:
  // A text field draws its line at the top of its frame: it is made as tall as its line and
  // centred in the rectangle asked for, so the text sits in the middle of the room the
  // content drew for it. Y down in the content, y up in the view.
  void layOut() {
    NSView* host = field_.superview;
    if (!host) return;
    CGFloat line = std::min<CGFloat>(field_.fittingSize.height, frame_.height);
    CGFloat top = frame_.y + (frame_.height - line) / 2;
    field_.frame = NSMakeRect(frame_.x, host.bounds.size.height - top - line, frame_.width, line);
  }

  NSTextField* field_ = nil;
  VelmoraTextFieldDelegate* delegate_ = nil;  // the field's delegate property is weak
  CanvasRect frame_;
};

class MacPanel final : public platform::Panel {
 public:
  explicit MacPanel(const platform::PanelConfig& config) : config_(config) {
    NSWindowStyleMask style = NSWindowStyleMaskBorderless;
    if (config.nonActivating) style |= NSWindowStyleMaskNonactivatingPanel;
    panel_ = [[VelmoraPanel alloc]
        initWithContentRect:NSMakeRect(0, 0, config.size.width, config.size.height)
                  styleMask:style
                    backing:NSBackingStoreBuffered
                      defer:NO];
    panel_.takesKey = config.interactive;
    panel_.level = config.level;
    panel_.hasShadow = config.hasShadow;
    panel_.collectionBehavior = config.collectionBehavior;
    panel_.animationBehavior = animationBehavior(config.animation);
    panel_.backgroundColor = NSColor.clearColor;
    panel_.opaque = config.opaque;
    panel_.hidesOnDeactivate = config.hidesOnDeactivate;
    panel_.releasedWhenClosed = config.releasedWhenClosed;
    panel_.appearance =
        config.darkAppearance ? [NSAppearance appearanceNamed:NSAppearanceNameDarkAqua] : nil;
    panel_.ignoresMouseEvents = !config.interactive;
    // One view for the panel's life, so the text fields and the pointer tracking it holds
    // stay when the content changes.
    view_ = [[VelmoraPanelView alloc]
        initWithFrame:NSMakeRect(0, 0, config.size.width, config.size.height)];
    [view_ setDraw:nullptr firstMouse:config.acceptsFirstMouse];
    panel_.contentView = view_;
  }

  ~MacPanel() override {
    // AppKit may still hold the panel and its view for a pending display or a resign-key
    // message: neither must reach handlers whose owner is gone.
    [view_ setDraw:nullptr firstMouse:config_.acceptsFirstMouse];
    view_.onPointerMoved = nullptr;
    view_.onMouseDown = nullptr;
    view_.onRightMouseDown = nullptr;
    view_.onScrollWheel = nullptr;
    panel_.onResignKey = nullptr;
    [panel_ orderOut:nil];
  }

  MacPanel(const MacPanel&) = delete;
  MacPanel& operator=(const MacPanel&) = delete;

  const platform::PanelConfig& config() const override { return config_; }

  void setFrame(const ScreenRect& frame, bool display) override {
    [panel_ setFrame:NSMakeRect(frame.origin.x, frame.origin.y, frame.size.width, frame.size.height)
             display:display];
  }

  ScreenRect frame() const override {
    NSRect frame = panel_.frame;
    return ScreenRect::make(frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
  }

  void setContent(platform::PanelDraw draw) override {
    [view_ setDraw:std::move(draw) firstMouse:config_.acceptsFirstMouse];
    view_.needsDisplay = YES;
  }

  void setNeedsDisplay() override { view_.needsDisplay = YES; }

  void setAlpha(double alpha, double duration) override {
    const CGFloat target = std::clamp(alpha, 0.0, 1.0);
    VelmoraPanel* panel = panel_;
    // Through the animator even at once: a change through it replaces one in flight, which
    // would otherwise go on moving the value.
    const bool animated = duration > 0;
    [NSAnimationContext runAnimationGroup:^(NSAnimationContext* context) {
      context.duration = animated ? duration : 0;
      if (animated) {
        context.timingFunction =
            [CAMediaTimingFunction functionWithName:kCAMediaTimingFunctionLinear];
      }
      panel.animator.alphaValue = target;
    }];
    if (!animated) panel.alphaValue = target;
  }

  double alpha() const override { return panel_.alphaValue; }

  void setIgnoresMouseEvents(bool ignores) override { panel_.ignoresMouseEvents = ignores; }

  void orderFrontRegardless() override { [panel_ orderFrontRegardless]; }

  void makeKeyAndOrderFront() override { [panel_ makeKeyAndOrderFront:nil]; }

  void orderOut() override { [panel_ orderOut:nil]; }

  bool isVisible() const override { return panel_.isVisible; }

  bool isKey() const override { return panel_.isKeyWindow; }

  void setOnResignKey(std::function<void()> fn) override { panel_.onResignKey = std::move(fn); }

  void setOnPointerMoved(std::function<void(CanvasPoint)> fn) override {
    view_.onPointerMoved = std::move(fn);
    // The pointer is followed over the panel whatever application is in front.
    panel_.acceptsMouseMovedEvents = YES;
    [view_ trackPointer];
  }

  void setOnMouseDown(std::function<void(CanvasPoint)> fn) override {
    view_.onMouseDown = std::move(fn);
  }

  void setOnRightMouseDown(std::function<void(CanvasPoint)> fn) override {
    view_.onRightMouseDown = std::move(fn);
  }
  void setOnScrollWheel(std::function<void(CanvasPoint, double)> fn) override {
    view_.onScrollWheel = std::move(fn);
  }

  void setToolTip(const std::string& text) override {
    view_.toolTip = text.empty() ? nil : [NSString stringWithUTF8String:text.c_str()];
  }

  std::string toolTip() const override {
    NSString* text = view_.toolTip;
    return text ? std::string(text.UTF8String) : std::string();
  }

  std::unique_ptr<platform::TextField> addTextField() override {
    return std::make_unique<MacTextField>(view_);
  }

 private:
  platform::PanelConfig config_;
  VelmoraPanel* panel_ = nil;
  VelmoraPanelView* view_ = nil;
};

}  // namespace

std::unique_ptr<platform::Panel> MacPanels::makePanel(const platform::PanelConfig& config) {
  return std::make_unique<MacPanel>(config);
}

}  // namespace velmora::macos
