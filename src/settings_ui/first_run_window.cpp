#include "settings_ui/first_run_window.h"

#include <algorithm>
#include <utility>

#include "drawing/glyph.h"
#include "settings_ui/window_chrome.h"

namespace velmora {
namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

constexpr double kPad = 28;

// The desktop editor's dark appearance.
const Color kBackground = Color::gray(0.165);
const Color kPrimary = Color::white(0.88);
const Color kSecondary = Color::white(0.55);
const Color kAccent{0.04, 0.52, 1.0, 1};
const Color kGreen{0.2, 0.78, 0.35, 1};
const Color kOrange{1.0, 0.62, 0.04, 1};

bool inside(const CanvasRect& r, CanvasPoint p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

void symbol(platform::Canvas& canvas, std::string_view name, double size, const Color& color,
            const CanvasRect& box) {
  ImageRef image = Glyph::symbolImage(std::string(name), size, FontWeight::regular, color);
  if (!image) return;
  const Size natural = image->size();
  if (natural.width <= 0 || natural.height <= 0) return;
  const double k = std::min(box.width / natural.width, box.height / natural.height);
  const double w = natural.width * k, h = natural.height * k;
  canvas.drawImage(*image, {box.x + (box.width - w) / 2, box.y + (box.height - h) / 2, w, h});
}

void line(platform::Canvas& canvas, std::string_view text, const Font& font, const Color& color,
          const CanvasRect& box, bool centred = false) {
  if (text.empty() || box.width <= 0) return;
  const Size measured = canvas.measureText(text, font);
  const double width = std::min(measured.width, box.width);
  canvas.drawText(text, font, color,
                  {centred ? box.x + (box.width - width) / 2 : box.x,
                   box.y + (box.height - measured.height) / 2},
                  box.width);
}

// The paragraph broken at spaces into lines that fit `box`, top down; the last line that
// fits is cut with "…" when the text runs on.
void paragraph(platform::Canvas& canvas, std::string_view text, const Font& font,
               const Color& color, const CanvasRect& box, double lineHeight) {
  std::vector<std::string> lines;
  std::string current;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(start, end - start);
    std::string tried = current.empty() ? std::string(word) : current + " " + std::string(word);
    if (!current.empty() && canvas.measureText(tried, font).width > box.width) {
      lines.push_back(current);
      current = std::string(word);
    } else {
      current = tried;
    }
    start = end + 1;
  }
  if (!current.empty()) lines.push_back(current);
  const auto fitting = static_cast<std::size_t>(std::max(1.0, box.height / lineHeight));
  for (std::size_t i = 0; i < lines.size() && i < fitting; ++i) {
    std::string shown = lines[i];
    if (i + 1 == fitting && i + 1 < lines.size()) shown += " " + lines[i + 1];
    line(canvas, shown, font, color,
         {box.x, box.y + static_cast<double>(i) * lineHeight, box.width, lineHeight});
  }
}

void button(platform::Canvas& canvas, const CanvasRect& r, std::string_view title, bool prominent) {
  if (r.width <= 0) return;
  canvas.fill(Path::roundedRect(r, 6), prominent ? kAccent : Color::white(0.17));
  line(canvas, title, prominent ? Font::system(13, FontWeight::semibold) : Font::system(13),
       prominent ? Color::white() : kPrimary, {r.x + 8, r.y, r.width - 16, r.height}, true);
}

}  // namespace

FirstRunWindowController::FirstRunWindowController(FirstRunServices services)
    : services_(std::move(services)) {}

FirstRunWindowController::~FirstRunWindowController() {
  if (panel_) panel_->orderOut();
}

void FirstRunWindowController::show() {
  if (!panel_) {
    platform::PanelConfig config;
    config.size = kSize;
    config.level = 0;
    config.interactive = true;
    config.hasShadow = true;
    config.name = std::string(kPanelName);
    panel_ = services_.platform.panels.makePanel(config);
    panel_->setContent(
        lifetime_.guard([this](platform::Canvas& canvas, Size size) { draw(canvas, size); }));
    panel_->setOnMouseDown(lifetime_.guard([this](CanvasPoint point) { mouseDown(point); }));
  }
  ScreenRect visible = ScreenRect::make(0, 0, kSize.width, kSize.height);
  if (auto screens = services_.platform.screens.screens(); !screens.empty()) {
    visible = screens.front().visibleFrame;
  }
  panel_->setFrame(ScreenRect::make(visible.midX() - kSize.width / 2,
                                    visible.midY() - kSize.height / 2, kSize.width, kSize.height),
                   true);
  panel_->setNeedsDisplay();
  panel_->makeKeyAndOrderFront();
}

