#pragma once
// Velmora on a virtual Mac, as the command line runs it, with everything it printed kept:
// what the user sees and hears, and what Velmora logs, one stamped line each. Tests drive it
// with the command line's own commands (docs/command-line.md).

#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "cli/session.h"
#include "core/virtual_loop.h"

namespace velmora::testing {

// Three desktops on one display, Mail on the second; trusted unless told otherwise.
inline std::string threeDesktops(bool trusted = true) {
  return std::string(R"({"accessibilityTrusted": )") + (trusted ? "true" : "false") + R"(,
    "displays": [{"uuid": "MAIN", "spaces": ["desktop", "desktop", "desktop"]}],
    "apps": [{"name": "Mail", "windows": [{"space": "0:1"}]}]})";
}

struct Velmora {
  VirtualLoop loop;
  std::ostringstream out;
  std::unique_ptr<cli::Session> session;

  explicit Velmora(const std::string& world = threeDesktops(),
                   std::optional<std::filesystem::path> home = std::nullopt) {
    session = std::make_unique<cli::Session>(loop, &loop, out, std::move(home));
    EXPECT_TRUE(session->loadWorldText(world).ok());
  }
  // Runs each line as a command.
  void operator()(std::string_view lines) {
    std::istringstream in{std::string(lines)};
    for (std::string line; std::getline(in, line);) session->execute(line);
  }
  sim::VirtualMac& mac() { return session->mac(); }
  // Where a line first appears in the transcript, for order checks.
  std::size_t at(std::string_view line) const {
    auto position = out.str().find(line);
    EXPECT_NE(position, std::string::npos) << "missing: " << line;
    return position;
  }
  // The transcript, with the machine's own home folder written as ~.
  std::string text() const {
    std::string t = out.str();
    const std::string home = session->mac().home().root.string();
    for (auto at = t.find(home); at != std::string::npos; at = t.find(home))
      t.replace(at, home.size(), "~");
    return t;
  }
};

}  // namespace velmora::testing
