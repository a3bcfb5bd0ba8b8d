#include "store/predecessor_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "core/virtual_loop.h"
#include "golden.h"
#include "platform/sim/virtual_mac.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using platform::kAppDomain;

constexpr const char* kCorvane = "local.harrow.corvane";

// A virtual Mac's defaults and home, for one import.
struct ImportWorld {
  void predecessorHas(std::string_view key, const Value& value) {
    mac.preferences().setValue(kCorvane, key, value);
  }
  void weHave(std::string_view key, const Value& value) {
    mac.preferences().setValue(kAppDomain, key, value);
  }
  fs::path oldPictures() const { return mac.home().applicationSupport() / "Corvane" / "icons"; }
  fs::path newPictures() const { return mac.home().applicationSupport() / "Velmora" / "icons"; }
  static void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
  }
  int runImport() { return LegacyMigration::importPreferences(mac.preferences(), mac.home(), log); }

  // Our domain, our pictures folder (each file with its contents) and the log, on one line.
  std::string state() {
    std::string out = "ours {";
    for (const auto& [key, value] :
         mac.preferences().persistentDomain(kAppDomain).value_or(Value::Dictionary{})) {
      if (key != LegacyMigration::kMarkerKey) out += " " + key + "=" + describe(value) + ";";
    }
    out += " } pictures ";
    std::error_code noFolder;
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(newPictures(), noFolder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      files.insert(entry.path().filename().string() + "=\"" +
                   std::string(std::istreambuf_iterator<char>(in), {}) + "\"");
    }
    if (!fs::is_directory(newPictures(), noFolder)) out += "(no folder) ";
    for (const std::string& file : files) out += file + " ";
    out += "log [";
    for (const std::string& line : log.lines) out += line + ";";
    return out + "]";
  }

  VirtualLoop loop;
  sim::VirtualMac mac{loop};
  MemoryLog log;
};

// Each import, one a line: how many preferences it counted, then our domain (the marker left
// out), our pictures and the log.
TEST(PredecessorImport, ImportsAsTheirGolden) {
  std::string out;
  auto scenario = [&](const char* name, const std::function<std::string(ImportWorld&)>& run) {
    ImportWorld w;
    const std::string counted = run(w);
    out += std::string(name) + ": " + counted + " " + w.state() + "\n";
  };
  auto imported = [](int n) { return "imported " + std::to_string(n); };

  scenario("prefixed keys arrive under both names, others unchanged", [&](ImportWorld& w) {
    w.predecessorHas("Corvane.rename.4711", "Mail");
    w.predecessorHas("NSWindow Frame Corvane.settings", "12 40 520 380 0 0 1440 875 ");
    w.predecessorHas("switcherHotkey", Value::dictionary({{"keyCode", 49}, {"modifiers", 6144}}));
    w.predecessorHas("showNotchLabel", false);
    return imported(w.runImport());
  });
  scenario("only leading prefixes are translated", [&](ImportWorld& w) {
    w.predecessorHas("Old Corvane.thing", 1);
    w.predecessorHas("NSWindow Frame Settings", "0 0 10 10");
    w.predecessorHas("Corvane.", "bare prefix");
    return imported(w.runImport());
  });
  scenario("values we hold are kept and not counted", [&](ImportWorld& w) {
    w.weHave("menuBarStyle", 1);
    w.weHave("Velmora.rename.9", "Ours");
    w.predecessorHas("menuBarStyle", 3);
    w.predecessorHas("Corvane.rename.9", "Theirs");
    return imported(w.runImport());
  });
  scenario("runs once, even when the predecessor arrives later", [&](ImportWorld& w) {
    const int first = w.runImport();
    w.predecessorHas("Corvane.rename.1", "Late");
    w.writeFile(w.oldPictures() / "late.png", "png");
    return imported(first) + " then " + imported(w.runImport());
  });
  scenario("a run that imported nothing is the one run", [&](ImportWorld& w) {
    w.weHave("menuBarStyle", 1);
    w.predecessorHas("menuBarStyle", 3);
    const int first = w.runImport();
    w.weHave("menuBarStyle", Value());  // the user resets it; it must not come back
    return imported(first) + " then " + imported(w.runImport());
  });
  scenario("a missing, then an empty domain", [&](ImportWorld& w) {
    w.writeFile(w.oldPictures() / "a.png", "png");
    const int first = w.runImport();
    w.weHave(LegacyMigration::kMarkerKey, Value());
    w.predecessorHas("gone", 1);
    w.predecessorHas("gone", Value());
    return imported(first) + " then " + imported(w.runImport());
  });
  scenario("pictures are copied without replacing ours", [&](ImportWorld& w) {
    w.predecessorHas("Corvane.icon.1", "a.png");
    w.writeFile(w.oldPictures() / "a.png", "old a");
    w.writeFile(w.oldPictures() / "b.png", "old b");
    w.writeFile(w.newPictures() / "b.png", "our b");
    return imported(w.runImport());
  });
  scenario("no folder when there is nothing to copy", [&](ImportWorld& w) {
    w.predecessorHas("menuBarStyle", 3);
    fs::create_directories(w.oldPictures());
    return imported(w.runImport());
  });
  scenario("no picture folders: preferences only", [&](ImportWorld& w) {
    w.predecessorHas("menuBarStyle", 3);
    w.writeFile(w.oldPictures() / "a.png", "old a");
    return imported(
        LegacyMigration::importPreferences(w.mac.preferences(), kCorvane, std::nullopt, w.log));
  });
  scenario("a failed copy skips only that picture", [&](ImportWorld& w) {
    w.predecessorHas("menuBarStyle", 3);
    w.writeFile(w.oldPictures() / "good.png", "good");
    fs::create_symlink(w.oldPictures() / "nowhere.png", w.oldPictures() / "broken.png");
    return imported(w.runImport());
  });
  scenario("an unusable pictures folder does not stop the import", [&](ImportWorld& w) {
    w.predecessorHas("Corvane.rename.2", "Work");
    w.writeFile(w.oldPictures() / "a.png", "old a");
    w.writeFile(w.mac.home().applicationSupport() / "Velmora", "a file where the folder goes");
    return imported(w.runImport());
  });
  EXPECT_TRUE(testing::matchesGolden("store/predecessor_import.txt", out));
}

TEST(PredecessorImport, CopiesPicturesWithoutMovingThemAndMarksTheRun) {
  ImportWorld w;
  w.writeFile(w.oldPictures() / "a.png", "old a");
  w.predecessorHas("menuBarStyle", 3);
  w.runImport();
  EXPECT_TRUE(fs::exists(w.oldPictures() / "a.png"));
  EXPECT_EQ(w.mac.preferences().value(kAppDomain, LegacyMigration::kMarkerKey), Value(true));
  EXPECT_EQ(w.mac.preferences().persistentDomain(kCorvane)->size(), 1u);
}

}  // namespace
}  // namespace velmora
