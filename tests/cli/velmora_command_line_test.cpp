// The velmora binary itself: scripts in, what the user would see out, and exit codes a
// shell script can rely on; and its prompt, with events printed above it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/prompt_output.h"
#include "golden.h"

namespace {

struct CliRun {
  int exitCode = -1;
  std::string output;  // standard output: what the command line prints for the user
  std::string errors;  // standard error, where a sanitizer or the C library may add its own
};

std::string slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a shell command, feeding `input` on standard input.
CliRun shell(const std::string& command, const std::string& input = {}) {
  auto stem =
      std::filesystem::temp_directory_path() / ("velmora-cli-" + std::to_string(::getpid()) + "-");
  auto inputFile = stem.string() + "input.txt", errorFile = stem.string() + "errors.txt";
  std::ofstream(inputFile) << input;
  CliRun result;
  FILE* pipe = popen((command + " < '" + inputFile + "' 2> '" + errorFile + "'").c_str(), "r");
  if (!pipe) return result;
  std::array<char, 4096> buffer{};
  while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
    result.output.append(buffer.data(), n);
  int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.errors = slurp(errorFile);
  std::filesystem::remove(inputFile);
  std::filesystem::remove(errorFile);
  return result;
}

// The command line with `arguments`.
CliRun velmora(const std::string& arguments, const std::string& input = {}) {
  return shell(VELMORA_CLI " " + arguments, input);
}

const std::string kWorld = VELMORA_WORLDS_DIR "/two-displays.json";

TEST(VelmoraCommandLine, TheTourRunsCleanAndTheSameEachTime) {
  std::string tour = std::string(VELMORA_SOURCE_DIR) + "/tours/tour.velmora";
  CliRun first = velmora("run " + kWorld + " " + tour);
  EXPECT_EQ(first.exitCode, 0) << first.output;
  EXPECT_NE(first.output.find("switch tag: Deep Work"), std::string::npos);
  CliRun second = velmora("run " + kWorld + " " + tour);
  EXPECT_EQ(first.output, second.output);
}

TEST(VelmoraCommandLine, AWorldOrScriptThatCannotBeUsedExitsWithTwo) {
  auto broken = std::filesystem::temp_directory_path() / "velmora-broken-world.json";
  std::ofstream(broken) << "{\"displays\": [\n  {\"uuid\": 7}\n]}";
  CliRun world = velmora("run " + broken.string() + " -", "print current\n");
  EXPECT_EQ(world.exitCode, 2);
  EXPECT_NE(world.errors.find("World file line 2"), std::string::npos) << world.errors;
  std::filesystem::remove(broken);

  EXPECT_EQ(velmora("walk").exitCode, 2);
  EXPECT_EQ(velmora("run " + kWorld + " /no/such/script").exitCode, 2);
}

// The scripts beside this file, each run on the world its first line names ("# world:
// four-desktops.json", beside it), else on two-displays.json. One with a transcript under
// tests/golden/cli/ prints exactly that, its exit code last (mistakes.velmora's errors and
// failed expectation give 1); every other runs clean, every expect line holding.
class VelmoraScript : public ::testing::TestWithParam<std::string> {};

TEST_P(VelmoraScript, RunsCleanOrPrintsItsTranscript) {
  const std::filesystem::path folder = VELMORA_SOURCE_DIR "/tests/cli";
  const std::filesystem::path script = folder / (GetParam() + ".velmora");
  std::string world = kWorld, first;
  std::getline(std::ifstream(script), first);
  if (first.starts_with("# world: ")) world = (folder / first.substr(9)).string();
  CliRun r = velmora("run " + world + " " + script.string());
  const std::string transcript = "cli/" + GetParam() + ".txt";
  if (std::filesystem::exists(folder.parent_path() / "golden" / transcript)) {
    EXPECT_TRUE(velmora::testing::matchesGolden(
        transcript, r.output + "exit " + std::to_string(r.exitCode) + "\n"));
  } else {
    EXPECT_EQ(r.exitCode, 0) << r.output;
  }
}

std::vector<std::string> scripts() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(VELMORA_SOURCE_DIR "/tests/cli")) {
    if (entry.path().extension() == ".velmora") names.push_back(entry.path().stem().string());
  }
  std::ranges::sort(names);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scripts, VelmoraScript, ::testing::ValuesIn(scripts()),
                         [](const auto& info) { return info.param; });

