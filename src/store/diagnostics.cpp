#include "store/diagnostics.h"

#include <cmath>
#include <cstdio>

#include "store/log_file.h"
#include "store/settings.h"
#include "store/text.h"

namespace velmora {

namespace {

const char* flag(bool value) {
  return value ? "true" : "false";
}

// Points as people write them: 1512, not 1512.000000; 0.5 stays 0.5.
std::string points(double value) {
  char text[32];
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  } else {
    std::snprintf(text, sizeof text, "%g", value);
  }
  return text;
}

std::string rect(const ScreenRect& r) {
  return points(r.origin.x) + "," + points(r.origin.y) + " " + points(r.size.width) + "x" +
         points(r.size.height);
}

std::string iconText(const SpaceIcon& icon) {
  return icon.isNone() ? "none" : icon.stored();
}

std::string colorText(const TileColor& color) {
  switch (color.kind()) {
    case TileColor::Kind::Palette:
      return "palette(" + std::to_string(color.index()) + ")";
    case TileColor::Kind::Transparent:
      return "transparent";
    case TileColor::Kind::Automatic:
      break;
  }
  return "automatic";
}

std::string spaceLine(const DiagnosticsSpace& space) {
  std::string line = "  space " + to_string(space.id) + " msid=" + to_string(space.managedID) +
                     " type=" + std::to_string(space.type);
  if (space.desktop) {
    const DiagnosticsSpace::Desktop& d = *space.desktop;
    line += " #" + std::to_string(d.number) + " '" + d.title + "'" + " icon=" + iconText(d.icon) +
            " color=" + colorText(d.storedColor);
  }
  return line + "\n";
}

std::string settingsLine(const Settings& s) {
  std::string line = "settings:";
  auto add = [&line](const char* name, const std::string& value) {
    line += ' ';
    line += name;
    line += '=';
    line += value;
  };
  // Choices appear as their stored numbers, the same ones a defaults dump shows.
  auto raw = [](auto choice) { return std::to_string(rawValue(choice)); };
  add("hud", flag(s.hudEnabled()));
  add("hover", flag(s.hoverEnabled()));
  add("track", flag(s.trackTime()));
  add("hudNumber", flag(s.hudShowNumber()));
  add("mcLabels", flag(s.mcLabelsEnabled()));
  add("mcUnnamed", flag(s.mcShowUnnamed()));
  add("mcNumber", flag(s.mcShowNumber()));
  add("mcPlacement", raw(s.mcPlacement()));
  add("style", raw(s.menuBarStyle()));
  add("hoverZone", raw(s.hoverZone()));
  add("notch", flag(s.notchEnabled()));
  add("notchSide", raw(s.notchSide()));
  add("notchContent", raw(s.notchContent()));
  return line + "\n";
}

}  // namespace

std::string describeScreen(const platform::ScreenInfo& screen) {
  std::string out = "[";
  const Value* number = screen.deviceDescription.find("NSScreenNumber");
  std::optional<std::int64_t> id = number ? number->asInteger() : std::nullopt;
  out += "id=" + (id ? std::to_string(*id) : std::string("?"));
  out += " '" + screen.localizedName + "' " + rect(screen.frame);
  out += " visible " + rect(screen.visibleFrame);
  out += " @" + points(screen.backingScaleFactor) + "x]";
  return out;
}

std::string diagnosticsText(DiagnosticsSources& sources, const Settings& settings,
                            const LogFile& missionControlLog) {
  std::string text = "Velmora diagnostics\n";

  SystemShortcutsState shortcuts = sources.systemShortcuts();
  text += "accessibility: ";
  text += flag(sources.accessibilityTrusted());
  text += "  system desktop shortcuts: " + std::to_string(shortcuts.switchToDesktopOn);
  text += "  move a space: " + shortcuts.moveLeft.value_or("off") + " " +
          shortcuts.moveRight.value_or("off") + "\n";

  std::vector<std::string> screens;
  for (const platform::ScreenInfo& screen : sources.screens()) {
    screens.push_back(describeScreen(screen));
  }
  text += "screens: " + joined(screens) + "\n";
  text += "notch: " + joined(sources.notches()) + "\n";
  text += "menu bar tile: " + sources.menuBarTile() + "\n";

  for (const DiagnosticsDisplay& display : sources.displays()) {
    text += "display " + display.uuid + " current=" + to_string(display.currentSpaceID) + "\n";
    for (const DiagnosticsSpace& space : display.spaces) text += spaceLine(space);
  }

  text += "focused: " + sources.focusedTitle().value_or("") +
          "  last: " + sources.lastTitle().value_or("") + "\n";
  text += "mission control open: ";
  text += flag(sources.missionControlOpen());
  text += "\n";
  // While it is open the report that the log gets at closing is not written yet.
  std::string lastPass = sources.missionControlLastPass();
  for (std::size_t at = 0; at < lastPass.size();) {
    std::size_t end = lastPass.find('\n', at);
    if (end == std::string::npos) end = lastPass.size();
    text += "  " + lastPass.substr(at, end - at) + "\n";
    at = end + 1;
  }
  text += settingsLine(settings);

  text += "\n--- mission-control.log (tail) ---\n";
  text += missionControlLog.tail(kDiagnosticsLogTail);
  return text;
}

}  // namespace velmora
