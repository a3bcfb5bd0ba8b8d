#include "platform/sim/virtual_menu_bar.h"

#include <algorithm>

#include "platform/sim/virtual_mac.h"

namespace velmora::sim {

namespace {

constexpr double kAppleMenuWidth = 36;
constexpr double kMenuTitlePadding = 20;
constexpr double kLeftInset = 8;
constexpr double kRightInset = 8;
const std::vector<std::string> kStandardMenus{"File", "Edit", "View", "Window", "Help"};

platform::Font menuFont(platform::FontWeight weight) {
  return platform::Font::system(13, weight);
}

}  // namespace

// ---- VirtualStatusItem ----

VirtualStatusItem::VirtualStatusItem(VirtualMenuBar& bar, std::string autosaveName)
    : bar_(&bar), barAlive_(bar.alive_), autosaveName_(std::move(autosaveName)) {
  style_.titleFont = menuFont(platform::FontWeight::regular);
}

VirtualStatusItem::~VirtualStatusItem() {
  if (!barAlive_.expired()) bar_->forget(this);
}

void VirtualStatusItem::setLength(double length) {
  if (length == length_) return;
  length_ = length;
  bar_->itemChanged();
}

void VirtualStatusItem::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  bar_->itemChanged();
}

void VirtualStatusItem::setButtonStyle(const platform::StatusButtonStyle& style) {
  style_ = style;
  bar_->itemChanged();
}

void VirtualStatusItem::setImage(std::shared_ptr<const platform::VectorImage> image) {
  image_ = std::move(image);
  if (length_ == kVariableLength) bar_->itemChanged();
}

void VirtualStatusItem::setTitle(const std::string& title) {
  if (title == title_) return;
  title_ = title;
  if (length_ == kVariableLength) bar_->itemChanged();
}

double VirtualStatusItem::naturalWidth() {
  double content = image_ ? image_->size().width : 0;
  if (!title_.empty()) content += bar_->measure(title_, style_.titleFont);
  return content + 2 * VirtualStatusItem::kButtonPadding;
}

double VirtualStatusItem::width() const {
  return length_ == kVariableLength ? const_cast<VirtualStatusItem*>(this)->naturalWidth()
                                    : length_;
}

std::string VirtualStatusItem::shownTitle() const {
  if (title_.empty()) return title_;
  double room =
      width() - 2 * VirtualStatusItem::kButtonPadding - (image_ ? image_->size().width : 0);
  // measure() has made the measuring canvas.
  if (bar_->measure(title_, style_.titleFont) <= room) return title_;
  return bar_->measuring_->truncateTail(title_, style_.titleFont, std::max(0.0, room));
}

bool VirtualStatusItem::windowOcclusionVisible() const {
  return visible_ && hasRoom_ && frame_.has_value();
}

void VirtualStatusItem::setMenu(std::optional<platform::Menu> menu,
                                platform::MenuHandlers handlers) {
  menu_ = std::move(menu);
  menuHandlers_ = std::move(handlers);
}

void VirtualStatusItem::performClick() {
  if (menu_) {
    bar_->openFromItem(*this);
  } else if (action_) {
    action_(std::nullopt);
  }
}

ObserverToken VirtualStatusItem::observeWindowChanges(std::function<void()> fn) {
  return windowEvents_.observe("moved", std::move(fn));
}

// ---- VirtualMenuBar ----

VirtualMenuBar::VirtualMenuBar(VirtualMac& mac, MainLoop& loop, platform::CanvasFactory& canvases,
                               platform::Preferences& preferences, std::string defaultsDomain)
    : mac_(mac),
      loop_(loop),
      canvases_(canvases),
      preferences_(preferences),
      defaultsDomain_(std::move(defaultsDomain)),
      alive_(std::make_shared<char>(0)) {}

VirtualMenuBar::~VirtualMenuBar() = default;

std::unique_ptr<platform::StatusItem> VirtualMenuBar::makeStatusItem(
    const std::string& autosaveName) {
  std::unique_ptr<VirtualStatusItem> item(new VirtualStatusItem(*this, autosaveName));
  items_.push_back(item.get());
  setNeedsLayout();
  return item;
}

