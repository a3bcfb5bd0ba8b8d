#pragma once
// The quick switcher's content: the dark card, the magnifying glass beside the search field,
// one row per matching desktop (its tile, title, applications or number, chips, shortcut and,
// on the highlighted row, the return symbol), "No matching space", and the hint line at the
// bottom. At most nine rows show; the list scrolls so the highlighted row stays in view.
//
// Everything is in the panel's content points, y down from the top-left corner. Nothing is
// drawn outside the card: a title, a chip or a row of icons that does not fit is cut short.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/signal.h"
#include "drawing/glyph.h"
#include "platform/app_icons.h"
#include "platform/canvas.h"
#include "spaces/presentation.h"
#include "store/hotkey.h"
#include "switching/switcher_model.h"

namespace velmora {

struct SwitcherListServices {
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  platform::AppIcons& appIcons;
  platform::CanvasFactory& canvases;
};

class SwitcherList {
 public:
  static constexpr double kWidth = 460;
  static constexpr double kSearchHeight = 56;  // the glass and the field, the divider at its foot
  static constexpr double kRowHeight = 46;
  static constexpr double kListInset = 6;  // above the first row and below the last
  static constexpr double kHintHeight = 32;
  static constexpr std::size_t kMaxVisibleRows = 9;
  static constexpr double kCornerRadius = 12;

  // How many rows show for `rowCount` results: one line's room even for none, at most nine.
  static std::size_t visibleRows(std::size_t rowCount);
  // The card's height for `rowCount` results.
  static double height(std::size_t rowCount);
  // Where the search field sits, right of the glass.
  static platform::CanvasRect fieldFrame();

  SwitcherList(SwitcherModel& model, SwitcherListServices services);
  SwitcherList(const SwitcherList&) = delete;
  SwitcherList& operator=(const SwitcherList&) = delete;

  // The row shown at the top of the list.
  std::size_t firstVisible() const { return first_; }
  // The row's rectangle while it is on screen; none when it is scrolled away or absent.
  std::optional<platform::CanvasRect> rowFrame(std::size_t row) const;
  // The row under a point of the content, if any.
  std::optional<std::size_t> rowAt(platform::CanvasPoint point) const;

  // Applications' icons are asked of the system, and text measured and pictures rendered,
  // once per opening: a keystroke redraws every visible row.
  void forgetRendered();

  // The whole content: the card, then the list on it.
  void draw(platform::Canvas& canvas, Size size);
  // What stays put while the user types — background, border, the glass, the divider, the
  // hint line — as the panel's layer would keep it.
  void drawCard(platform::Canvas& canvas, Size size);
  // The rows in view, or "No matching space": what a keystroke changes.
  void drawList(platform::Canvas& canvas, Size size);

  // Where the parts of one row go, for drawing and for checks that nothing spills over.
  struct RowLayout {
    platform::CanvasRect frame;
    platform::CanvasRect tile;
    std::string title;
    platform::CanvasPoint titleAt;
    double textWidth = 0;                   // the room of the title and the line under it
    std::optional<std::string> numberLine;  // "Desktop N" under a named desktop's title
    platform::CanvasPoint secondLineAt;
    std::vector<platform::CanvasRect> icons;  // one per application shown
    std::optional<std::string> moreApps;      // "+3" when not all fit
    platform::CanvasPoint moreAppsAt;
    struct Label {
      std::string text;
      platform::CanvasRect box;
    };
    std::vector<Label> chips;
    std::vector<Label> caps;
    std::optional<platform::CanvasRect> returnSymbol;
  };
  RowLayout layoutRow(platform::Canvas& measure, std::size_t row);

 private:
  // Keeps the highlighted row in view after every change of the model.
  void follow();
  ImageRef iconFor(const SpaceApp& app);
  Size measure(platform::Canvas& canvas, const std::string& text, const platform::Font& font);
  // Draws a picture from its rendering at the canvas's scale, made on first use.
  void drawRendered(platform::Canvas& canvas, const ImageRef& image,
                    const platform::CanvasRect& into);
  void drawRow(platform::Canvas& canvas, std::size_t row);
  // The shortcut's caps of a row as one picture over the caps' boxes.
  ImageRef capsImage(const RowLayout& row);
  ImageRef hintsImage(platform::Canvas& measure, double width);

  const SwitcherModel& model_;
  SwitcherListServices s_;
  std::size_t first_ = 0;
  std::map<std::string, ImageRef> icons_;
  struct Rendered {
    ImageRef image;  // keeps the key's image alive
    Size size;
    double scale = 0;
    platform::Bitmap bitmap;
  };
  std::map<const platform::VectorImage*, Rendered> rendered_;
  std::map<std::string, Size> measured_;
  std::map<std::string, ImageRef> caps_;
  ImageRef hints_;
  Connection modelChanged_;
};

}  // namespace velmora
