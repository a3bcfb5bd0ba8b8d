#include "settings_ui/first_run_window.h"

#include <algorithm>
#include <utility>

#include "drawing/glyph.h"
#include "settings_ui/form_drawing.h"
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

using form::drawLine;
using form::drawSymbol;
using form::inside;
using form::kAccent;
using form::kBackground;
using form::kGreen;
using form::kOrange;
using form::kPrimary;
using form::kSecondary;

// The paragraph broken at spaces into lines that fit `box`, top down; the last line that
// fits is cut with "…" when the text runs on.
void paragraph(platform::Canvas& canvas, std::string_view text, const Font& font,
               const Color& color, const CanvasRect& box, double lineHeight) {
  const std::vector<std::string> lines = form::wrapWords(
      text, box.width,
      [&canvas, &font](const std::string& line) { return canvas.measureText(line, font).width; });
  const auto fitting = static_cast<std::size_t>(std::max(1.0, box.height / lineHeight));
  for (std::size_t i = 0; i < lines.size() && i < fitting; ++i) {
    std::string shown = lines[i];
    if (i + 1 == fitting && i + 1 < lines.size()) shown += " " + lines[i + 1];
    drawLine(canvas, shown, font, color,
             {box.x, box.y + static_cast<double>(i) * lineHeight, box.width, lineHeight});
  }
}

void button(platform::Canvas& canvas, const CanvasRect& r, std::string_view title, bool prominent) {
  if (r.width <= 0) return;
  canvas.fill(Path::roundedRect(r, 6), prominent ? kAccent : Color::white(0.17));
  drawLine(canvas, title, prominent ? Font::system(13, FontWeight::semibold) : Font::system(13),
           prominent ? Color::white() : kPrimary, {r.x + 8, r.y, r.width - 16, r.height}, 0.5);
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
  drawLine(canvas, kTitle, Font::system(22, FontWeight::bold), kPrimary, l.header);
  for (std::size_t i = 0; i < kFeatures.size(); ++i) {
    const CanvasRect& r = l.features[i];
    canvas.fill(Path::roundedRect({r.x, r.y + 4, 32, 32}, 8), kAccent.withAlpha(0.18));
    drawSymbol(canvas, kFeatures[i].symbol, 16, kAccent, {r.x + 7, r.y + 11, 18, 18});
    drawLine(canvas, kFeatures[i].title, Font::system(13, FontWeight::semibold), kPrimary,
             {r.x + 46, r.y + 2, r.width - 46, 18});
    drawLine(canvas, kFeatures[i].detail, Font::system(12), kSecondary,
             {r.x + 46, r.y + 21, r.width - 46, 16});
  }
  canvas.fill(Path::rect({l.whyTitle.x, l.whyTitle.y - 10, l.whyTitle.width, 1}),
              Color::white(0.09));
  drawLine(canvas, kWhyTitle, Font::system(13, FontWeight::semibold), kPrimary, l.whyTitle);
  paragraph(canvas, kWhy, Font::system(12), kSecondary, l.why, 18);

  const bool on = trusted();
  const Color tint = on ? kGreen : kOrange;
  drawSymbol(canvas, on ? "checkmark.circle.fill" : "exclamationmark.triangle.fill", 14, tint,
             {l.status.x, l.status.y + 3, 16, 16});
  drawLine(canvas, statusText(), Font::system(13, FontWeight::medium), on ? kPrimary : tint,
           {l.status.x + 24, l.status.y, l.status.width - 24, l.status.height});

  if (on) {
    button(canvas, l.dismiss, kDoneTitle, true);
  } else {
    button(canvas, l.dismiss, kNotNowTitle, false);
    button(canvas, l.allow, kAllowTitle, true);
  }
}

}  // namespace velmora
