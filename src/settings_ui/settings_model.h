#pragma once
// The settings window's pages as data: every option of Settings on the page that holds it,
// read afresh on each content() and written the moment the user changes it, the desktops with
// their embedded editor, and the operations that live above this layer (updates, launch at
// login, counted time, diagnostics) reached through the functions the application hands in.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/main_loop.h"
#include "core/result.h"
#include "core/signal.h"
#include "platform/platform.h"
#include "settings_ui/edit_space_view.h"
#include "settings_ui/settings_content.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/settings.h"
#include "store/space_store.h"
#include "switching/hotkey_center.h"
#include "switching/shortcut_recorder.h"
#include "switching/system_shortcuts.h"

namespace velmora {

// What the general page shows of the updater and asks of it.
struct SettingsUpdateHooks {
  // One line: "Velmora is up to date", "Version 2.1 is available", "Downloading…", …
  std::function<std::string()> status;
  // How much of a download has arrived, 0 to 1, while one runs.
  std::function<std::optional<double>()> progress;
  // The version on offer that is not installed yet; empty when there is none.
  std::function<std::string()> available;
  // A verified download waits to be installed.
  std::function<bool()> readyToInstall;
  // A check, download or install is under way.
  std::function<bool()> busy;
  std::function<void()> check;
  std::function<void()> download;
  std::function<void()> install;
  std::function<void()> skip;
  std::function<void()> showWhatsNew;
};

// What the pages reach above this layer for. Any of them may be empty: the control that needs
// it is then left out or does nothing.
struct SettingsHooks {
  std::function<void()> openMissionControl;
  std::function<void()> previewSwitchTag;
  std::function<void()> showHoverStrip;
  std::function<bool()> accessibilityTrusted;
  std::function<void()> openAccessibilitySettings;
  // Launch at login: the system's answer, and a change whose failure is the sentence the page
  // shows.
  std::function<bool()> launchAtLogin;
  std::function<Result<void>(bool on)> setLaunchAtLogin;
  // Counted time per existing desktop, as the export writes it: {title, time}.
  std::function<std::vector<std::vector<std::string>>()> timeRows;
  std::function<void()> exportTimeCSV;
  // Sets every desktop's time back to zero; asked only after the user agreed.
  std::function<void()> resetTimes;
  std::function<std::string()> diagnostics;
  // The file Reveal Log in Finder selects; empty leaves the button out.
  std::function<std::string()> logPath;
  SettingsUpdateHooks updates;
  // Further signals after which the pages read differently (the updater's state, the
  // Accessibility grant, launch at login).
  std::vector<Signal*> alsoChanged;
};

struct SettingsServices {
  platform::Platform platform;
  Settings& settings;
  SpaceStore& store;
  SpaceEngine& engine;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
  HotkeyCenter& hotkeyCenter;
  SystemShortcuts& systemShortcuts;
  SettingsHooks hooks;
};

class SettingsModel final : public SettingsActions {
 public:
  // The alert Reset Times asks first; Cancel is the default button.
  static constexpr std::string_view kResetTitle = "Reset the time counted on every desktop?";
  static constexpr std::string_view kResetText =
      "Every desktop starts again from zero. This cannot be undone.";
  static constexpr std::string_view kResetButton = "Reset Times";
  static constexpr std::string_view kCopyTitle = "Copy Diagnostics";
  static constexpr std::string_view kCopiedTitle = "Copied";
  static constexpr double kCopiedSeconds = 1.5;
  static constexpr std::string_view kCopyFailed =
      "Could not copy the diagnostics to the clipboard.";
  static constexpr std::string_view kNoDesktops = "No desktops found";
  static constexpr std::string_view kNativeSwitchingHelp =
      "Uses the system's own desktop shortcuts (⌃1–⌃0), stepping with ⌃→ / ⌃← past the tenth "
      "desktop, falling back to Mission Control. Always sticks. Off uses a direct window-server "
      "call that is faster but can glitch.";
  static constexpr std::string_view kMakerSite = "https://velmora.app";

  explicit SettingsModel(SettingsServices services);
  ~SettingsModel() override;
  SettingsModel(const SettingsModel&) = delete;
  SettingsModel& operator=(const SettingsModel&) = delete;

