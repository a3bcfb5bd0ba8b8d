#include "platform/linux/plist_preferences.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace velmora {
namespace {

class PlistPreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("velmora-prefs-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
};

TEST_F(PlistPreferencesTest, EveryKindOfValueSurvivesAFreshRead) {
  Value all = Value::dictionary({
      {"bool", true},
      {"int", -42},
      {"big", Value(0xFFFF'FFFF'FFFF'FFF0ULL)},
      {"real", 2.5},
      {"text", "Désktop ✨"},
      {"data", Value(Value::Data{{0, 1, 2, 255}})},
      {"date", Value(Value::Date{789012345.5})},
      {"list", Value::array({1, "two", Value::array({})})},
      {"nested", Value::dictionary({{"a", Value::dictionary({{"b", 3}})}})},
  });
  {
    linuxhost::PlistPreferences prefs(folder);
    for (const auto& [key, value] : *all.asDictionary()) {
      ASSERT_TRUE(prefs.setValue(platform::kAppDomain, key, value)) << key;
    }
  }
  linuxhost::PlistPreferences again(folder);
  auto domain = again.persistentDomain(platform::kAppDomain);
  ASSERT_TRUE(domain);
  EXPECT_EQ(Value(*domain), all);
  EXPECT_EQ(again.value(platform::kAppDomain, "text"), Value("Désktop ✨"));
  EXPECT_TRUE(again.value(platform::kAppDomain, "absent").isNull());
  EXPECT_TRUE(again.value("com.example.none", "text").isNull());
  EXPECT_FALSE(again.persistentDomain("com.example.none"));
}

TEST_F(PlistPreferencesTest, DomainsAreSeparateFilesAndNullRemoves) {
  linuxhost::PlistPreferences prefs(folder);
  ASSERT_TRUE(prefs.setValue("com.apple.symbolichotkeys", "AppleSymbolicHotKeys",
                             Value::dictionary({{"118", Value::dictionary({{"enabled", true}})}})));
  ASSERT_TRUE(prefs.setValue(platform::kAppDomain, "k", 1));
  EXPECT_TRUE(std::filesystem::exists(folder / "com.apple.symbolichotkeys.plist"));
  EXPECT_TRUE(std::filesystem::exists(folder / "app.velmora.Velmora.plist"));
  ASSERT_TRUE(prefs.setValue(platform::kAppDomain, "k", Value()));
  EXPECT_TRUE(prefs.value(platform::kAppDomain, "k").isNull());
  EXPECT_TRUE(prefs.persistentDomain(platform::kAppDomain)->empty());
  // No temporary files are left behind by the atomic writes.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 2);
}

TEST_F(PlistPreferencesTest, AnUnreadableFileReadsAsNothingAndIsKeptBesideTheNewOne) {
  std::filesystem::create_directories(folder);
  { std::ofstream(folder / "app.velmora.Velmora.plist") << "this is not a property list"; }
  linuxhost::PlistPreferences prefs(folder);
  EXPECT_TRUE(prefs.value(platform::kAppDomain, "k").isNull());
  EXPECT_FALSE(prefs.persistentDomain(platform::kAppDomain));
  ASSERT_TRUE(prefs.setValue(platform::kAppDomain, "k", "v"));
  EXPECT_EQ(prefs.value(platform::kAppDomain, "k"), Value("v"));
  bool kept = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with("app.velmora.Velmora.plist.unreadable-")) {
      std::ifstream in(entry.path());
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      kept = text == "this is not a property list";
    }
  }
  EXPECT_TRUE(kept);
}

TEST_F(PlistPreferencesTest, XmlPropertyListsWrittenByOthersAreRead) {
  std::filesystem::create_directories(folder);
  {
    std::ofstream(folder / "local.example.plist") << R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>name</key><string>Mail</string><key>n</key><integer>7</integer></dict></plist>)";
  }
  linuxhost::PlistPreferences prefs(folder);
  EXPECT_EQ(prefs.value("local.example", "name"), Value("Mail"));
  EXPECT_EQ(prefs.value("local.example", "n"), Value(7));
}

}  // namespace
}  // namespace velmora
