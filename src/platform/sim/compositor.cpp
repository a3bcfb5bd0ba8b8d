#include "platform/sim/compositor.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>

#include "platform/sim/virtual_mac.h"

namespace velmora::sim {

namespace {

using platform::Canvas;
using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

const Color kMenuBarText = Color::white(0.95);

// A wallpaper per desktop position, so a switch is visible at a glance.
struct Wallpaper {
  Color top, bottom, glow;
};
const Wallpaper kWallpapers[] = {
    {{0.16, 0.22, 0.47}, {0.42, 0.24, 0.52}, {0.55, 0.62, 0.98, 0.35}},
    {{0.05, 0.33, 0.38}, {0.10, 0.16, 0.30}, {0.35, 0.85, 0.78, 0.30}},
    {{0.55, 0.22, 0.20}, {0.30, 0.12, 0.30}, {0.98, 0.62, 0.40, 0.30}},
    {{0.12, 0.34, 0.20}, {0.07, 0.18, 0.22}, {0.55, 0.88, 0.45, 0.28}},
    {{0.25, 0.25, 0.30}, {0.10, 0.10, 0.13}, {0.70, 0.72, 0.80, 0.25}},
    {{0.40, 0.18, 0.45}, {0.12, 0.10, 0.28}, {0.95, 0.55, 0.85, 0.30}},
};

// Display-local points (y down from the display's top-left) of a rectangle in drawing
// coordinates.
CanvasRect local(const SimDisplay& display, const ScreenRect& r) {
  return {r.minX() - display.frame.minX(), display.frame.maxY() - r.maxY(), r.size.width,
          r.size.height};
}

// Centres text of `font` vertically in a bar of `height` starting at `top`.
double textTop(Canvas& canvas, const Font& font, double top, double height) {
  return top + (height - canvas.measureText("Hg", font).height) / 2;
}

void drawCentered(Canvas& canvas, const platform::VectorImage& image, const CanvasRect& box) {
  Size size = image.size();
  canvas.drawImage(image, {box.x + (box.width - size.width) / 2,
                           box.y + (box.height - size.height) / 2, size.width, size.height});
}

// A panel's text fields over its content (panel-local points): the text, or the placeholder
// while it is empty, centred on the field's height and cut at its edges; and, in the key
// panel's focused field, the caret after the text. A focused field whose text is too wide
// shows its end, as a field being edited scrolls to keep the caret in view.
void drawTextFields(Canvas& canvas, const VirtualPanel& panel) {
  constexpr double kCaretWidth = 1;
  for (const VirtualTextField* field : panel.textFields()) {
    const CanvasRect& f = field->frame();
    if (f.width <= 0 || f.height <= 0) continue;
    const platform::TextFieldStyle& style = field->style();
    std::string text = field->text();
    bool placeholder = text.empty();
    const std::string& shown = placeholder ? style.placeholder : text;
    bool caret = field->isFocused() && panel.isKey();
    double lineHeight = canvas.measureText("Hg", style.font).height;
    double width = shown.empty() ? 0 : canvas.measureText(shown, style.font).width;
    double x = f.x;
    if (caret && !placeholder && width + kCaretWidth > f.width) {
      x = f.x + f.width - kCaretWidth - width;
    }
    double y = f.y + (f.height - lineHeight) / 2;
    platform::CanvasStateSaver saved(canvas);
    canvas.clip(Path::rect(f));
    if (!shown.empty()) {
      canvas.drawText(shown, style.font, placeholder ? style.placeholderColor : style.textColor,
                      {x, y});
    }
    if (caret) {
      double caretX = placeholder ? f.x : x + width;
      canvas.fill(Path::rect({caretX, y, kCaretWidth, lineHeight}), style.textColor);
    }
  }
}

}  // namespace

std::unique_ptr<Canvas> Compositor::draw(const std::string& displayUUID,
                                         std::optional<CanvasRect> region,
                                         std::optional<double> scale) {
  const SimDisplay* display = mac_.display(displayUUID);
  if (!display) return nullptr;
  CanvasRect area =
      region.value_or(CanvasRect{0, 0, display->frame.size.width, display->frame.size.height});
  if (area.width <= 0 || area.height <= 0) return nullptr;
  auto canvas =
      mac_.canvases().makeCanvas({area.width, area.height}, scale.value_or(display->backingScale));
  if (!canvas) return nullptr;
  canvas->translate(-area.x, -area.y);
  if (mac_.missionControlOpen()) {
    drawMissionControl(*canvas, *display);
  } else {
    drawDesktop(*canvas, *display, display->currentSpaceID);
    drawDock(*canvas, *display);
    drawMenuBar(*canvas, *display);
  }
  drawPanels(*canvas, *display);
  drawOpenMenu(*canvas, *display);
  return canvas;
}

Result<void> Compositor::screenshot(const std::string& displayUUID,
                                    const std::filesystem::path& file,
                                    std::optional<CanvasRect> region, std::optional<double> scale) {
  std::unique_ptr<Canvas> canvas = draw(displayUUID, region, scale);
  if (!canvas) return Failure{"no display \"" + displayUUID + "\" (or an empty region) to draw"};
  auto png = canvas->encodePNG();
  if (!png) return Failure{"the picture could not be encoded"};
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png->data()), static_cast<std::streamsize>(png->size()));
  out.close();
  if (!out) return Failure{"could not write " + file.string()};
  return {};
}

