#include "settings_ui/settings_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "drawing/glyph.h"

namespace velmora {
namespace {

using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

struct PageInfo {
  SettingsPage page;
  std::string_view title;
  std::string_view symbol;
};

// Sidebar order, titles and symbols.
constexpr std::array<PageInfo, 8> kPages{{
    {SettingsPage::spaces, "Desktops", "square.grid.2x2"},
    {SettingsPage::missionControl, "Mission Control", "rectangle.3.group"},
    {SettingsPage::switchTag, "Switch Tag", "capsule"},
    {SettingsPage::spaceHover, "Hover Strip", "rectangle.topthird.inset.filled"},
    {SettingsPage::shortcuts, "Shortcuts", "keyboard"},
    {SettingsPage::timeTracking, "Time", "clock"},
    {SettingsPage::general, "General", "gearshape"},
    {SettingsPage::about, "About", "info.circle"},
}};

constexpr std::string_view kDesktopPrefix = "desktop.";
constexpr std::string_view kOnSymbol = "checkmark.circle.fill";
constexpr std::string_view kOffSymbol = "exclamationmark.triangle.fill";

std::string format(const char* pattern, double value) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// "0.45 s", "1.2 s", "2.0 s": as many places as the value needs, at least one.
std::string secondsText(double value) {
  std::string text = format("%.2f", value);
  if (text.size() > 3 && text.back() == '0') text.pop_back();
  return text + " s";
}

std::string pointsText(double value) {
  return format("%.0f", value == 0 ? 0.0 : value) + " pt";
}

// A slider moves in whole steps from its minimum and never leaves its range.
double snapped(double value, double minimum, double maximum, double step) {
  if (!std::isfinite(value)) return minimum;
  value = std::clamp(value, minimum, maximum);
  if (step > 0) value = minimum + std::round((value - minimum) / step) * step;
  // Steps of 0.05 add up to 0.30000000000000004; what is stored is what is shown.
  value = std::round(value * 1e6) / 1e6;
  return std::clamp(value, minimum, maximum);
}

const Color kCard = Color::gray(0.13, 0.92);
const Color kInk = Color::white(0.95);
const Color kInkSecondary = Color::white(0.6);

}  // namespace

SettingsModel::SettingsModel(SettingsServices services) : s_(std::move(services)) {
  defineOptions();
  defineButtons();
  defineRecorders();
  connections_.push_back(s_.settings.willChange().connect([this] { changedSoon(); }));
  connections_.push_back(s_.engine.changed().connect([this] { changedNow(); }));
  for (Signal* signal : s_.hooks.alsoChanged) {
    if (signal) connections_.push_back(signal->connect([this] { changedSoon(); }));
  }
}

SettingsModel::~SettingsModel() = default;

// ---- Pages ----

std::string_view SettingsModel::title(SettingsPage page) {
  for (const PageInfo& info : kPages) {
    if (info.page == page) return info.title;
  }
  return {};
}

std::string_view SettingsModel::symbol(SettingsPage page) {
  for (const PageInfo& info : kPages) {
    if (info.page == page) return info.symbol;
  }
  return {};
}

std::vector<SettingsPageEntry> SettingsModel::pages() const {
  std::vector<SettingsPageEntry> out;
  for (const PageInfo& info : kPages) out.push_back({info.page, info.title, info.symbol});
  return out;
}

void SettingsModel::showPage(SettingsPage page) {
  if (page == page_) return;
  page_ = page;
  // Leaving the desktops page ends the editing there: each change is saved already.
  if (page_ != SettingsPage::spaces) closeEditor();
  changedNow();
}

SettingsPageContent SettingsModel::content() const {
  SettingsPageContent content;
  content.page = page_;
  content.title = std::string(title(page_));
  content.symbol = std::string(symbol(page_));
  switch (page_) {
    case SettingsPage::spaces:
      spacesPage(content);
      break;
    case SettingsPage::missionControl:
      missionControlPage(content);
      break;
    case SettingsPage::switchTag:
      switchTagPage(content);
      break;
    case SettingsPage::spaceHover:
      spaceHoverPage(content);
      break;
    case SettingsPage::shortcuts:
      shortcutsPage(content);
      break;
    case SettingsPage::timeTracking:
      timePage(content);
      break;
    case SettingsPage::general:
      generalPage(content);
      break;
    case SettingsPage::about:
      aboutPage(content);
      break;
  }
  if (statusPage_ == page_) content.status = status_;
  return content;
}

std::optional<ControlKind> SettingsModel::kindOf(std::string_view id) const {
  for (const SettingsSection& section : content().sections) {
    for (const SettingsControl& control : section.controls) {
      if (control.id == id) return control.kind;
    }
  }
  return std::nullopt;
}

// ---- The options ----

void SettingsModel::boolOption(std::string_view id, bool (Settings::*get)() const,
                               void (Settings::*set)(bool)) {
  Option o;
  o.kind = ControlKind::toggle;
  o.on = [this, get] { return (s_.settings.*get)(); };
  o.setOn = [this, set](bool on) { (s_.settings.*set)(on); };
  options_.emplace(std::string(id), std::move(o));
}

template <OptionEnumeration E, std::size_t N>
void SettingsModel::pickerOption(std::string_view id, const std::array<Choice<E>, N>& choices,
                                 E (Settings::*get)() const, void (Settings::*set)(E),
                                 ControlKind kind) {
  Option o;
  o.kind = kind;
  for (const Choice<E>& c : choices) o.choices.emplace_back(c.label);
  o.selected = [this, get, &choices] {
    E value = (s_.settings.*get)();
    for (std::size_t i = 0; i < N; ++i) {
      if (choices[i].value == value) return static_cast<int>(i);
    }
    return -1;
  };
  o.select = [this, set, &choices](int index) { (s_.settings.*set)(choices[index].value); };
  options_.emplace(std::string(id), std::move(o));
}

void SettingsModel::sliderOption(std::string_view id, double (Settings::*get)() const,
                                 void (Settings::*set)(double), double minimum, double maximum,
                                 double step, std::function<std::string(double)> text) {
  Option o;
  o.kind = ControlKind::slider;
  o.number = [this, get] { return (s_.settings.*get)(); };
  o.setValue = [this, set](double v) { (s_.settings.*set)(v); };
  o.minimum = minimum;
  o.maximum = maximum;
  o.step = step;
  o.text = std::move(text);
  options_.emplace(std::string(id), std::move(o));
}

void SettingsModel::defineOptions() {
  using S = Settings;
  constexpr auto picker = ControlKind::picker;
  constexpr auto segmented = ControlKind::segmented;
  // Desktops page: the menu bar tile and the notch label.
  pickerOption("menuBarStyle", allChoices<MenuBarStyle>(), &S::menuBarStyle, &S::setMenuBarStyle,
               picker);
  sliderOption("menuBarMaxWidth", &S::menuBarMaxWidth, &S::setMenuBarMaxWidth, 80, 400, 10,
               pointsText);
  boolOption("showShortcutsInMenu", &S::showShortcutsInMenu, &S::setShowShortcutsInMenu);
  boolOption("badgesEnabled", &S::badgesEnabled, &S::setBadgesEnabled);
  boolOption("notchEnabled", &S::notchEnabled, &S::setNotchEnabled);
  pickerOption("notchSide", choices::notchSide, &S::notchSide, &S::setNotchSide, segmented);
  pickerOption("notchContent", allChoices<NotchContent>(), &S::notchContent, &S::setNotchContent,
               picker);
  boolOption("tileHiddenBesideNotch", &S::tileHiddenBesideNotch, &S::setTileHiddenBesideNotch);
  boolOption("notchStandsInForTile", &S::notchStandsIn, &S::setNotchStandsIn);
  // Mission Control.
  boolOption("mcLabelsEnabled", &S::mcLabelsEnabled, &S::setMcLabelsEnabled);
  boolOption("mcShowUnnamed", &S::mcShowUnnamed, &S::setMcShowUnnamed);
  boolOption("mcShowNumber", &S::mcShowNumber, &S::setMcShowNumber);
  pickerOption("mcPlacement", allChoices<PillPlacement>(), &S::mcPlacement, &S::setMcPlacement,
               segmented);
  sliderOption("mcScale", &S::mcScale, &S::setMcScale, 0.6, 1.6, 0.05,
               [](double v) { return "×" + format("%.2f", v); });
  sliderOption("mcOffsetY", &S::mcOffsetY, &S::setMcOffsetY, -40, 40, 1, pointsText);
  // Switch tag.
  boolOption("hudEnabled", &S::hudEnabled, &S::setHudEnabled);
  pickerOption("hudPosition", allChoices<HUDPosition>(), &S::hudPosition, &S::setHudPosition,
               segmented);
  pickerOption("hudSize", allChoices<HUDSize>(), &S::hudSize, &S::setHudSize, segmented);
  sliderOption("hudDuration", &S::hudDuration, &S::setHudDuration, 0.5, 4, 0.1, secondsText);
  boolOption("hudShowNumber", &S::hudShowNumber, &S::setHudShowNumber);
  // Hover strip.
  boolOption("hoverEnabled", &S::hoverEnabled, &S::setHoverEnabled);
  pickerOption("hoverZone", allChoices<HoverZone>(), &S::hoverZone, &S::setHoverZone, segmented);
  sliderOption("hoverDelay", &S::hoverDelay, &S::setHoverDelay, 0, 2, 0.05, secondsText);
  // Shortcuts.
  boolOption("directJumpEnabled", &S::directJumpEnabled, &S::setDirectJumpEnabled);
  {
    Option o;
    o.kind = picker;
    for (const auto& c : choices::directJumpModifiers) o.choices.emplace_back(c.label);
    o.selected = [this] {
      std::uint32_t mask = s_.settings.directJumpModifiers();
      for (std::size_t i = 0; i < choices::directJumpModifiers.size(); ++i) {
        if (choices::directJumpModifiers[i].value == mask) return static_cast<int>(i);
      }
      return -1;
    };
    o.select = [this](int i) {
      s_.settings.setDirectJumpModifiers(choices::directJumpModifiers[i].value);
    };
    options_.emplace("directJumpModifiers", std::move(o));
  }
  boolOption("moveWindowEnabled", &S::moveWindowEnabled, &S::setMoveWindowEnabled);
  boolOption("moveFollow", &S::moveFollow, &S::setMoveFollow);
  boolOption("nativeSwitching", &S::nativeSwitching, &S::setNativeSwitching);
  // Time.
  boolOption("trackTime", &S::trackTime, &S::setTrackTime);
  {
    Option o;
    o.kind = picker;
    for (const auto& c : choices::idleMinutes) o.choices.emplace_back(c.label);
    o.selected = [this] {
      std::int64_t minutes = s_.settings.idleMinutes();
      for (std::size_t i = 0; i < choices::idleMinutes.size(); ++i) {
        if (choices::idleMinutes[i].value == minutes) return static_cast<int>(i);
      }
      return -1;
    };
    o.select = [this](int i) { s_.settings.setIdleMinutes(choices::idleMinutes[i].value); };
    options_.emplace("idleMinutes", std::move(o));
  }
  // General.
  boolOption("presenting", &S::presenting, &S::setPresenting);
  boolOption("updateCheckEnabled", &S::updateCheckEnabled, &S::setUpdateCheckEnabled);
  // Launch at login is the system's, not a defaults key; a refusal is the page's status.
  if (s_.hooks.launchAtLogin && s_.hooks.setLaunchAtLogin) {
    Option o;
    o.kind = ControlKind::toggle;
    o.on = [this] { return s_.hooks.launchAtLogin(); };
    o.setOn = [this](bool on) {
      Result<void> done = s_.hooks.setLaunchAtLogin(on);
      if (!done) fail(done.error());
    };
    options_.emplace("launchAtLogin", std::move(o));
  }
}

void SettingsModel::defineButtons() {
  const SettingsHooks& h = s_.hooks;
  auto call = [](const std::function<void()>& fn) {
    return [fn] {
      if (fn) fn();
    };
  };
  buttons_.emplace("openAccessibilitySettings", call(h.openAccessibilitySettings));
  buttons_.emplace("openMissionControl", call(h.openMissionControl));
  buttons_.emplace("previewSwitchTag", call(h.previewSwitchTag));
  buttons_.emplace("showHoverStrip", call(h.showHoverStrip));
  buttons_.emplace("enableDesktopShortcuts", [this] { enableDesktopShortcuts(); });
  buttons_.emplace("exportCSV", call(h.exportTimeCSV));
  buttons_.emplace("resetTimes", [this] { resetTimes(); });
  buttons_.emplace("copyDiagnostics", [this] { copyDiagnostics(); });
  buttons_.emplace("revealLog", [this] {
    if (s_.hooks.logPath) s_.platform.workspace.activateFileViewerSelecting({s_.hooks.logPath()});
  });
  buttons_.emplace("checkForUpdates", call(h.updates.check));
  buttons_.emplace("downloadUpdate", call(h.updates.download));
  buttons_.emplace("installUpdate", call(h.updates.install));
  buttons_.emplace("skipUpdate", call(h.updates.skip));
  buttons_.emplace("whatsNew", call(h.updates.showWhatsNew));
  buttons_.emplace("website",
                   [this] { (void)s_.platform.launchServices.openURL(std::string(kMakerSite)); });
}

void SettingsModel::defineRecorders() {
  using S = Settings;
  auto add = [this](std::string_view key, std::string_view label,
                    std::optional<Hotkey> (S::*get)() const,
                    void (S::*set)(std::optional<Hotkey>)) {
    Recorder r{key,
               label,
               [this, get] { return (s_.settings.*get)(); },
               [this, set](std::optional<Hotkey> h) { (s_.settings.*set)(h); },
               nullptr,
               {}};
    recorders_.push_back(std::move(r));
  };
  add("switcherHotkey", "Quick switcher", &S::switcherHotkey, &S::setSwitcherHotkey);
  add("jumpBackHotkey", "Jump back", &S::jumpBackHotkey, &S::setJumpBackHotkey);
  add("nextHotkey", "Next desktop", &S::nextHotkey, &S::setNextHotkey);
  add("prevHotkey", "Previous desktop", &S::prevHotkey, &S::setPrevHotkey);
  add("presentationHotkey", "Presentation mode", &S::presentationHotkey, &S::setPresentationHotkey);
  // One button per shortcut for the model's life, so a recording survives every rebuild.
  for (Recorder& r : recorders_) {
    r.button = std::make_unique<RecorderButton>(s_.platform.localEvents, s_.hotkeyCenter,
                                                s_.keyNames, r.read());
    r.button->setOnChange([this, write = r.write](const std::optional<Hotkey>& hotkey) {
      acting_ = true;
      write(hotkey);
      acting_ = false;
      changedNow();
    });
    r.changed = r.button->changed().connect([this] { changedNow(); });
  }
}

// ---- Controls ----

SettingsControl SettingsModel::optionControl(std::string_view id, std::string label,
                                             std::string help) const {
  SettingsControl c;
  c.id = std::string(id);
  c.label = std::move(label);
  c.help = std::move(help);
  auto found = options_.find(id);
  if (found == options_.end()) return c;
  const Option& o = found->second;
  c.kind = o.kind;
  switch (o.kind) {
    case ControlKind::toggle:
      c.on = o.on();
      break;
    case ControlKind::picker:
    case ControlKind::segmented:
      c.choices = o.choices;
      c.selected = o.selected();
      break;
    case ControlKind::slider:
      c.number = o.number();
      c.minimum = o.minimum;
      c.maximum = o.maximum;
      c.step = o.step;
      c.valueText = o.text(c.number);
      break;
    default:
      break;
  }
  return c;
}

SettingsControl SettingsModel::buttonControl(std::string_view id, std::string title) const {
  SettingsControl c;
  c.id = std::string(id);
  c.kind = ControlKind::button;
  c.title = std::move(title);
  return c;
}

SettingsControl SettingsModel::recorderControl(const Recorder& r) const {
  SettingsControl c;
  c.id = std::string(r.key);
  c.kind = ControlKind::recorder;
  c.label = std::string(r.label);
  c.title = r.button->title();
  c.on = r.button->recording();
  c.hasClear = r.button->hotkey().has_value();
  return c;
}

SettingsControl SettingsModel::statusControl(std::string id, std::string title, std::string symbol,
                                             std::string tint) const {
  SettingsControl c;
  c.id = std::move(id);
  c.kind = ControlKind::status;
  c.title = std::move(title);
  c.symbol = std::move(symbol);
  c.tint = std::move(tint);
  return c;
}

// ---- Page contents ----

void SettingsModel::spacesPage(SettingsPageContent& content) const {
  const auto& displays = s_.engine.displays();
  const std::vector<Desktop>& desktops = s_.engine.desktops();
  if (desktops.empty()) {
    content.sections.push_back(
        {"", "", {statusControl("noDesktops", std::string(kNoDesktops), "", "secondary")}});
  }
  // One section per display, in the window server's order; named only when it matters.
  std::vector<std::string> uuids;
  for (const auto& display : displays) uuids.push_back(display.uuid);
  for (const Desktop& d : desktops) {
    if (std::find(uuids.begin(), uuids.end(), d.space.displayUUID) == uuids.end()) {
      uuids.push_back(d.space.displayUUID);
    }
  }
  int shown = 0;
  for (const std::string& uuid : uuids) {
    SettingsSection section;
    for (const Desktop& d : desktops) {
      if (d.space.displayUUID != uuid) continue;
      SettingsControl c;
      c.id = std::string(kDesktopPrefix) + std::to_string(d.space.managedID.raw());
      c.kind = ControlKind::desktop;
      c.title = s_.presentation.title(d);
      c.help = "Desktop " + std::to_string(d.number);
      if (std::optional<Hotkey> shortcut = s_.presentation.shortcut(d)) {
        c.valueText = s_.keyNames.display(*shortcut);
      }
      c.art = [&presentation = s_.presentation, d](platform::Canvas& canvas,
                                                   const CanvasRect& rect) {
        double size = std::min(rect.width, rect.height);
        if (ImageRef tile = Glyph::tileImage(presentation, d, size)) {
          canvas.drawImage(*tile, {rect.x + (rect.width - size) / 2,
                                   rect.y + (rect.height - size) / 2, size, size});
        }
      };
      section.controls.push_back(std::move(c));
    }
    if (section.controls.empty()) continue;
    ++shown;
    if (uuids.size() > 1) {
      std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().screen(uuid);
      section.title = screen && !screen->localizedName.empty() ? screen->localizedName
                                                               : "Display " + std::to_string(shown);
    }
    content.sections.push_back(std::move(section));
  }
  // With one display there is nothing to tell its desktops apart from.
  if (shown == 1) content.sections.back().title.clear();

  content.sections.push_back({"Menu bar",
                              "",
                              {optionControl("menuBarStyle", "Tile shows"),
                               optionControl("menuBarMaxWidth", "Widest tile"),
                               optionControl("showShortcutsInMenu", "Show shortcuts in the menu"),
                               optionControl("badgesEnabled", "Show Dock badges")}});
  content.sections.push_back(
      {"Notch",
       "",
       {optionControl("notchEnabled", "Show the desktop beside the notch"),
        optionControl("notchSide", "Side"), optionControl("notchContent", "Shows"),
        optionControl("tileHiddenBesideNotch", "Hide the menu bar tile while the notch shows it"),
        optionControl("notchStandsInForTile",
                      "Stand in for the tile when the menu bar has no room")}});
}

void SettingsModel::missionControlPage(SettingsPageContent& content) const {
  content.sections.push_back(
      {"",
       "",
       {optionControl("mcLabelsEnabled", "Show names over Mission Control"),
        optionControl("mcShowUnnamed", "Label desktops without a name"),
        optionControl("mcShowNumber", "Show the desktop number"),
        optionControl("mcPlacement", "Placement"), optionControl("mcScale", "Size"),
        optionControl("mcOffsetY", "Vertical offset")}});
  SettingsSection access{"Accessibility", "", {}};
  bool trusted = s_.hooks.accessibilityTrusted && s_.hooks.accessibilityTrusted();
  if (trusted) {
    access.controls.push_back(
        statusControl("accessibility", "Accessibility is on", std::string(kOnSymbol), "green"));
  } else {
    access.controls.push_back(
        statusControl("accessibility", "Accessibility is off — Velmora cannot see Mission Control",
                      std::string(kOffSymbol), "orange"));
    SettingsControl open =
        buttonControl("openAccessibilitySettings", "Open Accessibility Settings…");
    open.prominent = true;
    access.controls.push_back(std::move(open));
  }
  access.controls.push_back(buttonControl("openMissionControl", "Open Mission Control"));
  content.sections.push_back(std::move(access));
}

void SettingsModel::switchTagPage(SettingsPageContent& content) const {
  SettingsControl preview;
  preview.id = "tagPreview";
  preview.kind = ControlKind::art;
  preview.artHeight = 110;
  preview.art = [this](platform::Canvas& canvas, const CanvasRect& rect) {
    drawTagPreview(canvas, rect);
  };
  content.sections.push_back(
      {"",
       "",
       {optionControl("hudEnabled", "Show the switch tag"),
        optionControl("hudPosition", "Position"), optionControl("hudSize", "Size"),
        optionControl("hudDuration", "Stays for"),
        optionControl("hudShowNumber", "Show the desktop number")}});
  content.sections.push_back(
      {"Preview", "", {std::move(preview), buttonControl("previewSwitchTag", "Preview")}});
}

void SettingsModel::spaceHoverPage(SettingsPageContent& content) const {
  content.sections.push_back(
      {"",
       "Rest the pointer at the top edge of the screen to see every desktop.",
       {optionControl("hoverEnabled", "Show the strip at the top edge"),
        optionControl("hoverZone", "Where"), optionControl("hoverDelay", "Delay"),
        buttonControl("showHoverStrip", "Show the strip")}});
}

void SettingsModel::shortcutsPage(SettingsPageContent& content) const {
  SettingsSection keys{"Shortcuts", "", {}};
  for (const Recorder& r : recorders_) keys.controls.push_back(recorderControl(r));
  content.sections.push_back(std::move(keys));
  content.sections.push_back(
      {"Desktop numbers",
       "",
       {optionControl("directJumpEnabled", "Jump to a desktop by its number"),
        optionControl("directJumpModifiers", "Modifiers")}});
  content.sections.push_back(
      {"Windows",
       "",
       {optionControl("moveWindowEnabled", "Move the front window to another desktop"),
        optionControl("moveFollow", "Follow the window there")}});

  SettingsSection switching{"Switching", "", {}};
  switching.controls.push_back(optionControl("nativeSwitching", "Use the system's shortcuts",
                                             std::string(kNativeSwitchingHelp)));
  int wanted = desktopShortcutsWanted();
  int on = std::min(s_.systemShortcuts.enabledCount(), wanted);
  if (on >= wanted) {
    switching.controls.push_back(statusControl(
        "systemShortcuts",
        wanted == 0
            ? std::string("No desktop needs a system shortcut")
            : "The system's desktop shortcuts are on for desktops 1–" + std::to_string(wanted),
        std::string(kOnSymbol), "green"));
  } else {
    switching.controls.push_back(statusControl(
        "systemShortcuts",
        std::to_string(on) + " of " + std::to_string(wanted) + " desktop shortcuts are on",
        std::string(kOffSymbol), "orange"));
    switching.controls.push_back(
        buttonControl("enableDesktopShortcuts", "Turn On Desktop Shortcuts"));
  }
  content.sections.push_back(std::move(switching));
}

void SettingsModel::timePage(SettingsPageContent& content) const {
  content.sections.push_back({"",
                              "",
                              {optionControl("trackTime", "Count the time spent on each desktop"),
                               optionControl("idleMinutes", "Stop counting when idle for")}});
  SettingsControl table;
  table.id = "times";
  table.kind = ControlKind::table;
  table.columns = {"Desktop", "Time"};
  if (s_.hooks.timeRows) table.rows = s_.hooks.timeRows();
  SettingsControl reset = buttonControl("resetTimes", "Reset Times");
  reset.destructive = true;
  content.sections.push_back(
      {"Counted time", "", {std::move(table), buttonControl("exportCSV", "Export CSV…"), reset}});
}

void SettingsModel::generalPage(SettingsPageContent& content) const {
  SettingsSection start{"", "", {}};
  if (options_.contains("launchAtLogin")) {
    start.controls.push_back(optionControl("launchAtLogin", "Launch at login"));
  }
  std::optional<Hotkey> presentation = s_.settings.presentationHotkey();
  start.controls.push_back(optionControl(
      "presenting", "Presentation mode",
      "Hides names and icons while you share your screen" +
          (presentation ? " (" + s_.keyNames.display(*presentation) + ")" : std::string())));
  content.sections.push_back(std::move(start));

  const SettingsUpdateHooks& u = s_.hooks.updates;
  SettingsSection updates{"Updates", "", {}};
  updates.controls.push_back(
      optionControl("updateCheckEnabled", "Check for updates automatically"));
  if (u.status) updates.controls.push_back(statusControl("updateStatus", u.status()));
  if (std::optional<double> fraction = u.progress ? u.progress() : std::nullopt) {
    SettingsControl bar;
    bar.id = "updateProgress";
    bar.kind = ControlKind::progress;
    bar.number = std::clamp(*fraction, 0.0, 1.0);
    bar.valueText = format("%.0f", bar.number * 100) + " %";
    updates.controls.push_back(std::move(bar));
  }
  bool busy = u.busy && u.busy();
  if (u.check) {
    SettingsControl check = buttonControl("checkForUpdates", "Check Now");
    check.enabled = !busy;
    updates.controls.push_back(std::move(check));
  }
  std::string available = u.available ? u.available() : std::string();
  if (u.readyToInstall && u.readyToInstall()) {
    SettingsControl install = buttonControl("installUpdate", "Install and Relaunch");
    install.prominent = true;
    updates.controls.push_back(std::move(install));
  } else if (!available.empty() && !busy) {
    SettingsControl download = buttonControl("downloadUpdate", "Download " + available);
    download.prominent = true;
    updates.controls.push_back(std::move(download));
    updates.controls.push_back(buttonControl("whatsNew", "What's New"));
    updates.controls.push_back(buttonControl("skipUpdate", "Skip This Version"));
  }
  content.sections.push_back(std::move(updates));

  content.sections.push_back(
      {"Troubleshooting",
       "",
       {buttonControl("copyDiagnostics", std::string(copied_ ? kCopiedTitle : kCopyTitle))}});
  content.sections.back().controls.back().label = "Diagnostics for a problem report";
  if (s_.hooks.logPath) {
    content.sections.back().controls.push_back(buttonControl("revealLog", "Reveal Log in Finder"));
    content.sections.back().controls.back().label = "Mission Control log";
  }
}

void SettingsModel::aboutPage(SettingsPageContent& content) const {
  std::string name = infoString("CFBundleName");
  std::string version = infoString("CFBundleShortVersionString");
  std::string build = infoString("CFBundleVersion");
  std::string copyright = infoString("NSHumanReadableCopyright");
  SettingsSection about{"", "", {}};
  about.controls.push_back(statusControl("appName", name.empty() ? "Velmora" : name));
  if (!version.empty()) {
    about.controls.push_back(statusControl(
        "version",
        "Version " + version + (build.empty() || build == version ? "" : " (" + build + ")"), "",
        "secondary"));
  }
  about.controls.front().help =
      "Names your Mac's desktops and shows them in the menu bar, over Mission Control and "
      "whenever you switch.";
  if (!copyright.empty()) {
    about.controls.push_back(statusControl("copyright", copyright, "", "secondary"));
  }
  about.controls.push_back(buttonControl("website", "velmora.app"));
  about.controls.back().label = "Website";
  content.sections.push_back(std::move(about));
}

std::string SettingsModel::infoString(const std::string& key) const {
  Value value = s_.platform.bundle.infoDictionaryValue(key);
  const std::string* text = value.asString();
  return text ? *text : std::string();
}

// A tag card as the switch tag would show the current desktop with the options as they are:
// its tile, its name and, when asked for, its number, grown or shrunk by the chosen size.
void SettingsModel::drawTagPreview(platform::Canvas& canvas, const CanvasRect& rect) const {
  std::optional<Desktop> current = s_.engine.currentDesktop();
  if (!current && !s_.engine.desktops().empty()) current = s_.engine.desktops().front();
  if (!current) return;
  const Desktop& d = *current;
  double k = scale(s_.settings.hudSize());
  bool number = s_.settings.hudShowNumber();
  std::string title = s_.presentation.title(d);
  Font titleFont = Font::system(19 * k, FontWeight::semibold);
  Font numberFont = Font::system(11.5 * k, FontWeight::medium);
  double tile = 34 * k, pad = 14 * k, gap = 10 * k;
  Size titleSize = canvas.measureText(title, titleFont);
  std::string numberLine = "Desktop " + std::to_string(d.number);
  double textWidth =
      std::max(titleSize.width, number ? canvas.measureText(numberLine, numberFont).width : 0.0);
  double width = std::min(rect.width, pad * 2 + tile + gap + textWidth);
  double height = std::min(rect.height, pad * 2 + tile);
  CanvasRect card{rect.x + (rect.width - width) / 2, rect.y + (rect.height - height) / 2, width,
                  height};
  if (!s_.settings.hudEnabled()) canvas.setAlpha(0.4);
  canvas.fill(Path::roundedRect(card, 14 * k), kCard);
  if (ImageRef image = Glyph::tileImage(s_.presentation, d, tile)) {
    canvas.drawImage(*image, {card.x + pad, card.y + (card.height - tile) / 2, tile, tile});
  }
  double x = card.x + pad + tile + gap;
  double maxWidth = std::max(0.0, card.x + card.width - pad - x);
  if (number) {
    Size n = canvas.measureText(numberLine, numberFont);
    double top = card.y + (card.height - titleSize.height - n.height) / 2;
    canvas.drawText(title, titleFont, kInk, {x, top}, maxWidth);
    canvas.drawText(numberLine, numberFont, kInkSecondary, {x, top + titleSize.height}, maxWidth);
  } else {
    canvas.drawText(title, titleFont, kInk, {x, card.y + (card.height - titleSize.height) / 2},
                    maxWidth);
  }
  if (!s_.settings.hudEnabled()) canvas.setAlpha(1);
}

// ---- What the user does ----

void SettingsModel::toggle(std::string_view id) {
  clearStatus();
  auto found = options_.find(id);
  if (found == options_.end() || found->second.kind != ControlKind::toggle) return;
  acting_ = true;
  found->second.setOn(!found->second.on());
  acting_ = false;
  changedNow();
}

void SettingsModel::choose(std::string_view id, int index) {
  clearStatus();
  auto found = options_.find(id);
  if (found == options_.end() || !found->second.select) return;
  const Option& o = found->second;
  if (index < 0 || index >= static_cast<int>(o.choices.size())) return;
  // Picking what is shown already stores nothing, so a value read as its default stays as the
  // user left it.
  if (index == o.selected()) return;
  acting_ = true;
  o.select(index);
  acting_ = false;
  changedNow();
}

void SettingsModel::setNumber(std::string_view id, double value) {
  clearStatus();
  auto found = options_.find(id);
  if (found == options_.end() || found->second.kind != ControlKind::slider) return;
  const Option& o = found->second;
  double next = snapped(value, o.minimum, o.maximum, o.step);
  if (next == o.number()) return;
  acting_ = true;
  o.setValue(next);
  acting_ = false;
  changedNow();
}

void SettingsModel::press(std::string_view id) {
  clearStatus();
  if (id.starts_with(kDesktopPrefix)) {
    std::string raw(id.substr(kDesktopPrefix.size()));
    for (const Desktop& d : s_.engine.desktops()) {
      if (std::to_string(d.space.managedID.raw()) == raw) {
        openEditor(d);
        return;
      }
    }
    return;
  }
  for (Recorder& r : recorders_) {
    if (r.key == id) {
      r.button->click();
      return;
    }
  }
  auto found = buttons_.find(id);
  if (found == buttons_.end()) return;
  found->second();
  changedNow();
}

void SettingsModel::clear(std::string_view id) {
  for (Recorder& r : recorders_) {
    if (r.key == id) {
      r.button->remove();
      return;
    }
  }
}

void SettingsModel::edit(const Desktop& desktop) {
  page_ = SettingsPage::spaces;
  openEditor(desktop);
}

void SettingsModel::openEditor(const Desktop& desktop) {
  closeEditor();
  EditorServices services{s_.engine,
                          s_.store,
                          s_.presentation,
                          s_.keyNames,
                          s_.hotkeyCenter,
                          s_.platform.localEvents,
                          s_.platform.openPanel,
                          s_.platform.application};
  editor_ = std::make_unique<EditSpaceView>(services, desktop, true,
                                            lifetime_.guard([this] { closeEditor(); }));
  editorChanged_ = editor_->changed().connect([this] { changedNow(); });
  changedNow();
}

void SettingsModel::closeEditor() {
  if (!editor_) return;
  editorChanged_.disconnect();
  // Back and Done close the editor from inside its own callback: it goes on the next turn.
  retired_ = std::move(editor_);
  s_.platform.loop.post(lifetime_.guard([this] { retired_.reset(); }));
  changedNow();
}

void SettingsModel::copyDiagnostics() {
  std::string text = s_.hooks.diagnostics ? s_.hooks.diagnostics() : std::string();
  s_.platform.pasteboard.clearContents();
  if (!s_.platform.pasteboard.setString(text)) {
    copied_ = false;
    ++copyGeneration_;
    fail(std::string(kCopyFailed));
    return;
  }
  copied_ = true;
  std::uint64_t generation = ++copyGeneration_;
  s_.platform.loop.after(kCopiedSeconds, lifetime_.guard([this, generation] {
    if (generation != copyGeneration_) return;
    copied_ = false;
    changedNow();
  }));
}

void SettingsModel::resetTimes() {
  s_.platform.application.activateIgnoringOtherApps();
  // Cancel is the default button: Return must not throw away weeks of counting.
  int pressed = s_.platform.application.runModalAlert(
      {std::string(kResetTitle), std::string(kResetText), {"Cancel", std::string(kResetButton)}});
  if (pressed != 1 || !s_.hooks.resetTimes) return;
  s_.hooks.resetTimes();
}

int SettingsModel::desktopShortcutsWanted() const {
  return std::min(static_cast<int>(s_.engine.desktops().size()), 10);
}

void SettingsModel::enableDesktopShortcuts() {
  if (!s_.systemShortcuts.enable(std::max(desktopShortcutsWanted(), 1))) {
    fail("Could not turn on the desktop shortcuts: the system's preferences could not be written.");
  }
}

void SettingsModel::clearStatus() {
  if (statusPage_ == page_) status_.clear();
}

void SettingsModel::fail(std::string sentence) {
  status_ = std::move(sentence);
  statusPage_ = page_;
}

// ---- Telling the window ----

void SettingsModel::changedNow() {
  changed_.emit();
}

void SettingsModel::changedSoon() {
  if (acting_ || changePosted_) return;
  changePosted_ = true;
  s_.platform.loop.post(lifetime_.guard([this] {
    changePosted_ = false;
    syncRecorders();
    changedNow();
  }));
}

void SettingsModel::syncRecorders() {
  for (Recorder& r : recorders_) {
    if (!r.button->recording() && r.button->hotkey() != r.read()) r.button->setHotkey(r.read());
  }
}

}  // namespace velmora
