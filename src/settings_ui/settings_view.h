#pragma once
// The settings window's content as the user sees it: the sidebar of pages on the left and
// the current page's sections on the right, laid out as a Mac settings form, drawn into a
// canvas and asked where a point falls. It holds no option of its own: it shows the last
// `SettingsPageContent` it was given, scrolled and with one control focused.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "settings_ui/settings_content.h"

namespace velmora {

class EditSpaceView;

// What lies under a point of the view.
struct SettingsHit {
  enum class Part {
    body,     // the control itself (a toggle, a button, a desktop row, a pop-up button…)
    clear,    // a recorder's remove control
    segment,  // one segment of a segmented control: `segment`
    slider,   // a slider's track, `fraction` of the way from its left end
    sidebar,  // a page in the sidebar: `page`
  };
  Part part = Part::body;
  std::string id;  // the control's; empty for the sidebar
  int segment = -1;
  double fraction = 0;
  SettingsPage page = SettingsPage::spaces;
  bool operator==(const SettingsHit&) const = default;
};

class SettingsView {
 public:
  static constexpr double kSidebarWidth = 200;
  // The focus stop of the sidebar, before every control of the page.
  static constexpr std::string_view kSidebarFocus = "sidebar";
  static constexpr std::string_view kStatusSymbol = "exclamationmark.triangle.fill";

  // One control's place on the page, in page coordinates (y from the top of the page, not
  // scrolled; x from the left edge of the view).
  struct ControlFrame {
    std::string id;
    ControlKind kind = ControlKind::status;
    bool focusable = false;
    std::size_t section = 0;
    std::size_t index = 0;
    platform::CanvasRect row;      // the whole row inside its section's box
    platform::CanvasRect control;  // what takes clicks and carries the focus ring
    platform::CanvasRect clear;    // a recorder's remove control
    std::vector<platform::CanvasRect> segments;
  };
  struct SectionFrame {
    platform::CanvasRect title, box, footer;
  };
  struct Layout {
    platform::CanvasRect status;  // empty when the page has no status
    platform::CanvasRect title;
    std::vector<SectionFrame> sections;
    std::vector<ControlFrame> controls;
    std::vector<platform::CanvasRect> sidebarRows;  // view coordinates: the sidebar stays put
    double height = 0;                              // of the whole page
  };
  enum class EditorPart { back, reset, done, name, emoji };

  void setPages(std::vector<SettingsPageEntry> pages);
  // A new page's content scrolls back to the top; the same page's keeps its place.
  void setContent(SettingsPageContent content);
  // The desktop editor drawn in place of the page; null shows the page again.
  void setEditor(const EditSpaceView* editor) { editor_ = editor; }
  void setSize(Size size);

  const std::vector<SettingsPageEntry>& pages() const { return pages_; }
  const SettingsPageContent& content() const { return content_; }
  const Layout& layout() const { return layout_; }
  Size size() const { return size_; }
  const SettingsControl* control(std::string_view id) const;

  double scrollOffset() const { return scroll_; }
  double maxScrollOffset() const;
  // Clamped to the page: nothing scrolls above its top or past its end.
  void setScrollOffset(double offset);
  // Scrolls the least that shows the focused control whole.
  void scrollFocusIntoView();

  // The focused control's id, or kSidebarFocus.
  const std::string& focus() const { return focus_; }
  void setFocus(std::string id) { focus_ = std::move(id); }
  // The sidebar, then every enabled control the keyboard can reach, in page order.
  std::vector<std::string> focusOrder() const;

  // Where a control (or the sidebar's current row, for kSidebarFocus) is now, scrolled, in
  // view coordinates; none when the page has no such control.
  std::optional<platform::CanvasRect> frameOf(std::string_view id) const;
  std::optional<platform::CanvasRect> sidebarFrame(SettingsPage page) const;
  std::optional<SettingsHit> hitTest(platform::CanvasPoint point) const;

  void draw(platform::Canvas& canvas) const;

 private:
  void relayout();
  void drawSidebar(platform::Canvas& canvas) const;
  void drawPage(platform::Canvas& canvas) const;
  void drawControl(platform::Canvas& canvas, const SettingsControl& control,
                   const ControlFrame& frame) const;

  std::vector<SettingsPageEntry> pages_;
  SettingsPageContent content_;
  const EditSpaceView* editor_ = nullptr;
  Size size_{780, 612};
  Layout layout_;
  double scroll_ = 0;
  std::string focus_{kSidebarFocus};
  bool hasContent_ = false;
};

}  // namespace velmora
