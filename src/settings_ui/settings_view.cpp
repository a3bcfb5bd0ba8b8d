#include "settings_ui/settings_view.h"

#include <algorithm>
#include <cmath>

#include "drawing/glyph.h"
#include "settings_ui/edit_space_view.h"
#include "settings_ui/form_drawing.h"

namespace velmora {
namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

// ---- Layout, in points ----
constexpr double kPad = 24;
constexpr double kSidebarRow = 28;
constexpr double kSidebarTop = 12;
constexpr double kRow = 38;
constexpr double kHelpLine = 16;
constexpr double kDesktopRow = 48;
constexpr double kTableHeader = 26;
constexpr double kTableRow = 24;
constexpr double kSectionGap = 20;
constexpr double kSectionTitle = 24;
constexpr double kFooter = 20;
constexpr double kControlHeight = 22;
constexpr double kInset = 12;  // between a row's edge and what it holds
constexpr double kStatusLine = 28;
constexpr double kPageTitle = 30;
constexpr double kBoxRadius = 9;

// ---- The dark appearance, the desktop editor's (form_drawing.h has the shared colours) ----
using form::kAccent;
using form::kBackground;
using form::kGreen;
using form::kOrange;
using form::kPrimary;
using form::kSecondary;
const Color kSidebarFill = Color::gray(0.2);
const Color kBoxFill = Color::white(0.05);
const Color kBoxEdge = Color::white(0.07);
const Color kHairline = Color::white(0.09);
const Color kControl = Color::white(0.14);
const Color kControlEdge = Color::white(0.16);
const Color kRed{1.0, 0.33, 0.3, 1};

const Font kBody = Font::system(13);
const Font kSmall = Font::system(11);
const Font kSectionFont = Font::system(13, FontWeight::semibold);
const Font kTitleFont = Font::system(20, FontWeight::bold);

// The layout is made without a canvas (hit tests need it too), so a control's width comes
// from the length of its text at the body font's average advance.
double estimatedWidth(std::string_view text, double pointSize = 13) {
  std::size_t codePoints = 0;
  for (unsigned char c : text) codePoints += (c & 0xC0) != 0x80;
  return static_cast<double>(codePoints) * pointSize * 0.56;
}

CanvasRect inset(const CanvasRect& r, double dx, double dy) {
  return {r.x + dx, r.y + dy, r.width - 2 * dx, r.height - 2 * dy};
}

using form::drawLine;
using form::drawSymbol;
using form::inside;

Color tintColor(std::string_view tint) {
  if (tint == "green") return kGreen;
  if (tint == "orange") return kOrange;
  if (tint == "red") return kRed;
  if (tint == "secondary") return kSecondary;
  return kPrimary;
}

bool focusable(const SettingsControl& c) {
  switch (c.kind) {
    case ControlKind::status:
    case ControlKind::table:
    case ControlKind::art:
    case ControlKind::progress:
      return false;
    default:
      return c.enabled;
  }
}

// A chevron of two strokes pointing right (`dx` 1), up (`dy` -1) or down (`dy` 1).
void chevron(platform::Canvas& canvas, CanvasPoint tip, double dx, double dy, double size,
             const Color& color) {
  Path path;
  if (dx != 0) {
    path.moveTo({tip.x - dx * size, tip.y - size})
        .lineTo(tip)
        .lineTo({tip.x - dx * size, tip.y + size});
  } else {
    path.moveTo({tip.x - size, tip.y - dy * size})
        .lineTo(tip)
        .lineTo({tip.x + size, tip.y - dy * size});
  }
  canvas.stroke(path, color, 1.5);
}

// A switch's or slider's knob with a thin shade under it. Drawn as a second ellipse, not a
// canvas shadow: a blurred shadow per knob made a form of switches paint ten times slower.
void knobAt(platform::Canvas& canvas, const CanvasRect& r) {
  canvas.fill(Path::ellipse({r.x - 0.5, r.y, r.width + 1, r.height + 1}), Color::black(0.25));
  canvas.fill(Path::ellipse(r), Color::white(0.95));
}

double controlWidth(const SettingsControl& c) {
  switch (c.kind) {
    case ControlKind::toggle:
      return 38;
    case ControlKind::picker: {
      double widest = 0;
      for (const std::string& choice : c.choices) widest = std::max(widest, estimatedWidth(choice));
      return std::clamp(widest + 44, 120.0, 240.0);
    }
    case ControlKind::segmented: {
      double widest = 0;
      for (const std::string& choice : c.choices) widest = std::max(widest, estimatedWidth(choice));
      return std::max(1.0, static_cast<double>(c.choices.size())) * std::max(64.0, widest + 20);
    }
    case ControlKind::slider:
      return 160;
    case ControlKind::button:
      return std::max(80.0, estimatedWidth(c.title) + 28);
    case ControlKind::recorder:
      return 170;
    default:
      return 0;
  }
}

// How many lines the help of a row `width` wide takes; the estimate errs wide, so the lines
// drawn with real measures never outnumber it.
double helpHeight(const SettingsControl& c, double width) {
  if (c.help.empty() || c.kind == ControlKind::desktop) return 0;
  const auto lines = form::wrapWords(c.help, width - 2 * kInset, [](const std::string& text) {
    return estimatedWidth(text, kSmall.pointSize) * 1.15;
  });
  return kHelpLine * static_cast<double>(std::max<std::size_t>(1, lines.size()));
}

double rowHeight(const SettingsControl& c, double width) {
  const double help = helpHeight(c, width);
  switch (c.kind) {
    case ControlKind::desktop:
      return kDesktopRow;
    case ControlKind::table:
      return kTableHeader + kTableRow * static_cast<double>(c.rows.size()) + 8 + help;
    case ControlKind::art:
      return c.artHeight + 16 + help;
    case ControlKind::status:
      return 34 + help;
    default:
      return kRow + help;
  }
}

}  // namespace

