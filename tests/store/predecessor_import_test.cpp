#include "store/predecessor_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using platform::kAppDomain;

constexpr const char* kCorvane = "local.harrow.corvane";

class PredecessorImportTest : public ::testing::Test {
 protected:
  void predecessorHas(std::string_view key, const Value& value) {
    ASSERT_TRUE(mac.preferences().setValue(kCorvane, key, value));
  }
  void weHave(std::string_view key, const Value& value) {
    ASSERT_TRUE(mac.preferences().setValue(kAppDomain, key, value));
  }
  Value ours(std::string_view key) { return mac.preferences().value(kAppDomain, key); }

  fs::path oldPictures() const { return mac.home().applicationSupport() / "Corvane" / "icons"; }
  fs::path newPictures() const { return mac.home().applicationSupport() / "Velmora" / "icons"; }
  static void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
  }
  static std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  int runImport() { return LegacyMigration::importPreferences(mac.preferences(), mac.home(), log); }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog log;
};

TEST_F(PredecessorImportTest, PrefixedKeysArriveUnderBothNamesAndOthersUnchanged) {
  Value frame("12 40 520 380 0 0 1440 875 ");
  Value hotkey = Value::dictionary({{"keyCode", 49}, {"modifiers", 6144}});
  predecessorHas("Corvane.rename.4711", "Mail");
  predecessorHas("NSWindow Frame Corvane.settings", frame);
  predecessorHas("switcherHotkey", hotkey);
  predecessorHas("showNotchLabel", false);

  EXPECT_EQ(runImport(), 6);

  EXPECT_EQ(ours("Corvane.rename.4711"), Value("Mail"));
  EXPECT_EQ(ours("Velmora.rename.4711"), Value("Mail"));
  EXPECT_EQ(ours("NSWindow Frame Corvane.settings"), frame);
  EXPECT_EQ(ours("NSWindow Frame Velmora.settings"), frame);
  EXPECT_EQ(ours("switcherHotkey"), hotkey);
  EXPECT_EQ(ours("showNotchLabel"), Value(false));
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"Velmora: imported 6 preferences from local.harrow.corvane"});
}

TEST_F(PredecessorImportTest, OnlyLeadingPrefixesAreTranslated) {
  predecessorHas("Old Corvane.thing", 1);
  predecessorHas("NSWindow Frame Settings", "0 0 10 10");
  predecessorHas("Corvane.", "bare prefix");

  EXPECT_EQ(runImport(), 4);

  EXPECT_EQ(ours("Old Corvane.thing"), Value(1));
  EXPECT_TRUE(ours("Old Velmora.thing").isNull());
  EXPECT_EQ(ours("NSWindow Frame Settings"), Value("0 0 10 10"));
  EXPECT_EQ(ours("Velmora."), Value("bare prefix"));
}

TEST_F(PredecessorImportTest, ValuesWeAlreadyHoldAreKeptAndNotCounted) {
  weHave("menuBarStyle", 1);
  weHave("Velmora.rename.9", "Ours");
  predecessorHas("menuBarStyle", 3);
  predecessorHas("Corvane.rename.9", "Theirs");

  EXPECT_EQ(runImport(), 1);

  EXPECT_EQ(ours("menuBarStyle"), Value(1));
  EXPECT_EQ(ours("Velmora.rename.9"), Value("Ours"));
  EXPECT_EQ(ours("Corvane.rename.9"), Value("Theirs"));
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"Velmora: imported 1 preferences from local.harrow.corvane"});
}

