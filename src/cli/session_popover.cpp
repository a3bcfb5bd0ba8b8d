// The command line's hold on the popover: what it shows, and the user's clicks on its rows,
// buttons and commands, made through the virtual Mac at the point where each is drawn.
#include <cstdio>

#include "cli/session.h"
#include "cli/words.h"
#include "surfaces/menu_popover.h"

namespace velmora::cli {

namespace {

std::string shortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

bool inside(const platform::CanvasRect& r, platform::CanvasPoint p) {
  return p.x >= r.x && p.x < r.x + r.width && p.y >= r.y && p.y < r.y + r.height;
}

}  // namespace

// "popover: shown at 1290,661 360x476", then the view's lines.
Session::Status Session::printPopover() {
  MenuPopover* popover = copy_->surfaces.menuPopover();
  if (!popover || !popover->isShown()) {
    print("popover: hidden");
    return Status::ok;
  }
  const ScreenRect f = popover->popover()->frame();
  print("popover: shown at " + shortNumber(f.minX()) + "," + shortNumber(f.minY()) + " " +
        shortNumber(f.size.width) + "x" + shortNumber(f.size.height));
  for (const std::string& line : popover->view().describe()) print(line);
  return Status::ok;
}

Session::Status Session::clickPopover(std::string_view args) {
  MenuPopover* popover = copy_->surfaces.menuPopover();
  if (!popover || !popover->isShown()) return fail("the popover is not shown");
  MenuPopoverView& view = popover->view();
  auto [what, rest] = splitWord(args);
  const std::string name = lower(trim(rest));
  std::optional<platform::CanvasRect> target;

  if (what == "row" || what == "send" || what == "edit") {
    std::optional<std::int64_t> n = integer(trim(rest));
    const auto& rows = view.rows();
    if (!n || *n < 1 || static_cast<std::size_t>(*n) > rows.size()) {
      return fail("the popover has no row " + std::string(trim(rest)));
    }
    const PopoverSpaceRow& row = rows[static_cast<std::size_t>(*n - 1)];
    if (what == "send" && !row.send) return fail("row " + std::to_string(*n) + " offers no send");
    // A row out of view is scrolled to first, as the user would.
    view.scrollBy(row.frame.y - view.scroll() - MenuPopoverView::kMaxHeight / 3);
    platform::CanvasRect r =
        what == "row"
            ? platform::CanvasRect{row.tile.x, row.frame.y, row.frame.width / 3, row.frame.height}
        : what == "send" ? row.sendButton
                         : row.editButton;
    r.y -= view.scroll();
    target = r;
  } else if (what == "back") {
    if (!view.editor()) return fail("the popover shows no editor");
    target = view.editor()->backFrame();
  } else {
    std::string wanted = lower(trim(args));
    if (what == "footer") wanted = name;
    for (const MenuPopoverView::Line& line : view.lines()) {
      if (!line.target) continue;
      const bool footer = line.kind == MenuPopoverView::Line::Kind::footer;
      if (what == "footer" && !footer) continue;
      if (popoverTargetName(*line.target) != wanted) continue;
      target = footer ? line.frame : line.buttonFrame;
      break;
    }
    if (!target) return fail("the popover shows no \"" + std::string(trim(args)) + "\"");
  }
  const platform::CanvasPoint centre{target->x + target->width / 2, target->y + target->height / 2};
  if (!inside({0, 0, view.size().width, view.size().height}, centre)) {
    return fail("that is outside the popover");
  }
  const ScreenRect f = popover->popover()->frame();
  mac_.click({f.minX() + centre.x, f.maxY() - centre.y});
  return Status::ok;
}

}  // namespace velmora::cli