void SettingsView::setPages(std::vector<SettingsPageEntry> pages) {
  pages_ = std::move(pages);
  relayout();
}

void SettingsView::setContent(SettingsPageContent content) {
  const bool samePage = hasContent_ && content.page == content_.page;
  content_ = std::move(content);
  hasContent_ = true;
  relayout();
  setScrollOffset(samePage ? scroll_ : 0);
}

void SettingsView::setSize(Size size) {
  size_ = size;
  relayout();
  setScrollOffset(scroll_);
}

const SettingsControl* SettingsView::control(std::string_view id) const {
  for (const SettingsSection& section : content_.sections) {
    for (const SettingsControl& c : section.controls) {
      if (c.id == id) return &c;
    }
  }
  return nullptr;
}

void SettingsView::relayout() {
  Layout l;
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    l.sidebarRows.push_back(
        {10, kSidebarTop + static_cast<double>(i) * kSidebarRow, kSidebarWidth - 20, kSidebarRow});
  }
  const double left = kSidebarWidth + kPad;
  const double width = std::max(0.0, size_.width - kSidebarWidth - 2 * kPad);
  double y = 20;
  if (!content_.status.empty()) {
    l.status = {left, y, width, kStatusLine - 6};
    y += kStatusLine;
  }
  l.title = {left, y, width, kPageTitle};
  y += kPageTitle + 12;

  for (std::size_t s = 0; s < content_.sections.size(); ++s) {
    const SettingsSection& section = content_.sections[s];
    SectionFrame frame;
    if (!section.title.empty()) {
      frame.title = {left + 4, y, width - 8, kSectionTitle - 6};
      y += kSectionTitle;
    }
    const double top = y;
    for (std::size_t i = 0; i < section.controls.size(); ++i) {
      const SettingsControl& c = section.controls[i];
      ControlFrame f;
      f.id = c.id;
      f.kind = c.kind;
      f.focusable = focusable(c);
      f.section = s;
      f.index = i;
      f.row = {left, y, width, rowHeight(c, width)};
      const double right = left + width - kInset;
      const double w = controlWidth(c);
      const double h = c.kind == ControlKind::button || c.kind == ControlKind::recorder ||
                               c.kind == ControlKind::segmented
                           ? 24
                           : kControlHeight;
      // Controls sit level with the label, which stays at the top when help runs under it.
      const double midY = y + kRow / 2;
      switch (c.kind) {
        case ControlKind::desktop:
        case ControlKind::art:
        case ControlKind::table:
        case ControlKind::status:
        case ControlKind::progress:
          f.control = f.row;
          break;
        case ControlKind::slider:
          f.control = {right - 56 - w, midY - h / 2, w, h};
          break;
        default:
          f.control = {right - w, midY - h / 2, w, h};
          break;
      }
      if (c.kind == ControlKind::recorder && c.hasClear) {
        f.clear = {f.control.x + f.control.width - 22, f.control.y + 4, 16, 16};
      }
      if (c.kind == ControlKind::segmented && !c.choices.empty()) {
        const double each = f.control.width / static_cast<double>(c.choices.size());
        for (std::size_t k = 0; k < c.choices.size(); ++k) {
          f.segments.push_back(
              {f.control.x + each * static_cast<double>(k), f.control.y, each, f.control.height});
        }
      }
      y += f.row.height;
      l.controls.push_back(std::move(f));
    }
    frame.box = {left, top, width, y - top};
    if (!section.footer.empty()) {
      frame.footer = {left + 4, y + 4, width - 8, kFooter - 4};
      y += kFooter;
    }
    y += kSectionGap;
    l.sections.push_back(frame);
  }
  l.height = y + kPad;
  layout_ = std::move(l);
  if (focus_ != kSidebarFocus && !frameOf(focus_)) focus_ = std::string(kSidebarFocus);
}

