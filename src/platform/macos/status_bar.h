#pragma once
// Velmora's items in the system menu bar (NSStatusBar, NSStatusItem and its button) and the
// menus they pop up. Main thread only, as all of AppKit.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/notification_center.h"
#include "platform/status_bar.h"

namespace velmora::macos {

class MacStatusItem final : public platform::StatusItem {
 public:
  // A variable-length item; the system restores the place the user gave it under this name.
  explicit MacStatusItem(const std::string& autosaveName);
  // The item leaves the menu bar.
  ~MacStatusItem() override;

  void setLength(double length) override;
  double length() const override;
  void setVisible(bool visible) override;
  bool isVisible() const override;
  bool hasButton() const override;
  void setButtonStyle(const platform::StatusButtonStyle& style) override;
  void setImage(std::shared_ptr<const platform::VectorImage> image) override;
  void setTitle(const std::string& title) override;
  void setToolTip(const std::string& toolTip) override;
  double naturalWidth() override;
  std::optional<ScreenRect> windowFrame() const override;
  bool windowOcclusionVisible() const override;
  void setAction(std::function<void(std::optional<platform::MouseEvent>)> action) override;
  void setMenu(std::optional<platform::Menu> menu, platform::MenuHandlers handlers) override;
  void performClick() override;
  ObserverToken observeWindowChanges(std::function<void()> fn) override;
  // The item's NSStatusBarButton, bridged without a retain for Objective-C++ callers (a popover
  // hangs from it); null when the item has none.
  void* button() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class MacStatusBar final : public platform::StatusBar {
 public:
  std::unique_ptr<platform::StatusItem> makeStatusItem(const std::string& autosaveName) override;
  void popUpMenu(const platform::Menu& menu, ScreenPoint location,
                 platform::MenuHandlers handlers) override;
};

}  // namespace velmora::macos
