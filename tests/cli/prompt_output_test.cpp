// Events that arrive while the user types go above the prompt, not into the typed line.
#include "cli/prompt_output.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

namespace velmora::cli {
namespace {

// A terminal as a transcript: what was written, with the prompt's comings and goings marked.
struct Terminal final : PromptLine {
  std::stringbuf screen;
  bool prompt = false;
  bool showing() const override { return prompt; }
  void erase() override { screen.sputn("<erase>", 7); }
  void redraw() override { screen.sputn("<prompt>", 8); }
  std::string text() const { return screen.str(); }
};

TEST(PromptOutput, LinesGoAboveTheShowingPromptAndStraightOutOtherwise) {
  Terminal terminal;
  PromptOutput output(terminal.screen, terminal);
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
}  // namespace velmora::cli
