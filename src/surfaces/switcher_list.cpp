#include "surfaces/switcher_list.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>

#include "store/characters.h"
#include "store/text.h"

namespace velmora {

namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

const Color kBackground{0.086, 0.086, 0.1, 0.97};
const Color kBorder = Color::white(0.14);
const Color kDivider = Color::white(0.08);
const Color kGlass = Color::white(0.45);
const Color kSelection = Color::white(0.1);
const Color kTitle{0.95, 0.96, 0.98, 1};
const Color kSecondary = Color::white(0.5);
const Color kChipFill = Color::white(0.1);
const Color kChipText = Color::white(0.75);
const Color kOpensFill{0.32, 0.55, 1.0, 0.22};
const Color kOpensText{0.62, 0.78, 1.0, 1};
const Color kCapFill = Color::white(0.08);
const Color kCapStroke = Color::white(0.14);
const Color kCapText = Color::white(0.7);
const Color kHintKey = Color::white(0.6);
const Color kHintLabel = Color::white(0.35);
const Color kStandInFill = Color::gray(0.42);

const Font kTitleFont = Font::system(14, FontWeight::medium);
const Font kNumberFont = Font::system(11);
const Font kChipFont = Font::system(10.5, FontWeight::semibold);
const Font kCapFont = Font::system(11, FontWeight::medium);
const Font kMoreFont = Font::system(11, FontWeight::medium);
const Font kEmptyFont = Font::system(13);
const Font kHintKeyFont = Font::system(11, FontWeight::semibold);
const Font kHintLabelFont = Font::system(11);

constexpr double kSide = 8;         // between the card's edge and a row
constexpr double kRowPadding = 10;  // inside a row, at both ends
constexpr double kTileSize = 26;
constexpr double kGap = 10;  // between the tile and the text, the text and the chips
constexpr double kIconSize = 16;
constexpr double kIconGap = 4;
constexpr double kLineGap = 2;  // between the title and the line under it
constexpr double kChipHeight = 18;
constexpr double kChipPadding = 7;
constexpr double kChipGap = 6;
constexpr double kOpensMaxWidth = 150;  // an application's long name does not crowd the title
constexpr double kCapHeight = 18;
constexpr double kCapPadding = 5;
constexpr double kCapGap = 3;
constexpr double kReturnSize = 11;
constexpr double kGlassSize = 16;
constexpr double kGlassLeft = 18;
constexpr double kFieldLeft = 44;
constexpr double kFieldHeight = 26;
constexpr double kTextRoomMin = 40;  // what a title keeps however many chips a row has

// The hint line, in order: a key and what it does.
constexpr std::array<std::pair<const char*, const char*>, 5> kHints{
    {{"↑↓", "navigate"}, {"↩", "switch"}, {"1–9", "jump"}, {"⇥", "last space"}, {"esc", "close"}}};
constexpr double kHintKeyGap = 4;
constexpr double kHintGap = 14;
constexpr double kHintGapMin = 6;

double listTop() {
  return SwitcherList::kSearchHeight + SwitcherList::kListInset;
}

// Each modifier symbol of the shortcut on a cap of its own, then the key's name.
std::vector<std::string> capTexts(const Hotkey& hotkey, const KeyNames& names) {
  std::vector<std::string> caps;
  std::string symbols = KeyNames::symbols(hotkey.modifiers);
  for (std::size_t at = 0; at < symbols.size();) {
    std::string one = firstCharacter(std::string_view(symbols).substr(at));
    if (one.empty()) break;
    caps.push_back(one);
    at += one.size();
  }
  caps.push_back(names.name(hotkey.keyCode));
  return caps;
}

// An application without an icon of its own: its initial on a grey rounded square.
ImageRef standInIcon(const std::string& name) {
  std::string initial = upperCasedFirst(firstCharacter(trimmedWhitespaceAndNewlines(name)));
  if (initial.empty()) initial = "?";
  return std::make_shared<platform::DrawnImage>(
      Size{kIconSize, kIconSize}, [initial](platform::Canvas& canvas, Size size) {
        canvas.fill(Path::roundedRect({0, 0, size.width, size.height}, size.width * 0.22),
                    kStandInFill);
        Font font = Font::system(size.height * 0.62, FontWeight::semibold);
        Size text = canvas.measureText(initial, font);
        double width = std::min(text.width, size.width);
        canvas.drawText(initial, font, Color::white(0.92),
                        {(size.width - width) / 2, (size.height - text.height) / 2}, size.width);
      });
}

}  // namespace

