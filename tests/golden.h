#pragma once
// Golden files: what a test produced, compared with the file kept under tests/golden/. With
// VELMORA_UPDATE_GOLDEN=1 in the environment the file is written afresh instead, so a change
// of looks or wording is one run and a reviewed diff. Text goldens hold one line per case.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace velmora::testing {

// `text` against tests/golden/<name>.
::testing::AssertionResult matchesGolden(std::string_view name, std::string_view text);

// The canvas, as it encodes to PNG, against the picture tests/golden/<name>, every channel of
// every pixel within `tolerance`.
::testing::AssertionResult matchesGoldenPNG(std::string_view name, const platform::Canvas& canvas,
                                            int tolerance = 1);

// A number as goldens print it: at most three decimals, no trailing zeros ("4.5", "17", "-0.2").
std::string num(double value);

}  // namespace velmora::testing
