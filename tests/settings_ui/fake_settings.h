#pragma once
// A settings model for the window's tests: eight pages, of which the switch tag's is a form of
// every kind of control, the desktops page a long list and the shortcuts page a recorder and a
// table. Every call is noted and acts as the real model would, then `changed` fires.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "golden.h"
#include "settings_ui/settings_content.h"

namespace velmora::testing {

inline SettingsControl make(std::string id, ControlKind kind, std::string label = {}) {
  SettingsControl c;
  c.id = std::move(id);
  c.kind = kind;
  c.label = std::move(label);
  return c;
}

class FakeSettings final : public SettingsActions {
 public:
  std::vector<std::string> calls;
  SettingsPage current = SettingsPage::switchTag;
  bool hudOn = true;
  int position = 1, size = 0;
  double duration = 1.5;
  bool recording = false;
  int desktops = 48;
  std::string status;
  std::function<void(std::string_view)> onPress;
  EditSpaceView* open = nullptr;

  std::vector<SettingsPageEntry> pages() const override {
    static constexpr std::array<std::string_view, 8> kTitles{
        "Desktops", "Mission Control", "Switch Tag", "Hover Strip", "Shortcuts",
        "Time",     "General",         "About"};
    std::vector<SettingsPageEntry> entries;
    for (std::size_t i = 0; i < kSettingsPages.size(); ++i) {
      entries.push_back({kSettingsPages[i], kTitles[i], "gearshape.fill"});
    }
    return entries;
  }
  SettingsPage page() const override { return current; }
  void showPage(SettingsPage page) override {
    note("showPage " + std::to_string(static_cast<int>(page)));
    current = page;
    changed_.emit();
  }
  SettingsPageContent content() const override {
    SettingsPageContent c;
    c.page = current;
    c.status = status;
    SettingsSection section;
    if (current == SettingsPage::switchTag) {
      c.title = "Switch Tag";
      SettingsControl toggle = make("hudEnabled", ControlKind::toggle, "Show the tag");
      toggle.on = hudOn;
      toggle.help = "A short tag with the desktop's name after every switch";
      SettingsControl sound = make("hudSound", ControlKind::toggle, "Play a sound");
      sound.enabled = false;
      SettingsControl picker = make("hudPosition", ControlKind::picker, "Position");
      picker.choices = {"Top", "Middle", "Bottom"};
      picker.selected = position;
      SettingsControl sizes = make("hudSize", ControlKind::segmented, "Size");
      sizes.choices = {"Small", "Medium", "Large"};
      sizes.selected = size;
      SettingsControl slider = make("hudDuration", ControlKind::slider, "Stays for");
      slider.minimum = 0.5;
      slider.maximum = 5;
      slider.step = 0.5;
      slider.number = duration;
      slider.valueText = num(duration) + " s";
      SettingsControl art = make("hudPreview", ControlKind::art);
      art.artHeight = 60;
      art.art = [](platform::Canvas& canvas, const platform::CanvasRect& r) {
        canvas.fill(platform::Path::roundedRect({r.x + r.width / 2 - 90, r.y + 10, 180, 40}, 12),
                    platform::Color::black(0.6));
      };
      SettingsControl note = make("hudNote", ControlKind::status);
      note.title = "Shown on the display that switched";
      SettingsControl preview = make("previewHUD", ControlKind::button);
      preview.title = "Preview";
      note.symbol = "checkmark.circle.fill";
      note.tint = "green";
      section.title = "Tag";
      section.footer = "The tag shows on the display that switched.";
      section.controls = {toggle, sound, picker, sizes, slider, art, note, preview};
    } else if (current == SettingsPage::spaces) {
      c.title = "Desktops";
      for (int n = 1; n <= desktops; ++n) {
        SettingsControl d = make("desktop." + std::to_string(n), ControlKind::desktop);
        d.help = "Desktop " + std::to_string(n);
        d.title = n % 3 == 0 ? "Desktop " + std::to_string(n) : "Project " + std::to_string(n);
        d.valueText = n < 10 ? "⌃" + std::to_string(n) : "";
        d.art = [n](platform::Canvas& canvas, const platform::CanvasRect& r) {
          canvas.fill(platform::Path::roundedRect(r, 4),
                      platform::Color{0.2 + 0.05 * (n % 10), 0.45, 0.85, 1});
        };
        section.controls.push_back(d);
      }
    } else if (current == SettingsPage::shortcuts) {
      c.title = "Shortcuts";
      SettingsControl recorder = make("quickSwitcherHotkey", ControlKind::recorder, "Search");
      recorder.title = recording ? "Press shortcut…" : "⌃⌥Space";
      recorder.on = recording;
      recorder.hasClear = !recording;
      SettingsControl reset = make("resetShortcuts", ControlKind::button);
      reset.title = "Reset All";
      reset.destructive = true;
      SettingsControl used = make("shortcutUse", ControlKind::table);
      used.columns = {"Shortcut", "Does"};
      used.rows = {{"⌃1…⌃9", "Desktop 1 to 9"}, {"⌃⌥Space", "Search"}, {"⌃⌥⇧P", "Presentation"}};
      SettingsControl sync = make("syncProgress", ControlKind::progress, "Reading the Dock");
      sync.number = 0.4;
      sync.valueText = "40 %";
      section.controls = {recorder, reset, used, sync};
    } else {
      c.title = "Elsewhere";
      section.controls = {make("launchAtLogin", ControlKind::toggle, "Open at login")};
    }
    c.sections = {section};
    return c;
  }
  void toggle(std::string_view id) override {
    note("toggle " + std::string(id));
    if (id == "hudEnabled") hudOn = !hudOn;
    changed_.emit();
  }
  void choose(std::string_view id, int index) override {
    note("choose " + std::string(id) + " " + std::to_string(index));
    (id == "hudSize" ? size : position) = index;
    changed_.emit();
  }
  void setNumber(std::string_view id, double value) override {
    note("setNumber " + std::string(id) + " " + testing::num(value));
    duration = value;
    changed_.emit();
  }
  void press(std::string_view id) override {
    note("press " + std::string(id));
    if (onPress) onPress(id);
    changed_.emit();
  }
  void clear(std::string_view id) override {
    note("clear " + std::string(id));
    changed_.emit();
  }
  EditSpaceView* editor() override { return open; }
  Signal& changed() override { return changed_; }

 private:
  void note(std::string call) { calls.push_back(std::move(call)); }
  Signal changed_;
};

}  // namespace velmora::testing