std::size_t SwitcherList::visibleRows(std::size_t rowCount) {
  return std::min(std::max<std::size_t>(rowCount, 1), kMaxVisibleRows);
}

double SwitcherList::height(std::size_t rowCount) {
  return kSearchHeight + kRowHeight * static_cast<double>(visibleRows(rowCount)) + 2 * kListInset +
         kHintHeight;
}

platform::CanvasRect SwitcherList::fieldFrame() {
  return {kFieldLeft, (kSearchHeight - kFieldHeight) / 2, kWidth - kFieldLeft - kGlassLeft,
          kFieldHeight};
}

SwitcherList::SwitcherList(SwitcherModel& model, SwitcherListServices services)
    : model_(model), s_(services) {
  modelChanged_ = model.changed().connect([this] { follow(); });
}

void SwitcherList::follow() {
  const std::size_t count = model_.rows().size();
  const std::size_t shown = visibleRows(count);
  first_ = std::min(first_, count > shown ? count - shown : 0);
  const std::size_t selected = model_.selection();
  if (selected >= count) return;
  if (selected < first_) first_ = selected;
  if (selected >= first_ + shown) first_ = selected + 1 - shown;
}

std::optional<platform::CanvasRect> SwitcherList::rowFrame(std::size_t row) const {
  if (row >= model_.rows().size() || row < first_ || row >= first_ + kMaxVisibleRows) {
    return std::nullopt;
  }
  return CanvasRect{kSide, listTop() + kRowHeight * static_cast<double>(row - first_),
                    kWidth - 2 * kSide, kRowHeight};
}

std::optional<std::size_t> SwitcherList::rowAt(platform::CanvasPoint p) const {
  if (p.x < kSide || p.x >= kWidth - kSide || p.y < listTop()) return std::nullopt;
  auto row = first_ + static_cast<std::size_t>((p.y - listTop()) / kRowHeight);
  if (!rowFrame(row)) return std::nullopt;
  return row;
}

void SwitcherList::forgetRendered() {
  icons_.clear();
  rendered_.clear();
  measured_.clear();
  caps_.clear();
  hints_.reset();
}

Size SwitcherList::measure(platform::Canvas& canvas, const std::string& text,
                           const platform::Font& font) {
  std::string key = std::to_string(font.pointSize) + "|" +
                    std::to_string(static_cast<int>(font.weight)) + "|" +
                    std::to_string(static_cast<int>(font.family)) + "|" + text;
  auto it = measured_.find(key);
  if (it != measured_.end()) return it->second;
  return measured_[key] = canvas.measureText(text, font);
}

ImageRef SwitcherList::iconFor(const SpaceApp& app) {
  const std::string key = app.icon ? "icon:" + app.icon->identifier : "name:" + app.name;
  auto it = icons_.find(key);
  if (it != icons_.end()) return it->second;
  ImageRef image;
  if (app.icon) image = s_.appIcons.icon(*app.icon);
  if (!image) image = standInIcon(app.name);
  return icons_[key] = image;
}

void SwitcherList::drawRendered(platform::Canvas& canvas, const ImageRef& image,
                                const platform::CanvasRect& into) {
  const Size size{into.width, into.height};
  Rendered& r = rendered_[image.get()];
  if (r.image != image || r.size != size || r.scale != canvas.scale()) {
    std::unique_ptr<platform::Canvas> offscreen = s_.canvases.makeCanvas(size, canvas.scale());
    if (!offscreen) {
      rendered_.erase(image.get());
      canvas.drawImage(*image, into);
      return;
    }
    offscreen->drawImage(*image, {0, 0, size.width, size.height});
    r = {image, size, canvas.scale(), offscreen->bitmap()};
  }
  canvas.drawImage(r.bitmap, into);
}

