#pragma once
// What the application asks of its surfaces, recorded one line a request (a toast, a switch
// tag, the popover, a settings page, …): the command line prints the lines and scripts
// expect them; the Mac app sends them to the system log. The surfaces that draw (the switch tag,
// the menu bar tile, the desktop editor, the quick switcher, the names over Mission Control,
// the popover)
// are the real ones behind the record; the others are stand-ins until they draw.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/surfaces.h"

namespace velmora {

class Accessibility;
class EditSpaceView;
class FirstRunWindowController;
class HoverStrip;
class MenuPopover;
class MissionControlOverlay;
class QuickSwitcher;
class NotchLabel;
class SettingsWindowController;
class SettingsModel;

class SurfaceRecord {
 public:
  // `sink` hears each line as it is recorded.
  explicit SurfaceRecord(std::function<void(const std::string&)> sink) : sink_(std::move(sink)) {}
  void note(const std::string& line);
  void toast(const std::string& line);
  const std::vector<std::string>& lines() const { return lines_; }
  const std::vector<std::string>& toasts() const { return toasts_; }

 private:
  std::function<void(const std::string&)> sink_;
  std::vector<std::string> lines_;
  std::vector<std::string> toasts_;
};

class RecordedSurfaceKit final : public SurfaceKit {
 public:
  using TitleFn = std::function<std::string(const Desktop&)>;

  explicit RecordedSurfaceKit(SurfaceRecord& record) : record_(record) {}

  // How the stand-ins name a desktop (the application's presentation, once it exists).
  void setTitle(TitleFn title) { title_ = std::move(title); }
  // Times the overlay's passes; scripts pass a still one so their logs read the same on
  // every machine. A steady clock when none.
  void setPassStopwatch(std::function<double()> stopwatch) {
    passStopwatch_ = std::move(stopwatch);
  }
  // The grant the first-run window shows and asks for (the application's, once it exists).
  void setAccessibility(Accessibility* access) { access_ = access; }
  // The desktop editor while it is open in the settings window.
  EditSpaceView* desktopEditor() const;
  // The settings window's pages once the window exists.
  SettingsModel* settingsModel() const { return settingsModel_; }
  // The settings window once the delegate made it.
  SettingsWindowController* settingsWindow() const { return settingsWindow_; }
  // The first-run window once the delegate asked for it.
  FirstRunWindowController* firstRunWindow() const { return firstRunWindow_; }
  // The quick switcher once the delegate made it.
  QuickSwitcher* quickSwitcher() const { return quickSwitcher_; }
  // The overlay over Mission Control once the delegate made it.
  MissionControlOverlay* missionControlOverlay() const { return overlay_; }
  // The notch label once the delegate made it.
  NotchLabel* notchLabel() const { return notchLabel_; }
  // The strip at the top edge once the delegate made it.
  HoverStrip* hoverStrip() const { return hoverStrip_; }
  // The desktops popover once the delegate made it.
  MenuPopover* menuPopover() const { return menuPopover_; }

  std::string title(const Desktop& desktop) const;

  std::unique_ptr<SwitchTag> makeSwitchHUD(const Context& context) override;
  std::unique_ptr<MissionControlLabels> makeOverlay(const Context& context) override;
  std::unique_ptr<QuickSwitcherSurface> makeQuickSwitcher(const Context& context) override;
  std::unique_ptr<NotchName> makeNotchName(const Context& context) override;
  std::unique_ptr<MenuBarTile> makeStatusBar(const Context& context,
                                             std::function<bool()> notchIsShowing) override;
  std::unique_ptr<MenuPopoverController> makePopover(const Context& context) override;
  std::unique_ptr<SpaceHover> makeHover(const Context& context) override;
  std::unique_ptr<SettingsWindow> makeSettingsWindow(const Context& context) override;
  std::unique_ptr<FirstRunWindow> makeFirstRunWindow(const Context& context) override;

 private:
  SurfaceRecord& record_;
  TitleFn title_;
  std::function<double()> passStopwatch_;
  Accessibility* access_ = nullptr;
  SettingsModel* settingsModel_ = nullptr;
  SettingsWindowController* settingsWindow_ = nullptr;
  FirstRunWindowController* firstRunWindow_ = nullptr;
  QuickSwitcher* quickSwitcher_ = nullptr;
  MissionControlOverlay* overlay_ = nullptr;
  NotchLabel* notchLabel_ = nullptr;
  HoverStrip* hoverStrip_ = nullptr;
  MenuPopover* menuPopover_ = nullptr;
};

}  // namespace velmora
