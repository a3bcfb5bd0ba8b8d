// The commands that reach what Velmora draws: the desktop editor, the menu bar tile and its
// menu, the open panel, the quick switcher, the pills over Mission Control, and screenshots
// of the virtual Mac.
#include <cstdio>
#include <map>

#include "app/main_menu.h"
#include "cli/session.h"
#include "cli/words.h"
#include "platform/sim/compositor.h"
#include "settings_ui/first_run_window.h"
#include "settings_ui/settings_window.h"
#include "surfaces/hover_strip.h"
#include "surfaces/menu_popover.h"
#include "surfaces/mission_control_overlay.h"
#include "surfaces/notch_label.h"
#include "surfaces/quick_switcher.h"

namespace velmora::cli {

namespace {

std::string twoPlaces(double value) {
  char text[16];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string rectText(const ScreenRect& r) {
  char text[96];
  std::snprintf(text, sizeof text, "%g,%g %gx%g", r.minX(), r.minY(), r.size.width, r.size.height);
  return text;
}

std::string pointText(ScreenPoint p) {
  char text[64];
  std::snprintf(text, sizeof text, "%g, %g", p.x, p.y);
  return text;
}

}  // namespace

Session::Status Session::editDesktop(std::string_view args) {
  auto [which, more] = splitWord(args);
  auto [field, text] = splitWord(more);
  auto desktop = desktopArg(which);
  if (!desktop) return fail(desktop.error());
  // Opened as the menu's "Edit …" item opens it, unless it already shows this desktop.
  EditSpaceView* editor = copy_->surfaces.desktopEditor();
  if (!editor || editor->desktop().id() != desktop->id()) {
    copy_->app->delegate().editDesktop(*desktop);
    settle();
    if (!copy_) return fail("Velmora ended while the editor opened");
    editor = copy_->surfaces.desktopEditor();
  }
  if (!editor) return fail("the desktop editor did not open");
  std::string what = lower(field);
  if (what.empty()) return Status::ok;
  if (what == "name") {
    editor->setName(unquoted(text));
  } else if (what == "icon" || what == "symbol") {
    std::string symbol = unquoted(text);
    editor->chooseIcon(symbol.empty() || symbol == "none" ? SpaceIcon::none()
                                                          : SpaceIcon::symbol(symbol));
  } else if (what == "emoji") {
    editor->typeEmoji(unquoted(text));
  } else if (what == "picture") {
    editor->choosePicture();
  } else if (what == "color" || what == "colour") {
    std::string c = lower(text);
    if (c == "transparent") {
      editor->chooseColor(TileColor::transparent());
    } else if (auto index = integer(c)) {
      editor->chooseColor(TileColor::palette(*index));
    } else if (c == "auto" || c == "automatic") {
      editor->chooseColor(TileColor::automatic());
    } else {
      return fail("a colour is a palette number, auto or transparent");
    }
  } else if (what == "shortcut") {
    std::optional<Hotkey> hotkey;
    if (lower(text) != "none") {
      auto combo = parseCombo(text);
      if (!combo) return fail(combo.error());
      hotkey = Hotkey{combo->first, platform::carbonModifiers(combo->second)};
    }
    editor->setHotkey(hotkey);
  } else if (what == "reset") {
    editor->reset();
  } else if (what == "done") {
    editor->done();
  } else {
    return fail("edit changes name, icon, emoji, picture, color, shortcut, reset or done");
  }
  return Status::ok;
}

Session::Status Session::chooseFile(std::string_view path) {
  if (path.empty()) return fail("choose file takes a path: choose file ~/Pictures/sea.png");
  mac_.openPanel().answer(std::filesystem::path(unquoted(path)));
  return Status::ok;
}

Session::Status Session::click(std::string_view how) {
  std::string button = lower(how);
  auto type = platform::MouseEvent::Type::leftMouseUp;
  std::uint64_t flags = 0;
  if (button == "right") {
    type = platform::MouseEvent::Type::rightMouseUp;
  } else if (button == "control" || button == "ctrl") {
    flags = platform::kEventFlagControl;
  } else if (!button.empty()) {
    return fail("a click on the tile is plain, right or control");
  }
  if (!mac_.menuBar().click(type, flags)) {
    return fail("the menu bar tile is not in the menu bar to click");
  }
  return Status::ok;
}

Result<ScreenPoint> Session::screenPointArg(std::string_view args, bool onPanel) {
  if (!onPanel) {
    auto [x, rest] = splitWord(args);
    auto [y, extra] = splitWord(rest);
    auto px = number(x), py = number(y);
    if (!px || !py || !trim(extra).empty()) {
      return Failure{"expected two numbers, x and y in screen points (y up): 640 400"};
    }
    return ScreenPoint{*px, *py};
  }
  // The whole text names the panel unless it ends in a row number.
  std::string name = unquoted(args);
  std::optional<std::int64_t> row;
  const sim::VirtualPanel* panel = mac_.panels().named(name);
  if (!panel) {
    std::string_view text = trim(args);
    std::size_t space = text.find_last_of(' ');
    if (space != std::string_view::npos && integer(text.substr(space + 1))) {
      row = integer(text.substr(space + 1));
      name = unquoted(text.substr(0, space));
      panel = mac_.panels().named(name);
    }
  }
  if (name.empty()) return Failure{"expected a panel's name (print panels lists them)"};
  if (!panel) return Failure{"there is no panel \"" + name + "\" (print panels lists them)"};
  if (!panel->isVisible()) return Failure{"the panel \"" + name + "\" is not on screen"};
  ScreenRect frame = panel->frame();
  if (!row) return ScreenPoint{frame.midX(), frame.midY()};
  // Cards of the hover strip, counted from 1 as `print hover strip` shows them.
  if (HoverStrip* strip = copy_ ? copy_->surfaces.hoverStrip() : nullptr;
      strip && strip->panel() && name == HoverPanel::kName) {
    const auto& items = strip->panel()->view().items();
    if (*row < 1 || *row > static_cast<std::int64_t>(items.size())) {
      return Failure{"the hover strip shows no card " + std::to_string(*row)};
    }
    const platform::CanvasRect& c = items[static_cast<std::size_t>(*row - 1)].card;
    return ScreenPoint{frame.minX() + c.x + c.width / 2, frame.maxY() - (c.y + c.height / 2)};
  }
  // Rows are the quick switcher's, counted from 1 as `print switcher` shows them.
  QuickSwitcher* switcher = copy_ ? copy_->surfaces.quickSwitcher() : nullptr;
  if (!switcher || name != QuickSwitcher::kPanelName) {
    return Failure{"the panel \"" + name + "\" has no rows to point at"};
  }
  std::optional<platform::CanvasRect> r;
  if (*row >= 1) r = switcher->list().rowFrame(static_cast<std::size_t>(*row - 1));
  if (!r) return Failure{"the quick switcher shows no row " + std::to_string(*row)};
  return ScreenPoint{frame.minX() + r->x + r->width / 2, frame.maxY() - (r->y + r->height / 2)};
}

Session::Status Session::clickAt(std::string_view args, bool onPanel) {
  // A trailing "right" is the secondary button.
  std::string_view text = trim(args);
  bool right = text.size() > 6 && text.substr(text.size() - 6) == " right";
  if (right) text = trim(text.substr(0, text.size() - 6));
  auto point = screenPointArg(text, onPanel);
  if (!point) return fail("click: " + point.error());
  if (right) {
    mac_.rightClick(*point);
  } else {
    mac_.click(*point);
  }
  return Status::ok;
}

Session::Status Session::scrollAt(std::string_view args, bool onPanel) {
  std::string_view text = trim(args);
  std::size_t by = text.rfind(" by ");
  std::optional<double> delta;
  if (by != std::string_view::npos) delta = number(trim(text.substr(by + 4)));
  if (!delta)
    return fail("scroll takes an amount: scroll … by -120 (points, negative scrolls down)");
  auto point = screenPointArg(trim(text.substr(0, by)), onPanel);
  if (!point) return fail("scroll: " + point.error());
  mac_.scrollWheel(*point, *delta);
  return Status::ok;
}

Session::Status Session::swipe(std::string_view direction) {
  using D = sim::VirtualMac::Direction;
  std::string word = lower(direction);
  std::optional<D> d = word == "up"      ? std::optional(D::up)
                       : word == "down"  ? std::optional(D::down)
                       : word == "left"  ? std::optional(D::left)
                       : word == "right" ? std::optional(D::right)
                                         : std::nullopt;
  if (!d) return fail("swipe takes a direction: swipe up, down, left or right");
  mac_.swipe(*d);
  return Status::ok;
}

// Accessibility coordinates (y down from the main display's top), as the tree answers them.
Session::Status Session::printMissionControlMachine() {
  sim::VirtualMissionControl& mc = mac_.missionControl();
  const sim::SimApp* host = mac_.application(mc.hostPID());
  std::string hostName = host && host->name ? *host->name : "pid " + std::to_string(mc.hostPID());
  if (!mc.isOpen()) {
    print("mission control closed (host " + hostName + ")");
    return Status::ok;
  }
  print("mission control open (host " + hostName + ", layer " + std::to_string(mc.layer()) +
        (mc.moving() ? ", moving" : "") + ")");
  auto text = [](const AXRect& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.1f,%.1f %.1fx%.1f", r.minX(), r.minY(), r.size.width,
                  r.size.height);
    return std::string(buf);
  };
  for (const auto& bar : mc.bars()) {
    print("display " + std::to_string(bar.displayNumber) + " " +
          (bar.expansion >= 1  ? "expanded"
           : bar.expansion > 0 ? "expanding"
                               : "collapsed") +
          " bar " + text(bar.frame));
    for (const auto& item : bar.items) {
      print("  " + item.title + (item.desktop ? "" : " (full screen)") + " at " +
            text(item.reported));
    }
  }
  return Status::ok;
}

Session::Status Session::pointAt(std::string_view args, bool onPanel) {
  auto point = screenPointArg(args, onPanel);
  if (!point) return fail("pointer: " + point.error());
  mac_.movePointer(*point);
  emit("pointer at " + pointText(*point));
  return Status::ok;
}

Session::Status Session::type(std::string_view text) {
  std::string typed = unquoted(text);
  if (typed.empty()) return fail("type takes the text to type: type mail");
  if (!mac_.keyboard().focusedField()) {
    return fail("no text field is focused in a key panel to type into");
  }
  mac_.keyboard().userType(typed);
  return Status::ok;
}

Session::Status Session::menuChoose(std::string_view title) {
  std::string item = unquoted(title);
  if (!mac_.menuBar().choose(item)) {
    return fail(mac_.menuBar().openMenu() ? "the open menu has no item \"" + item + "\""
                                          : "no menu is open");
  }
  return Status::ok;
}

Session::Status Session::screenshot(std::string_view args) {
  auto [file, more] = splitWord(args);
  if (file.empty()) {
    return fail(
        "screenshot takes a file: screenshot shot.png [tile|menu bar|menu|switch tag|"
        "toast|editor|settings|first run|switcher|hover strip|popover|mission control|notch] "
        "[on DISPLAY]");
  }
  std::string rest(more);
  std::string display = mac_.displays().empty() ? "" : mac_.displays().front().uuid;
  if (auto on = rest.find(" on "); on != std::string::npos || rest.rfind("on ", 0) == 0) {
    std::size_t at = on == std::string::npos ? 0 : on + 1;
    display = std::string(trim(std::string_view(rest).substr(at + 3)));
    rest = rest.substr(0, at);
  }
  const sim::SimDisplay* shown = mac_.display(display);
  if (!shown) return fail("there is no display \"" + display + "\"");
  std::string what = lower(trim(rest));
  sim::Compositor compositor(mac_);
  const double width = shown->frame.size.width;
  auto localOf = [shown](const ScreenRect& r) {
    return platform::CanvasRect{r.minX() - shown->frame.minX(), shown->frame.maxY() - r.maxY(),
                                r.size.width, r.size.height};
  };
  auto panelNamed = [this](const std::string& name) -> const sim::VirtualPanel* {
    for (const sim::VirtualPanel* p : mac_.panels().onScreen()) {
      if (p->config().name == name) return p;
    }
    return nullptr;
  };
  std::optional<platform::CanvasRect> region;
  if (what == "menu bar") {
    region = platform::CanvasRect{0, 0, width, shown->menuBarHeight};
  } else if (what == "mission control") {
    // The desktop bar across the top, where the names go.
    if (!mac_.missionControlOpen()) return fail("Mission Control is not open");
    region = platform::CanvasRect{0, 0, width, std::min(shown->frame.size.height, 200.0)};
  } else if (what == "tile") {
    const sim::VirtualStatusItem* item = mac_.menuBar().item();
    auto frame = item ? item->windowFrame() : std::nullopt;
    if (!frame || !item->hasRoom()) return fail("the menu bar tile is not in the menu bar");
    platform::CanvasRect r = localOf(*frame);
    double left = std::max(0.0, r.x - 90), right = std::min(width, r.x + r.width + 90);
    region = platform::CanvasRect{left, 0, right - left, shown->menuBarHeight};
  } else if (what == "notch") {
    // The housing with 300 points of menu bar either side: room for a label on each. A
    // display without one shows where the preview puts its stand-in.
    double housing = shown->notch ? shown->notch->width : NotchLabel::kStandInNotchWidth;
    double mid = width / 2, half = housing / 2 + 300;
    double left = std::max(0.0, mid - half), right = std::min(width, mid + half);
    region = platform::CanvasRect{left, 0, right - left, shown->menuBarHeight};
  } else if (what == "menu") {
    auto menu = compositor.menuFrame(display);
    if (!menu) return fail("no menu is open on that display");
    double left = std::max(0.0, menu->x - 30), right = std::min(width, menu->x + menu->width + 30);
    region = platform::CanvasRect{left, 0, right - left, menu->y + menu->height + 30};
  } else if (what == "switch tag" || what == "toast" || what == "editor" || what == "switcher" ||
             what == "hover strip" || what == "popover" || what == "settings" ||
             what == "first run") {
    const sim::VirtualPanel* panel =
        what == "toast"         ? panelNamed("switch tag: toast")
        : what == "popover"     ? panelNamed(MenuPopover::kName)
        : what == "hover strip" ? panelNamed(HoverPanel::kName)
        : what == "editor" || what == "settings"
            ? panelNamed(std::string(SettingsWindowController::kPanelName))
        : what == "first run" ? panelNamed(std::string(FirstRunWindowController::kPanelName))
        : what == "switcher"  ? panelNamed(QuickSwitcher::kPanelName)
                              : panelNamed("switch tag: " + display);
    if (!panel) return fail("no " + what + " is on screen");
    platform::CanvasRect r = localOf(panel->frame());
    // The windows and cards are shown with room for their shadows.
    double margin = what == "switch tag" || what == "toast" ? 0 : 30;
    region = platform::CanvasRect{r.x - margin, r.y - margin, r.width + 2 * margin,
                                  r.height + 2 * margin};
  } else if (!what.empty() && what != "screen") {
    return fail(
        "screenshot shows the screen, tile, menu bar, menu, switch tag, toast, editor, settings, "
        "first run, switcher, hover strip, popover, mission control or notch");
  }
  if (auto shot = compositor.screenshot(display, std::filesystem::path(unquoted(file)), region);
      !shot) {
    return fail(shot.error());
  }
  print("screenshot " + std::string(unquoted(file)) + (what.empty() ? "" : " (" + what + ")"));
  return Status::ok;
}

Session::Status Session::printMenuBar() {
  for (const auto& display : mac_.displays()) {
    for (const sim::MenuBarEntry& e : mac_.menuBar().entries(display.uuid)) {
      static const char* kinds[] = {"apple", "app", "menu", "item", "velmora", "system", "notch"};
      std::string label = e.title.empty() ? e.symbol : e.title;
      print(display.uuid + " " + kinds[static_cast<int>(e.kind)] +
            (label.empty() ? "" : " \"" + label + "\"") +
            (e.hidden ? " (no room)" : " at " + rectText(e.frame)));
    }
  }
  return Status::ok;
}

Session::Status Session::printMenu() {
  const auto& open = mac_.menuBar().openMenu();
  if (!open) {
    print("(no menu open)");
    return Status::ok;
  }
  for (const platform::MenuItem& item : open->menu.items) {
    if (item.separator) {
      print("---");
      continue;
    }
    std::string key = platform::keyEquivalentText(item);
    if (!key.empty()) key = "  " + key;
    print(std::string(item.checked ? "✓ " : "  ") + item.title + key +
          (item.enabled ? "" : " (disabled)"));
  }
  return Status::ok;
}

// A panel that fades says so: its alpha of the moment, the alpha it goes to and when the fade
// ends, in the run's seconds.
Session::Status Session::printPanels() {
  for (const sim::VirtualPanel* p : mac_.panels().onScreen()) {
    std::string line = p->config().name + " at " + rectText(p->frame()) + " level " +
                       std::to_string(p->config().level) + " alpha " + twoPlaces(p->alpha());
    if (auto fade = p->alphaAnimation()) {
      char until[32];
      std::snprintf(until, sizeof until, "%.3f", fade->start + fade->duration - startedAt_);
      line += ", fading to " + twoPlaces(fade->to) + " until " + until;
    }
    if (p->isKey()) line += ", key";
    if (std::string tip = p->toolTip(); !tip.empty()) line += ", tooltip \"" + tip + "\"";
    print(line);
    for (const sim::VirtualTextField* field : p->textFields()) {
      const platform::CanvasRect& f = field->frame();
      char frame[96];
      std::snprintf(frame, sizeof frame, "%g,%g %gx%g", f.x, f.y, f.width, f.height);
      print("  text field at " + std::string(frame) + ": \"" + field->text() + "\"" +
            (field->isFocused() ? ", focused" : ""));
    }
  }
  if (mac_.panels().onScreen().empty()) print("(no panels on screen)");
  return Status::ok;
}

Session::Status Session::printEditor() {
  EditSpaceView* editor = copy_->surfaces.desktopEditor();
  if (!editor) {
    print("(the desktop editor is closed)");
    return Status::ok;
  }
  const TileColor& color = editor->color();
  std::string colour = color == TileColor::automatic()     ? "auto"
                       : color == TileColor::transparent() ? "transparent"
                                                           : std::to_string(color.index());
  KeyNames names(mac_.platform().keyboardLayout);
  print(editor->header() + ": name \"" + editor->name() + "\", icon " +
        (editor->icon().isNone() ? std::string("none") : editor->icon().stored()) + ", colour " +
        colour + ", shortcut " +
        (editor->hotkey() ? names.display(*editor->hotkey()) : std::string("none")));
  return Status::ok;
}

// "first-run window: shown, key", then its status line and buttons as it shows them.
Session::Status Session::printFirstRun() {
  FirstRunWindowController* window = copy_->surfaces.firstRunWindow();
  if (!window || !window->isShowing()) {
    print("(the first-run window is closed)");
    return Status::ok;
  }
  using Button = FirstRunWindowController::Button;
  const bool allows = window->buttonFrame(Button::allow).has_value();
  print(std::string("first-run window: shown") + (window->panel()->isKey() ? ", key" : ""));
  print("  status: " + window->statusText());
  print("  buttons: " + (allows ? std::string(FirstRunWindowController::kNotNowTitle) + ", " +
                                      std::string(FirstRunWindowController::kAllowTitle)
                                : std::string(FirstRunWindowController::kDoneTitle)));
  return Status::ok;
}

// Clicks the middle of a button where the window draws it, as the user would.
Session::Status Session::clickFirstRun(std::string_view which) {
  using Button = FirstRunWindowController::Button;
  const std::string word = lower(trim(which));
  if (word != "allow" && word != "dismiss") {
    return fail("click first run takes allow or dismiss");
  }
  FirstRunWindowController* window = copy_->surfaces.firstRunWindow();
  if (!window || !window->isShowing()) return fail("the first-run window is not open");
  std::optional<ScreenRect> frame =
      window->buttonFrame(word == "allow" ? Button::allow : Button::dismiss);
  if (!frame) return fail("Accessibility is already on: the window shows only Done");
  mac_.click({frame->midX(), frame->midY()});
  return Status::ok;
}

// A click where the window draws a control, a page of its sidebar or a part of the open
// editor (its name or emoji field, back, reset, done), so the window's own hit tests decide.
Session::Status Session::clickSettings(std::string_view what) {
  SettingsWindowController* window = copy_->surfaces.settingsWindow();
  if (!window || !window->isOpen()) return fail("the settings window is not open");
  const std::string id(trim(what));
  std::optional<ScreenRect> frame;
  using Part = SettingsView::EditorPart;
  static const std::map<std::string, Part, std::less<>> kEditorParts{{"back", Part::back},
                                                                     {"reset", Part::reset},
                                                                     {"done", Part::done},
                                                                     {"name", Part::name},
                                                                     {"emoji", Part::emoji}};
  if (auto part = kEditorParts.find(id);
      part != kEditorParts.end() && copy_->surfaces.desktopEditor()) {
    frame = window->editorFrame(part->second);
  } else if (std::optional<SettingsPage> page = settingsPageWithID(id)) {
    frame = window->pageFrame(*page);
  } else {
    frame = window->controlFrame(id);
  }
  if (!frame)
    return fail("the settings window shows no \"" + id + "\" (print settings lists the ids)");
  mac_.click({frame->midX(), frame->midY()});
  return Status::ok;
}

// The rows as the switcher holds them, best first: "› row 1: Desktop 2 — desktop 2, score 25,
// Opens Mail", the arrow on the highlighted row.
Session::Status Session::printSwitcher() {
  QuickSwitcher* switcher = copy_->surfaces.quickSwitcher();
  if (!switcher) {
    print("(no quick switcher)");
    return Status::ok;
  }
  const SwitcherModel& model = switcher->model();
  print(std::string("quick switcher: ") + (switcher->isVisible() ? "shown" : "hidden") +
        (model.query().empty() ? ", no query" : ", query \"" + model.query() + "\""));
  const DesktopPresentation& presentation = copy_->app->presentation();
  for (std::size_t row = 0; row < model.rows().size(); ++row) {
    const Desktop& d = model.rows()[row];
    std::string line = std::string(row == model.selection() ? "› " : "  ") + "row " +
                       std::to_string(row + 1) + ": " + presentation.title(d) + " — desktop " +
                       std::to_string(d.number);
    if (auto score = model.scoreOf(row)) line += ", score " + std::to_string(*score);
    if (auto app = model.openingApp(d)) line += ", Opens " + app->name;
    if (model.currentID() == d.id()) line += ", Current";
    if (model.lastID() == d.id()) line += ", Last";
    print(line);
  }
  if (model.rows().empty()) print("  No matching space");
  return Status::ok;
}

Session::Status Session::printNotch() {
  NotchLabel* label = copy_->surfaces.notchLabel();
  if (!label) {
    print("(no notch label)");
    return Status::ok;
  }
  std::string state = label->started() ? "on" : "off";
  if (label->standingIn()) state += ", standing in for the tile";
  if (label->ghosted()) state += ", ghosted for a swipe";
  print("notch label: " + state);
  for (const std::string& line : label->report()) print("  " + line);
  for (const auto& [display, p] : label->panels()) {
    ScreenRect f = p.panel->frame();
    std::string line = "display " + display + ": " + (p.panel->isVisible() ? "shown" : "hidden") +
                       " at " + twoPlaces(f.minX()) + "," + twoPlaces(f.minY()) + " " +
                       twoPlaces(f.size.width) + "x" + twoPlaces(f.size.height) + " alpha " +
                       twoPlaces(p.panel->alpha());
    if (std::string tip = p.panel->toolTip(); !tip.empty()) line += " tooltip \"" + tip + "\"";
    print(line);
  }
  return Status::ok;
}

Session::Status Session::printMissionControl() {
  MissionControlOverlay* overlay = copy_->surfaces.missionControlOverlay();
  if (!overlay) {
    print("(no Mission Control overlay)");
    return Status::ok;
  }
  const MissionControlDetector& detector = overlay->detector();
  std::string state = detector.isOpen() ? "open" : "closed";
  state += " (noticed by " + detector.lastTrigger() + "), " + std::to_string(overlay->passes()) +
           " passes";
  if (overlay->passInterval() > 0) state += " every " + twoPlaces(overlay->passInterval()) + " s";
  if (overlay->isSuppressed()) state += ", stepped aside";
  if (overlay->isPressing()) state += ", pressing";
  print("mission control: " + state);

  const DesktopPresentation& presentation = copy_->app->presentation();
  for (const auto& [display, pills] : overlay->pills()) {
    print("display " + display + ":");
    for (const Pill& pill : pills) {
      char width[32];
      std::snprintf(width, sizeof width, "%g", pill.labelWidth);
      print("  " + presentation.title(pill.desktop) + " (desktop " +
            std::to_string(pill.desktop.number) + ") at " + rectText(pill.anchor) + ", bar " +
            rectText(pill.bar) + ", label " + width);
    }
  }
  if (overlay->pills().empty()) print("no pills");

  auto printIndented = [this](const std::string& title, const std::string& text) {
    print(title);
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      print("  " + text.substr(at, end - at));
      at = end + 1;
    }
  };
  if (!overlay->lastReport().empty()) printIndented("last pass:", overlay->lastReport());
  std::string layout;
  for (const std::string& change : overlay->changes()) layout += " " + change;
  print("layout:" + (layout.empty() ? std::string(" none") : layout));
  if (!detector.isOpen() && !overlay->lastCloseReport().empty()) {
    printIndented("last closing:", overlay->lastCloseReport());
  }
  return Status::ok;
}

}  // namespace velmora::cli