void Compositor::drawDesktop(Canvas& canvas, const SimDisplay& display, std::uint64_t spaceID) {
  drawWallpaper(canvas, display, spaceID);
  drawWindows(canvas, display, spaceID);
}

void Compositor::drawWallpaper(Canvas& canvas, const SimDisplay& display, std::uint64_t spaceID) {
  std::size_t position = 0;
  for (std::size_t i = 0; i < display.spaces.size(); ++i) {
    if (display.spaces[i].id == spaceID) position = i;
  }
  const Wallpaper& paper = kWallpapers[position % std::size(kWallpapers)];
  double w = display.frame.size.width, h = display.frame.size.height;
  canvas.fill(Path::rect({0, 0, w, h}),
              platform::LinearGradient{{0, 0}, {w * 0.4, h}, {{0, paper.top}, {1, paper.bottom}}});
  // A soft light towards the upper right, for depth.
  platform::CanvasStateSaver saved(canvas);
  canvas.setShadow(platform::Shadow{paper.glow, 160, {0, 0}});
  canvas.fill(Path::ellipse({w * 0.55, h * 0.12, w * 0.3, h * 0.35}), paper.glow);
}

void Compositor::drawWindows(Canvas& canvas, const SimDisplay& display, std::uint64_t spaceID) {
  double mainHeight = mac_.displays().empty() ? 0 : mac_.displays().front().frame.size.height;
  const auto& windows = mac_.windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {  // back to front
    const SimWindow& window = *it;
    if (window.layer != kLayerNormal || window.bounds.size.width <= 0) continue;
    if (std::find(window.spaces.begin(), window.spaces.end(), spaceID) == window.spaces.end()) {
      continue;
    }
    CanvasRect r = local(display, toScreen(window.bounds, mainHeight));
    const SimApp* app = mac_.application(window.owner);
    std::string title = !window.title.empty() ? window.title
                        : app && app->name    ? *app->name
                                              : std::string();
    platform::CanvasStateSaver saved(canvas);
    canvas.save();
    canvas.setShadow(platform::Shadow{Color::black(0.35), 24, {0, 10}});
    canvas.fill(Path::roundedRect(r, 10), Color::gray(0.97));
    canvas.restore();
    canvas.clip(Path::roundedRect(r, 10));
    canvas.fill(Path::rect({r.x, r.y, r.width, 28}), Color::gray(0.91));
    const Color lights[] = {{1, 0.37, 0.34}, {1, 0.74, 0.18}, {0.16, 0.79, 0.26}};
    for (int i = 0; i < 3; ++i) {
      canvas.fill(Path::ellipse({r.x + 12 + 20 * i, r.y + 8, 12, 12}), lights[i]);
    }
    Font font = Font::system(13, FontWeight::semibold);
    std::string shown = canvas.truncateTail(title, font, std::max(0.0, r.width - 140));
    double width = canvas.measureText(shown, font).width;
    canvas.drawText(shown, font, Color::gray(0.25),
                    {r.x + (r.width - width) / 2, textTop(canvas, font, r.y, 28)});
  }
}

