#include "surfaces/menu_popover.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "drawing/glyph.h"
#include "store/characters.h"

namespace velmora {

namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;
using Line = MenuPopoverView::Line;

const Color kBackground{0.11, 0.115, 0.13, 1};
const Color kInk{0.95, 0.96, 0.98, 1};
const Color kSecondary = Color::white(0.55);
const Color kDivider = Color::white(0.1);
const Color kHoverFill = Color::white(0.08);
const Color kCurrentFill{0.25, 0.45, 0.95, 0.22};
const Color kCapFill = Color::white(0.1);
const Color kCapStroke = Color::white(0.18);
const Color kButtonFill = Color::white(0.12);
const Color kWarning{1.0, 0.72, 0.2, 1};
const Color kPresentation{0.45, 0.65, 1.0, 1};
const Color kUpdate{0.35, 0.85, 0.5, 1};

const Font kHeaderFont = Font::system(13, FontWeight::semibold);
const Font kTitleFont = Font::system(13, FontWeight::medium);
const Font kSmallFont = Font::system(11);
const Font kNoticeTitleFont = Font::system(12, FontWeight::semibold);
const Font kHeadingFont = Font::system(11, FontWeight::semibold);
const Font kCapFont = Font::system(10, FontWeight::medium);
const Font kFooterFont = Font::system(13);

constexpr double kNoticeGap = 6;
constexpr double kNoticeInset = 9;
constexpr double kNoticeSymbol = 15;
constexpr double kDetailLine = 15;
constexpr double kCapHeight = 17;
constexpr double kCapGap = 3;
constexpr std::size_t kMaxIcons = 4;
constexpr double kFooterInset = 6;

bool inside(const CanvasRect& r, CanvasPoint p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

// A canvas only to measure text on; the virtual Mac without drawing gives an estimating one.
std::unique_ptr<platform::Canvas> measuringCanvas(platform::CanvasFactory& canvases) {
  return canvases.makeCanvas({1, 1}, 1);
}

double textWidth(platform::Canvas* canvas, const std::string& text, const Font& font) {
  return canvas ? canvas->measureText(text, font).width : font.pointSize * 0.55 * text.size();
}

// Words onto lines no wider than `width`; a word longer than a line gets a line of its own.
std::vector<std::string> wrapped(platform::Canvas* canvas, const std::string& text,
                                 const Font& font, double width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t space = text.find(' ', at);
    std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? text.size() : space + 1;
    std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && textWidth(canvas, candidate, font) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Each modifier symbol of the shortcut on a cap of its own, then the key's name.
std::vector<std::string> capTexts(const Hotkey& hotkey, const KeyNames& names) {
  std::vector<std::string> caps;
  const std::string symbols = KeyNames::symbols(hotkey.modifiers);
  for (std::size_t at = 0; at < symbols.size();) {
    std::string one = firstCharacter(std::string_view(symbols).substr(at));
    if (one.empty()) break;
    at += one.size();
    caps.push_back(std::move(one));
  }
  caps.push_back(names.name(hotkey.keyCode));
  return caps;
}

std::string joinedCaps(const std::vector<std::string>& caps) {
  std::string text;
  for (const std::string& cap : caps) text += cap;
  return text;
}

double capWidth(platform::Canvas* canvas, const std::string& cap) {
  return std::max(kCapHeight, std::ceil(textWidth(canvas, cap, kCapFont)) + 8);
}

// A symbol fitted into `into`, keeping its proportions.
void drawSymbol(platform::Canvas& canvas, const std::string& name, const CanvasRect& into,
                const Color& color, FontWeight weight = FontWeight::medium) {
  ImageRef image = Glyph::symbolImage(name, into.height, weight, color);
  if (!image) return;
  const Size natural = image->size();
  if (natural.width <= 0 || natural.height <= 0) return;
  const double scale = std::min(into.width / natural.width, into.height / natural.height);
  const double w = natural.width * scale, h = natural.height * scale;
  canvas.drawImage(*image, {into.x + (into.width - w) / 2, into.y + (into.height - h) / 2, w, h});
}

void drawTextCentredIn(platform::Canvas& canvas, const std::string& text, const Font& font,
                       const Color& color, const CanvasRect& box) {
  const Size m = canvas.measureText(text, font);
  const double width = std::min(m.width, box.width);
  canvas.drawText(text, font, color,
                  {box.x + (box.width - width) / 2, box.y + (box.height - m.height) / 2},
                  box.width);
}

void drawTextMiddleLeft(platform::Canvas& canvas, const std::string& text, const Font& font,
                        const Color& color, const CanvasRect& box) {
  const Size m = canvas.measureText(text, font);
  canvas.drawText(text, font, color, {box.x, box.y + (box.height - m.height) / 2}, box.width);
}

std::string targetName(PopoverTarget target) {
  switch (target) {
    case PopoverTarget::settingsButton:
      return "settings button";
    case PopoverTarget::grantAccess:
      return "grant";
    case PopoverTarget::turnOffPresentation:
      return "turn off";
    case PopoverTarget::row:
      return "row";
    case PopoverTarget::send:
      return "send";
    case PopoverTarget::edit:
      return "edit";
    case PopoverTarget::quickSwitcher:
      return "quick switcher";
    case PopoverTarget::missionControl:
      return "mission control";
    case PopoverTarget::jumpBack:
      return "jump back";
    case PopoverTarget::settings:
      return "settings";
    case PopoverTarget::quit:
      return "quit";
    case PopoverTarget::editor:
      return "editor";
  }
  return "";
}

}  // namespace

// ---- PopoverModel ----

void PopoverModel::showList() {
  if (!editing_) return;
  editing_.reset();
  changed_.emit();
}

void PopoverModel::showEditor(const Desktop& desktop) {
  editing_ = desktop;
  changed_.emit();
}

// ---- MenuPopoverView ----

Size MenuPopoverView::load() {
  lines_.clear();
  rows_.clear();
  hovered_.reset();
  if (model_.page() == PopoverModel::Page::edit && editor_) {
    size_ = editor_->preferredSize();
    return size_;
  }
  layOutList();
  return size_;
}

void MenuPopoverView::layOutList() {
  std::unique_ptr<platform::Canvas> measure = measuringCanvas(s_.platform.canvases);
  platform::Canvas* m = measure.get();
  const double inner = kWidth - 2 * kPadding;
  double y = 0;

  // The header: where the user is, and the way to the settings.
  {
    Line header;
    header.kind = Line::Kind::header;
    const std::size_t count = s_.engine.desktops().size();
    if (std::optional<Desktop> current = s_.engine.currentDesktop()) {
      header.text = "Desktop " + std::to_string(current->number) + " of " + std::to_string(count);
    } else {
      header.text = "Velmora";
    }
    header.button = kSettingsSymbol;
    header.target = PopoverTarget::settingsButton;
    header.frame = {0, 0, kWidth, kHeaderHeight};
    header.buttonFrame = {kWidth - kPadding - kButtonSize, (kHeaderHeight - kButtonSize) / 2,
                          kButtonSize, kButtonSize};
    lines_.push_back(std::move(header));
    y = kHeaderHeight;
  }

  // The notices, each only while its condition holds.
  auto notice = [&](std::string title, std::string symbol, std::string detail, std::string button,
                    std::optional<PopoverTarget> target) {
    Line line;
    line.kind = Line::Kind::notice;
    line.text = std::move(title);
    line.symbol = std::move(symbol);
    line.detail = std::move(detail);
    line.button = std::move(button);
    line.target = target;
    double buttonWidth = 0;
    if (line.button == kGrantSymbol) {
      buttonWidth = kButtonSize;
    } else if (!line.button.empty()) {
      buttonWidth = std::ceil(textWidth(m, line.button, kSmallFont)) + 16;
    }
    const double textX = kPadding + kNoticeInset + kNoticeSymbol + 8;
    const double textRoom =
        kWidth - kPadding - kNoticeInset - textX - (buttonWidth > 0 ? buttonWidth + 8 : 0);
    if (!line.detail.empty()) line.detailLines = wrapped(m, line.detail, kSmallFont, textRoom);
    const double height = 2 * kNoticeInset + 16 + kDetailLine * line.detailLines.size();
    line.frame = {kPadding, y, inner, height};
    if (buttonWidth > 0) {
      line.buttonFrame = {kWidth - kPadding - kNoticeInset - buttonWidth,
                          y + (height - kButtonSize) / 2, buttonWidth, kButtonSize};
    }
    lines_.push_back(std::move(line));
    y += height + kNoticeGap;
  };
  if (sources_.accessibilityMissing && sources_.accessibilityMissing()) {
    const bool afterUpdate = sources_.askedAgainAfterUpdate && sources_.askedAgainAfterUpdate();
    notice("Accessibility is off", kAccessibilitySymbol,
           afterUpdate ? "Velmora was updated, so macOS asks once more. Tick Velmora in the list."
                       : "",
           kGrantSymbol, PopoverTarget::grantAccess);
  }
  if (s_.settings.presenting()) {
    notice("Presentation mode is on", kPresentationSymbol, "", "Turn Off",
           PopoverTarget::turnOffPresentation);
  }
  if (std::optional<UpdateNotice> update = sources_.update ? sources_.update() : std::nullopt) {
    std::string detail = update->releaseDate.empty() ? "" : "Released " + update->releaseDate;
    detail += update->releaseDate.empty() ? "What's new and the download are in Settings."
                                          : ". What's new and the download are in Settings.";
    notice("Velmora " + update->version + " is out", kUpdateSymbol, detail, "", std::nullopt);
  }
  if (lines_.size() > 1) y += kNoticeGap;

  // The desktops, one group per display.
  listTop_ = y;
  const std::optional<platform::RunningApplication>& front = model_.frontApp();
  const bool offerSend = front && front->pid != s_.platform.workspace.currentProcessID();
  const std::string sendText =
      "Send the " + (front && front->localizedName ? *front->localizedName : std::string("front")) +
      " window here";
  const auto& displays = s_.engine.displays();
  std::size_t displayNumber = 0;
  for (const SkyLight::Display& display : displays) {
    ++displayNumber;
    std::vector<Desktop> desktops = s_.engine.desktopsOnDisplay(display.uuid);
    if (displays.size() >= 2) {
      Line heading;
      heading.kind = Line::Kind::heading;
      heading.text = "Display " + std::to_string(displayNumber);
      heading.frame = {kPadding, y, inner, kHeadingHeight};
      lines_.push_back(std::move(heading));
      y += kHeadingHeight;
    }
    for (const Desktop& desktop : desktops) {
      PopoverSpaceRow row;
      row.desktop = desktop;
      row.apps = s_.engine.apps(desktop);
      row.title = s_.presentation.title(desktop);
      row.numberLine = "Desktop " + std::to_string(desktop.number);
      if (std::optional<Hotkey> shortcut = s_.presentation.shortcut(desktop)) {
        row.caps = capTexts(*shortcut, s_.keyNames);
      }
      if (offerSend) row.send = sendText;
      row.frame = {kPadding - 4, y, inner + 8, kRowHeight};
      row.tile = {kPadding + 4, y + (kRowHeight - kTileSize) / 2, kTileSize, kTileSize};
      const double editWidth = std::ceil(textWidth(m, "Edit", kSmallFont)) + 14;
      row.editButton = {kPadding + inner - editWidth, y + (kRowHeight - kButtonSize) / 2, editWidth,
                        kButtonSize};
      if (row.send) {
        row.sendButton = {row.editButton.x - 4 - kButtonSize, row.editButton.y, kButtonSize,
                          kButtonSize};
      }
      Line line;
      line.kind = Line::Kind::row;
      line.text = row.title;
      line.row = rows_.size();
      line.target = PopoverTarget::row;
      line.frame = row.frame;
      rows_.push_back(std::move(row));
      lines_.push_back(std::move(line));
      y += kRowHeight;
    }
  }
  if (s_.engine.desktops().empty()) {
    Line empty;
    empty.kind = Line::Kind::empty;
    empty.text = "No desktops found";
    empty.frame = {kPadding, y, inner, kRowHeight};
    lines_.push_back(std::move(empty));
    y += kRowHeight;
  }
  listContent_ = y - listTop_;

  // The footer's commands; the list gives up room to them when the popover would be too tall.
  struct FooterItem {
    std::string text;
    const char* symbol;
    PopoverTarget target;
  };
  std::string switcher = "Quick Switcher";
  if (std::optional<Hotkey> hotkey = s_.settings.switcherHotkey()) {
    switcher += " · " + joinedCaps(capTexts(*hotkey, s_.keyNames));
  }
  const std::vector<FooterItem> footer{
      {switcher, "magnifyingglass", PopoverTarget::quickSwitcher},
      {"Mission Control", "rectangle.3.group", PopoverTarget::missionControl},
      {"Jump back", "arrow.uturn.backward", PopoverTarget::jumpBack},
      {"Settings", "gearshape.fill", PopoverTarget::settings},
      {"Quit Velmora", "", PopoverTarget::quit}};
  const double footerHeight =
      2 * kFooterInset + kFooterLineHeight * static_cast<double>(footer.size());
  const double room = kMaxHeight - listTop_ - footerHeight;
  listHeight_ = std::max(std::min(listContent_, room), std::min(listContent_, 2 * kRowHeight));
  scroll_ = std::clamp(scroll_, 0.0, std::max(0.0, listContent_ - listHeight_));
  y = listTop_ + listHeight_ + kFooterInset;
  for (const FooterItem& item : footer) {
    Line line;
    line.kind = Line::Kind::footer;
    line.text = item.text;
    line.symbol = item.symbol;
    line.target = item.target;
    line.frame = {kPadding - 4, y, inner + 8, kFooterLineHeight};
    lines_.push_back(std::move(line));
    y += kFooterLineHeight;
  }
  size_ = {kWidth, std::ceil(y + kFooterInset)};
}

void MenuPopoverView::scrollBy(double dy) {
  scroll_ = std::clamp(scroll_ + dy, 0.0, std::max(0.0, listContent_ - listHeight_));
}

CanvasRect MenuPopoverView::scrolled(const CanvasRect& r) const {
  return {r.x, r.y - scroll_, r.width, r.height};
}

std::vector<std::string> MenuPopoverView::describe() const {
  std::vector<std::string> out;
  const std::optional<platform::RunningApplication>& front = model_.frontApp();
  out.push_back("front app: " +
                (front ? front->localizedName.value_or("pid " + std::to_string(front->pid))
                       : std::string("none")));
  if (model_.page() == PopoverModel::Page::edit) {
    out.push_back("page: edit Desktop " + std::to_string(model_.editing()->number));
    if (editor_) out.push_back(editor_->describe());
    return out;
  }
  out.push_back("page: list");
  for (const Line& line : lines_) {
    switch (line.kind) {
      case Line::Kind::header:
        out.push_back("header: " + line.text + " [" + line.button + "]");
        break;
      case Line::Kind::notice: {
        std::string text = "notice: " + line.text + " (" + line.symbol + ")";
        if (!line.detail.empty()) text += " " + line.detail;
        if (!line.button.empty()) text += " [" + line.button + "]";
        out.push_back(text);
        break;
      }
      case Line::Kind::heading:
        out.push_back(line.text);
        break;
      case Line::Kind::empty:
        out.push_back(line.text);
        break;
      case Line::Kind::row: {
        const PopoverSpaceRow& row = rows_[line.row];
        std::string text = "row " + std::to_string(line.row + 1) + ": " +
                           (row.desktop.isCurrent ? "* " : "") + row.title + " · " + row.numberLine;
        if (!row.apps.empty()) {
          text += " · apps:";
          for (const SpaceApp& app : row.apps) text += " " + app.name;
        }
        if (!row.caps.empty()) text += " · keys " + joinedCaps(row.caps);
        if (row.send) text += " · [" + *row.send + "]";
        text += " · [Edit]";
        out.push_back(text);
        break;
      }
      case Line::Kind::footer:
        out.push_back("footer: " + line.text +
                      (line.symbol.empty() ? std::string() : " (" + line.symbol + ")"));
        break;
    }
  }
  return out;
}

std::optional<MenuPopoverView::Hit> MenuPopoverView::hitTest(CanvasPoint p) const {
  if (model_.page() == PopoverModel::Page::edit) {
    if (inside({0, 0, size_.width, size_.height}, p)) return Hit{PopoverTarget::editor};
    return std::nullopt;
  }
  const bool overList = p.y >= listTop_ && p.y < listTop_ + listHeight_;
  for (const Line& line : lines_) {
    if (inList(line)) {
      if (!overList || line.kind != Line::Kind::row) continue;
      const PopoverSpaceRow& row = rows_[line.row];
      if (!inside(scrolled(row.frame), p)) continue;
      if (inside(scrolled(row.editButton), p)) return Hit{PopoverTarget::edit, line.row};
      if (row.send && inside(scrolled(row.sendButton), p)) {
        return Hit{PopoverTarget::send, line.row};
      }
      return Hit{PopoverTarget::row, line.row};
    }
    if (line.kind == Line::Kind::footer && inside(line.frame, p)) return Hit{*line.target};
    if (line.target && line.buttonFrame.width > 0 && inside(line.buttonFrame, p)) {
      return Hit{*line.target};
    }
  }
  return std::nullopt;
}

void MenuPopoverView::hover(std::optional<CanvasPoint> point) {
  hovered_ = point ? hitTest(*point) : std::nullopt;
}

void MenuPopoverView::paint(platform::Canvas& canvas, Size size) const {
  platform::CanvasStateSaver saved(canvas);
  const Path card = Path::roundedRect({0, 0, size.width, size.height}, 10);
  canvas.clip(card);
  canvas.fill(card, kBackground);
  if (model_.page() == PopoverModel::Page::edit) {
    if (editor_) editor_->draw(canvas, size);
    return;
  }
  for (const Line& line : lines_) {
    if (inList(line)) continue;
    paintLine(canvas, line);
  }
  {
    platform::CanvasStateSaver list(canvas);
    canvas.clip(Path::rect({0, listTop_, size.width, listHeight_}));
    for (const Line& line : lines_) {
      if (inList(line)) paintLine(canvas, line);
    }
  }
  // The divider above the footer.
  canvas.fill(Path::rect({kPadding, listTop_ + listHeight_, size.width - 2 * kPadding, 1}),
              kDivider);
}

void MenuPopoverView::paintLine(platform::Canvas& canvas, const Line& line) const {
  const bool hoveredTarget =
      hovered_ && line.target && hovered_->target == *line.target && line.kind != Line::Kind::row;
  switch (line.kind) {
    case Line::Kind::header: {
      drawTextMiddleLeft(canvas, line.text, kHeaderFont, kInk,
                         {kPadding, 0, line.buttonFrame.x - kPadding - 8, kHeaderHeight});
      if (hoveredTarget) canvas.fill(Path::roundedRect(line.buttonFrame, 6), kButtonFill);
      const CanvasRect& b = line.buttonFrame;
      drawSymbol(canvas, line.button, {b.x + 4, b.y + 4, b.width - 8, b.height - 8}, kInk);
      canvas.fill(Path::rect({kPadding, kHeaderHeight - 1, kWidth - 2 * kPadding, 1}), kDivider);
      return;
    }
    case Line::Kind::notice: {
      const Color tint = line.symbol == kAccessibilitySymbol  ? kWarning
                         : line.symbol == kPresentationSymbol ? kPresentation
                                                              : kUpdate;
      const CanvasRect& f = line.frame;
      canvas.fill(Path::roundedRect(f, 8), tint.withAlpha(0.14));
      drawSymbol(canvas, line.symbol,
                 {f.x + kNoticeInset, f.y + kNoticeInset, kNoticeSymbol, kNoticeSymbol}, tint);
      const double textX = f.x + kNoticeInset + kNoticeSymbol + 8;
      const double room =
          (line.buttonFrame.width > 0 ? line.buttonFrame.x - 8 : f.x + f.width - kNoticeInset) -
          textX;
      canvas.drawText(line.text, kNoticeTitleFont, kInk, {textX, f.y + kNoticeInset}, room);
      double y = f.y + kNoticeInset + 16;
      for (const std::string& detail : line.detailLines) {
        canvas.drawText(detail, kSmallFont, kSecondary, {textX, y}, room);
        y += kDetailLine;
      }
      if (line.buttonFrame.width > 0) {
        const CanvasRect& b = line.buttonFrame;
        canvas.fill(Path::roundedRect(b, 6),
                    hoveredTarget ? kButtonFill.withAlpha(0.24) : kButtonFill);
        if (line.button == kGrantSymbol) {
          drawSymbol(canvas, line.button, {b.x + 4, b.y + 4, b.width - 8, b.height - 8}, tint);
        } else {
          drawTextCentredIn(canvas, line.button, kSmallFont, kInk, b);
        }
      }
      return;
    }
    case Line::Kind::heading:
      drawTextMiddleLeft(canvas, line.text, kHeadingFont, kSecondary, scrolled(line.frame));
      return;
    case Line::Kind::empty:
      drawTextCentredIn(canvas, line.text, kTitleFont, kSecondary, scrolled(line.frame));
      return;
    case Line::Kind::row:
      paintRow(canvas, line);
      return;
    case Line::Kind::footer: {
      const CanvasRect& f = line.frame;
      if (hoveredTarget) canvas.fill(Path::roundedRect(f, 6), kHoverFill);
      if (!line.symbol.empty()) {
        drawSymbol(canvas, line.symbol, {f.x + 6, f.y + (f.height - 14) / 2, 16, 14}, kSecondary);
      }
      drawTextMiddleLeft(canvas, line.text, kFooterFont, kInk,
                         {f.x + 30, f.y, f.width - 36, f.height});
      return;
    }
  }
}

void MenuPopoverView::paintRow(platform::Canvas& canvas, const Line& line) const {
  const PopoverSpaceRow& row = rows_[line.row];
  const bool rowHovered =
      hovered_ && hovered_->row == line.row &&
      (hovered_->target == PopoverTarget::row || hovered_->target == PopoverTarget::send ||
       hovered_->target == PopoverTarget::edit);
  const CanvasRect frame = scrolled(row.frame);
  if (row.desktop.isCurrent) {
    canvas.fill(Path::roundedRect(frame, 7), kCurrentFill);
  } else if (rowHovered) {
    canvas.fill(Path::roundedRect(frame, 7), kHoverFill);
  }
  if (ImageRef tile = Glyph::tileImage(s_.presentation, row.desktop, kTileSize)) {
    canvas.drawImage(*tile, scrolled(row.tile));
  }

  // Right to left: Edit, the send button, the shortcut's caps, the applications' icons.
  const CanvasRect edit = scrolled(row.editButton);
  const bool editHovered = rowHovered && hovered_->target == PopoverTarget::edit;
  canvas.fill(Path::roundedRect(edit, 6), editHovered ? kButtonFill.withAlpha(0.24) : kButtonFill);
  drawTextCentredIn(canvas, "Edit", kSmallFont, kInk, edit);
  double right = edit.x - 6;
  const bool sendHovered = rowHovered && hovered_->target == PopoverTarget::send;
  if (row.send) {
    const CanvasRect send = scrolled(row.sendButton);
    canvas.fill(Path::roundedRect(send, 6),
                sendHovered ? kButtonFill.withAlpha(0.24) : kButtonFill);
    drawSymbol(canvas, kSendSymbol, {send.x + 4, send.y + 4, send.width - 8, send.height - 8},
               kInk);
    right = send.x - 8;
  }
  const double midY = frame.y + frame.height / 2;
  for (auto it = row.caps.rbegin(); it != row.caps.rend(); ++it) {
    const double w = capWidth(&canvas, *it);
    const CanvasRect cap{right - w, midY - kCapHeight / 2, w, kCapHeight};
    canvas.fill(Path::roundedRect(cap, 4), kCapFill);
    canvas.stroke(Path::roundedRect({cap.x + 0.5, cap.y + 0.5, cap.width - 1, cap.height - 1}, 3.5),
                  kCapStroke, 1);
    drawTextCentredIn(canvas, *it, kCapFont, kInk, cap);
    right = cap.x - kCapGap;
  }
  if (!row.caps.empty()) right -= 6;
  const std::size_t shown = std::min(row.apps.size(), kMaxIcons);
  if (row.apps.size() > shown) {
    const std::string more = "+" + std::to_string(row.apps.size() - shown);
    const double w = canvas.measureText(more, kSmallFont).width;
    drawTextMiddleLeft(canvas, more, kSmallFont, kSecondary, {right - w, frame.y, w, frame.height});
    right -= w + 3;
  }
  for (std::size_t i = shown; i-- > 0;) {
    const CanvasRect at{right - kIconSize, midY - kIconSize / 2, kIconSize, kIconSize};
    std::shared_ptr<platform::VectorImage> image;
    if (row.apps[i].icon) image = s_.platform.appIcons.icon(*row.apps[i].icon);
    if (image) {
      canvas.drawImage(*image, at);
    } else {
      canvas.fill(Path::roundedRect(at, 3), Color::gray(0.45));
    }
    right = at.x - 3;
  }

  const double textX = row.tile.x + kTileSize + 10;
  const double room = std::max(20.0, right - 6 - textX);
  canvas.drawText(row.title, kTitleFont, kInk, {textX, frame.y + 5}, room);
  // Resting on the send button says what it sends where the number usually is.
  const std::string second = sendHovered ? *row.send : row.numberLine;
  canvas.drawText(second, kSmallFont, sendHovered ? kInk : kSecondary, {textX, frame.y + 23},
                  sendHovered ? frame.x + frame.width - 8 - textX : room);
}

// ---- MenuPopover ----

MenuPopover::MenuPopover(PopoverServices services, PopoverEditorFactory editors)
    : s_(std::move(services)), editors_(std::move(editors)), view_(s_, sources_, model_) {
  modelChanged_ = model_.changed().connect(lifetime_.guard([this] { pageChanged(); }));
  // What the list shows follows the desktops and the settings while it is open.
  engineChanged_ = s_.engine.changed().connect(lifetime_.guard([this] {
    if (isShown() && model_.page() == PopoverModel::Page::list) reload();
  }));
  settingsChanged_ = s_.settings.willChange().connect(lifetime_.guard([this] {
    s_.platform.loop.post(lifetime_.guard([this] {
      if (isShown() && model_.page() == PopoverModel::Page::list) reload();
    }));
  }));
}

MenuPopover::~MenuPopover() = default;

void MenuPopover::toggle(const platform::PopoverAnchor& anchor) {
  if (isShown()) {
    popover_->close(true);
  } else {
    show(anchor);
  }
}

void MenuPopover::show(const platform::PopoverAnchor& anchor, std::optional<Desktop> edit) {
  // Before Velmora comes forward, so it names the application the user was working in.
  model_.setFrontApp(s_.platform.workspace.frontmostApplication());
  if (edit) {
    model_.showEditor(*edit);
  } else {
    model_.showList();
  }
  s_.engine.refresh(false);
  s_.engine.refreshApps(false);
  if (!popover_) {
    platform::PopoverConfig config;
    config.contentSize = {MenuPopoverView::kWidth, 100};
    config.name = kName;
    popover_ = s_.platform.popovers.makePopover(config);
    popover_->setContent(lifetime_.guard(
        [this](platform::Canvas& canvas, Size size) { view_.paint(canvas, size); }));
    popover_->setOnDidClose(lifetime_.guard([this] {
      model_.showList();
      if (onDidClose_) onDidClose_();
    }));
    popover_->setOnPointerMoved(lifetime_.guard([this](CanvasPoint p) {
      view_.hover(p);
      popover_->setNeedsDisplay();
    }));
    popover_->setOnMouseDown(lifetime_.guard([this](CanvasPoint p) { click(p); }));
    popover_->setOnScrollWheel(lifetime_.guard([this](CanvasPoint p, double deltaY) {
      view_.scrollBy(-deltaY);
      view_.hover(p);
      popover_->setNeedsDisplay();
    }));
  }
  reload();
  // The current desktop's row in view when the list scrolls.
  for (const PopoverSpaceRow& row : view_.rows()) {
    if (!row.desktop.isCurrent) continue;
    view_.scrollBy(row.frame.y - view_.scroll() - MenuPopoverView::kMaxHeight / 3);
    break;
  }
  popover_->show(anchor);
  s_.platform.application.activateIgnoringOtherApps();
}

void MenuPopover::closeNow() {
  if (isShown()) popover_->close(false);
}

void MenuPopover::refresh() {
  if (isShown() && model_.page() == PopoverModel::Page::list) reload();
}

void MenuPopover::reload() {
  const Size size = view_.load();
  if (!popover_) return;
  if (popover_->contentSize() != size) popover_->setContentSize(size);
  popover_->setNeedsDisplay();
}

void MenuPopover::pageChanged() {
  if (const std::optional<Desktop>& desktop = model_.editing()) {
    view_.setEditor(editors_ ? editors_(*desktop, lifetime_.guard([this] {
      if (popover_) popover_->setNeedsDisplay();
    }),
                                        lifetime_.guard([this] { model_.showList(); }))
                             : nullptr);
  } else if (view_.editor()) {
    // The editor may be the one asking to leave: it goes once its callback has returned.
    retired_ = std::shared_ptr<PopoverEditor>(view_.releaseEditor());
    s_.platform.loop.post(lifetime_.guard([this] { retired_.reset(); }));
  }
  reload();
}

void MenuPopover::click(CanvasPoint point) {
  if (model_.page() == PopoverModel::Page::edit) {
    if (PopoverEditor* editor = view_.editor()) editor->click(point);
    return;
  }
  if (std::optional<MenuPopoverView::Hit> hit = view_.hitTest(point)) pick(hit->target, hit->row);
}

void MenuPopover::pick(PopoverTarget target, std::size_t index) {
  // Copies: switching and closing reload the rows.
  std::optional<Desktop> desktop;
  if (index < view_.rows().size()) desktop = view_.rows()[index].desktop;
  switch (target) {
    case PopoverTarget::settingsButton:
    case PopoverTarget::settings:
      closeNow();
      s_.commands.openSettings();
      return;
    case PopoverTarget::grantAccess:
      closeNow();
      if (sources_.grantAccess) sources_.grantAccess();
      return;
    case PopoverTarget::turnOffPresentation:
      s_.settings.setPresenting(false);
      return;
    case PopoverTarget::row:
      if (desktop) s_.commands.switchTo(*desktop);
      closeNow();
      return;
    case PopoverTarget::send:
      if (!desktop || index >= view_.rows().size() || !view_.rows()[index].send) return;
      s_.engine.moveFrontWindow(model_.frontApp(), *desktop, s_.settings.moveFollow());
      closeNow();
      return;
    case PopoverTarget::edit:
      if (desktop) model_.showEditor(*desktop);
      return;
    case PopoverTarget::quickSwitcher:
      closeNow();
      s_.commands.toggleQuickSwitcher();
      return;
    case PopoverTarget::missionControl:
      closeNow();
      s_.commands.openMissionControl();
      return;
    case PopoverTarget::jumpBack:
      closeNow();
      s_.engine.jumpBack();
      return;
    case PopoverTarget::quit:
      closeNow();
      s_.commands.quit();
      return;
    case PopoverTarget::editor:
      return;
  }
}

std::string popoverTargetName(PopoverTarget target) {
  return targetName(target);
}

}  // namespace velmora
