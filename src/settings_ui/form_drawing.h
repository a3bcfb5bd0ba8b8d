#pragma once
// What Velmora's own windows (the desktop editor, the settings window, the welcome) draw with:
// the colours of their dark appearance, one line of text in a box, a system symbol fitted to a
// box, and text broken into lines at spaces.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

namespace velmora::form {

inline const platform::Color kBackground = platform::Color::gray(0.165);
inline const platform::Color kPrimary = platform::Color::white(0.88);
inline const platform::Color kSecondary = platform::Color::white(0.55);
inline const platform::Color kAccent{0.04, 0.52, 1.0, 1};
inline const platform::Color kGreen{0.2, 0.78, 0.35, 1};
inline const platform::Color kOrange{1.0, 0.62, 0.04, 1};

bool inside(const platform::CanvasRect& r, platform::CanvasPoint p);

// One line in `box`, vertically centred, cut at the tail when it does not fit; `align` 0 left,
// 0.5 centred, 1 right.
void drawLine(platform::Canvas& canvas, std::string_view text, const platform::Font& font,
              const platform::Color& color, const platform::CanvasRect& box, double align = 0);

// The system symbol at its natural shape, as large as fits `box` and centred in it.
void drawSymbol(platform::Canvas& canvas, std::string_view name, double size,
                const platform::Color& color, const platform::CanvasRect& box);

// `text` broken at spaces into lines no wider than `width` as `measure` measures them; a word
// wider than the line stands on a line of its own.
std::vector<std::string> wrapWords(std::string_view text, double width,
                                   const std::function<double(const std::string&)>& measure);

}  // namespace velmora::form
