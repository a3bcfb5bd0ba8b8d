#pragma once
// One command of the command line's language: the words that name it, what help shows, what
// it needs of Velmora and what it does. The table of every command (session_commands.cpp)
// serves both the dispatcher and `help`, so the two cannot drift apart.
#include <functional>
#include <string_view>

#include "cli/session.h"

namespace velmora::cli {

// What a command needs of Velmora. Commands that need it start it when no copy has run yet;
// after a copy ended, `velmora` commands are refused until `launch` starts another, while
// `either` commands go on without it.
enum class Needs {
  nothing,  // never starts Velmora (help, expect)
  machine,  // acts on the virtual Mac, before Velmora starts too
  velmora,  // needs a running copy
  either,   // starts Velmora at first, then works with or without it
};

struct Session::Command {
  std::string_view words;      // what names the command, lower case
  std::string_view arguments;  // as help shows them
  std::string_view summary;
  Needs needs;
  std::function<Status(Session&, std::string_view arguments)> run;
};

}  // namespace velmora::cli