SwitcherList::RowLayout SwitcherList::layoutRow(platform::Canvas& canvas, std::size_t row) {
  RowLayout l;
  const Desktop& desktop = model_.rows()[row];
  l.frame = rowFrame(row).value_or(CanvasRect{kSide, listTop(), kWidth - 2 * kSide, kRowHeight});
  const CanvasRect& f = l.frame;
  l.tile = {f.x + kRowPadding, f.y + (f.height - kTileSize) / 2, kTileSize, kTileSize};

  // From the right edge leftwards: the return symbol, the shortcut's caps, the chips.
  double right = f.x + f.width - kRowPadding;
  auto place = [&](double width, double height) {
    CanvasRect box{right - width, f.y + (f.height - height) / 2, width, height};
    right -= width;
    return box;
  };
  if (row == model_.selection()) {
    l.returnSymbol = place(kReturnSize + 2, kReturnSize + 2);
    right -= kGap;
  }
  if (auto hotkey = s_.presentation.shortcut(desktop)) {
    std::vector<std::string> caps = capTexts(*hotkey, s_.keyNames);
    for (auto it = caps.rbegin(); it != caps.rend(); ++it) {
      double width = std::max(kCapHeight, measure(canvas, *it, kCapFont).width + 2 * kCapPadding);
      l.caps.insert(l.caps.begin(), {*it, place(std::min(width, 60.0), kCapHeight)});
      right -= kCapGap;
    }
    right += kCapGap - kGap;
  }
  std::vector<std::string> chips;
  if (auto app = model_.openingApp(desktop)) chips.push_back("Opens " + app->name);
  if (model_.currentID() && desktop.id() == *model_.currentID()) chips.push_back("Current");
  if (model_.lastID() && desktop.id() == *model_.lastID()) chips.push_back("Last");
  const double textLeft = l.tile.x + kTileSize + kGap;
  for (auto it = chips.rbegin(); it != chips.rend(); ++it) {
    double room = right - textLeft - kTextRoomMin;
    double width = measure(canvas, *it, kChipFont).width + 2 * kChipPadding;
    width = std::min({width, it->starts_with("Opens ") ? kOpensMaxWidth : width, room});
    if (width < 2 * kChipPadding + 8) break;  // no room left for even a cut chip
    const bool fits = measure(canvas, *it, kChipFont).width <= width - 2 * kChipPadding;
    l.chips.insert(l.chips.begin(),
                   {fits ? *it : canvas.truncateTail(*it, kChipFont, width - 2 * kChipPadding),
                    place(width, kChipHeight)});
    right -= kChipGap;
  }
  if (!l.chips.empty()) right += kChipGap - kGap;
  l.textWidth = std::max(0.0, right - textLeft);

  l.title = s_.presentation.title(desktop);
  const double titleHeight = measure(canvas, "Ag", kTitleFont).height;
  const std::vector<SpaceApp>& apps = model_.appsOf(desktop);
  double secondHeight = 0;
  if (!apps.empty()) {
    secondHeight = kIconSize;
  } else if (s_.presentation.isNamed(desktop)) {
    l.numberLine = "Desktop " + std::to_string(desktop.number);
    secondHeight = measure(canvas, *l.numberLine, kNumberFont).height;
  }
  const double block = titleHeight + (secondHeight > 0 ? kLineGap + secondHeight : 0);
  l.titleAt = {textLeft, f.y + (f.height - block) / 2};
  l.secondLineAt = {textLeft, std::round(l.titleAt.y + titleHeight + kLineGap)};
  if (!apps.empty()) {
    auto fits = static_cast<std::size_t>((l.textWidth + kIconGap) / (kIconSize + kIconGap));
    std::size_t shown = std::min(apps.size(), fits);
    if (shown < apps.size() && shown > 0) {
      --shown;  // room for the count of the rest
      l.moreApps = "+" + std::to_string(apps.size() - shown);
    }
    for (std::size_t i = 0; i < shown; ++i) {
      l.icons.push_back({textLeft + static_cast<double>(i) * (kIconSize + kIconGap),
                         l.secondLineAt.y, kIconSize, kIconSize});
    }
    double moreLeft = textLeft + static_cast<double>(shown) * (kIconSize + kIconGap);
    l.moreAppsAt = {moreLeft,
                    l.secondLineAt.y + (kIconSize - measure(canvas, "+", kMoreFont).height) / 2};
  }
  return l;
}

