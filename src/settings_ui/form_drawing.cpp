#include "settings_ui/form_drawing.h"

#include <algorithm>

#include "drawing/glyph.h"

namespace velmora::form {

bool inside(const platform::CanvasRect& r, platform::CanvasPoint p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

void drawLine(platform::Canvas& canvas, std::string_view text, const platform::Font& font,
              const platform::Color& color, const platform::CanvasRect& box, double align) {
  if (text.empty() || box.width <= 0) return;
  const Size measured = canvas.measureText(text, font);
  const double width = std::min(measured.width, box.width);
  canvas.drawText(text, font, color,
                  {box.x + (box.width - width) * align, box.y + (box.height - measured.height) / 2},
                  box.width);
}

void drawSymbol(platform::Canvas& canvas, std::string_view name, double size,
                const platform::Color& color, const platform::CanvasRect& box) {
  if (name.empty()) return;
  ImageRef image =
      Glyph::symbolImage(std::string(name), size, platform::FontWeight::regular, color);
  if (!image) return;
  const Size natural = image->size();
  if (natural.width <= 0 || natural.height <= 0) return;
  const double k = std::min(box.width / natural.width, box.height / natural.height);
  const double w = natural.width * k, h = natural.height * k;
  canvas.drawImage(*image, {box.x + (box.width - w) / 2, box.y + (box.height - h) / 2, w, h});
}

std::vector<std::string> wrapWords(std::string_view text, double width,
                                   const std::function<double(const std::string&)>& measure) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    std::string candidate = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (!line.empty() && measure(candidate) > width) {
      lines.push_back(std::move(line));
      line = std::string(word);
    } else {
      line = std::move(candidate);
    }
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace velmora::form
