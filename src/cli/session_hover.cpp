// The command line's hold on the strip at the top edge: the pointer pressed against the top
// of a display, the strip as it shows, and clicks on its cards and icons.
#include <cstdio>

#include "cli/session.h"
#include "cli/words.h"
#include "surfaces/hover_strip.h"

namespace velmora::cli {

namespace {

std::string shortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

// "[of DISPLAY] [at X]": the display by UUID or name, X from its left edge.
Session::Status Session::pointerToTopEdge(std::string_view args) {
  std::string display;
  std::optional<double> x;
  std::string_view rest = trim(args);
  while (!rest.empty()) {
    auto [word, more] = splitWord(rest);
    auto [value, after] = splitWord(more);
    if (word == "of" && !value.empty()) {
      display = unquoted(value);
    } else if (word == "at" && number(value)) {
      x = number(value);
    } else {
      return fail("move pointer to top edge [of DISPLAY] [at X]");
    }
    rest = trim(after);
  }
  if (!mac_.movePointerToTopEdge(display, x))
    return fail("there is no display \"" + display + "\"");
  ScreenPoint p = mac_.pointer();
  emit("pointer at " + shortNumber(p.x) + ", " + shortNumber(p.y));
  return Status::ok;
}

// "hover strip: shown on Built-in Retina Display at 556,856 400x96, pinned until 4.00", then
// one line per card: "› 1: Desktop 1 (current) — Mail, Safari".
Session::Status Session::printHoverStrip() {
  HoverStrip* strip = copy_->surfaces.hoverStrip();
  if (!strip) {
    print("(no hover strip)");
    return Status::ok;
  }
  std::string state = std::string("hover strip: ") + (strip->isShowing() ? "shown" : "hidden");
  const HoverPanel* panel = strip->panel();
  if (strip->isShowing() && panel) {
    ScreenRect f = panel->panel().frame();
    state += " on " + strip->screenName() + " at " + shortNumber(f.minX()) + "," +
             shortNumber(f.minY()) + " " + shortNumber(f.size.width) + "x" +
             shortNumber(f.size.height);
    if (mac_.loop().now() < strip->pinnedUntil()) {
      state += ", pinned for " + shortNumber(strip->pinnedUntil() - mac_.loop().now()) + " s";
    }
  }
  if (!strip->isStarted()) state += ", off";
  if (strip->isDwelling()) state += ", dwelling";
  if (strip->isLeaving()) state += ", leaving";
  print(state);
  if (!panel || !strip->isShowing()) return Status::ok;
  auto hovered = panel->view().hovered();
  const auto& items = panel->view().items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const HoverStripItem& item = items[i];
    std::string line = std::string(hovered && hovered->item == i ? "› " : "  ") +
                       std::to_string(i + 1) + ": " + item.title +
                       (item.desktop.isCurrent ? " (current)" : "");
    std::string apps;
    for (const HoverStripAppIcon& icon : item.icons) {
      apps += (apps.empty() ? "" : ", ") + icon.app.name +
              (icon.app.badge ? " [" + *icon.app.badge + "]" : "");
    }
    if (!apps.empty()) line += " — " + apps;
    if (item.hiddenApps > 0) line += " (" + std::to_string(item.hiddenApps) + " without room)";
    print(line);
  }
  return Status::ok;
}

// "APP [on N]": the icon of the application under card N, else under the first card with it.
Session::Status Session::clickStripApp(std::string_view args) {
  HoverStrip* strip = copy_->surfaces.hoverStrip();
  if (!strip || !strip->isShowing() || !strip->panel()) return fail("the hover strip is not shown");
  std::string text(trim(args));
  std::optional<std::int64_t> card;
  if (auto on = text.rfind(" on "); on != std::string::npos) {
    card = integer(trim(std::string_view(text).substr(on + 4)));
    if (!card) return fail("click strip app APP [on N]");
    text = text.substr(0, on);
  }
  const std::string name = unquoted(text);
  const HoverPanel& panel = *strip->panel();
  const auto& items = panel.view().items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (card && static_cast<std::int64_t>(i + 1) != *card) continue;
    for (const HoverStripAppIcon& icon : items[i].icons) {
      if (icon.app.name != name || icon.frame.width <= 0) continue;
      ScreenRect f = panel.panel().frame();
      mac_.click({f.minX() + icon.frame.x + icon.frame.width / 2,
                  f.maxY() - (icon.frame.y + icon.frame.height / 2)});
      return Status::ok;
    }
  }
  return fail("the hover strip shows no icon of \"" + name + "\"" +
              (card ? " on card " + std::to_string(*card) : ""));
}

}  // namespace velmora::cli