void SwitcherList::drawRow(platform::Canvas& canvas, std::size_t row) {
  RowLayout l = layoutRow(canvas, row);
  const Desktop& desktop = model_.rows()[row];
  if (row == model_.selection()) canvas.fill(Path::roundedRect(l.frame, 8), kSelection);

  if (ImageRef tile = Glyph::tileImage(s_.presentation, desktop, kTileSize)) {
    drawRendered(canvas, tile, l.tile);
  }
  canvas.drawText(l.title, kTitleFont, kTitle, l.titleAt, l.textWidth);
  if (l.numberLine) {
    canvas.drawText(*l.numberLine, kNumberFont, kSecondary, l.secondLineAt, l.textWidth);
  }
  const std::vector<SpaceApp>& apps = model_.appsOf(desktop);
  for (std::size_t i = 0; i < l.icons.size(); ++i) {
    if (ImageRef icon = iconFor(apps[i])) drawRendered(canvas, icon, l.icons[i]);
  }
  if (l.moreApps) {
    double room = l.frame.x + l.frame.width - l.moreAppsAt.x;
    canvas.drawText(*l.moreApps, kMoreFont, kSecondary, l.moreAppsAt, std::max(0.0, room));
  }
  for (const RowLayout::Label& chip : l.chips) {
    const bool opens = chip.text.starts_with("Opens");
    canvas.fill(Path::roundedRect(chip.box, kChipHeight / 2), opens ? kOpensFill : kChipFill);
    Size text = measure(canvas, chip.text, kChipFont);
    canvas.drawText(chip.text, kChipFont, opens ? kOpensText : kChipText,
                    {chip.box.x + kChipPadding, chip.box.y + (chip.box.height - text.height) / 2},
                    chip.box.width - 2 * kChipPadding);
  }
  if (!l.caps.empty()) {
    const platform::CanvasRect& first = l.caps.front().box;
    const platform::CanvasRect& last = l.caps.back().box;
    drawRendered(canvas, capsImage(l),
                 {first.x, first.y, last.x + last.width - first.x, first.height});
  }
  if (l.returnSymbol) {
    if (ImageRef symbol =
            Glyph::symbolImage("return", kReturnSize, FontWeight::semibold, kSecondary)) {
      Size natural = symbol->size();
      double scale = std::min({1.0, l.returnSymbol->width / std::max(natural.width, 1.0),
                               l.returnSymbol->height / std::max(natural.height, 1.0)});
      Size shown{natural.width * scale, natural.height * scale};
      canvas.drawImage(*symbol, {l.returnSymbol->x + l.returnSymbol->width - shown.width,
                                 l.returnSymbol->y + (l.returnSymbol->height - shown.height) / 2,
                                 shown.width, shown.height});
    }
  }
}

ImageRef SwitcherList::capsImage(const RowLayout& row) {
  const double left = row.caps.front().box.x;
  std::string key;
  std::vector<RowLayout::Label> caps;
  for (RowLayout::Label cap : row.caps) {
    cap.box.x -= left;
    cap.box.y = 0;
    key += cap.text + "|" + std::to_string(cap.box.width) + "|";
    caps.push_back(std::move(cap));
  }
  ImageRef& image = caps_[key];
  if (image) return image;
  Size size{caps.back().box.x + caps.back().box.width, kCapHeight};
  image = std::make_shared<platform::DrawnImage>(size, [caps](platform::Canvas& canvas, Size) {
    for (const RowLayout::Label& cap : caps) {
      const CanvasRect& b = cap.box;
      canvas.fill(Path::roundedRect(b, 4), kCapFill);
      canvas.stroke(Path::roundedRect({b.x + 0.5, b.y + 0.5, b.width - 1, b.height - 1}, 3.5),
                    kCapStroke, 1);
      Size text = canvas.measureText(cap.text, kCapFont);
      double width = std::min(text.width, b.width - 2 * kCapPadding);
      canvas.drawText(cap.text, kCapFont, kCapText,
                      {b.x + (b.width - width) / 2, b.y + (b.height - text.height) / 2},
                      b.width - 2 * kCapPadding);
    }
  });
  return image;
}

