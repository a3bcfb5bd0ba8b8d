#pragma once
// The virtual Mac's stand-ins for the surfaces that do not draw yet: each request the
// application makes of them (a toast, a switch tag, the popover, a settings page, …) is
// recorded as one line, so the command line can print it and scripts can expect it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/surfaces.h"

namespace velmora {
class EditorWindow;
}

namespace velmora::cli {

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
  explicit RecordedSurfaceKit(SurfaceRecord& record) : record_(record) {}

  // How the stand-ins name a desktop (the application's presentation, once it exists).
  std::function<std::string(const Desktop&)> title;
  // Carries out a press in Mission Control on the virtual Mac; none answers "not pressed".
  std::function<void(int desktopNumber, std::function<void(bool)> done)> missionControlPress;
  // Whether the stand-in tile finds room in the menu bar.
  bool menuBarHasRoom = true;
  // The surfaces that draw (the switch tag, the menu bar tile, the desktop editor) are the
  // real ones, still recorded; otherwise they are stand-ins too.
  bool drawn = false;
  // The desktop editor's window once the settings window exists and the kit draws.
  EditorWindow* editorWindow = nullptr;

  std::unique_ptr<SwitchTag> makeSwitchHUD(const Context& context) override;
  std::unique_ptr<MissionControlOverlay> makeOverlay(const Context& context) override;
  std::unique_ptr<QuickSwitcher> makeQuickSwitcher(const Context& context) override;
  std::unique_ptr<NotchName> makeNotchName(const Context& context) override;
  std::unique_ptr<MenuBarTile> makeStatusBar(const Context& context,
                                             std::function<bool()> notchIsShowing) override;
  std::unique_ptr<MenuPopoverController> makePopover(const Context& context) override;
  std::unique_ptr<SpaceHover> makeHover(const Context& context) override;
  std::unique_ptr<SettingsWindow> makeSettingsWindow(const Context& context) override;
  std::unique_ptr<FirstRunWindow> makeFirstRunWindow(const Context& context) override;

 private:
  SurfaceRecord& record_;
};

// The update checker's stand-in: the script says when a version comes out.
class RecordedUpdates final : public Updates {
 public:
  explicit RecordedUpdates(SurfaceRecord& record) : record_(record) {}
  void start() override;
  bool started() const { return started_; }
  // A new version appears on the update feed.
  void announce(const std::string& version);

 private:
  SurfaceRecord& record_;
  bool started_ = false;
};

}  // namespace velmora::cli
