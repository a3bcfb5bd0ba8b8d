// The velmora command line: the whole application on the virtual Mac.
//
//   velmora                          interactive, on the wall clock, on the default world
//   velmora run WORLD.json [SCRIPT]  a script (a file, or standard input) in virtual time
//
// The command language and the world format are described in docs/command-line.md and
// docs/worlds.md.

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli/session.h"
#include "core/realtime_loop.h"
#include "core/virtual_loop.h"
#include "default_world.h"

namespace {

using velmora::cli::Session;

constexpr const char* kUsage =
    "usage: velmora [--home DIR]                       interactive, on the default world\n"
    "       velmora run WORLD.json [SCRIPT] [--home DIR]  run a script (file or standard input)\n"
    "                                                   in virtual time\n";

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

int interactive(const std::optional<std::string>& home) {
  velmora::RealtimeLoop loop;
  Session session(loop, nullptr, std::cout,
                  home ? std::optional<std::filesystem::path>(*home) : std::nullopt);
  if (auto loaded = session.loadWorldText(velmora::cli::kDefaultWorld); !loaded) {
    std::cerr << "velmora: the default world: " << loaded.error() << '\n';
    return 2;
  }
  std::cout << "Velmora on the virtual Mac. Type commands (print desktops, press ctrl+2,\n"
               "open velmora://switch/3, …; docs/command-line.md lists them); quit ends.\n";
  loop.post([&] { session.launch(); });

  // Standard input is read on its own thread; each command runs on the loop, and the next
  // prompt waits until it has.
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

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> home;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--home" && i + 1 < argc) {
      home = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else {
      args.push_back(arg);
    }
  }
  if (args.empty()) return interactive(home);
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
