#include "app/time_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/velmora_run.h"
#include "golden.h"

namespace velmora {
namespace {

struct Velmora : testing::Velmora {
  Velmora() { session->launch(); }
  VelmoraApp& app() { return *session->app(); }
  void setSeconds(int number, double seconds) {
    Desktop desktop = *app().engine().desktopWithNumber(number);
    app().store().update(desktop.space.managedID, [&](SpaceMeta& m) { m.seconds = seconds; });
  }
  double seconds(int number) {
    return app().store().meta(app().engine().desktopWithNumber(number)->space.managedID).seconds;
  }
  std::string file(const std::string& name) {
    std::ifstream in(mac().home().root / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

// The file as the user gets it, through the save panel, while the machine and the settings
// change under it: quotes doubled, seconds truncated, hours to two places, a removed desktop
// left out while its time is kept, presentation mode's numbers, and no desktops at all.
TEST(TimeExport, TheFileFollowsTheDesktopsAndThePresentation) {
  Velmora run;
  run("advance 0.1\nname 1 Say \"hi\", then \"bye\"\nname 3 Ledger");
  run.setSeconds(1, 5400.7);
  run.setSeconds(2, 59.999);
  run.setSeconds(3, 3600 * 30 + 0.2);
  std::string text;
  auto exportAs = [&](const std::string& title, const std::string& file) {
    run("export time\nanswer save panel ~/" + file + "\nadvance 0.1");
    text += "== " + title + "\n" + run.file(file);
  };
  exportAs("three desktops", "a.csv");
  run("remove desktop 3\nadvance 2");
  exportAs("desktop 3 removed", "b.csv");
  run("set presenting true\nadvance 0.1");
  exportAs("presentation mode", "c.csv");
  text += "== no desktops\n" + timeCSV({}, run.app().store(), run.app().presentation());
  EXPECT_TRUE(testing::matchesGolden("app/time_export.txt", text));
  // The removed desktop's seconds stay stored, for the day it comes back.
  double kept = 0;
  for (const auto& [id, meta] : run.app().store().metas()) kept = std::max(kept, meta.seconds);
  EXPECT_DOUBLE_EQ(kept, 3600 * 30 + 0.2);
}

// The panel proposes the name and comma-separated text only; the seconds up to the export are
// in the file; Cancel writes nothing and a later export opens the panel again, once however
// often it is asked while open.
TEST(TimeExport, FlushesFirstAndCancelWritesNothing) {
  Velmora run;
  run("pointer 300 300\nadvance 10.7");
  double swept = run.seconds(1);
  run("export time");
  // The sweep last sampled at 10.5; the export counts the 0.2 s since.
  EXPECT_NEAR(run.seconds(1) - swept, 0.2, 1e-6);
  ASSERT_TRUE(run.mac().savePanel().open());
  EXPECT_EQ(run.mac().savePanel().open()->proposedName, "Velmora time.csv");
  EXPECT_EQ(run.mac().savePanel().open()->allowedContentTypes,
            std::vector<std::string>{"public.comma-separated-values-text"});
  run("cancel save panel\nadvance 0.1");
  EXPECT_NE(run.text().find("time export: cancelled, nothing written"), std::string::npos);
  EXPECT_FALSE(run.mac().savePanel().open());
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(run.mac().home().root))
    ++files;
  run("export time\nexport time\nprint save panel");
  EXPECT_EQ(run.mac().savePanel().requests().size(), 2u);
  EXPECT_NE(run.text().find("save panel: open, proposes \"Velmora time.csv\""), std::string::npos);
  std::size_t after = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(run.mac().home().root))
    ++after;
  EXPECT_EQ(after, files);
}

// A folder that vanished while the panel was open, and a read-only disk: one sentence, in the
// log and as a toast, and nothing half-written left behind.
TEST(TimeExport, AFailedWriteIsOneSentence) {
  Velmora run;
  std::filesystem::path image = run.mac().mountDiskImage("Archive");
  std::filesystem::create_directories(run.mac().home().root / "Reports");
  run("advance 0.1\nexport time");
  std::filesystem::remove(run.mac().home().root / "Reports");
  run("answer save panel ~/Reports/time.csv\nadvance 0.1");
  run("export time\nanswer save panel " + (image / "time.csv").string() + "\nadvance 0.1");
  const std::string vanished =
      "The time export could not be saved as \"time.csv\" in \"Reports\" (No such file or "
      "directory).";
  const std::string readOnly =
      "The time export could not be saved as \"time.csv\" in \"Archive\" (Read-only file "
      "system).";
  for (const std::string& sentence : {vanished, readOnly}) {
    EXPECT_NE(run.text().find("switches.log: time export failed: " + sentence), std::string::npos);
    EXPECT_NE(run.text().find("toast: " + sentence), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_empty(image));
  EXPECT_EQ(timeExportFailure("/Users/me/time.csv", "The disk is full."),
            "The time export could not be saved as \"time.csv\" in \"me\" (The disk is full).");
}

// Cancel (the default button) keeps every second; agreeing zeroes them, the zeros reach the
// disk, and counting starts again from nothing.
TEST(TimeExport, ResetAsksFirst) {
  Velmora run;
  run("advance 0.1");
  run.setSeconds(1, 100);
  run.setSeconds(2, 50);
  run("reset time");
  EXPECT_EQ(run.seconds(1), 100);
  ASSERT_EQ(run.mac().alerts().size(), 1u);
  EXPECT_EQ(run.mac().alerts()[0].buttons, (std::vector<std::string>{"Cancel", "Reset Times"}));
  run("answer Reset Times\nreset time\nadvance 1");
  EXPECT_EQ(run.seconds(1), 0);
  EXPECT_EQ(run.seconds(2), 0);
  EXPECT_NE(run.text().find("switches.log: time reset"), std::string::npos);
  run("pointer 300 300\nadvance 3");
  EXPECT_GT(run.seconds(1), 0);
  EXPECT_LT(run.seconds(1), 4);
  run("kill\nlaunch\nadvance 0.1");
  EXPECT_EQ(run.seconds(2), 0);
}

}  // namespace
}  // namespace velmora
