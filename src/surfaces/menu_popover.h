#pragma once
// The popover a plain click on the menu bar tile (or the notch label standing in for it) opens:
// the current desktop and the settings button at the top, notices while something needs the
// user (Accessibility off, presentation mode on, a new version out), every desktop grouped by
// display, and the application's main commands at the foot. A row switches on click, can send
// the window of the application that was in front to its desktop, and opens the desktop's
// editor inside the popover.
//
// PopoverModel is the page and the captured front application; MenuPopoverView lays out,
// describes, hit-tests and paints the content (its rows are PopoverSpaceRow); MenuPopover owns
// the system popover and carries out what the user picks.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/main_loop.h"
#include "core/signal.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/hotkey.h"
#include "store/settings.h"
#include "surfaces/app_commands.h"

namespace velmora {

// A newer version the update checker knows of.
struct UpdateNotice {
  std::string version;
  std::string releaseDate;  // as the update checker gives it; empty when unknown
};

// What the notices read, from objects above the surfaces.
struct PopoverSources {
  std::function<bool()> accessibilityMissing;
  // The grant was lost because Velmora was updated, and macOS asks once more.
  std::function<bool()> askedAgainAfterUpdate;
  // Leads the user to granting Accessibility.
  std::function<void()> grantAccess;
  std::function<std::optional<UpdateNotice>()> update;
};

struct PopoverServices {
  platform::Platform platform;
  SpaceEngine& engine;
  Settings& settings;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  AppCommands& commands;
};

// The desktop editor as the edit page shows it.
class PopoverEditor {
 public:
  virtual ~PopoverEditor() = default;
  virtual Size preferredSize() const = 0;
  virtual void draw(platform::Canvas& canvas, Size size) const = 0;
  virtual void click(platform::CanvasPoint point) = 0;
  // Where its back control is, in the content.
  virtual platform::CanvasRect backFrame() const = 0;
  // What the command line prints for the page.
  virtual std::string describe() const = 0;
};
// Makes the editor of a desktop; `onDone` runs when the user leaves it (back, or Done).
using PopoverEditorFactory = std::function<std::unique_ptr<PopoverEditor>(
    const Desktop& desktop, std::function<void()> onChanged, std::function<void()> onDone)>;

class PopoverModel {
 public:
  enum class Page { list, edit };
  Page page() const { return editing_ ? Page::edit : Page::list; }
  // The desktop whose editor shows; none on the list page.
  const std::optional<Desktop>& editing() const { return editing_; }
  void showList();
  void showEditor(const Desktop& desktop);
  // The application that was in front just before the popover opened.
  const std::optional<platform::RunningApplication>& frontApp() const { return frontApp_; }
  void setFrontApp(std::optional<platform::RunningApplication> app) { frontApp_ = std::move(app); }
  Signal& changed() { return changed_; }

 private:
  std::optional<Desktop> editing_;
  std::optional<platform::RunningApplication> frontApp_;
  Signal changed_;
};

// One desktop's row.
struct PopoverSpaceRow {
  Desktop desktop;
  std::vector<SpaceApp> apps;
  std::string title;
  std::string numberLine;         // "Desktop 3"
  std::vector<std::string> caps;  // the shortcut's keys, one a cap
  // "Send the TextEdit window here", offered while another application was in front.
  std::optional<std::string> send;
  platform::CanvasRect frame, tile, sendButton, editButton;
};

// What a click in the popover reaches.
enum class PopoverTarget {
  settingsButton,
  grantAccess,
  turnOffPresentation,
  row,
  send,
  edit,
  quickSwitcher,
  missionControl,
  jumpBack,
  settings,
  quit,
  editor,
};

// What the command line calls a target: "quick switcher", "quit", "turn off", …
std::string popoverTargetName(PopoverTarget target);

class MenuPopoverView {
 public:
  static constexpr double kWidth = 360;
  static constexpr double kMaxHeight = 640;  // the desktop list scrolls beyond this
  static constexpr double kPadding = 12;
  static constexpr double kHeaderHeight = 40;
  static constexpr double kRowHeight = 42;
  static constexpr double kHeadingHeight = 24;
  static constexpr double kFooterLineHeight = 26;
  static constexpr double kTileSize = 26;
  static constexpr double kIconSize = 14;
  static constexpr double kButtonSize = 22;
  static constexpr const char* kSettingsSymbol = "slider.horizontal.3";
  static constexpr const char* kAccessibilitySymbol = "exclamationmark.triangle.fill";
  static constexpr const char* kGrantSymbol = "arrow.up.forward.square";
  static constexpr const char* kPresentationSymbol = "eye.slash.fill";
  static constexpr const char* kUpdateSymbol = "arrow.down.circle.fill";
  static constexpr const char* kSendSymbol = "arrow.right.doc.on.clipboard";