void Compositor::drawMissionControl(Canvas& canvas, const SimDisplay& display) {
  const double w = display.frame.size.width, h = display.frame.size.height;
  canvas.fill(Path::rect({0, 0, w, h}), Color::gray(0.07));
  std::optional<VirtualMissionControl::Bar> bar;
  for (auto& b : mac_.missionControl().bars()) {
    if (b.displayUUID == display.uuid) bar = std::move(b);
  }
  if (!bar) return;
  // Display-local points of a frame in accessibility coordinates.
  double mainHeight = mac_.displays().front().frame.size.height;
  auto place = [&](const AXRect& r) { return local(display, toScreen(r, mainHeight)); };
  CanvasRect strip = place(bar->frame);

  // The current desktop, shrunk under the bar with its windows spread as they are.
  double top = strip.y + strip.height + 30;
  double room = std::max(0.0, h - top - 40);
  double k = std::min(0.8, room / h);
  CanvasRect middle{(w - w * k) / 2, top, w * k, h * k};
  {
    platform::CanvasStateSaver saved(canvas);
    canvas.clip(Path::roundedRect(middle, 10));
    canvas.translate(middle.x, middle.y);
    canvas.scaleBy(k, k);
    drawDesktop(canvas, display, display.currentSpaceID);
  }

  canvas.fill(Path::rect(strip), Color::white(0.06));
  const Font labelFont = Font::system(12);
  const Font systemLabelFont = Font::system(12);  // as the pills measure it
  for (const auto& item : bar->items) {
    CanvasRect r = place(item.drawn);
    if (bar->expansion <= 0) {
      // Collapsed: the name labels.
      bool current = item.spaceID == display.currentSpaceID;
      canvas.fill(Path::roundedRect(r, r.height / 2), Color::white(current ? 0.32 : 0.16));
      double tw = canvas.measureText(item.title, labelFont).width;
      canvas.drawText(item.title, labelFont, Color::white(0.95),
                      {r.x + (r.width - tw) / 2, textTop(canvas, labelFont, r.y, r.height)});
      continue;
    }
    // A thumbnail: that desktop as it looks, and the system's label under it.
    {
      platform::CanvasStateSaver saved(canvas);
      canvas.clip(Path::roundedRect(r, 6));
      canvas.translate(r.x, r.y);
      canvas.scaleBy(r.width / w, r.height / h);
      drawDesktop(canvas, display, item.spaceID);
    }
    if (item.spaceID == display.currentSpaceID) {
      canvas.stroke(Path::roundedRect(r, 6), Color::white(0.85), 2);
    }
    double tw = canvas.measureText(item.title, systemLabelFont).width;
    platform::CanvasStateSaver saved(canvas);
    canvas.setAlpha(std::clamp(bar->expansion, 0.0, 1.0));
    // The system centres its label in the room between the thumbnail and the bar's bottom.
    const double below = r.y + r.height, room = strip.y + strip.height - below;
    canvas.drawText(item.title, systemLabelFont, Color::white(0.9),
                    {r.x + (r.width - tw) / 2, textTop(canvas, systemLabelFont, below, room)});
  }
  // The add control: a plus in a round button.
  CanvasRect add = place(bar->addControl);
  canvas.fill(Path::ellipse(add), Color::white(0.16));
  double arm = add.width * 0.3;
  canvas.fill(Path::rect({add.x + add.width / 2 - 1, add.y + add.height / 2 - arm, 2, arm * 2}),
              Color::white(0.85));
  canvas.fill(Path::rect({add.x + add.width / 2 - arm, add.y + add.height / 2 - 1, arm * 2, 2}),
              Color::white(0.85));
}

