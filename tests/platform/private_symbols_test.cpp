#include "platform/macos/private_symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::macos {
namespace {

using Lines = std::vector<std::string>;

// A library every process of the platform has loaded, with the C math functions in it.
#ifdef __APPLE__
constexpr const char* kMathLibrary = "/usr/lib/libSystem.B.dylib";
#else
constexpr const char* kMathLibrary = "libm.so.6";
#endif

TEST(PrivateSymbols, FindsAFunctionTheLibraryHasWithoutLogging) {
  MemoryLog log;
  PrivateSymbols libm(kMathLibrary, log);
  auto cosine = reinterpret_cast<double (*)(double)>(libm.lookup("cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(log.lines, Lines{});
}

TEST(PrivateSymbols, AMissingFunctionIsLoggedOnceByName) {
  MemoryLog log;
  PrivateSymbols libm(kMathLibrary, log);
  EXPECT_EQ(libm.lookup("SLSMainConnectionID"), nullptr);
  EXPECT_EQ(libm.lookup("SLSMainConnectionID"), nullptr);
  EXPECT_EQ(log.lines, Lines{"SLSMainConnectionID is not available on this macOS"});
  EXPECT_EQ(libm.lookup("SLSSpaceCopyName"), nullptr);
  EXPECT_EQ(log.lines.size(), 2u);
}

TEST(PrivateSymbols, AMissingLibraryFindsNothingNotEvenWhatTheProcessHas) {
  MemoryLog log;
  PrivateSymbols missing("/nonexistent/SkyLight.framework/SkyLight", log);
  // cos is loaded in this process already; it must not be found through the global scope.
  EXPECT_EQ(missing.lookup("cos"), nullptr);
  EXPECT_EQ(missing.lookup("SLSMainConnectionID"), nullptr);
  EXPECT_EQ(missing.lookup("cos"), nullptr);
  EXPECT_EQ(log.lines, (Lines{"cos is not available on this macOS",
                              "SLSMainConnectionID is not available on this macOS"}));
}

}  // namespace
}  // namespace velmora::macos