void FirstRunWindowController::close() {
  if (!isShowing()) return;
  panel_->orderOut();
  // The owner may drop this window from inside: run a copy.
  if (auto closed = onClosed_) closed();
}

void FirstRunWindowController::allow() {
  if (services_.askForAccess) services_.askForAccess();
  refresh();
}

void FirstRunWindowController::dismiss() {
  services_.settings.setOnboardingDismissed(true);
  close();
}

void FirstRunWindowController::refresh() {
  if (panel_) panel_->setNeedsDisplay();
}

std::string FirstRunWindowController::statusText() const {
  if (trusted()) return std::string(kOnText);
  if (services_.askedAgainAfterUpdate && services_.askedAgainAfterUpdate()) {
    return std::string(kAskedAgainText);
  }
  return std::string(kOffText);
}

FirstRunWindowController::Layout FirstRunWindowController::layout() const {
  Layout l;
  const double inner = kSize.width - 2 * kPad;
  double y = kTitleBarHeight + 22;
  l.header = {kPad, y, inner, 28};
  y += 28 + 18;
  for (CanvasRect& r : l.features) {
    r = {kPad, y, inner, 40};
    y += 48;
  }
  y += 8;
  l.whyTitle = {kPad, y, inner, 18};
  y += 22;
  l.why = {kPad, y, inner, 54};
  y += 54 + 14;
  l.status = {kPad, y, inner, 22};
  const double buttonY = kSize.height - kPad - 26;
  if (trusted()) {
    l.dismiss = {kSize.width - kPad - 90, buttonY, 90, 26};
  } else {
    l.allow = {kSize.width - kPad - 170, buttonY, 170, 26};
    l.dismiss = {l.allow.x - 12 - 90, buttonY, 90, 26};
  }
  return l;
}

std::optional<ScreenRect> FirstRunWindowController::buttonFrame(Button which) const {
  if (!isShowing()) return std::nullopt;
  const Layout l = layout();
  const CanvasRect& r = which == Button::allow ? l.allow : l.dismiss;
  if (r.width <= 0) return std::nullopt;
  const ScreenRect frame = panel_->frame();
  return ScreenRect::make(frame.minX() + r.x, frame.maxY() - r.y - r.height, r.width, r.height);
}

void FirstRunWindowController::mouseDown(CanvasPoint point) {
  const Layout l = layout();
  if (WindowChrome::onCloseButton(point)) {
    close();
  } else if (inside(l.allow, point)) {
    allow();
  } else if (inside(l.dismiss, point)) {
    dismiss();
  }
}

void FirstRunWindowController::draw(platform::Canvas& canvas, Size size) const {
  platform::CanvasStateSaver saved(canvas);
  WindowChrome::draw(canvas, size, "", false);

  const Layout l = layout();
  line(canvas, kTitle, Font::system(22, FontWeight::bold), kPrimary, l.header);
  for (std::size_t i = 0; i < kFeatures.size(); ++i) {
    const CanvasRect& r = l.features[i];
    canvas.fill(Path::roundedRect({r.x, r.y + 4, 32, 32}, 8), kAccent.withAlpha(0.18));
    symbol(canvas, kFeatures[i].symbol, 16, kAccent, {r.x + 7, r.y + 11, 18, 18});
    line(canvas, kFeatures[i].title, Font::system(13, FontWeight::semibold), kPrimary,
         {r.x + 46, r.y + 2, r.width - 46, 18});
    line(canvas, kFeatures[i].detail, Font::system(12), kSecondary,
         {r.x + 46, r.y + 21, r.width - 46, 16});
  }
  canvas.fill(Path::rect({l.whyTitle.x, l.whyTitle.y - 10, l.whyTitle.width, 1}),
              Color::white(0.09));
  line(canvas, kWhyTitle, Font::system(13, FontWeight::semibold), kPrimary, l.whyTitle);
  paragraph(canvas, kWhy, Font::system(12), kSecondary, l.why, 18);

  const bool on = trusted();
  const Color tint = on ? kGreen : kOrange;
  symbol(canvas, on ? "checkmark.circle.fill" : "exclamationmark.triangle.fill", 14, tint,
         {l.status.x, l.status.y + 3, 16, 16});
  line(canvas, statusText(), Font::system(13, FontWeight::medium), on ? kPrimary : tint,
       {l.status.x + 24, l.status.y, l.status.width - 24, l.status.height});

  if (on) {
    button(canvas, l.dismiss, kDoneTitle, true);
  } else {
    button(canvas, l.dismiss, kNotNowTitle, false);
    button(canvas, l.allow, kAllowTitle, true);
  }
}

}  // namespace velmora
