#include "platform/sim/virtual_status_item.h"

#include <algorithm>
#include <utility>

namespace velmora::sim {

VirtualStatusItem::VirtualStatusItem(StatusItemHost& host, std::weak_ptr<char> hostAlive,
                                     std::string autosaveName)
    : host_(&host), hostAlive_(std::move(hostAlive)), autosaveName_(std::move(autosaveName)) {
  style_.titleFont = platform::Font::system(13);
}

VirtualStatusItem::~VirtualStatusItem() {
  if (!hostAlive_.expired()) host_->itemGone(*this);
}

void VirtualStatusItem::setLength(double length) {
  if (length == length_) return;
  length_ = length;
  host_->itemChanged();
}

void VirtualStatusItem::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  host_->itemChanged();
}

void VirtualStatusItem::setButtonStyle(const platform::StatusButtonStyle& style) {
  style_ = style;
  host_->itemChanged();
}

void VirtualStatusItem::setImage(std::shared_ptr<const platform::VectorImage> image) {
  image_ = std::move(image);
  if (length_ == kVariableLength) host_->itemChanged();
}

void VirtualStatusItem::setTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  if (length_ == kVariableLength) host_->itemChanged();
}

double VirtualStatusItem::naturalWidth() {
  double content = image_ ? image_->size().width : 0;
  if (!title_.empty()) content += host_->measureTitle(title_, style_.titleFont);
  return content + 2 * kButtonPadding;
}

double VirtualStatusItem::width() const {
  return length_ == kVariableLength ? const_cast<VirtualStatusItem*>(this)->naturalWidth()
                                    : length_;
}

std::string VirtualStatusItem::shownTitle() const {
  if (title_.empty()) return title_;
  double room = width() - 2 * kButtonPadding - (image_ ? image_->size().width : 0);
  if (host_->measureTitle(title_, style_.titleFont) <= room) return title_;
  return host_->truncateTitle(title_, style_.titleFont, std::max(0.0, room));
}

bool VirtualStatusItem::windowOcclusionVisible() const {
  return visible_ && hasRoom_ && frame_.has_value();
}

void VirtualStatusItem::setMenu(std::optional<platform::Menu> menu,
                                platform::MenuHandlers handlers) {
  menu_ = std::move(menu);
  menuHandlers_ = std::move(handlers);
}

ObserverToken VirtualStatusItem::observeWindowChanges(std::function<void()> fn) {
  return windowEvents_.observe("moved", std::move(fn));
}

bool VirtualStatusItem::place(std::optional<ScreenRect> frame, bool hasRoom) {
  bool wasShown = windowOcclusionVisible();
  std::optional<ScreenRect> oldFrame = frame_;
  frame_ = frame;
  hasRoom_ = hasRoom;
  return frame_ != oldFrame || windowOcclusionVisible() != wasShown;
}

void VirtualStatusItem::press(std::optional<platform::MouseEvent> event) {
  if (menu_) {
    host_->openMenuOf(*this);
  } else if (action_) {
    action_(event);
  }
}

}  // namespace velmora::sim