  // ---- SettingsActions ----
  std::vector<SettingsPageEntry> pages() const override;
  SettingsPage page() const override { return page_; }
  void showPage(SettingsPage page) override;
  SettingsPageContent content() const override;
  void toggle(std::string_view id) override;
  void choose(std::string_view id, int index) override;
  void setNumber(std::string_view id, double value) override;
  void press(std::string_view id) override;
  void clear(std::string_view id) override;
  EditSpaceView* editor() override { return editor_.get(); }
  Signal& changed() override { return changed_; }

  // The desktops page with this desktop's editor open.
  void edit(const Desktop& desktop);
  // Whether the current page has a control with this id, and its kind.
  std::optional<ControlKind> kindOf(std::string_view id) const;

  // The title and symbol of a page in the sidebar.
  static std::string_view title(SettingsPage page);
  static std::string_view symbol(SettingsPage page);

 private:
  // An option a control writes: how it reads, how it changes.
  struct Option {
    ControlKind kind = ControlKind::toggle;
    std::function<bool()> on;
    std::function<void(bool)> setOn;
    std::vector<std::string> choices;
    std::function<int()> selected;
    std::function<void(int)> select;
    std::function<double()> number;
    std::function<void(double)> setValue;
    double minimum = 0, maximum = 1, step = 0;
    std::function<std::string(double)> text;
  };
  struct Recorder {
    std::string_view key;
    std::string_view label;
    std::function<std::optional<Hotkey>()> read;
    std::function<void(std::optional<Hotkey>)> write;
    std::unique_ptr<RecorderButton> button;
    Connection changed;
  };

  void defineOptions();
  void defineButtons();
  void defineRecorders();
  template <OptionEnumeration E, std::size_t N>
  void pickerOption(std::string_view id, const std::array<Choice<E>, N>& choices,
                    E (Settings::*get)() const, void (Settings::*set)(E), ControlKind kind);
  void boolOption(std::string_view id, bool (Settings::*get)() const, void (Settings::*set)(bool));
  void sliderOption(std::string_view id, double (Settings::*get)() const,
                    void (Settings::*set)(double), double minimum, double maximum, double step,
                    std::function<std::string(double)> text);

  // Controls as the pages list them.
  SettingsControl optionControl(std::string_view id, std::string label,
                                std::string help = {}) const;
  SettingsControl buttonControl(std::string_view id, std::string title) const;
  SettingsControl recorderControl(const Recorder& recorder) const;
  SettingsControl statusControl(std::string id, std::string title, std::string symbol = {},
                                std::string tint = {}) const;

  void spacesPage(SettingsPageContent& content) const;
  void missionControlPage(SettingsPageContent& content) const;
  void switchTagPage(SettingsPageContent& content) const;
  void spaceHoverPage(SettingsPageContent& content) const;
  void shortcutsPage(SettingsPageContent& content) const;
  void timePage(SettingsPageContent& content) const;
  void generalPage(SettingsPageContent& content) const;
  void aboutPage(SettingsPageContent& content) const;

  void drawTagPreview(platform::Canvas& canvas, const platform::CanvasRect& rect) const;
  void copyDiagnostics();
  void resetTimes();
  void enableDesktopShortcuts();
  int desktopShortcutsWanted() const;
  void openEditor(const Desktop& desktop);
  void closeEditor();
  std::string infoString(const std::string& key) const;

  // A change the model made itself: the write is done, so the page is told at once.
  void changedNow();
  // A write seen through willChange: the new value is readable only after it returns.
  void changedSoon();
  void syncRecorders();
  void fail(std::string sentence);
  void clearStatus();

  SettingsServices s_;
  SettingsPage page_ = SettingsPage::spaces;
  std::map<std::string, Option, std::less<>> options_;
  std::map<std::string, std::function<void()>, std::less<>> buttons_;
  std::vector<Recorder> recorders_;
  std::unique_ptr<EditSpaceView> editor_;
  std::unique_ptr<EditSpaceView> retired_;
  Connection editorChanged_;
  std::string status_;
  SettingsPage statusPage_ = SettingsPage::spaces;
  bool copied_ = false;
  std::uint64_t copyGeneration_ = 0;
  bool acting_ = false;
  bool changePosted_ = false;
  Signal changed_;
  std::vector<Connection> connections_;
  Lifetime lifetime_;
};

}  // namespace velmora