  // One laid-out line of the content, top to bottom.
  struct Line {
    enum class Kind { header, notice, heading, row, empty, footer };
    Kind kind = Kind::header;
    std::string text;
    std::string detail;  // a notice's explanation
    std::string symbol;
    std::string button;  // a notice's button ("Turn Off"), or the symbol of the header's
    std::optional<PopoverTarget> target;  // what the line (or its button) does
    std::size_t row = 0;                  // the row's index, for row lines
    platform::CanvasRect frame, buttonFrame;
    std::vector<std::string> detailLines;  // the explanation as drawn, wrapped
  };

  struct Hit {
    PopoverTarget target;
    std::size_t row = 0;
  };

  MenuPopoverView(PopoverServices& services, PopoverSources& sources, PopoverModel& model)
      : s_(services), sources_(sources), model_(model) {}

  // Reads the desktops, applications, settings and notices afresh and lays them out; answers
  // the content's size.
  Size load();
  Size size() const { return size_; }
  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<PopoverSpaceRow>& rows() const { return rows_; }
  // The desktop list's scroll offset, when it is taller than the room it has.
  double scroll() const { return scroll_; }
  void scrollBy(double dy);
  // The page as the command line prints it, one line each.
  std::vector<std::string> describe() const;

  std::optional<Hit> hitTest(platform::CanvasPoint point) const;
  void hover(std::optional<platform::CanvasPoint> point);
  std::optional<Hit> hovered() const { return hovered_; }

  void setEditor(std::unique_ptr<PopoverEditor> editor) { editor_ = std::move(editor); }
  PopoverEditor* editor() const { return editor_.get(); }
  std::unique_ptr<PopoverEditor> releaseEditor() { return std::move(editor_); }

  void paint(platform::Canvas& canvas, Size size) const;

 private:
  void layOutList();
  // The row's frame as drawn, the list's scroll applied.
  platform::CanvasRect scrolled(const platform::CanvasRect& r) const;
  bool inList(const Line& line) const {
    return line.kind == Line::Kind::heading || line.kind == Line::Kind::row ||
           line.kind == Line::Kind::empty;
  }
  void paintLine(platform::Canvas& canvas, const Line& line) const;
  void paintRow(platform::Canvas& canvas, const Line& line) const;

  PopoverServices& s_;
  PopoverSources& sources_;
  PopoverModel& model_;
  std::vector<Line> lines_;
  std::vector<PopoverSpaceRow> rows_;
  std::unique_ptr<PopoverEditor> editor_;
  Size size_{kWidth, 100};
  double listTop_ = 0, listHeight_ = 0, listContent_ = 0;
  double scroll_ = 0;
  std::optional<Hit> hovered_;
};

class MenuPopover {
 public:
  static constexpr const char* kName = "menu popover";
  static constexpr const char* kSwitchReason = "popover";

  MenuPopover(PopoverServices services, PopoverEditorFactory editors);
  ~MenuPopover();
  MenuPopover(const MenuPopover&) = delete;
  MenuPopover& operator=(const MenuPopover&) = delete;

  void setSources(PopoverSources sources) { sources_ = std::move(sources); }
  // Closes it when shown, otherwise shows it on the list page.
  void toggle(const platform::PopoverAnchor& anchor);
  // On the list page, or on the editor of `edit`.
  void show(const platform::PopoverAnchor& anchor, std::optional<Desktop> edit = std::nullopt);
  // Closes at once, without the closing animation.
  void closeNow();
  bool isShown() const { return popover_ && popover_->isShown(); }
  // Reads everything again while the list shows (a grant, a version known).
  void refresh();
  // Hears every close, after the page went back to the list.
  void setOnDidClose(std::function<void()> fn) { onDidClose_ = std::move(fn); }

  PopoverModel& model() { return model_; }
  const MenuPopoverView& view() const { return view_; }
  MenuPopoverView& view() { return view_; }
  const platform::Popover* popover() const { return popover_.get(); }

  // ---- What the user picks (a click on the content comes here too) ----
  void click(platform::CanvasPoint point);
  void pick(PopoverTarget target, std::size_t row = 0);

 private:
  void reload();
  void pageChanged();

  PopoverServices s_;
  PopoverEditorFactory editors_;
  PopoverSources sources_;
  PopoverModel model_;
  MenuPopoverView view_;
  std::unique_ptr<platform::Popover> popover_;
  std::shared_ptr<PopoverEditor> retired_;
  std::function<void()> onDidClose_;
  Connection modelChanged_;
  Connection engineChanged_;
  Connection settingsChanged_;
  Lifetime lifetime_;
};

}  // namespace velmora
