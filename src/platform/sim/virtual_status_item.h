#pragma once
// One of Velmora's status items in the virtual Mac's menu bar: its button (image, title,
// style, tooltip), its menu or action, and where the menu bar last put its window. A change
// that can alter its width asks the menu bar for a new layout; a click opens its menu or
// runs its action.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/geometry.h"
#include "core/notification_center.h"
#include "platform/canvas.h"
#include "platform/status_bar.h"

namespace velmora::sim {

class VirtualStatusItem;

// What a status item asks of the menu bar it sits in.
class StatusItemHost {
 public:
  // The item's width or visibility may have changed: lay out again.
  virtual void itemChanged() = 0;
  // The item is being destroyed.
  virtual void itemGone(const VirtualStatusItem& item) = 0;
  // The item's menu opens under it.
  virtual void openMenuOf(const VirtualStatusItem& item) = 0;
  // How the menu bar's font measures and cuts a button title.
  virtual double measureTitle(const std::string& title, const platform::Font& font) = 0;
  virtual std::string truncateTitle(const std::string& title, const platform::Font& font,
                                    double width) = 0;

 protected:
  ~StatusItemHost() = default;
};

class VirtualStatusItem final : public platform::StatusItem {
 public:
  static constexpr double kButtonPadding = 6;  // each side of the button's content

  // `hostAlive` expires when the menu bar goes, which may be before the item.
  VirtualStatusItem(StatusItemHost& host, std::weak_ptr<char> hostAlive, std::string autosaveName);
  ~VirtualStatusItem() override;

  void setLength(double length) override;
  double length() const override { return length_; }
  void setVisible(bool visible) override;
  bool isVisible() const override { return visible_; }
  bool hasButton() const override { return true; }
  void setButtonStyle(const platform::StatusButtonStyle& style) override;
  void setImage(std::shared_ptr<const platform::VectorImage> image) override;
  void setTitle(const std::string& title) override;
  void setToolTip(const std::string& toolTip) override { toolTip_ = toolTip; }
  double naturalWidth() override;
  std::optional<ScreenRect> windowFrame() const override { return frame_; }
  bool windowOcclusionVisible() const override;
  void setAction(std::function<void(std::optional<platform::MouseEvent>)> action) override {
    action_ = std::move(action);
  }
  void setMenu(std::optional<platform::Menu> menu, platform::MenuHandlers handlers) override;
  void performClick() override { press(std::nullopt); }
  ObserverToken observeWindowChanges(std::function<void()> fn) override;

  // ---- Looking at it ----
  const std::string& autosaveName() const { return autosaveName_; }
  const std::string& title() const { return title_; }
  const std::string& toolTip() const { return toolTip_; }
  const std::shared_ptr<const platform::VectorImage>& image() const { return image_; }
  const platform::StatusButtonStyle& buttonStyle() const { return style_; }
  bool hasMenu() const { return menu_.has_value(); }
  const std::optional<platform::Menu>& menu() const { return menu_; }
  const platform::MenuHandlers& menuHandlers() const { return menuHandlers_; }
  // The width the item takes in the bar: its length, or its natural width when variable.
  double width() const;
  // The title as the button draws it in `width` points: cut at the tail with an ellipsis.
  std::string shownTitle() const;
  // Whether the last layout found room for it.
  bool hasRoom() const { return hasRoom_; }

  // ---- The menu bar's side ----
  // The menu bar's layout puts the item's window at `frame`, with room or without; answers
  // whether the window moved or was shown or hidden by it.
  bool place(std::optional<ScreenRect> frame, bool hasRoom);
  // Tells the window's observers that it moved.
  void announceMove() { windowEvents_.post("moved"); }
  // A click on the button: its menu opens, or else its action runs with the event.
  void press(std::optional<platform::MouseEvent> event);

 private:
  StatusItemHost* host_;
  std::weak_ptr<char> hostAlive_;
  std::string autosaveName_;
  double length_ = kVariableLength;
  bool visible_ = true;
  platform::StatusButtonStyle style_;
  std::shared_ptr<const platform::VectorImage> image_;
  std::string title_;
  std::string toolTip_;
  std::optional<ScreenRect> frame_;
  bool hasRoom_ = true;
  std::function<void(std::optional<platform::MouseEvent>)> action_;
  std::optional<platform::Menu> menu_;
  platform::MenuHandlers menuHandlers_;
  NotificationCenter windowEvents_;
};

}  // namespace velmora::sim
