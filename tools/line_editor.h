#pragma once
// The interactive prompt's line editing and history, through libedit: a key at a time, so the
// main loop keeps running (and printing events above the prompt) while the user types.
#include <filesystem>
#include <optional>
#include <string>

#include "cli/prompt_output.h"

struct editline;
struct history;

namespace velmora::tools {

class LineEditor final : public cli::PromptLine {
 public:
  enum class Read { more, line, end };

  // Edits on standard input and output, which must be a terminal. The history is kept in
  // memory for the run; with `historyFile` it is read from there first and written back at
  // the end. No other file (an editrc in the home) is read.
  LineEditor(std::string prompt, std::optional<std::filesystem::path> historyFile);
  ~LineEditor() override;
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows the prompt and reads keys from now on (the terminal in its editing mode).
  void resume();
  // The terminal back to its usual mode while a command runs; the prompt is gone.
  void suspend();
  // Handles the key waiting on standard input: answers `line` with the completed line in
  // `text` (added to the history when not blank), `end` at end of input (Control-D on an empty
  // line), else `more`.
  Read readKey(std::string& text);

  // ---- cli::PromptLine ----
  bool showing() const override { return showing_; }
  void erase() override;
  void redraw() override;

 private:
  static char* promptOf(struct editline* editor);

  std::string prompt_;
  std::optional<std::filesystem::path> historyFile_;
  struct editline* editor_ = nullptr;
  struct history* history_ = nullptr;
  bool showing_ = false;
};

}  // namespace velmora::tools
