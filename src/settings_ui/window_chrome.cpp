#include "settings_ui/window_chrome.h"

#include <algorithm>
#include <array>

#include "settings_ui/form_drawing.h"

namespace velmora {

namespace {

using platform::Color;
using platform::Path;

const std::array<Color, 3> kTrafficLights{Color{1.0, 0.37, 0.34}, Color{1.0, 0.74, 0.18},
                                          Color{0.16, 0.79, 0.25}};

}  // namespace

void WindowChrome::draw(platform::Canvas& canvas, Size size, std::string_view title,
                        bool otherButtonsEnabled) {
  const Path window = Path::roundedRect({0, 0, size.width, size.height}, kCornerRadius);
  canvas.clip(window);
  canvas.fill(window, form::kBackground);
  canvas.fill(Path::rect({0, 0, size.width, kTitleBarHeight}), Color::gray(0.21));
  canvas.fill(Path::rect({0, kTitleBarHeight - 1, size.width, 1}), Color::black(0.5));
  for (std::size_t i = 0; i < kTrafficLights.size(); ++i) {
    const double x = kCloseButton.x + static_cast<double>(i) * 20;
    canvas.fill(Path::ellipse({x, kCloseButton.y, 12, 12}),
                i == 0 || otherButtonsEnabled ? kTrafficLights[i] : Color::white(0.2));
  }
  if (title.empty()) return;
  const platform::Font font = platform::Font::system(13, platform::FontWeight::semibold);
  const double room = size.width - 2 * 76;
  const Size measured = canvas.measureText(title, font);
  const double width = std::min(measured.width, room);
  canvas.drawText(title, font, Color::white(0.85),
                  {(size.width - width) / 2, (kTitleBarHeight - measured.height) / 2}, room);
}

bool WindowChrome::onCloseButton(platform::CanvasPoint point) {
  return form::inside(
      {kCloseButton.x - 2, kCloseButton.y - 2, kCloseButton.width + 4, kCloseButton.height + 4},
      point);
}

}  // namespace velmora