void Compositor::drawDock(Canvas& canvas, const SimDisplay& display) {
  if (display.dockHeight <= 0) return;
  std::vector<const SimApp*> apps;
  for (const SimApp& app : mac_.apps()) {
    if (app.policy == platform::ActivationPolicy::Regular && app.name) apps.push_back(&app);
  }
  const double icon = std::min(48.0, display.dockHeight - 16);
  const double gap = 8;
  double width = std::max(120.0, apps.size() * (icon + gap) + gap * 2);
  double h = display.frame.size.height;
  CanvasRect dock{(display.frame.size.width - width) / 2, h - display.dockHeight + 4, width,
                  display.dockHeight - 8};
  canvas.fill(Path::roundedRect(dock, 18), Color::white(0.22));
  canvas.stroke(Path::roundedRect(dock, 18), Color::white(0.3), 1);
  double x = dock.x + gap * 1.5;
  for (const SimApp* app : apps) {
    CanvasRect r{x, dock.y + (dock.height - icon) / 2, icon, icon};
    x += icon + gap;
    // The icon the workspace gives for its bundle, as Velmora's own rows show it.
    std::optional<std::string> bundle =
        app->bundleIdentifier ? app->bundleIdentifier : app->bundlePath;
    if (auto image = bundle ? mac_.appIcons().icon({*bundle}) : nullptr) {
      canvas.drawImage(*image, r);
      continue;
    }
    // Without a bundle: a coloured squircle with the application's initial, coloured by its
    // name.
    std::size_t hash = std::hash<std::string>{}(*app->name);
    double hue = (hash % 360) / 360.0;
    Color colour{0.35 + 0.45 * std::abs(std::sin(hue * 6.28)),
                 0.35 + 0.45 * std::abs(std::sin(hue * 6.28 + 2.1)),
                 0.35 + 0.45 * std::abs(std::sin(hue * 6.28 + 4.2))};
    canvas.fill(Path::roundedRect(r, icon * 0.23), colour);
    std::string initial = app->name->substr(0, 1);
    Font font = Font::system(icon * 0.5, FontWeight::bold);
    Size size = canvas.measureText(initial, font);
    canvas.drawText(initial, font, Color::white(),
                    {r.x + (icon - size.width) / 2, r.y + (icon - size.height) / 2});
  }
}

