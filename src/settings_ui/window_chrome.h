#pragma once
// The frame Velmora's own titled windows (settings, welcome) draw round their content: the
// rounded window in the dark appearance, a title bar with the three window buttons and a
// centred title. Only the close button is live; a window that cannot be zoomed or minimised
// shows the other two dimmed, as AppKit does.

#include <string_view>

#include "core/geometry.h"
#include "platform/canvas.h"

namespace velmora {

struct WindowChrome {
  static constexpr double kTitleBarHeight = 28;
  static constexpr double kCornerRadius = 10;
  // Where the close button sits in the window, for hit tests.
  static constexpr platform::CanvasRect kCloseButton{12, kTitleBarHeight / 2 - 6, 12, 12};

  // Fills the window and draws its title bar; the content goes below kTitleBarHeight, inside
  // the clip this leaves on the canvas.
  static void draw(platform::Canvas& canvas, Size size, std::string_view title,
                   bool otherButtonsEnabled);
  // Whether a point of the window (y down) is on the close button, with a little slack.
  static bool onCloseButton(platform::CanvasPoint point);
};

}  // namespace velmora