TEST_F(PredecessorImportTest, RunsOnceEvenWhenThePredecessorArrivesLater) {
  EXPECT_EQ(runImport(), 0);
  EXPECT_EQ(ours(LegacyMigration::kMarkerKey), Value(true));

  predecessorHas("Corvane.rename.1", "Late");
  writeFile(oldPictures() / "late.png", "png");

  EXPECT_EQ(runImport(), 0);
  EXPECT_TRUE(ours("Corvane.rename.1").isNull());
  EXPECT_TRUE(ours("Velmora.rename.1").isNull());
  EXPECT_FALSE(fs::exists(newPictures()));
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(PredecessorImportTest, ARunThatImportedNothingStillCountsAsTheOneRun) {
  weHave("menuBarStyle", 1);
  predecessorHas("menuBarStyle", 3);
  ASSERT_EQ(runImport(), 0);
  weHave("menuBarStyle", Value());  // the user resets it; it must not come back

  EXPECT_EQ(runImport(), 0);
  EXPECT_TRUE(ours("menuBarStyle").isNull());
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"Velmora: imported 0 preferences from local.harrow.corvane"});
}

TEST_F(PredecessorImportTest, MissingOrEmptyDomainImportsNothingAndLogsNothing) {
  writeFile(oldPictures() / "a.png", "png");
  EXPECT_EQ(runImport(), 0);

  // An empty domain: the predecessor's file exists but holds no keys.
  weHave(LegacyMigration::kMarkerKey, Value());
  predecessorHas("gone", 1);
  predecessorHas("gone", Value());
  ASSERT_EQ(mac.preferences().persistentDomain(kCorvane), Value::Dictionary{});
  EXPECT_EQ(runImport(), 0);

  EXPECT_TRUE(log.lines.empty());
  EXPECT_FALSE(fs::exists(newPictures()));
  EXPECT_EQ(ours(LegacyMigration::kMarkerKey), Value(true));
}

TEST_F(PredecessorImportTest, PicturesAreCopiedWithoutReplacingOurs) {
  predecessorHas("Corvane.icon.1", "a.png");
  writeFile(oldPictures() / "a.png", "old a");
  writeFile(oldPictures() / "b.png", "old b");
  writeFile(newPictures() / "b.png", "our b");

  runImport();

  EXPECT_EQ(readFile(newPictures() / "a.png"), "old a");
  EXPECT_EQ(readFile(newPictures() / "b.png"), "our b");
  EXPECT_EQ(readFile(oldPictures() / "a.png"), "old a");  // copied, not moved
}

TEST_F(PredecessorImportTest, PicturesFolderIsCreatedOnlyWhenThereIsSomethingToCopy) {
  predecessorHas("menuBarStyle", 3);
  fs::create_directories(oldPictures());
  runImport();
  EXPECT_FALSE(fs::exists(newPictures()));

  weHave(LegacyMigration::kMarkerKey, Value());
  writeFile(oldPictures() / "a.png", "old a");
  runImport();
  EXPECT_EQ(readFile(newPictures() / "a.png"), "old a");
}

TEST_F(PredecessorImportTest, NoPictureFoldersMeansOnlyPreferences) {
  predecessorHas("menuBarStyle", 3);
  writeFile(oldPictures() / "a.png", "old a");

  EXPECT_EQ(LegacyMigration::importPreferences(mac.preferences(), kCorvane, std::nullopt, log), 1);
  EXPECT_FALSE(fs::exists(newPictures()));
}

TEST_F(PredecessorImportTest, AFailedCopySkipsOnlyThatPicture) {
  predecessorHas("menuBarStyle", 3);
  writeFile(oldPictures() / "good.png", "good");
  fs::create_symlink(oldPictures() / "nowhere.png", oldPictures() / "broken.png");

  EXPECT_EQ(runImport(), 1);

  EXPECT_EQ(readFile(newPictures() / "good.png"), "good");
  EXPECT_FALSE(fs::exists(fs::symlink_status(newPictures() / "broken.png")));
  EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(PredecessorImportTest, AnUnusablePicturesFolderDoesNotStopTheImport) {
  predecessorHas("Corvane.rename.2", "Work");
  writeFile(oldPictures() / "a.png", "old a");
  writeFile(mac.home().applicationSupport() / "Velmora", "a file where the folder should be");

  EXPECT_EQ(runImport(), 2);
  EXPECT_EQ(ours("Velmora.rename.2"), Value("Work"));
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"Velmora: imported 2 preferences from local.harrow.corvane"});
}

}  // namespace
}  // namespace velmora
