#pragma once
// Draws one display of the virtual Mac as a person would see it: the wallpaper of its
// current desktop, the windows on that desktop, the Dock, the menu bar with the front
// application's menus, other applications' items, Velmora's tile and the system's items, the
// camera housing, every panel on screen at its level, frame and alpha with its text fields,
// and an open menu. While Mission Control is up it draws that instead of the desktop: the
// current desktop shrunk on a dark backdrop and the bar of name labels or thumbnails, as the
// accessibility tree reports it at that moment. What Velmora draws comes from the same painters a
// Mac would run; everything else is a plain stand-in so the screenshots read as a Mac at a glance.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/result.h"
#include "platform/canvas.h"

namespace velmora::sim {

class VirtualMac;

class Compositor {
 public:
  explicit Compositor(VirtualMac& mac) : mac_(mac) {}

  // The display at `scale` pixels per point (its own backing scale when none), cut to
  // `region` (points from the display's top-left corner) when given. None for an unknown
  // display or an empty region.
  std::unique_ptr<platform::Canvas> draw(const std::string& displayUUID,
                                         std::optional<platform::CanvasRect> region = {},
                                         std::optional<double> scale = {});
  // The same, written as a PNG file; a failure says why it could not be written.
  Result<void> screenshot(const std::string& displayUUID, const std::filesystem::path& file,
                          std::optional<platform::CanvasRect> region = {},
                          std::optional<double> scale = {});

  // Where the open menu is drawn on the display (points from its top-left corner); none
  // when no menu is open there.
  std::optional<platform::CanvasRect> menuFrame(const std::string& displayUUID);

  // How a menu is drawn: a check column, an image column when an item has an image, rows of
  // 22 points and separators of 11.
  static constexpr double kMenuRowHeight = 22;
  static constexpr double kMenuSeparatorHeight = 11;
  static constexpr double kMenuCheckColumn = 22;
  static constexpr double kMenuFontSize = 13.5;

 private:
  // A desktop of the display as it looks when shown: its wallpaper and its windows.
  void drawDesktop(platform::Canvas& canvas, const struct SimDisplay& display,
                   std::uint64_t spaceID);
  void drawWallpaper(platform::Canvas& canvas, const SimDisplay& display, std::uint64_t spaceID);
  void drawWindows(platform::Canvas& canvas, const SimDisplay& display, std::uint64_t spaceID);
  void drawMissionControl(platform::Canvas& canvas, const SimDisplay& display);
  void drawDock(platform::Canvas& canvas, const SimDisplay& display);
  void drawMenuBar(platform::Canvas& canvas, const SimDisplay& display);
  void drawPanels(platform::Canvas& canvas, const SimDisplay& display);
  void drawOpenMenu(platform::Canvas& canvas, const SimDisplay& display);
  struct MenuGeometry {
    platform::CanvasRect box;
    double imageColumn = 0;
    double keyWidth = 0;
  };
  std::optional<MenuGeometry> menuGeometry(platform::Canvas& canvas, const SimDisplay& display);

  VirtualMac& mac_;
};

}  // namespace velmora::sim