void VirtualMenuBar::forget(VirtualStatusItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  if (openMenu_ && openMenu_->fromStatusItem) openMenu_.reset();
  setNeedsLayout();
}

void VirtualMenuBar::itemChanged() {
  setNeedsLayout();
}

void VirtualMenuBar::setExtras(std::vector<SimMenuExtra> extras) {
  extras_ = std::move(extras);
  setNeedsLayout();
}

void VirtualMenuBar::setSystemWidth(double width) {
  systemWidth_ = std::max(0.0, width);
  setNeedsLayout();
}

void VirtualMenuBar::setNeedsLayout() {
  if (layoutQueued_) return;
  layoutQueued_ = true;
  loop_.post([this, weak = std::weak_ptr<char>(alive_)] {
    if (weak.expired()) return;
    layoutQueued_ = false;
    layoutNow();
  });
}

double VirtualMenuBar::measure(const std::string& text, const platform::Font& font) const {
  if (!measuring_) measuring_ = canvases_.makeCanvas({1, 1}, 1);
  return measuring_->measureText(text, font).width;
}

std::vector<MenuBarEntry> VirtualMenuBar::entries(const std::string& displayUUID) const {
  std::vector<MenuBarEntry> out;
  const SimDisplay* display = mac_.display(displayUUID);
  if (!display || display->menuBarHeight <= 0) return out;
  const double top = display->frame.maxY() - display->menuBarHeight;
  const double height = display->menuBarHeight;
  auto rect = [&](double x, double w) { return ScreenRect::make(x, top, w, height); };

  std::optional<ScreenRect> notch;
  if (display->notch) {
    notch = rect(display->frame.midX() - display->notch->width / 2, display->notch->width);
  }
  // The front application's menus, from the left; they stop at the camera housing.
  double x = display->frame.minX() + kLeftInset;
  out.push_back({MenuBarEntry::Kind::appleMenu, rect(x, kAppleMenuWidth), "", "", nullptr});
  x += kAppleMenuWidth;
  const SimApp* front = mac_.frontmostPID() ? mac_.application(*mac_.frontmostPID()) : nullptr;
  if (front && front->policy != platform::ActivationPolicy::Regular) front = nullptr;
  std::string appName = front && front->name ? *front->name : "Finder";
  const auto& menus = front && !front->menus.empty() ? front->menus : kStandardMenus;
  auto addMenu = [&](MenuBarEntry::Kind kind, const std::string& title) {
    double w = measure(title, menuFont(kind == MenuBarEntry::Kind::appName
                                           ? platform::FontWeight::bold
                                           : platform::FontWeight::regular)) +
               kMenuTitlePadding;
    if (notch && x + w > notch->minX()) return false;
    out.push_back({kind, rect(x, w), title, "", nullptr});
    x += w;
    return true;
  };
  if (addMenu(MenuBarEntry::Kind::appName, appName)) {
    for (const auto& title : menus) {
      if (!addMenu(MenuBarEntry::Kind::appMenu, title)) break;
    }
  }
  if (notch) out.push_back({MenuBarEntry::Kind::notch, *notch, "", "", nullptr});

  // From the right: the system's items, then the status items, newest leftmost.
  double right = display->frame.maxX() - kRightInset;
  out.push_back(
      {MenuBarEntry::Kind::system, rect(right - systemWidth_, systemWidth_), "", "", nullptr});
  right -= systemWidth_;
  if (displayUUID != mac_.activeMenuBarDisplay()) return out;
  const double limit = (notch ? notch->maxX() : x) + kMinimumGap;
  bool full = false;
  auto place = [&](MenuBarEntry entry, double w) {
    full = full || right - w < limit;
    entry.hidden = full;
    entry.frame = full ? ScreenRect::make(kOffScreenX, top, w, height) : rect(right - w, w);
    if (!full) right -= w;
    out.push_back(std::move(entry));
  };
  for (const auto& extra : extras_) {
    place({MenuBarEntry::Kind::extra, {}, extra.title, extra.symbol, nullptr}, extra.width);
  }
  for (const VirtualStatusItem* item : items_) {
    if (!item->isVisible()) continue;
    place({MenuBarEntry::Kind::velmora, {}, item->shownTitle(), "", item->image()}, item->width());
  }
  return out;
}