double SettingsView::maxScrollOffset() const {
  return std::max(0.0, layout_.height - size_.height);
}

void SettingsView::setScrollOffset(double offset) {
  scroll_ = std::clamp(offset, 0.0, maxScrollOffset());
}

void SettingsView::scrollFocusIntoView() {
  if (focus_ == kSidebarFocus) return;
  std::optional<CanvasRect> frame = frameOf(focus_);
  if (!frame) return;
  constexpr double kMargin = 8;
  if (frame->y < kMargin) {
    setScrollOffset(scroll_ + frame->y - kMargin);
  } else if (frame->y + frame->height > size_.height - kMargin) {
    setScrollOffset(scroll_ + frame->y + frame->height - (size_.height - kMargin));
  }
}

std::vector<std::string> SettingsView::focusOrder() const {
  std::vector<std::string> order{std::string(kSidebarFocus)};
  if (editor_) return order;
  for (const ControlFrame& f : layout_.controls) {
    if (f.focusable) order.push_back(f.id);
  }
  return order;
}

std::optional<CanvasRect> SettingsView::frameOf(std::string_view id) const {
  if (id == kSidebarFocus) return sidebarFrame(content_.page);
  for (const ControlFrame& f : layout_.controls) {
    if (f.id != id) continue;
    CanvasRect r = f.kind == ControlKind::desktop ? f.row : f.control;
    r.y -= scroll_;
    return r;
  }
  return std::nullopt;
}

std::optional<CanvasRect> SettingsView::sidebarFrame(SettingsPage page) const {
  for (std::size_t i = 0; i < pages_.size() && i < layout_.sidebarRows.size(); ++i) {
    if (pages_[i].page == page) return layout_.sidebarRows[i];
  }
  return std::nullopt;
}

