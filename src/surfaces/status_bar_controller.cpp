#include "surfaces/status_bar_controller.h"

#include <set>
#include <sstream>

#include "drawing/glyph.h"
#include "mission_control/dock_badges.h"

namespace velmora {

namespace {

constexpr const char* kSpacesDidChange = "Velmora.spacesDidChange";
constexpr const char* kActiveSpaceDidChange = "Velmora.activeSpaceDidChange";

std::string rectText(const ScreenRect& r) {
  // AppKit's NSStringFromRect notation.
  auto n = [](double v) {
    std::ostringstream out;
    out << v;
    return out.str();
  };
  return "{{" + n(r.minX()) + ", " + n(r.minY()) + "}, {" + n(r.size.width) + ", " +
         n(r.size.height) + "}}";
}

void applyShortcut(platform::MenuItem& item, const Hotkey& hotkey, const KeyNames& names) {
  item.keyEquivalent = names.keyEquivalent(hotkey.keyCode);
  item.modifiers.command = hotkey.modifiers & platform::kCmdKey;
  item.modifiers.shift = hotkey.modifiers & platform::kShiftKey;
  item.modifiers.option = hotkey.modifiers & platform::kOptionKey;
  item.modifiers.control = hotkey.modifiers & platform::kControlKey;
}

platform::MenuItem separator() {
  platform::MenuItem item;
  item.separator = true;
  return item;
}

platform::MenuItem action(std::string title, std::string selector) {
  platform::MenuItem item;
  item.title = std::move(title);
  item.action = std::move(selector);
  item.target = platform::MenuTarget::delegate;
  return item;
}

}  // namespace

const char* tilePresenceName(TilePresence presence) {
  switch (presence) {
    case TilePresence::inBar:
      return "inBar";
    case TilePresence::steppedAside:
      return "steppedAside";
    case TilePresence::dropped:
      return "dropped";
  }
  return "inBar";
}

StatusBarController::StatusBarController(StatusBarServices services)
    : s_(std::move(services)), item_(s_.platform.statusBar.makeStatusItem(kAutosaveName)) {
  platform::StatusButtonStyle style;
  style.titleFont = platform::Font::system(kTitleFontSize, platform::FontWeight::medium);
  item_->setButtonStyle(style);
  item_->setAction(
      lifetime_.guard([this](std::optional<platform::MouseEvent> current) { clicked(current); }));
  auto redraw = lifetime_.guard([this] { refresh(); });
  observers_.push_back(s_.center.observe(kSpacesDidChange, redraw));
  observers_.push_back(s_.center.observe(kActiveSpaceDidChange, redraw));
  observers_.push_back(s_.center.observe(kNotchLabelChanged, redraw));
  observers_.push_back(
      item_->observeWindowChanges(lifetime_.guard([this] { statusWindowMoved(); })));
  observers_.push_back(s_.platform.workspace.observeScreenParametersChanged(
      lifetime_.guard([this] { screensChanged(); })));
  screensChanged();
}

StatusBarController::~StatusBarController() = default;

TilePresence StatusBarController::presence() const {
  if (besideNotch_) return TilePresence::steppedAside;
  if (tileHidden_) return TilePresence::dropped;
  return TilePresence::inBar;
}

bool StatusBarController::isOnScreen() const {
  if (!item_ || !item_->hasButton()) return true;
  auto frame = item_->windowFrame();
  if (!frame) return true;
  for (const auto& screen : s_.platform.screens.screens()) {
    if (!frame->intersection(screen.frame).isEmpty()) return true;
  }
  return false;
}

std::optional<std::string> StatusBarController::waitingBadge() const {
  if (!s_.settings.badgesEnabled()) return std::nullopt;
  // Applications with a window on a desktop that is on screen are not waiting anywhere.
  std::set<platform::pid_t> shown;
  for (const Desktop& d : s_.engine.desktops()) {
    if (!d.isCurrent) continue;
    for (const SpaceApp& app : s_.engine.apps(d)) shown.insert(app.pid);
  }
  std::set<platform::pid_t> counted;
  std::vector<std::string> badges;
  for (const Desktop& d : s_.engine.desktops()) {
    for (const SpaceApp& app : s_.engine.apps(d)) {
      if (!app.badge || shown.count(app.pid) || !counted.insert(app.pid).second) continue;
      badges.push_back(*app.badge);
    }
  }
  return desktopBadge(badges);
}

std::shared_ptr<const platform::VectorImage> StatusBarController::lifted(
    std::shared_ptr<const platform::VectorImage> image) const {
  // From macOS 27 the bar centres images one point lower; an empty row below lifts it back.
  if (!image || s_.platform.systemMajorVersion < 27) return image;
  Size size = image->size();
  return std::make_shared<platform::DrawnImage>(
      Size{size.width, size.height + 1}, [image, size](platform::Canvas& canvas, Size) {
        image->draw(canvas, platform::CanvasRect{0, 0, size.width, size.height});
      });
}

void StatusBarController::refresh() {
  if (!item_ || !item_->hasButton()) return;

  bool aside = s_.settings.tileHiddenBesideNotch() && s_.settings.notchEnabled() &&
               s_.notchLabelVisible && s_.notchLabelVisible();
  if (aside != besideNotch_) {
    besideNotch_ = aside;
    item_->setVisible(!aside);
    log(aside ? "menu bar tile steps aside for the notch label" : "menu bar tile is back");
    s_.center.post(kMenuBarTileChanged);
  }

  std::optional<Desktop> desktop = s_.engine.currentDesktop();
  if (!desktop) {
    item_->setTitle("Spaces");
    item_->setImage(nullptr);
    item_->setToolTip("");  // the last desktop's would no longer be true
    // What the button shows is no look at all, so the next desktop is drawn whatever it is.
    rendered_.reset();
    return;
  }
  MenuBarStyle style = s_.settings.menuBarStyle();
  if (compact_ && rendered_ && rendered_->style != style) compact_ = false;

  Look look;
  look.id = desktop->id();
  look.number = desktop->number;
  look.name = s_.presentation.title(*desktop);
  look.icon = s_.presentation.icon(*desktop).stored();
  look.color = s_.presentation.color(*desktop).stored();
  look.style = style;
  look.maxWidth = s_.settings.menuBarMaxWidth();
  look.compact = compact_;
  look.badge = waitingBadge();
  if (rendered_ == look) return;
  rendered_ = look;

  bool showIcon = style != MenuBarStyle::nameOnly || compact_;
  bool hideName = style == MenuBarStyle::iconOnly || compact_;
  bool numberOnly = style == MenuBarStyle::numberAndName;

  if (showIcon) {
    ImageRef image =
        Glyph::tileImage(s_.presentation, *desktop, kTileSize, kTileRadius, numberOnly);
    if (look.badge) image = Glyph::badgedImage(image, *look.badge);
    item_->setImage(lifted(image));
  } else {
    item_->setImage(nullptr);
  }

  std::string title = look.name;
  if (look.badge && !showIcon) title += " · " + *look.badge;
  if (hideName) {
    title.clear();
  } else if (showIcon) {
    title = " " + title;  // so the name stands clear of the tile
  }
  item_->setTitle(title);

  std::string tip = look.name + " · Desktop " + std::to_string(desktop->number);
  if (look.badge) tip += " · " + *look.badge + " waiting on another desktop";
  item_->setToolTip(tip);

  item_->setLength(platform::StatusItem::kVariableLength);
  if (!hideName && item_->naturalWidth() > look.maxWidth) item_->setLength(look.maxWidth);
}

void StatusBarController::screensChanged() {
  fitChecksArmed_ = false;
  compact_ = false;
  refresh();
  int generation = ++screensGeneration_;
  s_.platform.loop.after(kFitCheckDelay, lifetime_.guard([this, generation] {
    if (screensGeneration_ == generation) checkFit();
  }));
  s_.platform.loop.after(kRetryFullNameDelay, lifetime_.guard([this, generation] {
    if (screensGeneration_ != generation || !compact_) return;
    compact_ = false;
    log("menu bar: trying the full name again");
    refresh();
    s_.platform.loop.after(kConfirmDelay, lifetime_.guard([this] { checkFit(); }));
  }));
}

void StatusBarController::statusWindowMoved() {
  if (fitChecksArmed_) checkFit();
}

void StatusBarController::checkFit() {
  if (!item_ || !item_->hasButton() || !item_->windowFrame() || besideNotch_) return;
  fitChecksArmed_ = true;
  bool onScreen = isOnScreen();
  if (!onScreen && !compact_ && s_.settings.menuBarStyle() != MenuBarStyle::iconOnly) {
    if (confirming_) return;
    confirming_ = true;
    s_.platform.loop.after(kConfirmDelay, lifetime_.guard([this] { confirm(); }));
    return;
  }
  setTileHidden(!onScreen);
}

void StatusBarController::confirm() {
  confirming_ = false;
  if (isOnScreen() || compact_) return;
  compact_ = true;
  log("menu bar has no room for the name; showing the tile alone");
  refresh();
  s_.platform.loop.after(kConfirmDelay, lifetime_.guard([this] { checkFit(); }));
}

void StatusBarController::setTileHidden(bool hidden) {
  if (hidden == tileHidden_) return;
  tileHidden_ = hidden;
  log(hidden ? "menu bar has no room for the tile at all" : "menu bar shows the tile again");
  s_.center.post(kMenuBarTileChanged);
}

void StatusBarController::clicked(std::optional<platform::MouseEvent> current) {
  bool wantsMenu = current && (current->type == platform::MouseEvent::Type::rightMouseUp ||
                               (current->modifierFlags & platform::kEventFlagControl));
  if (!wantsMenu) {
    s_.commands.togglePopover();
    return;
  }
  platform::MenuHandlers handlers;
  handlers.onAction =
      lifetime_.guard([this](const platform::MenuItem& chosen) { menuAction(chosen); });
  handlers.onClose = lifetime_.guard([this] { menuDidClose(); });
  item_->setMenu(buildMenu(), std::move(handlers));
  item_->performClick();
}

void StatusBarController::showMenu(ScreenPoint origin) {
  platform::MenuHandlers handlers;
  handlers.onAction =
      lifetime_.guard([this](const platform::MenuItem& chosen) { menuAction(chosen); });
  s_.platform.statusBar.popUpMenu(buildMenu(), origin, std::move(handlers));
}

void StatusBarController::menuDidClose() {
  // Detached again, so the next left click reaches `clicked`.
  item_->setMenu(std::nullopt);
}

platform::Menu StatusBarController::buildMenu() const {
  platform::Menu menu;
  auto& items = menu.items;
  std::optional<Desktop> current = s_.engine.currentDesktop();
  auto tile = [this](const Desktop& d) {
    return Glyph::tileImage(s_.presentation, d, kMenuTileSize);
  };
  if (current) {
    platform::MenuItem header;
    header.title =
        s_.presentation.title(*current) + "  ·  Desktop " + std::to_string(current->number);
    header.enabled = false;
    header.image = tile(*current);
    items.push_back(header);
    items.push_back(separator());
  }
  for (const Desktop& d : s_.engine.desktops()) {
    platform::MenuItem item = action(s_.presentation.title(d), "switchTo:");
    item.image = tile(d);
    item.checked = current && current->id() == d.id();
    item.representedObject = d.id().raw();
    if (auto own = s_.presentation.storedMeta(d).hotkey) {
      applyShortcut(item, *own, s_.keyNames);
    } else if (s_.settings.showShortcutsInMenu()) {
      if (auto number = s_.presentation.shortcut(d)) applyShortcut(item, *number, s_.keyNames);
    }
    items.push_back(item);
  }
  items.push_back(separator());
  if (current) {
    items.push_back(
        action("Edit \u201C" + s_.presentation.title(*current) + "\u201D\u2026", "editCurrent"));
  }
  platform::MenuItem switcher = action("Quick Switcher", "showSwitcher");
  if (auto hotkey = s_.settings.switcherHotkey()) applyShortcut(switcher, *hotkey, s_.keyNames);
  items.push_back(switcher);
  items.push_back(action("Open Mission Control", "openMissionControl"));
  platform::MenuItem presenting = action("Presentation Mode", "togglePresentation");
  presenting.checked = s_.settings.presenting();
  if (auto hotkey = s_.settings.presentationHotkey()) {
    applyShortcut(presenting, *hotkey, s_.keyNames);
  }
  items.push_back(presenting);
  items.push_back(separator());
  platform::MenuItem settings = action("Settings\u2026", "openSettings");
  settings.keyEquivalent = ",";
  settings.modifiers.command = true;
  items.push_back(settings);
  platform::MenuItem quit = action("Quit Velmora", "quit");
  quit.keyEquivalent = "q";
  quit.modifiers.command = true;
  items.push_back(quit);
  return menu;
}

void StatusBarController::menuAction(const platform::MenuItem& item) {
  const std::string& selector = item.action;
  if (selector == "switchTo:") {
    if (!item.representedObject) return;
    if (auto desktop = s_.engine.desktopWithID(SpaceID(*item.representedObject))) {
      s_.engine.switchTo(*desktop, "menu");
    }
  } else if (selector == "editCurrent") {
    if (auto current = s_.engine.currentDesktop()) s_.commands.editDesktop(*current);
  } else if (selector == "showSwitcher") {
    s_.commands.toggleQuickSwitcher();
  } else if (selector == "openMissionControl") {
    s_.commands.openMissionControl();
  } else if (selector == "togglePresentation") {
    s_.commands.togglePresentation();
  } else if (selector == "openSettings") {
    s_.commands.openSettings();
  } else if (selector == "quit") {
    s_.commands.quit();
  }
}

std::string StatusBarController::presenceReport() const {
  if (!item_ || !item_->hasButton()) return "no window";
  auto frame = item_->windowFrame();
  if (!frame) return "no window";
  Value stored = s_.platform.preferences.value(platform::kAppDomain, kPositionKey);
  std::string storedText = "-";
  if (auto n = stored.asNumber()) {
    std::ostringstream out;
    out << *n;
    storedText = out.str();
  }
  auto flag = [](bool b) { return b ? "true" : "false"; };
  return "frame=" + rectText(*frame) + " onScreen=" + flag(isOnScreen()) +
         " visibleFlag=" + flag(item_->windowOcclusionVisible()) + " compact=" + flag(compact_) +
         " presence=" + tilePresenceName(presence()) + " stored=" + storedText;
}

}  // namespace velmora