void VirtualMenuBar::layoutNow() {
  std::string active = mac_.activeMenuBarDisplay();
  if (!mac_.display(active) && !mac_.displays().empty()) active = mac_.displays().front().uuid;
  std::vector<MenuBarEntry> placed = entries(active);
  const SimDisplay* display = mac_.display(active);
  std::size_t next = 0;
  std::vector<VirtualStatusItem*> moved;
  for (VirtualStatusItem* item : items_) {
    bool wasShown = item->windowOcclusionVisible();
    std::optional<ScreenRect> oldFrame = item->frame_;
    if (item->isVisible()) {
      while (next < placed.size() && placed[next].kind != MenuBarEntry::Kind::velmora) ++next;
      if (next < placed.size()) {
        item->frame_ = placed[next].frame;
        item->hasRoom_ = !placed[next].hidden;
        ++next;
      } else {
        item->hasRoom_ = false;  // no display with a menu bar at all
      }
    }
    if (item->frame_ != oldFrame || item->windowOcclusionVisible() != wasShown) {
      moved.push_back(item);
    }
    if (display && item->hasRoom_ && item->frame_ && item->isVisible()) {
      // The system remembers where the item sits, as its distance from the right edge.
      std::string key = "NSStatusItem Preferred Position " + item->autosaveName_;
      Value position(display->frame.maxX() - item->frame_->maxX());
      if (preferences_.value(defaultsDomain_, key) != position) {
        preferences_.setValue(defaultsDomain_, key, position);
      }
    }
  }
  for (VirtualStatusItem* item : moved) {
    ++windowMoves_;
    item->windowEvents_.post("moved");
  }
}

void VirtualMenuBar::openFromItem(VirtualStatusItem& item) {
  if (openMenu_) dismissMenu();
  if (!item.menu_) return;
  ScreenPoint at{item.frame_ ? item.frame_->minX() : 0, item.frame_ ? item.frame_->minY() : 0};
  openMenu_ = OpenMenu{*item.menu_, at, item.menuHandlers_, true};
}

void VirtualMenuBar::popUpMenu(const platform::Menu& menu, ScreenPoint location,
                               platform::MenuHandlers handlers) {
  if (openMenu_) dismissMenu();
  openMenu_ = OpenMenu{menu, location, std::move(handlers), false};
}

bool VirtualMenuBar::click(platform::MouseEvent::Type button, std::uint64_t modifierFlags,
                           const std::string& autosaveName) {
  VirtualStatusItem* target = nullptr;
  for (VirtualStatusItem* item : items_) {
    if (autosaveName.empty() || item->autosaveName_ == autosaveName) {
      target = item;
      break;
    }
  }
  if (!target || !target->windowOcclusionVisible()) return false;
  if (target->menu_) {
    openFromItem(*target);
  } else if (target->action_) {
    target->action_(platform::MouseEvent{button, modifierFlags});
  }
  return true;
}

bool VirtualMenuBar::choose(const std::string& title) {
  if (!openMenu_) return false;
  const auto& items = openMenu_->menu.items;
  auto it = std::find_if(items.begin(), items.end(), [&](const platform::MenuItem& item) {
    return !item.separator && item.enabled && item.title == title;
  });
  if (it == items.end()) return false;
  platform::MenuItem chosen = *it;
  platform::MenuHandlers handlers = std::move(openMenu_->handlers);
  openMenu_.reset();
  if (handlers.onAction) handlers.onAction(chosen);
  if (handlers.onClose) handlers.onClose();
  return true;
}

bool VirtualMenuBar::dismissMenu() {
  if (!openMenu_) return false;
  platform::MenuHandlers handlers = std::move(openMenu_->handlers);
  openMenu_.reset();
  if (handlers.onClose) handlers.onClose();
  return true;
}

const VirtualStatusItem* VirtualMenuBar::item(const std::string& autosaveName) const {
  for (const VirtualStatusItem* item : items_) {
    if (autosaveName.empty() || item->autosaveName_ == autosaveName) return item;
  }
  return nullptr;
}

}  // namespace velmora::sim