void Compositor::drawMenuBar(Canvas& canvas, const SimDisplay& display) {
  if (display.menuBarHeight <= 0) return;
  const double bar = display.menuBarHeight;
  canvas.fill(Path::rect({0, 0, display.frame.size.width, bar}), Color::black(0.28));
  const VirtualStatusItem* ownItem = mac_.menuBar().item();
  for (const MenuBarEntry& entry : mac_.menuBar().entries(display.uuid)) {
    if (entry.hidden) continue;
    CanvasRect r = local(display, entry.frame);
    switch (entry.kind) {
      case MenuBarEntry::Kind::appleMenu: {
        // The Apple menu's place, as a plain round mark.
        canvas.fill(Path::ellipse({r.x + r.width / 2 - 7, r.y + bar / 2 - 6, 14, 14}),
                    kMenuBarText);
        canvas.fill(Path::ellipse({r.x + r.width / 2 - 1, r.y + bar / 2 - 10, 5, 5}), kMenuBarText);
        break;
      }
      case MenuBarEntry::Kind::appName:
      case MenuBarEntry::Kind::appMenu: {
        Font font = Font::system(
            13, entry.kind == MenuBarEntry::Kind::appName ? FontWeight::bold : FontWeight::regular);
        canvas.drawText(entry.title, font, kMenuBarText,
                        {r.x + 10, textTop(canvas, font, r.y, bar)});
        break;
      }
      case MenuBarEntry::Kind::extra: {
        auto symbol =
            entry.symbol.empty()
                ? nullptr
                : mac_.symbols().symbol(entry.symbol, 14, FontWeight::regular, kMenuBarText);
        if (symbol) {
          drawCentered(canvas, *symbol, r);
        } else {
          Font font = Font::system(13);
          double width = canvas.measureText(entry.title, font).width;
          canvas.drawText(entry.title, font, kMenuBarText,
                          {r.x + (r.width - width) / 2, textTop(canvas, font, r.y, bar)}, r.width);
        }
        break;
      }
      case MenuBarEntry::Kind::velmora: {
        double x = r.x + VirtualStatusItem::kButtonPadding;
        if (entry.image) {
          Size size = entry.image->size();
          canvas.drawImage(*entry.image,
                           {x, r.y + (bar - size.height) / 2, size.width, size.height});
          x += size.width;
        }
        if (!entry.title.empty() && ownItem) {
          const Font& font = ownItem->buttonStyle().titleFont;
          canvas.drawText(entry.title, font, kMenuBarText, {x, textTop(canvas, font, r.y, bar)});
        }
        break;
      }
      case MenuBarEntry::Kind::system: {
        // The clock at the right edge, then Control Centre and Wi-Fi while there is room.
        std::time_t now = static_cast<std::time_t>(mac_.loop().wallNow());
        std::tm parts{};
        gmtime_r(&now, &parts);
        char clock[32];
        std::strftime(clock, sizeof clock, "%a %e %b  %H:%M", &parts);
        Font font = Font::system(13);
        std::string text = clock;
        double width = canvas.measureText(text, font).width;
        double x = r.x + r.width - width - 4;
        canvas.drawText(text, font, kMenuBarText, {x, textTop(canvas, font, r.y, bar)});
        for (const char* name : {"switch.2", "wifi"}) {
          x -= 30;
          if (x < r.x) break;
          if (auto symbol = mac_.symbols().symbol(name, 14, FontWeight::regular, kMenuBarText)) {
            drawCentered(canvas, *symbol, {x, r.y, 26, bar});
          }
        }
        break;
      }
      case MenuBarEntry::Kind::notch: {
        // The camera housing: black, with rounded lower corners.
        const double radius = 9;
        platform::CanvasStateSaver saved(canvas);
        canvas.clip(Path::rect(r));
        canvas.fill(Path::roundedRect({r.x, r.y - radius, r.width, r.height + radius}, radius),
                    Color::black());
        break;
      }
    }
  }
}

void Compositor::drawPanels(Canvas& canvas, const SimDisplay& display) {
  for (const VirtualPanel* panel : mac_.panels().onScreen()) {
    ScreenRect frame = panel->frame();
    if (frame.intersection(display.frame).isEmpty() || panel->alpha() <= 0) continue;
    CanvasRect r = local(display, frame);
    platform::CanvasStateSaver saved(canvas);
    canvas.clip(Path::rect(r));
    if (panel->alpha() >= 1) {
      canvas.translate(r.x, r.y);
      panel->drawContent(canvas);
      drawTextFields(canvas, *panel);
      continue;
    }
    // A window's alpha applies to the window as a whole, on top of whatever opacity its own
    // content draws with: draw the content apart, then lay it down at the panel's alpha.
    auto content = mac_.canvases().makeCanvas(frame.size, canvas.scale());
    if (!content) continue;
    panel->drawContent(*content);
    drawTextFields(*content, *panel);
    canvas.setAlpha(panel->alpha());
    canvas.drawImage(content->bitmap(), r);
  }
}

