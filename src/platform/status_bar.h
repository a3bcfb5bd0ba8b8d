#pragma once
// The system menu bar's status items (NSStatusBar / NSStatusItem / NSStatusBarButton) and
// the pop-up menus they open.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/geometry.h"
#include "core/notification_center.h"
#include "platform/canvas.h"
#include "platform/menus.h"

namespace velmora::platform {

// The application's current event while a status button's action runs (NSApp.currentEvent).
struct MouseEvent {
  enum class Type { leftMouseUp, rightMouseUp };
  Type type = Type::leftMouseUp;
  std::uint64_t modifierFlags = 0;  // CGEventFlags / NSEvent.ModifierFlags bits
};

// How the button lays out its image and title.
struct StatusButtonStyle {
  bool imageLeading = true;  // imagePosition .imageLeading
  bool imageHugsTitle = true;
  Font titleFont;             // the title's font
  bool truncatesTail = true;  // lineBreakMode .byTruncatingTail
  bool singleLine = true;
  bool sendsOnRightMouseUp = true;  // sendAction(on: [.leftMouseUp, .rightMouseUp])
};

class StatusItem {
 public:
  // NSStatusItem.variableLength: as wide as the button's content.
  static constexpr double kVariableLength = -1;

  virtual ~StatusItem() = default;
  virtual void setLength(double length) = 0;
  virtual double length() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual bool isVisible() const = 0;
  // Whether the item has its button (a removed item has none).
  virtual bool hasButton() const = 0;
  virtual void setButtonStyle(const StatusButtonStyle& style) = 0;
  virtual void setImage(std::shared_ptr<const VectorImage> image) = 0;  // null: none
  virtual void setTitle(const std::string& title) = 0;
  virtual void setToolTip(const std::string& toolTip) = 0;
  // The button's fittingSize width: image, gap and whole title, with the button's margins.
  virtual double naturalWidth() = 0;
  // The frame of the button's window in drawing coordinates; none before the system placed
  // it. An item the menu bar has no room for is moved off every screen.
  virtual std::optional<ScreenRect> windowFrame() const = 0;
  // The window's occlusionState has its visible bit.
  virtual bool windowOcclusionVisible() const = 0;
  // The button's action, sent on mouse-up with the application's current event (none when
  // the action is sent without one, as by performClick).
  virtual void setAction(std::function<void(std::optional<MouseEvent> current)> action) = 0;
  // item.menu: while set, a click (or performClick) opens this menu under the button instead
  // of sending the action. None detaches it.
  virtual void setMenu(std::optional<Menu> menu, MenuHandlers handlers = {}) = 0;
  virtual void performClick() = 0;
  // NSWindowDidMoveNotification and NSWindowDidChangeOcclusionStateNotification for the
  // button's window.
  [[nodiscard]] virtual ObserverToken observeWindowChanges(std::function<void()> fn) = 0;
};

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  // NSStatusBar.system.statusItem(withLength:) with an autosaveName; the system keeps the
  // item's position under "NSStatusItem Preferred Position <name>" in the user's defaults.
  virtual std::unique_ptr<StatusItem> makeStatusItem(const std::string& autosaveName) = 0;
  // NSMenu.popUp(positioning:at:in:): the menu opens with its top-left at `location`.
  virtual void popUpMenu(const Menu& menu, ScreenPoint location, MenuHandlers handlers) = 0;
};

}  // namespace velmora::platform