std::optional<SettingsHit> SettingsView::hitTest(CanvasPoint point) const {
  if (point.x < kSidebarWidth) {
    for (std::size_t i = 0; i < pages_.size() && i < layout_.sidebarRows.size(); ++i) {
      if (inside(layout_.sidebarRows[i], point)) {
        SettingsHit hit;
        hit.part = SettingsHit::Part::sidebar;
        hit.page = pages_[i].page;
        return hit;
      }
    }
    return std::nullopt;
  }
  if (editor_) return std::nullopt;
  const CanvasPoint p{point.x, point.y + scroll_};
  for (const ControlFrame& f : layout_.controls) {
    if (!f.focusable) continue;
    SettingsHit hit;
    hit.id = f.id;
    if (f.kind == ControlKind::recorder && f.clear.width > 0 && inside(inset(f.clear, -3, -3), p)) {
      hit.part = SettingsHit::Part::clear;
      return hit;
    }
    if (f.kind == ControlKind::slider) {
      // The knob overhangs the track's ends; a press just beyond them takes an end.
      const CanvasRect grab{f.control.x - 8, f.row.y, f.control.width + 16, kRow};
      if (!inside(grab, p)) continue;
      hit.part = SettingsHit::Part::slider;
      hit.fraction = std::clamp((p.x - f.control.x) / f.control.width, 0.0, 1.0);
      return hit;
    }
    if (!inside(f.control, p)) continue;
    for (std::size_t k = 0; k < f.segments.size(); ++k) {
      if (inside(f.segments[k], p)) {
        hit.part = SettingsHit::Part::segment;
        hit.segment = static_cast<int>(k);
      }
    }
    return hit;
  }
  return std::nullopt;
}

// ---- Drawing -------------------------------------------------------------------------------

void SettingsView::draw(platform::Canvas& canvas) const {
  platform::CanvasStateSaver saved(canvas);
  canvas.clip(Path::rect({0, 0, size_.width, size_.height}));
  canvas.fill(Path::rect({0, 0, size_.width, size_.height}), kBackground);
  drawSidebar(canvas);
  platform::CanvasStateSaver column(canvas);
  canvas.clip(Path::rect({kSidebarWidth, 0, size_.width - kSidebarWidth, size_.height}));
  if (editor_) {
    canvas.translate(kSidebarWidth, 0);
    const double width = size_.width - kSidebarWidth;
    editor_->draw(canvas, {width, std::max(size_.height, editor_->layout(width).height)});
    return;
  }
  drawPage(canvas);
}

void SettingsView::drawSidebar(platform::Canvas& canvas) const {
  canvas.fill(Path::rect({0, 0, kSidebarWidth, size_.height}), kSidebarFill);
  canvas.fill(Path::rect({kSidebarWidth - 1, 0, 1, size_.height}), Color::black(0.5));
  for (std::size_t i = 0; i < pages_.size() && i < layout_.sidebarRows.size(); ++i) {
    const CanvasRect& r = layout_.sidebarRows[i];
    const bool selected = pages_[i].page == content_.page;
    if (selected) canvas.fill(Path::roundedRect(r, 6), kAccent);
    const Color ink = selected ? Color::white() : kPrimary;
    drawSymbol(canvas, pages_[i].symbol, 14, selected ? Color::white() : kAccent,
               {r.x + 8, r.y + 5, 18, 18});
    drawLine(canvas, pages_[i].title, kBody, ink, {r.x + 34, r.y, r.width - 42, r.height});
  }
  if (focus_ == kSidebarFocus && !editor_) {
    if (std::optional<CanvasRect> r = sidebarFrame(content_.page)) {
      canvas.stroke(Path::roundedRect(inset(*r, -2, -2), 8), kAccent.withAlpha(0.6), 3);
    }
  }
}

