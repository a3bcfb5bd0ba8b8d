#include "cli/prompt_output.h"

namespace velmora::cli {

PromptOutput::int_type PromptOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  char ch = traits_type::to_char_type(c);
  xsputn(&ch, 1);
  return c;
}

std::streamsize PromptOutput::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.find('\n') != std::string::npos) writeOut(false);
  return count;
}

int PromptOutput::sync() {
  writeOut(true);
  return terminal_.pubsync();
}

void PromptOutput::writeOut(bool partialToo) {
  bool showing = prompt_.showing();
  std::size_t lastEnd = pending_.rfind('\n');
  std::size_t end = lastEnd == std::string::npos ? 0 : lastEnd + 1;
  // While the prompt shows, a line without its end would land in the typed input.
  if (partialToo && !showing) end = pending_.size();
  if (end == 0) return;
  if (showing) prompt_.erase();
  terminal_.sputn(pending_.data(), static_cast<std::streamsize>(end));
  pending_.erase(0, end);
  terminal_.pubsync();
  if (showing) prompt_.redraw();
}

}  // namespace velmora::cli
