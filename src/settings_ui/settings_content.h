#pragma once
// What one page of the settings window holds, as plain data: the window draws it, the
// command line prints it, and every control names the option or operation it stands for by
// an id. What the user does to a control comes back through `SettingsActions`, which reads
// the options again and rebuilds the page, so the window never holds a value of its own.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/signal.h"
#include "platform/canvas.h"
#include "store/settings_page.h"

namespace velmora {

class EditSpaceView;

enum class ControlKind {
  toggle,     // a switch at the right of its label: `on`
  picker,     // a pop-up button: `choices`, `selected`
  segmented,  // a segmented control: `choices`, `selected`
  slider,     // `number` in [`minimum`, `maximum`] by `step`, `valueText` beside it
  button,     // a push button titled `title`; `prominent` is the default button
  recorder,   // a shortcut recorder: `title` is what it shows (the keys, "Click to record",
              // "Press shortcut…"), `on` while recording, `hasClear` when there is one to remove
  status,     // read-only text (`title`) with an optional `symbol` in `tint`
  table,      // read-only: `columns` and `rows` of text
  desktop,    // one desktop: `art` draws its tile, `title` its name, `help` "Desktop N",
              // `valueText` its shortcut; pressing it opens the editor
  art,        // a drawing of its own (the switch tag's live preview): `art`, `artHeight` tall
  progress,   // a bar from 0 to 1: `number`, with `valueText` beside it
};

struct SettingsControl {
  // Unique within its page and stable across rebuilds: the option's defaults key
  // ("hudEnabled") or the operation's name ("exportCSV", "desktop.3").
  std::string id;
  ControlKind kind = ControlKind::status;
  std::string label;  // the caption on the form's left; may be empty
  std::string title;  // the text on the control itself
  std::string help;   // a smaller explanatory line under it; may be empty
  bool enabled = true;
  bool on = false;
  std::vector<std::string> choices;
  int selected = -1;
  double number = 0;
  double minimum = 0;
  double maximum = 1;
  double step = 0;
  std::string valueText;
  std::string symbol;  // a system symbol name
  std::string tint;    // "green", "orange", "red", "secondary" or empty for the label colour
  bool prominent = false;
  bool destructive = false;
  bool hasClear = false;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  std::function<void(platform::Canvas&, const platform::CanvasRect&)> art;
  double artHeight = 0;
};

struct SettingsSection {
  std::string title;   // may be empty for the first section
  std::string footer;  // a note under the section; may be empty
  std::vector<SettingsControl> controls;
};

struct SettingsPageContent {
  SettingsPage page = SettingsPage::spaces;
  std::string title;   // "Desktops", "Mission Control", …
  std::string symbol;  // the sidebar's symbol
  std::vector<SettingsSection> sections;
  // One sentence about the last thing that went wrong on this page ("Could not change
  // launch at login: …"); empty when all is well.
  std::string status;
};

// The pages in sidebar order with their titles and symbols, for the sidebar.
struct SettingsPageEntry {
  SettingsPage page;
  std::string_view title;
  std::string_view symbol;
};

// What the window asks of the settings behind it. Every call acts at once (options are
// written, operations started) and then `changed` fires; the window redraws from `content`.
class SettingsActions {
 public:
  virtual ~SettingsActions() = default;
  virtual std::vector<SettingsPageEntry> pages() const = 0;
  virtual SettingsPage page() const = 0;
  virtual void showPage(SettingsPage page) = 0;
  virtual SettingsPageContent content() const = 0;

  virtual void toggle(std::string_view id) = 0;
  virtual void choose(std::string_view id, int index) = 0;
  virtual void setNumber(std::string_view id, double value) = 0;
  // A button, a desktop row (opens its editor), a recorder (starts or cancels recording).
  virtual void press(std::string_view id) = 0;
  // A recorder's remove control.
  virtual void clear(std::string_view id) = 0;

  // The desktop editor while it is open on the desktops page, drawn in place of the page;
  // null otherwise.
  virtual EditSpaceView* editor() = 0;

  // Fires after anything the page shows has changed.
  virtual Signal& changed() = 0;
};

}  // namespace velmora
