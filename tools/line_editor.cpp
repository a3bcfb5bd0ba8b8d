#include "line_editor.h"

#include <histedit.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace velmora::tools {

namespace {

// Columns a text takes on the terminal: one per code point.
std::size_t columns(const char* begin, const char* end) {
  std::size_t n = 0;
  for (const char* c = begin; c < end; ++c) n += (static_cast<unsigned char>(*c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

LineEditor::LineEditor(std::string prompt, std::optional<std::filesystem::path> historyFile)
    : prompt_(std::move(prompt)), historyFile_(std::move(historyFile)) {
  editor_ = el_init("velmora", stdin, stdout, stderr);
  history_ = history_init();
  HistEvent event;
  ::history(history_, &event, H_SETSIZE, 1000);
  ::history(history_, &event, H_SETUNIQUE, 1);
  if (historyFile_) ::history(history_, &event, H_LOAD, historyFile_->c_str());
  el_set(editor_, EL_CLIENTDATA, this);
  el_set(editor_, EL_PROMPT, &LineEditor::promptOf);
  el_set(editor_, EL_EDITOR, "emacs");
  el_set(editor_, EL_HIST, ::history, history_);
  // Its own handlers put the terminal back when a signal ends the run.
  el_set(editor_, EL_SIGNAL, 1);
}

LineEditor::~LineEditor() {
  suspend();
  HistEvent event;
  if (historyFile_) ::history(history_, &event, H_SAVE, historyFile_->c_str());
  el_end(editor_);
  history_end(history_);
}

char* LineEditor::promptOf(editline* editor) {
  void* self = nullptr;
  el_get(editor, EL_CLIENTDATA, &self);
  return static_cast<LineEditor*>(self)->prompt_.data();
}

void LineEditor::resume() {
  if (showing_) return;
  // A key at a time: each read returns after one key, and the prompt is drawn afresh.
  el_set(editor_, EL_UNBUFFERED, 1);
  showing_ = true;
}

void LineEditor::suspend() {
  if (!showing_) return;
  el_set(editor_, EL_UNBUFFERED, 0);
  showing_ = false;
}

LineEditor::Read LineEditor::readKey(std::string& text) {
  int count = 0;
  errno = 0;
  const char* line = el_gets(editor_, &count);
  // An edit that leaves the line empty answers no line too; only a failed read ends input.
  if (!line) return errno == 0 || errno == EINTR || errno == EAGAIN ? Read::more : Read::end;
  if (count == 1 && line[0] == '\x04') return Read::end;  // Control-D on an empty line
  if (count == 0 || (line[count - 1] != '\n' && line[count - 1] != '\r')) return Read::more;
  text.assign(line, static_cast<std::size_t>(count - 1));
  if (text.find_first_not_of(" \t") != std::string::npos) {
    HistEvent event;
    ::history(history_, &event, H_ENTER, text.c_str());
  }
  suspend();
  return Read::line;
}

void LineEditor::erase() {
  const LineInfo* line = el_line(editor_);
  winsize size{};
  std::size_t width =
      ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
  // The cursor may sit rows below where the prompt began when the input wraps.
  std::size_t rows = (columns(prompt_.data(), prompt_.data() + prompt_.size()) +
                      columns(line->buffer, line->cursor)) /
                     width;
  if (rows > 0) std::fprintf(stdout, "\033[%zuA", rows);
  std::fputs("\r\033[J", stdout);
  std::fflush(stdout);
}

void LineEditor::redraw() {
  el_set(editor_, EL_REFRESH);
}

}  // namespace velmora::tools
