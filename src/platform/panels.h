#pragma once
// Borderless panels (NSPanel) the surfaces live in: the switch tag, the pills over Mission
// Control, the notch label, the hover strip, the editor. A panel shows whatever its content
// draws; the content is asked again whenever the panel is drawn (on a Mac, when the hosting
// view redraws; on the virtual Mac, whenever a screenshot is taken), so a content that
// animates draws the pose of the moment.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/geometry.h"
#include "platform/canvas.h"

namespace velmora::platform {

// NSWindow.CollectionBehavior bits the surfaces use.
inline constexpr std::uint64_t kCollectionCanJoinAllSpaces = 1;
inline constexpr std::uint64_t kCollectionMoveToActiveSpace = 2;
inline constexpr std::uint64_t kCollectionTransient = 8;
inline constexpr std::uint64_t kCollectionStationary = 16;
inline constexpr std::uint64_t kCollectionIgnoresCycle = 64;
inline constexpr std::uint64_t kCollectionFullScreenAuxiliary = 256;
// Every desktop, not moved by Exposé, not in the window cycle, beside full-screen apps.
inline constexpr std::uint64_t kCollectionFloating = 337;

// NSWindow.AnimationBehavior.
enum class WindowAnimation { automatic, none, documentWindow, utilityWindow, alertPanel };

// How a panel is made; the fixed properties of the shared floating panel are spelled out so
// the macOS glue and the virtual Mac's records agree on them.
struct PanelConfig {
  Size size;
  int level = 0;             // NSWindow.Level raw value
  bool interactive = false;  // takes mouse events and can become the key window
  bool hasShadow = false;
  std::uint64_t collectionBehavior = kCollectionFloating;
  WindowAnimation animation = WindowAnimation::none;
  // Fixed for every floating panel: borderless non-activating, buffered, not deferred,
  // clear and not opaque, kept on deactivation and when closed, dark appearance, and its
  // views take the first click without activating the application.
  bool nonActivating = true;
  bool opaque = false;
  bool hidesOnDeactivate = false;
  bool releasedWhenClosed = false;
  bool darkAppearance = true;
  bool acceptsFirstMouse = true;
  std::string name;  // what the virtual Mac and the logs call it ("switch tag: toast")
};

// Draws the panel's content into a canvas the size of the panel (points, y down).
using PanelDraw = std::function<void(Canvas& canvas, Size size)>;

// How a text field looks: its font and text colour, and the placeholder shown while it is
// empty. The field itself has no border, no background and no focus ring; the panel's
// content draws whatever frames it.
struct TextFieldStyle {
  Font font;
  Color textColor = Color::white();
  std::string placeholder;
  Color placeholderColor = Color::white(0.35);
};

// A single-line text field in a panel (NSTextField with the panel as its delegate), above the
// panel's drawn content. Key-downs reach the window's local monitors first (see
// LocalEventMonitors); those they let through type into the focused field.
class TextField {
 public:
  // Takes the field out of its panel.
  virtual ~TextField() = default;
  // The field's rectangle in the panel's content: points from its top-left corner, y down.
  virtual void setFrame(const CanvasRect& frame) = 0;
  virtual void setStyle(const TextFieldStyle& style) = 0;
  // stringValue (UTF-8).
  virtual std::string text() const = 0;
  // Replaces the text, as setStringValue: does: the text-changed callback does not run.
  virtual void setText(const std::string& text) = 0;
  // makeFirstResponder: the keys typed while the panel is key go to this field.
  virtual void focus() = 0;
  virtual bool isFocused() const = 0;
  // controlTextDidChange: the user changed the text (typing, deleting, pasting).
  virtual void setOnTextChanged(std::function<void()> fn) = 0;
};

class Panel {
 public:
  virtual ~Panel() = default;
  virtual const PanelConfig& config() const = 0;
  // setFrame(_:display:) in drawing coordinates.
  virtual void setFrame(const ScreenRect& frame, bool display) = 0;
  virtual ScreenRect frame() const = 0;
  // The hosted view; replaces the previous one.
  virtual void setContent(PanelDraw draw) = 0;
  // The content changed and must be drawn again.
  virtual void setNeedsDisplay() = 0;
  // alphaValue, set at once (duration 0) or through the window's animator over `duration`
  // seconds, linearly from the value of the moment.
  virtual void setAlpha(double alpha, double duration = 0) = 0;
  virtual double alpha() const = 0;  // the value of the moment, mid-animation too
  virtual void setIgnoresMouseEvents(bool ignores) = 0;
  // orderFrontRegardless: in front of its level's other windows, even when Velmora is not
  // the active application.
  virtual void orderFrontRegardless() = 0;
  // makeKeyAndOrderFront: only an interactive panel can become the key window.
  virtual void makeKeyAndOrderFront() = 0;
  virtual void orderOut() = 0;
  virtual bool isVisible() const = 0;  // on screen

  // ---- Input, for a panel that takes it ----
  // isKeyWindow.
  virtual bool isKey() const = 0;
  // resignKeyWindow: the panel stopped being the key window — the user clicked outside it,
  // another window became key, or it went off screen. Runs on the main loop.
  virtual void setOnResignKey(std::function<void()> fn) = 0;
  // The pointer moved over the panel's content (mouseMoved: through a tracking area that is
  // active whatever application is in front), at a point from its top-left corner, y down.
  virtual void setOnPointerMoved(std::function<void(CanvasPoint)> fn) = 0;
  // The primary button went down over the content (mouseDown:), at a point as above.
  virtual void setOnMouseDown(std::function<void(CanvasPoint)> fn) = 0;
  // The secondary button went down over the content (rightMouseDown:), at a point as above.
  virtual void setOnRightMouseDown(std::function<void(CanvasPoint)> fn) = 0;
  // The wheel or the trackpad scrolled over the content, at a point as above, by `deltaY`
  // points: positive when the user scrolls towards the top, so the content moves down.
  virtual void setOnScrollWheel(std::function<void(CanvasPoint, double deltaY)> fn) = 0;
  // The view's toolTip: shown by the system while the pointer rests over the panel; empty
  // shows none.
  virtual void setToolTip(const std::string& text) = 0;
  virtual std::string toolTip() const = 0;
  // A text field over the content; it stays in the panel while the handle lives.
  virtual std::unique_ptr<TextField> addTextField() = 0;
};

class Panels {
 public:
  virtual ~Panels() = default;
  virtual std::unique_ptr<Panel> makePanel(const PanelConfig& config) = 0;
};

}  // namespace velmora::platform
