#include "platform/macos/panels.h"

#import <AppKit/AppKit.h>
#import <QuartzCore/QuartzCore.h>

#include <algorithm>
#include <utility>

#include "platform/macos/cg_canvas.h"

// The seam spells out the collection behaviour bits the surfaces use; they are AppKit's.
static_assert(velmora::platform::kCollectionCanJoinAllSpaces ==
              NSWindowCollectionBehaviorCanJoinAllSpaces);
static_assert(velmora::platform::kCollectionStationary == NSWindowCollectionBehaviorStationary);
static_assert(velmora::platform::kCollectionIgnoresCycle == NSWindowCollectionBehaviorIgnoresCycle);
static_assert(velmora::platform::kCollectionFullScreenAuxiliary ==
              NSWindowCollectionBehaviorFullScreenAuxiliary);

// A borderless panel becomes the key window only when it is made to take input.
@interface VelmoraPanel : NSPanel
@property BOOL takesKey;
@end

@implementation VelmoraPanel
- (BOOL)canBecomeKeyWindow {
  return self.takesKey;
}
@end

// The panel's one view: it paints the content whenever AppKit draws it.
@interface VelmoraPanelView : NSView
- (void)setDraw:(velmora::platform::PanelDraw)draw firstMouse:(BOOL)firstMouse;
@end

@implementation VelmoraPanelView {
  velmora::platform::PanelDraw _draw;
  BOOL _firstMouse;
}

- (void)setDraw:(velmora::platform::PanelDraw)draw firstMouse:(BOOL)firstMouse {
  _draw = std::move(draw);
  _firstMouse = firstMouse;
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
  }

  ~MacPanel() override {
    // AppKit may still hold the view for a pending display: it must not reach a content
    // whose owner is gone.
    [view_ setDraw:nullptr firstMouse:config_.acceptsFirstMouse];
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
    NSRect frame = panel_.frame;
    VelmoraPanelView* view = [[VelmoraPanelView alloc]
        initWithFrame:NSMakeRect(0, 0, frame.size.width, frame.size.height)];
    [view setDraw:std::move(draw) firstMouse:config_.acceptsFirstMouse];
    [view_ setDraw:nullptr firstMouse:config_.acceptsFirstMouse];
    panel_.contentView = view;
    view_ = view;
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
