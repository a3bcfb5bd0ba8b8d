// The commands that read and drive the settings window's pages, and the pasteboard.
#include <algorithm>

#include "cli/session.h"
#include "cli/words.h"
#include "settings_ui/settings_model.h"

namespace velmora::cli {

namespace {

std::string_view kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::toggle:
      return "switch";
    case ControlKind::picker:
      return "pop-up menu";
    case ControlKind::segmented:
      return "segmented control";
    case ControlKind::slider:
      return "slider";
    case ControlKind::button:
      return "button";
    case ControlKind::recorder:
      return "shortcut recorder";
    case ControlKind::status:
      return "line of text";
    case ControlKind::table:
      return "table";
    case ControlKind::desktop:
      return "desktop";
    case ControlKind::art:
      return "drawing";
    case ControlKind::progress:
      return "progress bar";
  }
  return "control";
}

// One control as one line (a table as one line a row): what it shows, then its id.
std::vector<std::string> describe(const SettingsControl& c) {
  std::string id = " (" + c.id + ")";
  std::string caption = c.label.empty() ? std::string() : c.label + ": ";
  std::vector<std::string> lines;
  switch (c.kind) {
    case ControlKind::toggle:
      lines.push_back(std::string(c.on ? "[on] " : "[off] ") + c.label + id);
      break;
    case ControlKind::picker:
    case ControlKind::segmented: {
      std::string choices;
      for (std::size_t i = 0; i < c.choices.size(); ++i) {
        bool chosen = static_cast<int>(i) == c.selected;
        choices += (i ? " | " : "") + (chosen ? "*" + c.choices[i] + "*" : c.choices[i]);
      }
      lines.push_back(caption + choices + id);
      break;
    }
    case ControlKind::slider:
      lines.push_back(caption + c.valueText + id);
      break;
    case ControlKind::button:
      lines.push_back("<" + c.title + ">" + id + (c.enabled ? "" : " disabled"));
      break;
    case ControlKind::recorder:
      lines.push_back(caption + "[" + c.title + "]" + (c.on ? " recording" : "") + id);
      break;
    case ControlKind::status:
      lines.push_back(c.title + (c.tint.empty() ? "" : " [" + c.tint + "]") + id);
      break;
    case ControlKind::table: {
      std::string header;
      for (const std::string& column : c.columns) header += (header.empty() ? "" : " | ") + column;
      lines.push_back(header + id);
      for (const auto& row : c.rows) {
        std::string line;
        for (const std::string& cell : row) line += (line.empty() ? "" : " | ") + cell;
        lines.push_back("  " + line);
      }
      if (c.rows.empty()) lines.push_back("  (no rows)");
      break;
    }
    case ControlKind::desktop:
      lines.push_back(c.help + ": " + c.title + (c.valueText.empty() ? "" : " " + c.valueText) +
                      id);
      break;
    case ControlKind::art:
      lines.push_back("(drawing" + std::string(c.art ? "" : ", empty") + ")" + id);
      break;
    case ControlKind::progress:
      lines.push_back(caption + c.valueText + id);
      break;
  }
  if (!c.help.empty() && c.kind != ControlKind::desktop) lines.push_back("    " + c.help);
  return lines;
}

const SettingsControl* findControl(const SettingsPageContent& content, std::string_view id) {
  for (const SettingsSection& section : content.sections) {
    for (const SettingsControl& control : section.controls) {
      if (control.id == id) return &control;
    }
  }
  return nullptr;
}

}  // namespace

SettingsModel* Session::settingsModel() {
  return copy_ ? copy_->surfaces.settingsModel() : nullptr;
}

Session::Status Session::settingsPage(std::string_view args) {
  std::string wanted = lower(unquoted(args));
  std::string known;
  for (SettingsPage page : kSettingsPages) {
    std::string id(settingsPageID(page));
    known += (known.empty() ? "" : ", ") + id;
    if (wanted == lower(id) || wanted == lower(SettingsModel::title(page))) {
      copy_->app->delegate().openSettings(page);
      // The window comes to the front as the key window: keys typed now reach its recorders.
      mac_.keyboard().setVelmoraWindowKey(true);
      settle();
      return Status::ok;
    }
  }
  return fail("there is no settings page \"" + std::string(unquoted(args)) + "\"; the pages are " +
              known);
}