void SettingsView::drawPage(platform::Canvas& canvas) const {
  canvas.translate(0, -scroll_);
  const Layout& l = layout_;
  if (!content_.status.empty()) {
    drawSymbol(canvas, kStatusSymbol, 13, kRed, {l.status.x, l.status.y + 3, 16, 16});
    drawLine(canvas, content_.status, kBody, kRed,
             {l.status.x + 22, l.status.y, l.status.width - 22, l.status.height});
  }
  drawLine(canvas, content_.title, kTitleFont, kPrimary, l.title);

  for (std::size_t s = 0; s < content_.sections.size() && s < l.sections.size(); ++s) {
    const SettingsSection& section = content_.sections[s];
    const SectionFrame& frame = l.sections[s];
    drawLine(canvas, section.title, kSectionFont, kPrimary, frame.title);
    if (frame.box.height > 0) {
      canvas.fill(Path::roundedRect(frame.box, kBoxRadius), kBoxFill);
      canvas.stroke(Path::roundedRect(inset(frame.box, 0.5, 0.5), kBoxRadius), kBoxEdge, 1);
    }
    drawLine(canvas, section.footer, kSmall, kSecondary, frame.footer);
  }
  for (const ControlFrame& f : l.controls) {
    const SettingsControl& c = content_.sections[f.section].controls[f.index];
    if (f.index > 0) {
      canvas.fill(Path::rect({f.row.x + kInset, f.row.y, f.row.width - 2 * kInset, 1}), kHairline);
    }
    platform::CanvasStateSaver saved(canvas);
    if (!c.enabled) canvas.setAlpha(0.4);
    drawControl(canvas, c, f);
  }
  if (std::optional<CanvasRect> focused =
          focus_ == kSidebarFocus ? std::nullopt : frameOf(focus_)) {
    // The ring hugs the control as macOS draws it: a soft accent band just outside.
    const ControlFrame* f = nullptr;
    for (const ControlFrame& each : l.controls) {
      if (each.id == focus_) f = &each;
    }
    CanvasRect r = *focused;
    r.y += scroll_;
    const bool round = f && (f->kind == ControlKind::toggle);
    const double radius = round ? r.height / 2 + 2 : f && f->kind == ControlKind::desktop ? 8 : 7;
    canvas.stroke(Path::roundedRect(inset(r, -2, -2), radius), kAccent.withAlpha(0.6), 3);
  }
}

