#pragma once
// Golden files: what a test produced, compared with the file kept under tests/golden/. With
// VELMORA_UPDATE_GOLDEN=1 in the environment the file is written afresh instead, so a change
// of looks or wording is one run and a reviewed diff. Text goldens hold one line per case.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/canvas.h"
#include "platform/menus.h"

namespace velmora::testing {

// `text` against tests/golden/<name>.
::testing::AssertionResult matchesGolden(std::string_view name, std::string_view text);

// The canvas, as it encodes to PNG, against the picture tests/golden/<name>, every channel of
// every pixel within `tolerance`.
::testing::AssertionResult matchesGoldenPNG(std::string_view name, const platform::Canvas& canvas,
                                            int tolerance = 1);

// Text as goldens print it, so every case stays on one visible line: control characters,
// invisible spaces, joiners, combining marks and private-use characters as \n, \t or
// \u{200D}, bytes that are not UTF-8 as \xFF.
std::string escaped(std::string_view text);

// A menu, one item a line: its title, key equivalent with modifiers, action and target, and
// whether it is disabled, checked, has an image or carries an object; "-" for a separator.
std::string menuText(const platform::Menu& menu);

// A number as goldens print it: at most three decimals, no trailing zeros ("4.5", "17", "-0.2").
std::string num(double value);

}  // namespace velmora::testing
