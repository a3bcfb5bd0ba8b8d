// The velmora command line: the whole application on the virtual Mac.
//
//   velmora                          interactive, on the wall clock, on the default world
//                                    (line editing and history at a terminal)
//   velmora run WORLD.json [SCRIPT]  a script (a file, or standard input) in virtual time
//   velmora --selftest, --capture DIR, --sample, --render DIR, --switch N, --diagnose,
//           --capture-world FILE [--world WORLD.json]
//                                    the developer tools (cli/dev_tools.h)
//
// The command language and the world format are described in docs/command-line.md and
// docs/worlds.md.

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli/dev_tools.h"
#include "cli/prompt_output.h"
#include "cli/session.h"
#include "core/realtime_loop.h"
#include "core/virtual_loop.h"
#include "default_world.h"
#include "line_editor.h"

namespace {

using velmora::cli::Session;

constexpr const char* kUsage =
    "usage: velmora [--home DIR] [--history FILE]     interactive, on the default world;\n"
    "                                                   the prompt's history kept in FILE\n"
    "       velmora run WORLD.json [SCRIPT] [--home DIR]  run a script (file or standard input)\n"
    "                                                   in virtual time\n"
    "       velmora --selftest | --capture DIR | --sample | --render DIR | --switch N |\n"
    "               --diagnose | --capture-world FILE  [--world WORLD.json] [--home DIR]\n"
    "                                                   the developer tools, on the virtual Mac\n";

int runScript(const std::string& world, std::istream& script,
              const std::optional<std::string>& home) {
  velmora::VirtualLoop loop;
  Session session(loop, &loop, std::cout,
                  home ? std::optional<std::filesystem::path>(*home) : std::nullopt);
  if (auto loaded = session.loadWorldFile(world); !loaded) {
    std::cerr << "velmora: " << loaded.error() << '\n';
    return 2;
  }
  int errors = 0;
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    Session::Status status = session.execute(line);
    if (status == Session::Status::error) {
      std::cout << "  (script line " << number << ")\n";
      ++errors;
    } else if (status == Session::Status::expectFailed) {
      std::cout << "  (script line " << number << ")\n";
    } else if (status == Session::Status::quit) {
      break;
    }
  }
  session.launch();
  session.quit();
  if (session.failedExpectations() > 0) {
    std::cout << session.failedExpectations() << " expectation(s) failed\n";
  }
  return errors > 0 || session.failedExpectations() > 0 ? 1 : 0;
}

constexpr const char* kBanner =
    "Velmora on the virtual Mac. Type commands (print desktops, press ctrl+2,\n"
    "open velmora://switch/3, …; help lists them); quit ends.\n";

std::optional<std::filesystem::path> pathOf(const std::optional<std::string>& text) {
  return text ? std::optional<std::filesystem::path>(*text) : std::nullopt;
}

// Standard input is not a terminal: lines are read on their own thread; each command runs on
// the loop, and the next prompt waits until it has.
int fromPipe(const std::optional<std::string>& home) {
  velmora::RealtimeLoop loop;
  Session session(loop, nullptr, std::cout, pathOf(home));
  if (auto loaded = session.loadWorldText(velmora::cli::kDefaultWorld); !loaded) {
    std::cerr << "velmora: the default world: " << loaded.error() << '\n';
    return 2;
  }
  std::cout << kBanner;
  loop.post([&] { session.launch(); });

  std::mutex mutex;
  std::condition_variable done;
  std::thread reader([&] {
    std::string line;
    while (true) {
      std::cout << "velmora> " << std::flush;
      bool got = static_cast<bool>(std::getline(std::cin, line));
      bool finished = false;
      bool quitting = !got;
      loop.postFromAnyThread([&, got] {
        if (!got || session.execute(line) == Session::Status::quit) {
          quitting = true;
          session.quit();
          loop.stop();
        }
        std::lock_guard lock(mutex);
        finished = true;
        done.notify_one();
      });
      std::unique_lock lock(mutex);
      done.wait(lock, [&] { return finished; });
      if (quitting) return;
    }
  });
  loop.run();
  reader.join();
  return 0;
}

