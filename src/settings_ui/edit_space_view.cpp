#include "settings_ui/edit_space_view.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "drawing/glyph.h"
#include "settings_ui/form_drawing.h"
#include "store/text.h"

namespace velmora {
namespace {

using platform::CanvasRect;
using platform::Color;
using platform::Font;
using platform::FontWeight;
using platform::Path;

// ---- Layout, in points ----
constexpr double kWidth = 460;
constexpr double kPad = 20;
constexpr double kHeaderHeight = 40;
constexpr double kSectionGap = 18;
constexpr double kCaptionHeight = 18;
constexpr double kFieldHeight = 24;
constexpr double kCell = 30;
constexpr double kCellGap = 6;
constexpr double kSwatch = 22;
constexpr double kSwatchGap = 8;
constexpr double kButtonWidth = 80;

// ---- The dark appearance ----
using form::kAccent;
using form::kBackground;
using form::kPrimary;
using form::kSecondary;
const Color kTertiary = Color::white(0.3);
const Color kControl = Color::white(0.08);
const Color kControlEdge = Color::white(0.14);
const Color kFieldFill = Color::gray(0.11);

const Font kBody = Font::system(13);
const Font kSmall = Font::system(11);
const Font kCaption = Font::system(11, FontWeight::semibold);
const Font kTitle = Font::system(17, FontWeight::semibold);

CanvasRect inset(const CanvasRect& r, double by) {
  return {r.x + by, r.y + by, r.width - 2 * by, r.height - 2 * by};
}

// One line in `box`, vertically centred, cut at the tail when it does not fit.
void label(platform::Canvas& canvas, std::string_view text, const Font& font, const Color& color,
           const CanvasRect& box, bool centred = false) {
  form::drawLine(canvas, text, font, color, box, centred ? 0.5 : 0);
}

// An image scaled to fit `box`, centred.
void image(platform::Canvas& canvas, const ImageRef& picture, const CanvasRect& box) {
  if (!picture) return;
  Size natural = picture->size();
  if (natural.width <= 0 || natural.height <= 0) return;
  double k = std::min(box.width / natural.width, box.height / natural.height);
  double w = natural.width * k, h = natural.height * k;
  canvas.drawImage(*picture, {box.x + (box.width - w) / 2, box.y + (box.height - h) / 2, w, h});
}

ImageRef symbol(std::string_view name, double size, const Color& color) {
  return Glyph::symbolImage(std::string(name), size, FontWeight::regular, color);
}

// A choice in the icon grid; the chosen one is lit with the accent colour.
void cell(platform::Canvas& canvas, const CanvasRect& r, bool selected) {
  Path shape = Path::roundedRect(r, 6);
  canvas.fill(shape, selected ? kAccent.withAlpha(0.3) : kControl);
  canvas.stroke(shape, selected ? kAccent : kControlEdge, selected ? 1.5 : 1);
}

// A text field: its text, or the placeholder when empty, and a focus ring while focused.
void field(platform::Canvas& canvas, const CanvasRect& r, std::string_view text,
           std::string_view placeholder, bool focused) {
  Path shape = Path::roundedRect(r, 5);
  canvas.fill(shape, kFieldFill);
  canvas.stroke(shape, kControlEdge, 1);
  if (focused) canvas.stroke(Path::roundedRect(inset(r, -1.5), 6.5), kAccent.withAlpha(0.8), 3);
  CanvasRect inner{r.x + 7, r.y, r.width - 14, r.height};
  label(canvas, text.empty() ? placeholder : text, kBody, text.empty() ? kTertiary : kPrimary,
        inner);
}

void button(platform::Canvas& canvas, const CanvasRect& r, std::string_view title, bool primary) {
  canvas.fill(Path::roundedRect(r, 6), primary ? kAccent : Color::white(0.16));
  label(canvas, title, primary ? Font::system(13, FontWeight::semibold) : kBody,
        primary ? Color::white() : kPrimary, inset(r, 6), true);
}

Color toColor(const RGBColor& c) {
  return {c.red, c.green, c.blue, c.alpha};
}

}  // namespace

EditSpaceView::EditSpaceView(EditorServices services, Desktop desktop, bool embedded,
                             std::function<void()> onDone)
    : services_(services),
      desktop_(std::move(desktop)),
      embedded_(embedded),
      onDone_(std::move(onDone)),
      recorder_(services.monitors, services.hotkeyCenter, services.keyNames) {
  // The real values, not what presentation mode shows, so saving never wipes them.
  SpaceMeta stored = services_.presentation.storedMeta(desktop_);
  name_ = stored.name;
  icon_ = stored.icon;
  color_ = stored.color;
  hotkey_ = stored.hotkey;
  if (icon_.kind() == SpaceIcon::Kind::Emoji) emoji_ = icon_.payload();
  recorder_.setHotkey(hotkey_);
  recorder_.setOnChange([this](const std::optional<Hotkey>& hotkey) {
    hotkey_ = hotkey;
    save();
    changedNow();
  });
  recorderChanged_ = recorder_.changed().connect([this] { changedNow(); });
  engineChanged_ = services_.engine.changed().connect([this] { followDesktop(); });
}

void EditSpaceView::followDesktop() {
  for (const Desktop& d : services_.engine.desktops()) {
    if (d.space.managedID != desktop_.space.managedID) continue;
    if (d == desktop_) return;
    desktop_ = d;
    changedNow();
    return;
  }
}

void EditSpaceView::save() {
  std::string name = trimmedWhitespaceAndNewlines(name_);
  services_.store.update(desktop_.space.managedID, [&](SpaceMeta& meta) {
    meta.name = name;
    meta.icon = icon_;
    meta.color = color_;
    meta.hotkey = hotkey_;
  });
}

void EditSpaceView::setName(const std::string& name) {
  name_ = name;
  save();
  changedNow();
}

void EditSpaceView::chooseIcon(const SpaceIcon& icon) {
  icon_ = icon;
  if (icon.kind() != SpaceIcon::Kind::Emoji) emoji_.clear();
  save();
  changedNow();
}

void EditSpaceView::typeEmoji(const std::string& text) {
  // The same rule the store reads emoji icons with, so the field shows what is kept.
  std::string kept = emojiPrefix(text, 2);
  emoji_ = kept;
  if (!kept.empty()) {
    icon_ = SpaceIcon::emoji(kept);
    save();
  }
  changedNow();
}

void EditSpaceView::chooseColor(const TileColor& color) {
  color_ = color;
  save();
  changedNow();
}

void EditSpaceView::setHotkey(std::optional<Hotkey> hotkey) {
  hotkey_ = std::move(hotkey);
  recorder_.setHotkey(hotkey_);
  save();
  changedNow();
}

void EditSpaceView::choosePicture() {
  platform::OpenPanelRequest request;
  request.message = "Choose a picture for “" + services_.presentation.title(desktop_) + "”";
  request.allowedExtensions.assign(kPictureExtensions.begin(), kPictureExtensions.end());
  std::optional<std::filesystem::path> file = services_.openPanel.runModal(request);
  if (!file) return;
  Result<std::string> made = services_.store.importPicture(*file, desktop_.space.managedID);
  if (!made) {
    services_.application.runModalAlert({std::string(kPictureFailedTitle), made.error(), {"OK"}});
    return;
  }
  chooseIcon(SpaceIcon::picture(*made));
}

void EditSpaceView::reset() {
  name_.clear();
  emoji_.clear();
  icon_ = SpaceIcon::none();
  color_ = TileColor::automatic();
  hotkey_.reset();
  recorder_.setHotkey(std::nullopt);
  save();
  changedNow();
}

void EditSpaceView::done() {
  save();
  // The host may drop this view from inside the callback: run a copy.
  if (auto finished = onDone_) finished();
}

void EditSpaceView::back() {
  if (!embedded_) return;
  if (auto finished = onDone_) finished();
}

void EditSpaceView::focus(Field field) {
  if (focused_ == field) return;
  focused_ = field;
  changedNow();
}

// ---- Drawing ------------------------------------------------------------------------------

EditSpaceView::Layout EditSpaceView::layout(double width) const {
  Layout l;
  const double inner = width - 2 * kPad;
  double y = kPad;

  l.header = {kPad, y, inner, kHeaderHeight};
  double x = kPad;
  if (embedded_) {
    l.back = {x, y + 10, 20, 20};
    x += 28;
  }
  l.preview = {x, y, kHeaderHeight, kHeaderHeight};
  l.title = {l.preview.x + kHeaderHeight + 12, y + 8, kPad + inner - (x + kHeaderHeight + 12), 24};
  y += kHeaderHeight + kSectionGap;

  auto caption = [&](int index) {
    l.captions[static_cast<std::size_t>(index)] = {kPad, y, inner, 14};
    y += kCaptionHeight;
  };
  caption(0);
  l.nameField = {kPad, y, inner, kFieldHeight};
  y += kFieldHeight + kSectionGap;

  // The grid: the number and its title take three cells, the symbols flow after them.
  caption(1);
  const double pitch = kCell + kCellGap;
  const int columns = std::max(4, static_cast<int>((inner + kCellGap) / pitch));
  constexpr int kNumberCells = 3;
  l.numberCell = {kPad, y, kNumberCells * kCell + (kNumberCells - 1) * kCellGap, kCell};
  const CanvasRect inside = inset(l.numberCell, 5);
  l.numberDigits = {inside.x, inside.y, 18, inside.height};
  l.numberTitle = {inside.x + 20, inside.y, inside.width - 20, inside.height};
  int slot = kNumberCells;
  for (CanvasRect& r : l.symbolCells) {
    r = {kPad + (slot % columns) * pitch, y + (slot / columns) * pitch, kCell, kCell};
    ++slot;
  }
  y += ((slot + columns - 1) / columns) * pitch + kCellGap;

  l.emojiCell = {kPad, y, kCell, kCell};
  l.emojiTitle = {kPad + kCell + 10, y, 70, kCell};
  l.emojiField = {l.emojiTitle.x + 74, y + 3, std::min(180.0, kPad + inner - (l.emojiTitle.x + 74)),
                  kFieldHeight};
  y += kCell + 8;
  l.pictureCell = {kPad, y, kCell, kCell};
  l.pictureTitle = {kPad + kCell + 10, y, inner - kCell - 10, 15};
  l.pictureText = {kPad + kCell + 10, y + 16, inner - kCell - 10, 14};
  y += kCell + kSectionGap;

  caption(2);
  l.automaticSwatch = {kPad, y, kSwatch, kSwatch};
  l.automaticText = {kPad + kSwatch + 6, y, 72, kSwatch};
  const double paletteX = l.automaticText.x + l.automaticText.width + 8;
  for (std::size_t i = 0; i < l.paletteSwatches.size(); ++i) {
    l.paletteSwatches[i] = {paletteX + static_cast<double>(i) * (kSwatch + kSwatchGap), y, kSwatch,
                            kSwatch};
  }
  y += kSwatch + kSwatchGap;
  l.transparentSwatch = {kPad, y, kSwatch, kSwatch};
  l.transparentText = {kPad + kSwatch + 6, y, inner - kSwatch - 6, kSwatch};
  y += kSwatch + kSectionGap;

  caption(3);
  l.recorder = {kPad, y, 160, kFieldHeight};
  l.removeShortcut = {kPad + 166, y + 4, 16, 16};
  l.shortcutText = {kPad + 192, y, inner - 192, kFieldHeight};
  y += kFieldHeight + 24;

  l.reset = {kPad, y, kButtonWidth, kFieldHeight};
  l.done = {kPad + inner - kButtonWidth, y, kButtonWidth, kFieldHeight};
  l.height = y + kFieldHeight + kPad;
  return l;
}

Size EditSpaceView::preferredSize() const {
  return {kWidth, layout(kWidth).height};
}

void EditSpaceView::draw(platform::Canvas& canvas, Size size) const {
  const Layout l = layout(size.width);
  platform::CanvasStateSaver saved(canvas);
  canvas.clip(Path::rect({0, 0, size.width, size.height}));
  canvas.fill(Path::rect({0, 0, size.width, size.height}), kBackground);

  // Header: back, a live preview of the working copies, the desktop's number.
  if (embedded_) image(canvas, symbol(kBackSymbol, 15, kAccent), l.back);
  image(canvas, Glyph::tileImage(desktop_.number, icon_, color_, std::nullopt, l.preview.width),
        l.preview);
  label(canvas, header(), kTitle, kPrimary, l.title);

  static constexpr std::array<std::string_view, 4> kCaptions{"Name", "Icon", "Color", "Shortcut"};
  for (std::size_t i = 0; i < kCaptions.size(); ++i) {
    label(canvas, kCaptions[i], kCaption, kSecondary, l.captions[i]);
  }
  field(canvas, l.nameField, textFieldsHosted_ ? "" : name_, textFieldsHosted_ ? "" : header(),
        nameFocused());

  // Icons.
  const SpaceIcon::Kind kind = icon_.kind();
  cell(canvas, l.numberCell, kind == SpaceIcon::Kind::None);
  label(canvas, std::to_string(desktop_.number), Font::system(13, FontWeight::bold), kPrimary,
        l.numberDigits, true);
  label(canvas, kNumberTitle, kSmall, kPrimary, l.numberTitle);
  for (std::size_t i = 0; i < kIconCatalogue.size(); ++i) {
    const bool chosen = kind == SpaceIcon::Kind::Symbol && icon_.payload() == kIconCatalogue[i];
    cell(canvas, l.symbolCells[i], chosen);
    image(canvas, symbol(kIconCatalogue[i], 14, chosen ? Color::white() : kPrimary),
          inset(l.symbolCells[i], 7));
  }

  cell(canvas, l.emojiCell, kind == SpaceIcon::Kind::Emoji);
  if (emoji_.empty()) {
    image(canvas, symbol(kEmojiSymbol, 15, kPrimary), inset(l.emojiCell, 7));
  } else {
    label(canvas, emoji_, Font::system(15), kPrimary, inset(l.emojiCell, 2), true);
  }
  label(canvas, kEmojiTitle, kBody, kPrimary, l.emojiTitle);
  field(canvas, l.emojiField, textFieldsHosted_ ? "" : emoji_,
        textFieldsHosted_ ? "" : kEmojiPlaceholder, emojiFocused());

  cell(canvas, l.pictureCell, kind == SpaceIcon::Kind::Picture);
  ImageRef picture = kind == SpaceIcon::Kind::Picture
                         ? Glyph::iconImage(icon_, kCell - 8, FontWeight::regular, kPrimary)
                         : nullptr;
  image(canvas, picture ? picture : symbol(kPictureSymbol, 15, kPrimary),
        inset(l.pictureCell, picture ? 4 : 7));
  label(canvas, kPictureTitle, kBody, kPrimary, l.pictureTitle);
  label(canvas, kPictureExplanation, kSmall, kSecondary, l.pictureText);

  // Colours: each swatch a circle, the chosen one ringed.
  auto ring = [&](const CanvasRect& r, bool chosen) {
    if (chosen) canvas.stroke(Path::ellipse(inset(r, -3)), kAccent, 2);
  };
  std::vector<platform::GradientStop> stops;
  for (std::size_t i = 0; i < 4; ++i) {
    stops.push_back({static_cast<double>(i) / 3, toColor(kTilePalette[i * 3].color)});
  }
  const CanvasRect a = l.automaticSwatch;
  canvas.fill(Path::ellipse(a), platform::LinearGradient{
                                    {a.x, a.y}, {a.x + a.width, a.y + a.height}, std::move(stops)});
  ring(a, color_.kind() == TileColor::Kind::Automatic);
  label(canvas, kAutomaticTitle, kBody, kPrimary, l.automaticText);
  for (std::size_t i = 0; i < l.paletteSwatches.size(); ++i) {
    canvas.fill(Path::ellipse(l.paletteSwatches[i]), toColor(kTilePalette[i].color));
    ring(l.paletteSwatches[i], color_.kind() == TileColor::Kind::Palette &&
                                   color_.index() == static_cast<std::int64_t>(i));
  }
  const CanvasRect t = l.transparentSwatch;
  canvas.stroke(Path::ellipse(inset(t, 1)), kSecondary, 1.5);
  canvas.stroke(Path().moveTo({t.x + 5, t.y + t.height - 5}).lineTo({t.x + t.width - 5, t.y + 5}),
                kSecondary, 1.5);
  ring(t, color_.kind() == TileColor::Kind::Transparent);
  label(canvas, kTransparentTitle, kBody, kPrimary, l.transparentText);

  // Shortcut.
  canvas.fill(Path::roundedRect(l.recorder, 6), Color::white(0.12));
  canvas.stroke(Path::roundedRect(l.recorder, 6), kControlEdge, 1);
  label(canvas, recorder_.title(), kBody, recorder_.titleUsesAccentColor() ? kAccent : kPrimary,
        inset(l.recorder, 6), true);
  if (hotkey_) image(canvas, symbol("xmark.circle.fill", 13, kSecondary), l.removeShortcut);
  label(canvas, kShortcutExplanation, kSmall, kSecondary, l.shortcutText);

  button(canvas, l.reset, kResetTitle, false);
  button(canvas, l.done, kDoneTitle, true);
}

platform::TextFieldStyle EditSpaceView::textFieldStyle(std::string_view placeholder) {
  return {kBody, kPrimary, std::string(placeholder), kTertiary};
}

bool EditSpaceView::click(platform::CanvasPoint point, double width) {
  const Layout l = layout(width);
  auto in = [&point](const CanvasRect& r) {
    return point.x >= r.x && point.x < r.x + r.width && point.y >= r.y && point.y < r.y + r.height;
  };
  if (embedded_ && in(l.back)) {
    back();
  } else if (in(l.done)) {
    done();
  } else if (in(l.reset)) {
    reset();
  } else if (in(l.nameField)) {
    focus(Field::name);
  } else if (in(l.numberCell)) {
    chooseIcon(SpaceIcon::none());
  } else if (in(l.emojiCell) || in(l.emojiField)) {
    focus(Field::emoji);
  } else if (in(l.pictureCell) || in(l.pictureTitle) || in(l.pictureText)) {
    choosePicture();
  } else if (in(l.automaticSwatch) || in(l.automaticText)) {
    chooseColor(TileColor::automatic());
  } else if (in(l.transparentSwatch) || in(l.transparentText)) {
    chooseColor(TileColor::transparent());
  } else if (hotkey_ && in(l.removeShortcut)) {
    recorder_.remove();
  } else if (in(l.recorder)) {
    recorder_.click();
  } else {
    for (std::size_t i = 0; i < kIconCatalogue.size() && i < l.symbolCells.size(); ++i) {
      if (!in(l.symbolCells[i])) continue;
      chooseIcon(SpaceIcon::symbol(std::string(kIconCatalogue[i])));
      return true;
    }
    for (std::size_t i = 0; i < l.paletteSwatches.size(); ++i) {
      if (!in(l.paletteSwatches[i])) continue;
      chooseColor(TileColor::palette(static_cast<std::int64_t>(i)));
      return true;
    }
    return false;
  }
  return true;
}

}  // namespace velmora