TEST(VelmoraCommandLine, TheInteractivePromptRunsTheSameCommands) {
  CliRun r = velmora("", "print current\nopen velmora://switch/9\nquit\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("velmora> "), std::string::npos);
  EXPECT_NE(r.output.find("current: Desktop 1"), std::string::npos);
  EXPECT_NE(r.output.find("toast: There is no Desktop 9"), std::string::npos);
  EXPECT_NE(r.output.find("Velmora quits"), std::string::npos);
}

TEST(VelmoraCommandLine, AtATerminalThePromptEditsAndKeepsHistoryOnlyWhenAsked) {
  // A machine without script(1), or without pseudo-terminals (a bare chroot), has no terminal
  // to give the prompt.
  if (std::system("script -q -e -c true /dev/null < /dev/null > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "no pseudo-terminal to run the prompt in";
  }
  // A home of its own: line editing must not read or write the user's files.
  auto home =
      std::filesystem::temp_directory_path() / ("velmora-terminal-" + std::to_string(::getpid()));
  std::filesystem::remove_all(home);
  std::filesystem::create_directories(home);
  auto history = home.parent_path() / (home.filename().string() + "-history");
  CliRun r = shell("HOME='" + home.string() + "' script -q -e -c \"" VELMORA_CLI " --history '" +
                       history.string() + "'\" /dev/null",
                   "print current\nhelp kill\nquit\n");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(r.output.find("current: Desktop 1"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("kill                            Ends Velmora abruptly"),
            std::string::npos);
  EXPECT_NE(r.output.find("Velmora quits"), std::string::npos);
  EXPECT_NE(slurp(history).find("print\\040current"), std::string::npos)  // libedit's encoding
      << slurp(history);
  EXPECT_TRUE(std::filesystem::is_empty(home));
  std::filesystem::remove_all(home);
  std::filesystem::remove(history);
}

// Events that arrive while the user types go above the prompt, not into the typed line. A
// terminal as a transcript: what was written, with the prompt's comings and goings marked.
struct Terminal final : velmora::cli::PromptLine {
  std::stringbuf screen;
  bool prompt = false;
  bool showing() const override { return prompt; }
  void erase() override { screen.sputn("<erase>", 7); }
  void redraw() override { screen.sputn("<prompt>", 8); }
  std::string text() const { return screen.str(); }
};

TEST(PromptOutput, LinesGoAboveTheShowingPromptAndStraightOutOtherwise) {
  Terminal terminal;
  velmora::cli::PromptOutput output(terminal.screen, terminal);
  std::ostream out(&output);

  out << "answer one\n"
      << "answer two\n";  // a command's answers: the prompt is not up
  EXPECT_EQ(terminal.text(), "answer one\nanswer two\n");

  terminal.prompt = true;
  terminal.screen.str("");
  out << "[   2.250] switch tag: ";
  out.flush();
  EXPECT_EQ(terminal.text(), "") << "half a line would land in the typed input";
  out << "Deep Work\n[   2.300] switches.log: hotkey\n";
  EXPECT_EQ(terminal.text(),
            "<erase>[   2.250] switch tag: Deep Work\n[   2.300] switches.log: hotkey\n<prompt>");

  terminal.prompt = false;
  terminal.screen.str("");
  out << "velmora> " << std::flush;  // without the prompt up, a partial line goes out at once
  EXPECT_EQ(terminal.text(), "velmora> ");
}

}  // namespace