// At a terminal: line editing and history, and the session's events printed above the prompt
// while the user types. A thread waits for keys; each key is handled on the loop.
int atTerminal(const std::optional<std::string>& home,
               const std::optional<std::string>& historyFile) {
  velmora::RealtimeLoop loop;
  velmora::tools::LineEditor editor("velmora> ", pathOf(historyFile));
  velmora::cli::PromptOutput output(*std::cout.rdbuf(), editor);
  std::ostream out(&output);
  Session session(loop, nullptr, out, pathOf(home));
  if (auto loaded = session.loadWorldText(velmora::cli::kDefaultWorld); !loaded) {
    std::cerr << "velmora: the default world: " << loaded.error() << '\n';
    return 2;
  }
  out << kBanner << std::flush;
  int wake[2];
  if (::pipe(wake) != 0) {
    std::cerr << "velmora: " << std::strerror(errno) << '\n';
    return 2;
  }

  std::mutex mutex;
  std::condition_variable handled;
  bool waiting = false;
  bool finished = false;
  auto finish = [&] {
    editor.suspend();
    session.quit();
    loop.stop();
  };
  loop.post([&] {
    session.launch();
    editor.resume();
  });
  std::thread keys([&] {
    for (;;) {
      pollfd ready[2] = {{STDIN_FILENO, POLLIN, 0}, {wake[0], POLLIN, 0}};
      if (::poll(ready, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (ready[1].revents) return;
      // The terminal went away: nothing more will be typed.
      bool hungUp = !(ready[0].revents & POLLIN);
      {
        std::lock_guard lock(mutex);
        waiting = true;
      }
      loop.postFromAnyThread([&, hungUp] {
        std::string line;
        switch (hungUp ? velmora::tools::LineEditor::Read::end : editor.readKey(line)) {
          case velmora::tools::LineEditor::Read::more:
            break;
          case velmora::tools::LineEditor::Read::end:
            editor.suspend();
            out << '\n';
            finish();
            break;
          case velmora::tools::LineEditor::Read::line:
            if (session.execute(line) == Session::Status::quit) {
              finish();
            } else {
              out.flush();
              editor.resume();
            }
            break;
        }
        std::lock_guard lock(mutex);
        waiting = false;
        handled.notify_one();
      });
      std::unique_lock lock(mutex);
      handled.wait(lock, [&] { return !waiting || finished; });
      if (finished) return;
    }
  });
  loop.run();
  {
    std::lock_guard lock(mutex);
    finished = true;
  }
  handled.notify_one();
  [[maybe_unused]] auto woken = ::write(wake[1], "x", 1);
  keys.join();
  ::close(wake[0]);
  ::close(wake[1]);
  out.flush();
  return 0;
}

int interactive(const std::optional<std::string>& home,
                const std::optional<std::string>& historyFile) {
  if (::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO)) return atTerminal(home, historyFile);
  return fromPipe(home);
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> home;
  std::optional<std::string> historyFile;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--home" && i + 1 < argc) {
      home = argv[++i];
    } else if (arg == "--history" && i + 1 < argc) {
      historyFile = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else {
      args.push_back(arg);
    }
  }
  if (auto request = velmora::cli::developerRequest(args)) {
    if (!*request) {
      std::cerr << "velmora: " << request->error() << '\n' << kUsage;
      return 2;
    }
    return velmora::cli::runDeveloperTool(**request, velmora::cli::kDefaultWorld, pathOf(home),
                                          std::cout, std::cerr);
  }
  if (args.empty()) return interactive(home, historyFile);
  if (args[0] != "run" || args.size() < 2 || args.size() > 3) {
    std::cerr << kUsage;
    return 2;
  }
  if (args.size() == 3 && args[2] != "-") {
    std::ifstream script(args[2]);
    if (!script) {
      std::cerr << "velmora: cannot read the script " << args[2] << '\n';
      return 2;
    }
    return runScript(args[1], script, home);
  }
  return runScript(args[1], std::cin, home);
}
