// The Mac bundle's Info.plist is read only by macOS, so here it is held against what the
// application itself relies on: its defaults domain, the links it answers, a menu-bar-only
// process.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_link.h"
#include "platform/linux/plist_codec.h"
#include "platform/preferences.h"

namespace velmora {
namespace {

Value bundleInfo() {
  std::ifstream file(VELMORA_SOURCE_DIR "/src/mac/Info.plist.in");
  std::string text{std::istreambuf_iterator<char>(file), {}};
  // What CMake fills in: names and versions.
  text = std::regex_replace(text, std::regex(R"(\$\{[A-Z_]+\})"), "Velmora");
  auto decoded = linuxhost::PlistCodec().decode({text.begin(), text.end()});
  return decoded.value_or(Value());
}

// The entry under `key`, or null.
Value entry(const Value& dictionary, std::string_view key) {
  const Value* found = dictionary.find(key);
  return found ? *found : Value();
}

TEST(BundleInfo, DeclaresTheDomainTheLinksAndTheMenuBarOnlyProcessVelmoraExpects) {
  const Value info = bundleInfo();
  ASSERT_NE(info.asDictionary(), nullptr) << "Info.plist.in is not a property list";
  // CFPreferences keeps the application's options under its bundle identifier.
  EXPECT_EQ(entry(info, "CFBundleIdentifier"), Value(platform::kAppDomain));
  EXPECT_EQ(entry(info, "LSUIElement"), Value(true));
  EXPECT_EQ(entry(info, "LSMinimumSystemVersion"), Value("14.0"));

  const Value types = entry(info, "CFBundleURLTypes");
  ASSERT_TRUE(types.asArray() && types.asArray()->size() == 1);
  const Value schemeList = entry(types.asArray()->front(), "CFBundleURLSchemes");
  const Value::Array* schemes = schemeList.asArray();
  ASSERT_NE(schemes, nullptr);
  std::vector<std::string> declared;
  for (const Value& scheme : *schemes) {
    ASSERT_NE(scheme.asString(), nullptr);
    declared.push_back(*scheme.asString());
    // Every scheme macOS sends to Velmora is one Velmora understands.
    EXPECT_TRUE(AppLink::parse(declared.back() + "://next")) << declared.back();
  }
  // Both the own scheme and the predecessor's reach Velmora.
  EXPECT_EQ(declared, (std::vector<std::string>{"velmora", "corvane"}));
}

}  // namespace
}  // namespace velmora