std::optional<Compositor::MenuGeometry> Compositor::menuGeometry(Canvas& canvas,
                                                                 const SimDisplay& display) {
  const std::optional<OpenMenu>& open = mac_.menuBar().openMenu();
  if (!open) return std::nullopt;
  ScreenPoint at = open->location;
  if (at.x < display.frame.minX() || at.x >= display.frame.maxX() || at.y <= display.frame.minY() ||
      at.y > display.frame.maxY()) {
    return std::nullopt;
  }
  const auto& items = open->menu.items;
  const Font font = Font::system(kMenuFontSize);
  MenuGeometry g;
  bool anyImage = std::any_of(items.begin(), items.end(), [](const auto& i) { return i.image; });
  g.imageColumn = anyImage ? 24 : 0;
  double titleWidth = 0, height = 10;
  for (const platform::MenuItem& item : items) {
    height += item.separator ? kMenuSeparatorHeight : kMenuRowHeight;
    if (item.separator) continue;
    titleWidth = std::max(titleWidth, canvas.measureText(item.title, font).width);
    if (!item.keyEquivalent.empty()) {
      std::string key = platform::keyEquivalentText(item);
      g.keyWidth = std::max(g.keyWidth, canvas.measureText(key, font).width);
    }
  }
  double width = std::clamp(
      kMenuCheckColumn + g.imageColumn + titleWidth + (g.keyWidth > 0 ? 28 + g.keyWidth : 0) + 16,
      180.0, display.frame.size.width);
  double x = std::min(at.x - display.frame.minX(), display.frame.size.width - width - 4);
  double y = display.frame.maxY() - at.y + (open->fromStatusItem ? 2 : 0);
  g.box = {x, y, width, height};
  return g;
}

std::optional<CanvasRect> Compositor::menuFrame(const std::string& displayUUID) {
  const SimDisplay* display = mac_.display(displayUUID);
  auto measure = mac_.canvases().makeCanvas({1, 1}, 1);
  if (!display || !measure) return std::nullopt;
  auto g = menuGeometry(*measure, *display);
  if (!g) return std::nullopt;
  return g->box;
}

void Compositor::drawOpenMenu(Canvas& canvas, const SimDisplay& display) {
  std::optional<MenuGeometry> g = menuGeometry(canvas, display);
  if (!g) return;
  const Font font = Font::system(kMenuFontSize);
  const CanvasRect& box = g->box;
  {
    platform::CanvasStateSaver saved(canvas);
    canvas.setShadow(platform::Shadow{Color::black(0.45), 20, {0, 8}});
    canvas.fill(Path::roundedRect(box, 9), Color{0.17, 0.17, 0.19, 0.97});
  }
  canvas.stroke(Path::roundedRect(box, 9), Color::white(0.14), 1);
  const double x = box.x, width = box.width;
  double rowTop = box.y + 5;
  for (const platform::MenuItem& item : mac_.menuBar().openMenu()->menu.items) {
    if (item.separator) {
      canvas.fill(Path::rect({x + 10, rowTop + kMenuSeparatorHeight / 2, width - 20, 1}),
                  Color::white(0.12));
      rowTop += kMenuSeparatorHeight;
      continue;
    }
    Color ink = item.enabled ? Color::white(0.92) : Color::white(0.45);
    double textY = textTop(canvas, font, rowTop, kMenuRowHeight);
    if (item.checked) canvas.drawText("\u2713", font, ink, {x + 7, textY});
    if (item.image) {
      Size size = item.image->size();
      canvas.drawImage(*item.image,
                       {x + kMenuCheckColumn, rowTop + (kMenuRowHeight - size.height) / 2,
                        size.width, size.height});
    }
    double titleX = x + kMenuCheckColumn + g->imageColumn;
    canvas.drawText(item.title, font, ink, {titleX, textY},
                    width - (titleX - x) - 16 - (g->keyWidth > 0 ? g->keyWidth + 20 : 0));
    if (!item.keyEquivalent.empty()) {
      std::string key = platform::keyEquivalentText(item);
      double w = canvas.measureText(key, font).width;
      canvas.drawText(key, font, Color::white(0.5), {x + width - 12 - w, textY});
    }
    rowTop += kMenuRowHeight;
  }
}

}  // namespace velmora::sim