Session::Status Session::printSettings() {
  SettingsModel* model = settingsModel();
  if (!model) {
    print("(the settings window has not been opened)");
    return Status::ok;
  }
  SettingsPageContent content = model->content();
  print(content.title);
  if (EditSpaceView* editor = model->editor()) {
    print("  editing " + editor->header() + ": \"" + editor->name() + "\"");
  }
  for (const SettingsSection& section : content.sections) {
    if (!section.title.empty()) print("-- " + section.title);
    for (const SettingsControl& control : section.controls) {
      for (const std::string& line : describe(control)) print("  " + line);
    }
    if (!section.footer.empty()) print("  " + section.footer);
  }
  if (!content.status.empty()) print("status: " + content.status);
  return Status::ok;
}

// The control the command names on the page shown, of one of the kinds the command works on.
Result<SettingsControl> Session::settingsControl(std::string_view id,
                                                 std::initializer_list<ControlKind> kinds,
                                                 std::string_view verb) {
  SettingsModel* model = settingsModel();
  if (!model)
    return Failure{"the settings window is not open; open it with: settings page general"};
  SettingsPageContent content = model->content();
  if (id.empty()) return Failure{"settings " + std::string(verb) + " takes the id of a control"};
  const SettingsControl* control = findControl(content, id);
  if (!control) {
    return Failure{"the " + content.title + " page has no control \"" + std::string(id) +
                   "\" (print settings lists them)"};
  }
  if (std::find(kinds.begin(), kinds.end(), control->kind) == kinds.end()) {
    return Failure{std::string(id) + " is a " + std::string(kindName(control->kind)) +
                   ", which settings " + std::string(verb) + " does not work on"};
  }
  return *control;
}

Session::Status Session::settingsAct(std::string_view verb, std::string_view args) {
  auto [id, rest] = splitWord(args);
  std::string value = unquoted(rest);
  if (verb == "toggle") {
    auto control = settingsControl(id, {ControlKind::toggle}, "toggle");
    if (!control) return fail(control.error());
    settingsModel()->toggle(id);
  } else if (verb == "choose") {
    auto control = settingsControl(id, {ControlKind::picker, ControlKind::segmented}, "choose");
    if (!control) return fail(control.error());
    const std::vector<std::string>& choices = control->choices;
    int index = -1;
    for (std::size_t i = 0; i < choices.size(); ++i) {
      if (lower(choices[i]) == lower(value)) index = static_cast<int>(i);
    }
    if (index < 0) {
      if (auto n = integer(value);
          n && *n >= 1 && *n <= static_cast<std::int64_t>(choices.size())) {
        index = static_cast<int>(*n - 1);
      }
    }
    if (index < 0) {
      std::string known;
      for (const std::string& c : choices) known += (known.empty() ? "" : ", ") + c;
      return fail(std::string(id) + " has no choice \"" + value + "\"; it offers " + known +
                  " (or their numbers from 1)");
    }
    settingsModel()->choose(id, index);
  } else if (verb == "set") {
    auto control = settingsControl(id, {ControlKind::slider}, "set");
    if (!control) return fail(control.error());
    std::optional<double> n = number(value);
    if (!n) return fail("settings set takes a number: settings set " + std::string(id) + " 1.5");
    settingsModel()->setNumber(id, *n);
  } else if (verb == "press") {
    auto control = settingsControl(
        id, {ControlKind::button, ControlKind::desktop, ControlKind::recorder}, "press");
    if (!control) return fail(control.error());
    if (!control->enabled) return fail(std::string(id) + " is disabled right now");
    settingsModel()->press(id);
  } else if (verb == "clear") {
    auto control = settingsControl(id, {ControlKind::recorder}, "clear");
    if (!control) return fail(control.error());
    settingsModel()->clear(id);
  }
  settle();
  return Status::ok;
}

Session::Status Session::printPasteboard(std::string_view args) {
  std::optional<std::int64_t> limit;
  if (!trim(args).empty()) {
    limit = integer(trim(args));
    if (!limit || *limit < 1)
      return fail("print pasteboard takes a number of lines: print pasteboard 3");
  }
  std::optional<std::string> text = mac_.pasteboard().stringForType();
  if (!text) {
    print("pasteboard: empty");
    return Status::ok;
  }
  print("pasteboard:");
  std::string shown;
  std::int64_t lines = 0;
  for (std::size_t start = 0; start < text->size() && (!limit || lines < *limit); ++lines) {
    std::size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    shown += text->substr(start, end - start) + "\n";
    start = end + 1;
  }
  printLines(shown);
  return Status::ok;
}

}  // namespace velmora::cli