void SettingsView::drawControl(platform::Canvas& canvas, const SettingsControl& c,
                               const ControlFrame& f) const {
  const CanvasRect& row = f.row;
  const CanvasRect& k = f.control;
  const CanvasRect labelBox{row.x + kInset, row.y, std::max(0.0, k.x - row.x - 2 * kInset), kRow};
  auto help = [&] {
    const double width = row.width - 2 * kInset;
    const double height = helpHeight(c, row.width);
    const auto lines = form::wrapWords(c.help, width, [&canvas](const std::string& line) {
      return canvas.measureText(line, kSmall).width;
    });
    double y = row.y + row.height - height - 8;
    for (const std::string& line : lines) {
      drawLine(canvas, line, kSmall, kSecondary, {row.x + kInset, y, width, kHelpLine});
      y += kHelpLine;
    }
  };

  switch (c.kind) {
    case ControlKind::toggle: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      const Path track = Path::roundedRect(k, k.height / 2);
      canvas.fill(track, c.on ? kAccent : Color::white(0.2));
      const double knob = k.height - 4;
      const double x = c.on ? k.x + k.width - knob - 2 : k.x + 2;
      knobAt(canvas, {x, k.y + 2, knob, knob});
      help();
      break;
    }
    case ControlKind::picker: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      canvas.fill(Path::roundedRect(k, 5), kControl);
      canvas.stroke(Path::roundedRect(k, 5), kControlEdge, 1);
      const bool chosen =
          c.selected >= 0 && static_cast<std::size_t>(c.selected) < c.choices.size();
      drawLine(canvas, chosen ? c.choices[static_cast<std::size_t>(c.selected)] : c.title, kBody,
               kPrimary, {k.x + 9, k.y, k.width - 36, k.height});
      const CanvasRect chip{k.x + k.width - 19, k.y + 3, 16, k.height - 6};
      canvas.fill(Path::roundedRect(chip, 4), kAccent);
      const double cx = chip.x + chip.width / 2, cy = chip.y + chip.height / 2;
      chevron(canvas, {cx, cy - 5}, 0, -1, 2.5, Color::white());
      chevron(canvas, {cx, cy + 5}, 0, 1, 2.5, Color::white());
      help();
      break;
    }
    case ControlKind::segmented: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      canvas.fill(Path::roundedRect(k, 6), kControl);
      for (std::size_t i = 0; i < f.segments.size(); ++i) {
        const CanvasRect& s = f.segments[i];
        const bool selected = static_cast<int>(i) == c.selected;
        if (selected) canvas.fill(Path::roundedRect(inset(s, 2, 2), 5), Color::white(0.3));
        if (i > 0 && !selected && static_cast<int>(i) - 1 != c.selected) {
          canvas.fill(Path::rect({s.x, s.y + 5, 1, s.height - 10}), kControlEdge);
        }
        drawLine(canvas, c.choices[i], kBody, kPrimary, inset(s, 6, 0), 0.5);
      }
      help();
      break;
    }
    case ControlKind::slider: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      const double span = c.maximum - c.minimum;
      const double fraction = span > 0 ? std::clamp((c.number - c.minimum) / span, 0.0, 1.0) : 0;
      const double mid = k.y + k.height / 2;
      canvas.fill(Path::roundedRect({k.x, mid - 2, k.width, 4}, 2), Color::white(0.2));
      canvas.fill(Path::roundedRect({k.x, mid - 2, k.width * fraction, 4}, 2), kAccent);
      const double knob = 18;
      knobAt(canvas, {k.x + k.width * fraction - knob / 2, mid - knob / 2, knob, knob});
      drawLine(canvas, c.valueText, kBody, kSecondary, {k.x + k.width + 10, k.y, 46, k.height}, 1);
      help();
      break;
    }
    case ControlKind::button: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      canvas.fill(Path::roundedRect(k, 6), c.prominent ? kAccent : Color::white(0.17));
      const Font font = c.prominent ? Font::system(13, FontWeight::semibold) : kBody;
      drawLine(canvas, c.title, font,
               c.prominent     ? Color::white()
               : c.destructive ? kRed
                               : kPrimary,
               inset(k, 8, 0), 0.5);
      help();
      break;
    }
    case ControlKind::recorder: {
      drawLine(canvas, c.label, kBody, kPrimary, labelBox);
      canvas.fill(Path::roundedRect(k, 6), Color::white(0.1));
      canvas.stroke(Path::roundedRect(k, 6), c.on ? kAccent : kControlEdge, c.on ? 1.5 : 1);
      const double room = c.hasClear ? 24 : 8;
      drawLine(canvas, c.title, kBody, c.on ? kAccent : kPrimary,
               {k.x + room, k.y, k.width - 2 * room, k.height}, 0.5);
      if (c.hasClear) {
        const CanvasRect& x = f.clear;
        canvas.fill(Path::ellipse(x), kSecondary);
        const double a = 4.5;
        const CanvasPoint m{x.x + x.width / 2, x.y + x.height / 2};
        canvas.stroke(Path()
                          .moveTo({m.x - a + 1, m.y - a + 1})
                          .lineTo({m.x + a - 1, m.y + a - 1})
                          .moveTo({m.x + a - 1, m.y - a + 1})
                          .lineTo({m.x - a + 1, m.y + a - 1}),
                      kBackground, 1.5);
      }
      help();
      break;
    }
    case ControlKind::status: {
      const Color tint = tintColor(c.tint);
      CanvasRect line{row.x + kInset, row.y, row.width - 2 * kInset, 34};
      if (!c.label.empty()) {
        drawLine(canvas, c.label, kBody, kPrimary, line);
        const double w = std::min(line.width / 2, estimatedWidth(c.title) + 4);
        line = {line.x + line.width - w, line.y, w, line.height};
        if (!c.symbol.empty())
          drawSymbol(canvas, c.symbol, 13, tint, {line.x - 22, line.y + 9, 16, 16});
        drawLine(canvas, c.title, kBody, c.tint.empty() ? kSecondary : tint, line, 1);
      } else {
        if (!c.symbol.empty()) {
          drawSymbol(canvas, c.symbol, 13, tint, {line.x, line.y + 9, 16, 16});
          line = {line.x + 24, line.y, line.width - 24, line.height};
        }
        drawLine(canvas, c.title, kBody, kPrimary, line);
      }
      help();
      break;
    }
    case ControlKind::table: {
      const double x0 = row.x + kInset, width = row.width - 2 * kInset;
      const std::size_t columns = std::max<std::size_t>(1, c.columns.size());
      const double each = width / static_cast<double>(columns);
      double y = row.y + 4;
      for (std::size_t i = 0; i < c.columns.size(); ++i) {
        drawLine(canvas, c.columns[i], Font::system(11, FontWeight::semibold), kSecondary,
                 {x0 + each * static_cast<double>(i) + 6, y, each - 12, kTableHeader});
      }
      y += kTableHeader;
      canvas.fill(Path::rect({x0, y - 1, width, 1}), kHairline);
      for (std::size_t r = 0; r < c.rows.size(); ++r) {
        if (r % 2 == 1) canvas.fill(Path::roundedRect({x0, y, width, kTableRow}, 4), kBoxFill);
        for (std::size_t i = 0; i < c.rows[r].size() && i < columns; ++i) {
          drawLine(canvas, c.rows[r][i], Font::system(12), kPrimary,
                   {x0 + each * static_cast<double>(i) + 6, y, each - 12, kTableRow});
        }
        y += kTableRow;
      }
      help();
      break;
    }
    case ControlKind::desktop: {
      const CanvasRect tile{row.x + kInset, row.y + (row.height - 20) / 2, 28, 20};
      if (c.art) {
        platform::CanvasStateSaver saved(canvas);
        c.art(canvas, tile);
      }
      const double x = tile.x + tile.width + 12;
      const double valueWidth =
          c.valueText.empty() ? 0 : canvas.measureText(c.valueText, kBody).width + 8;
      const double right = row.x + row.width - kInset - 16;
      const double room = std::max(0.0, right - valueWidth - 8 - x);
      drawLine(canvas, c.title, kBody, kPrimary, {x, row.y + 7, room, 18});
      drawLine(canvas, c.help, kSmall, kSecondary, {x, row.y + 25, room, 15});
      drawLine(canvas, c.valueText, kBody, kSecondary,
               {right - valueWidth, row.y, valueWidth, row.height}, 1);
      chevron(canvas, {row.x + row.width - kInset - 2, row.y + row.height / 2}, 1, 0, 4,
              kSecondary);
      break;
    }
    case ControlKind::art: {
      if (c.art) {
        platform::CanvasStateSaver saved(canvas);
        const CanvasRect box{row.x + kInset, row.y + 8, row.width - 2 * kInset, c.artHeight};
        canvas.clip(Path::rect(box));
        c.art(canvas, box);
      }
      help();
      break;
    }
    case ControlKind::progress: {
      drawLine(canvas, c.label.empty() ? c.title : c.label, kBody, kPrimary,
               {row.x + kInset, row.y, row.width / 2 - kInset, kRow});
      const double barWidth = 180;
      const double x = row.x + row.width - kInset - 56 - barWidth;
      const double mid = row.y + kRow / 2;
      const double fraction = std::clamp(c.number, 0.0, 1.0);
      canvas.fill(Path::roundedRect({x, mid - 3, barWidth, 6}, 3), Color::white(0.15));
      if (fraction > 0) {
        canvas.fill(Path::roundedRect({x, mid - 3, barWidth * fraction, 6}, 3), kAccent);
      }
      drawLine(canvas, c.valueText, kBody, kSecondary, {x + barWidth + 10, row.y, 46, kRow}, 1);
      help();
      break;
    }
  }
}

}  // namespace velmora
