#pragma once
// The system popover (NSPopover) the menu bar tile opens: a dark bubble that hangs below the
// rectangle it is shown from, closes by itself on a click anywhere else and paints its
// content through the canvas like a panel.
#include <functional>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "platform/canvas.h"
#include "platform/panels.h"
#include "platform/status_bar.h"

namespace velmora::platform {

// How a popover is made: transient behaviour, animations and the dark appearance are fixed
// for Velmora's popovers and spelled out so the macOS glue and the virtual Mac agree.
struct PopoverConfig {
  Size contentSize;
  bool transient = true;  // NSPopoverBehaviorTransient: a click elsewhere closes it
  bool animates = true;
  bool darkAppearance = true;
  std::string name;  // what the virtual Mac and the logs call it
};

// Where a popover hangs from: a rectangle of the screen, or the status item's button when the
// tile is in the menu bar (then the rectangle is that button's window frame).
struct PopoverAnchor {
  ScreenRect rect;
  StatusItem* item = nullptr;
};

class Popover {
 public:
  // Closes the popover without animation.
  virtual ~Popover() = default;
  virtual const PopoverConfig& config() const = 0;
  // contentSize.
  virtual void setContentSize(Size size) = 0;
  virtual Size contentSize() const = 0;
  // The content view controller's view; replaces what it drew before.
  virtual void setContent(PanelDraw draw) = 0;
  virtual void setNeedsDisplay() = 0;
  // showRelativeToRect:ofView:preferredEdge: on the anchor's lower edge, below a menu bar item.
  virtual void show(const PopoverAnchor& anchor) = 0;
  // performClose: when `animated`, else close with animation switched off for this one close.
  virtual void close(bool animated) = 0;
  virtual bool isShown() const = 0;
  // The popover's window frame while it is shown (drawing coordinates); empty when closed.
  virtual ScreenRect frame() const = 0;
  // popoverDidClose: (the popover is its delegate's): every way it closed, on the main loop.
  virtual void setOnDidClose(std::function<void()> fn) = 0;
  // The pointer moved over the content, at a point from its top-left corner, y down.
  virtual void setOnPointerMoved(std::function<void(CanvasPoint)> fn) = 0;
  // The primary button went down over the content, at a point as above.
  virtual void setOnMouseDown(std::function<void(CanvasPoint)> fn) = 0;
  // The wheel or the trackpad scrolled over the content, as a panel hears it.
  virtual void setOnScrollWheel(std::function<void(CanvasPoint, double deltaY)> fn) = 0;
};

class Popovers {
 public:
  virtual ~Popovers() = default;
  virtual std::unique_ptr<Popover> makePopover(const PopoverConfig& config) = 0;
};

}  // namespace velmora::platform