// The hint line: each key and what it does, centred, closer together when room is short.
ImageRef SwitcherList::hintsImage(platform::Canvas& canvas, double width) {
  if (hints_ && hints_->size().width == width) return hints_;
  struct Placed {
    std::string text;
    bool key = false;
    double x = 0;
  };
  std::vector<Placed> placed;
  double total = 0;
  for (const auto& [key, label] : kHints) {
    placed.push_back({key, true, total});
    total += measure(canvas, key, kHintKeyFont).width + kHintKeyGap;
    placed.push_back({label, false, total});
    total += measure(canvas, label, kHintLabelFont).width;
  }
  const double room = width - 2 * 16;
  const double gaps = static_cast<double>(kHints.size() - 1);
  const double gap = std::clamp((room - total) / gaps, kHintGapMin, kHintGap);
  const double start = std::max(16.0, (width - (total + gap * gaps)) / 2);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    placed[i].x += start + gap * static_cast<double>(i / 2);
  }
  const double lineHeight = measure(canvas, "esc", kHintLabelFont).height;
  hints_ = std::make_shared<platform::DrawnImage>(
      Size{width, kHintHeight}, [placed, lineHeight](platform::Canvas& canvas, Size size) {
        const double end = size.width - 16;
        const double y = (size.height - lineHeight) / 2;
        for (const Placed& p : placed) {
          if (p.x >= end) break;
          canvas.drawText(p.text, p.key ? kHintKeyFont : kHintLabelFont,
                          p.key ? kHintKey : kHintLabel, {p.x, y}, end - p.x);
        }
      });
  return hints_;
}

void SwitcherList::draw(platform::Canvas& canvas, Size size) {
  drawCard(canvas, size);
  drawList(canvas, size);
}

void SwitcherList::drawCard(platform::Canvas& canvas, Size size) {
  platform::CanvasStateSaver saved(canvas);
  canvas.fill(Path::roundedRect({0, 0, size.width, size.height}, kCornerRadius), kBackground);
  canvas.stroke(Path::roundedRect({0.5, 0.5, size.width - 1, size.height - 1}, kCornerRadius - 0.5),
                kBorder, 1);
  if (ImageRef glass =
          Glyph::symbolImage("magnifyingglass", kGlassSize, FontWeight::regular, kGlass)) {
    Size natural = glass->size();
    canvas.drawImage(
        *glass, {kGlassLeft, (kSearchHeight - natural.height) / 2, natural.width, natural.height});
  }
  canvas.fill(Path::rect({0, kSearchHeight - 1, size.width, 1}), kDivider);
  drawRendered(canvas, hintsImage(canvas, size.width),
               {0, size.height - kHintHeight, size.width, kHintHeight});
}

void SwitcherList::drawList(platform::Canvas& canvas, Size size) {
  platform::CanvasStateSaver saved(canvas);
  const std::size_t count = model_.rows().size();
  if (count == 0) {
    const char* text = "No matching space";
    Size measured = measure(canvas, text, kEmptyFont);
    double width = std::min(measured.width, size.width - 2 * kSide);
    canvas.drawText(text, kEmptyFont, kSecondary,
                    {(size.width - width) / 2, listTop() + (kRowHeight - measured.height) / 2},
                    size.width - 2 * kSide);
    return;
  }
  // Rows that would run into the hint line (a panel not yet grown) are cut off there.
  canvas.clip(Path::rect(
      {0, kSearchHeight, size.width, std::max(0.0, size.height - kSearchHeight - kHintHeight)}));
  const std::size_t last = std::min(count, first_ + kMaxVisibleRows);
  for (std::size_t row = first_; row < last; ++row) drawRow(canvas, row);
}

}  // namespace velmora
