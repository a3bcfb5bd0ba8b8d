#pragma once
// Output of an interactive run that may arrive while the user types (the session's events
// while time runs on the wall clock): each complete line goes above the prompt — the prompt
// line is taken off the terminal, the line printed, and the prompt with the partly typed input
// drawn again — instead of into the line being typed.
#include <streambuf>
#include <string>

namespace velmora::cli {

// What the output needs of the line editor.
class PromptLine {
 public:
  virtual ~PromptLine() = default;
  // Whether the prompt (and whatever is typed after it) is on the terminal now.
  virtual bool showing() const = 0;
  // Takes the prompt and the typed input off the terminal; the cursor is left at the start of
  // the line they began on.
  virtual void erase() = 0;
  // Draws them again where the cursor is.
  virtual void redraw() = 0;
};

// A stream buffer for the session's output stream: complete lines reach `terminal` at once,
// around the prompt when it shows; a partial line waits for its end while the prompt shows.
class PromptOutput final : public std::streambuf {
 public:
  PromptOutput(std::streambuf& terminal, PromptLine& prompt)
      : terminal_(terminal), prompt_(prompt) {}

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  void writeOut(bool partialToo);

  std::streambuf& terminal_;
  PromptLine& prompt_;
  std::string pending_;
};

}  // namespace velmora::cli
