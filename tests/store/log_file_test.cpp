#include "store/log_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/virtual_loop.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const std::string kStamp = "[2026-12-04T03:22:07Z] ";

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// `size` bytes of old log: 39 letters and a line feed per line.
std::string oldLines(std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += i % 40 == 39 ? '\n' : char('a' + i % 26);
  return text;
}

// A home folder of the test's own, never the developer's.
class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(home.root);
    fs::create_directories(home.root);
  }
  void TearDown() override { fs::remove_all(home.root); }

  fs::path folder() const { return home.root / "Library/Logs/Velmora"; }
  // `before` as the old content of a log with that cap, then one append.
  std::string afterAppend(const std::string& before, std::int64_t limit = 64000) {
    fs::create_directories(folder());
    LogFile log(folder() / "test.log", loop, limit);
    writeBytes(log.url(), before);
    log.append("next");
    return readBytes(log.url());
  }

  VirtualLoop loop{1796354527};  // 2026-12-04T03:22:07Z
  platform::HomeFolder home{fs::temp_directory_path() /
                            ("velmora-logs-" + std::to_string(::getpid()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name())};
};

TEST(LogTimestamp, IsUtcToTheWholeSecond) {
  EXPECT_EQ(iso8601UTC(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(iso8601UTC(1835481599.999), "2028-02-29T23:59:59Z");  // truncated, not rounded
  EXPECT_EQ(iso8601UTC(-0.5), "1969-12-31T23:59:59Z");
}

TEST_F(LogFileTest, LinesAreStampedWithTheWallClockInOrder) {
  Logs logs(home, loop);
  LineLog& engineSide = logs.switches();
  engineSide.write("switched to 'Mail'");
  loop.advance(62);
  logs.switches().append("Désktop ✨ 3");
  loop.skewWallClock(-86400);                         // the user sets the date back a day
  logs.switches().append("window \xC3 of \xFF app");  // stray bytes must not spoil the log

  EXPECT_EQ(readBytes(folder() / "switches.log"),
            kStamp + "switched to 'Mail'\n" +
                "[2026-12-04T03:23:09Z] Désktop ✨ 3\n"
                "[2026-12-03T03:23:09Z] window \uFFFD of \uFFFD app\n");
}

TEST_F(LogFileTest, TheFolderIsMadeOnFirstUseOnlyAndAFolderThatCannotBeIsNoFault) {
  {
    Logs logs(home, loop);
    EXPECT_FALSE(fs::exists(home.root / "Library"));
    logs.updates().append("checked");
    EXPECT_EQ(readBytes(folder() / "updates.log"), kStamp + "checked\n");
    EXPECT_EQ(logs.missionControl().url(), folder() / "mission-control.log");
    EXPECT_EQ(logs.missionControl().limit(), 64000);

    fs::remove(folder() / "updates.log");
    logs.updates().append("again");  // a deleted log is simply started again
    EXPECT_EQ(readBytes(folder() / "updates.log"), kStamp + "again\n");

    fs::remove_all(folder());
    logs.switches().append("lost");  // first use after the folder went away
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_EQ(logs.switches().tail(6000), "(no log yet)");
  }
  Logs nextStart(home, loop);
  nextStart.switches().append("back");
  EXPECT_EQ(readBytes(folder() / "switches.log"), kStamp + "back\n");

  // A folder that cannot be made: nothing is written and nothing fails loudly.
  fs::remove_all(home.root / "Library");
  writeBytes(home.root / "Library", "a file where a folder should be");
  Logs blocked(home, loop);
  blocked.switches().append("lost");
  EXPECT_EQ(readBytes(home.root / "Library"), "a file where a folder should be");
  EXPECT_EQ(blocked.switches().tail(6000), "(no log yet)");
}

TEST_F(LogFileTest, OnlyALogLargerThanTheCapIsCutToItsLast32000Characters) {
  EXPECT_EQ(afterAppend(oldLines(63999)), oldLines(63999) + kStamp + "next\n");
  EXPECT_EQ(afterAppend(oldLines(64000)), oldLines(64000) + kStamp + "next\n");
  // The cut falls inside a line.
  EXPECT_EQ(afterAppend(oldLines(64001)), oldLines(64001).substr(32001) + kStamp + "next\n");
  EXPECT_EQ(afterAppend("0123456789AB", 11), "789AB" + kStamp + "next\n");
  EXPECT_EQ(afterAppend(oldLines(70000), 0), oldLines(70000) + kStamp + "next\n");
}

TEST_F(LogFileTest, TheCutNeverSplitsACharacter) {
  std::string mixed;
  for (int i = 0; i < 8000; ++i) mixed += "é€😀x";  // 4 characters in 10 bytes
  const std::string lasts[] = {
      mixed,
      "👩\u200D👩\u200D👧" + oldLines(31999),  // one character of five scalars
      "e\u0301" + oldLines(31999),          // a letter with its accent
      "\r\n" + oldLines(31999),             // CR LF is one character
  };
  for (const std::string& last : lasts) {
    EXPECT_EQ(afterAppend(oldLines(40000) + "ü" + last), last + kStamp + "next\n");
  }
  // A log that is not UTF-8 is neither cut nor shown.
  std::string before = oldLines(64001);
  before[100] = '\xFF';
  EXPECT_EQ(afterAppend(before), before + kStamp + "next\n");
  EXPECT_EQ(LogFile(folder() / "test.log", loop).tail(6000), "(no log yet)");
}

TEST_F(LogFileTest, TailIsTheLastCharactersOrTheWholeShortLog) {
  fs::create_directories(folder());
  LogFile log(folder() / "mission-control.log", loop);
  EXPECT_EQ(log.tail(6000), "(no log yet)");
  writeBytes(log.url(), oldLines(100));
  EXPECT_EQ(log.tail(6000), oldLines(100));
  writeBytes(log.url(), "opened\n'👩\u200D👩\u200D👧 Home' -> 0,0\r\n");
  EXPECT_EQ(log.tail(3), ",0\r\n");
  EXPECT_EQ(log.tail(14), " Home' -> 0,0\r\n");
  EXPECT_EQ(log.tail(15), "👩\u200D👩\u200D👧 Home' -> 0,0\r\n");
  EXPECT_EQ(log.tail(0), "");
}

}  // namespace
}  // namespace velmora
