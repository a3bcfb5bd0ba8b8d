#include "platform/sim/virtual_menu_bar.h"

#include <algorithm>

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

// ---- VirtualMenuBar ----

VirtualMenuBar::VirtualMenuBar(Machine& machine, platform::CanvasFactory& canvases,
                               platform::Preferences& preferences, std::string defaultsDomain)
    : machine_(machine),
      loop_(machine.loop()),
      canvases_(canvases),
      preferences_(preferences),
      defaultsDomain_(std::move(defaultsDomain)),
      alive_(std::make_shared<char>(0)),
      machineChanges_(machine.observeMenuBarMayMove([this] { setNeedsLayout(); })) {}

VirtualMenuBar::~VirtualMenuBar() = default;

std::unique_ptr<platform::StatusItem> VirtualMenuBar::makeStatusItem(
    const std::string& autosaveName) {
  auto item = std::make_unique<VirtualStatusItem>(static_cast<StatusItemHost&>(*this), alive_,
                                                  autosaveName);
  items_.push_back(item.get());
  setNeedsLayout();
  return item;
}

void VirtualMenuBar::itemGone(const VirtualStatusItem& item) {
  std::erase(items_, &item);
  if (openMenu_ && openMenu_->fromStatusItem) openMenu_.reset();
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

platform::Canvas& VirtualMenuBar::measuring() const {
  if (!measuring_) measuring_ = canvases_.makeCanvas({1, 1}, 1);
  return *measuring_;
}

double VirtualMenuBar::measure(const std::string& text, const platform::Font& font) const {
  return measuring().measureText(text, font).width;
}

std::string VirtualMenuBar::truncateTitle(const std::string& title, const platform::Font& font,
                                          double width) {
  return measuring().truncateTail(title, font, width);
}

std::vector<MenuBarEntry> VirtualMenuBar::entries(const std::string& displayUUID) const {
  std::vector<MenuBarEntry> out;
  const SimDisplay* display = machine_.findDisplay(displayUUID);
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
  const SimApp* front = machine_.frontmost ? machine_.findApp(*machine_.frontmost) : nullptr;
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
  if (displayUUID != machine_.activeMenuBarDisplay) return out;
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
  std::string active = machine_.activeMenuBarDisplay;
  if (!machine_.findDisplay(active) && !machine_.displays.empty()) {
    active = machine_.displays.front().uuid;
  }
  std::vector<MenuBarEntry> placed = entries(active);
  const SimDisplay* display = machine_.findDisplay(active);
  std::size_t next = 0;
  std::vector<VirtualStatusItem*> moved;
  for (VirtualStatusItem* item : items_) {
    std::optional<ScreenRect> frame = item->windowFrame();
    bool hasRoom = item->hasRoom();
    if (item->isVisible()) {
      while (next < placed.size() && placed[next].kind != MenuBarEntry::Kind::velmora) ++next;
      if (next < placed.size()) {
        frame = placed[next].frame;
        hasRoom = !placed[next].hidden;
        ++next;
      } else {
        hasRoom = false;  // no display with a menu bar at all
      }
    }
    if (item->place(frame, hasRoom)) moved.push_back(item);
    if (display && hasRoom && frame && item->isVisible()) {
      // The system remembers where the item sits, as its distance from the right edge.
      std::string key = "NSStatusItem Preferred Position " + item->autosaveName();
      Value position(display->frame.maxX() - frame->maxX());
      if (preferences_.value(defaultsDomain_, key) != position) {
        preferences_.setValue(defaultsDomain_, key, position);
      }
    }
  }
  for (VirtualStatusItem* item : moved) {
    ++windowMoves_;
    item->announceMove();
  }
}

void VirtualMenuBar::openMenuOf(const VirtualStatusItem& item) {
  if (openMenu_) dismissMenu();
  if (!item.menu()) return;
  std::optional<ScreenRect> frame = item.windowFrame();
  ScreenPoint at{frame ? frame->minX() : 0, frame ? frame->minY() : 0};
  openMenu_ = OpenMenu{*item.menu(), at, item.menuHandlers(), true};
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
    if (autosaveName.empty() || item->autosaveName() == autosaveName) {
      target = item;
      break;
    }
  }
  if (!target || !target->windowOcclusionVisible()) return false;
  target->press(platform::MouseEvent{button, modifierFlags});
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
    if (autosaveName.empty() || item->autosaveName() == autosaveName) return item;
  }
  return nullptr;
}

}  // namespace velmora::sim
