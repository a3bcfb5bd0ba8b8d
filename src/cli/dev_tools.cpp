#include "cli/dev_tools.h"

#include <fstream>
#include <sstream>
#include <utility>

#include "app/sample_data.h"
#include "app/self_test.h"
#include "app/world_capture.h"
#include "cli/session.h"
#include "core/virtual_loop.h"

namespace velmora::cli {

namespace {

using Tool = DeveloperRequest::Tool;

// Long enough for the launch and what follows it: the system shortcuts turned on, the tile
// fitted into the menu bar.
constexpr double kSettleSeconds = 2.0;

struct Option {
  std::string_view name;
  Tool tool;
  enum class Argument { none, path, number } argument;
};

constexpr Option kOptions[] = {
    {"--selftest", Tool::selftest, Option::Argument::none},
    {"--capture", Tool::capture, Option::Argument::path},
    {"--sample", Tool::sample, Option::Argument::none},
    {"--render", Tool::render, Option::Argument::path},
    {"--switch", Tool::switchTo, Option::Argument::number},
    {"--diagnose", Tool::diagnose, Option::Argument::none},
    {"--capture-world", Tool::captureWorld, Option::Argument::path},
};

// Every surface, as a screenshot command's WHAT and the file it goes to, with what brings it
// on screen first and puts it away after.
struct Shot {
  const char* file;
  const char* what;
  const char* before;
  const char* after;
};

constexpr Shot kShots[] = {
    {"menu-bar.png", "menu bar", "", ""},
    {"tile.png", "tile", "", ""},
    {"menu.png", "menu", "click tile right", "menu close"},
    {"switch-tag.png", "switch tag", "open velmora://next\nadvance 0.6", "advance 3"},
    {"switcher.png", "switcher", "open velmora://switcher\nadvance 0.5",
     "press escape\nadvance 0.5"},
    {"hover-strip.png", "hover strip", "open velmora://hover\nadvance 0.5", "advance 5"},
    {"editor.png", "editor", "edit 1", "edit 1 done"},
    {"mission-control.png", "mission control", "open mission control\nadvance 1",
     "close mission control\nadvance 1"},
};

class Run {
 public:
  Run(const std::optional<std::filesystem::path>& home)
      : session_(loop_, &loop_, transcript_, home) {}

  Result<void> load(const DeveloperRequest& request, std::string_view defaultWorld) {
    return request.worldFile ? session_.loadWorldFile(*request.worldFile)
                             : session_.loadWorldText(defaultWorld);
  }
  // Runs the lines as commands; the first that fails answers what it printed.
  Result<void> operator()(std::string_view lines) {
    std::istringstream in{std::string(lines)};
    for (std::string line; std::getline(in, line);) {
      std::size_t before = transcript_.str().size();
      if (session_.execute(line) == Session::Status::error) {
        std::string said = transcript_.str().substr(before);
        while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
        return Failure{"\"" + line + "\": " + said};
      }
    }
    return {};
  }
  Session& session() { return session_; }
  VelmoraApp& app() { return *session_.app(); }

 private:
  VirtualLoop loop_;
  std::ostringstream transcript_;
  Session session_;
};

int capture(Run& run, const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    err << "velmora: cannot make the folder " << folder.string() << ": " << error.message() << '\n';
    return 2;
  }
  int failures = 0;
  auto shoot = [&](const std::string& file, const std::string& command) {
    std::string path = (folder / file).string();
    if (auto done = run("screenshot " + path + " " + command); !done) {
      err << "velmora: " << file << ": " << done.error() << '\n';
      ++failures;
    } else {
      out << path << '\n';
    }
  };
  const auto& displays = run.session().mac().displays();
  for (std::size_t i = 0; i < displays.size(); ++i) {
    shoot("display-" + std::to_string(i + 1) + ".png", "on " + displays[i].uuid);
  }
  for (const Shot& shot : kShots) {
    if (auto ready = run(shot.before); !ready) {
      err << "velmora: " << shot.file << ": " << ready.error() << '\n';
      ++failures;
      continue;
    }
    shoot(shot.file, shot.what);
    [[maybe_unused]] auto putAway = run(shot.after);
  }
  return failures == 0 ? 0 : 1;
}

int switchTo(Run& run, int number, std::ostream& out, std::ostream& err) {
  std::optional<Desktop> desktop = run.app().engine().desktopWithNumber(number);
  if (!desktop) {
    err << "velmora: there is no desktop " << number << '\n';
    return 2;
  }
  LogFile& log = run.app().logs().switches();
  bool landed = false;
  run.app().engine().switchTo(*desktop, "developer", [&](bool done) { landed = done; });
  [[maybe_unused]] auto waited = run("advance " + std::to_string(kSettleSeconds));
  std::istringstream added(log.tail(1 << 20));
  // The switch's own line (the only one this run makes for the developer); the log's other
  // news of those seconds is not asked for.
  for (std::string line; std::getline(added, line);) {
    if (line.find("] developer ") != std::string::npos) out << line << '\n';
  }
  return landed ? 0 : 1;
}

}  // namespace

std::optional<Result<DeveloperRequest>> developerRequest(const std::vector<std::string>& args) {
  std::optional<DeveloperRequest> request;
  std::optional<std::string> world;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--world") {
      if (i + 1 >= args.size()) return Failure{"--world takes a world file."};
      world = args[++i];
      continue;
    }
    const Option* option = nullptr;
    for (const Option& o : kOptions) {
      if (args[i] == o.name) option = &o;
    }
    if (!option) continue;
    if (request) return Failure{"Give one developer option at a time."};
    request = DeveloperRequest{option->tool, {}, 0, std::nullopt};
    if (option->argument == Option::Argument::none) continue;
    if (i + 1 >= args.size()) {
      return Failure{std::string(option->name) + (option->argument == Option::Argument::number
                                                      ? " takes a desktop number."
                                                      : " takes a path.")};
    }
    std::string value = args[++i];
    if (option->argument == Option::Argument::path) {
      request->path = value;
    } else {
      std::size_t used = 0;
      int number = 0;
      try {
        number = std::stoi(value, &used);
      } catch (...) {
        used = 0;
      }
      if (used != value.size() || number < 1) {
        return Failure{"--switch takes a desktop number, not \"" + value + "\"."};
      }
      request->desktop = number;
    }
  }
  if (!request) {
    if (world) return Failure{"--world goes with a developer option, such as --selftest."};
    return std::nullopt;
  }
  request->worldFile = world;
  return *request;
}

int runDeveloperTool(const DeveloperRequest& request, std::string_view defaultWorld,
                     const std::optional<std::filesystem::path>& home, std::ostream& out,
                     std::ostream& err) {
  Run run(home);
  if (auto loaded = run.load(request, defaultWorld); !loaded) {
    err << "velmora: " << loaded.error() << '\n';
    return 2;
  }
  run.session().launch();
  if (request.tool == Tool::sample || request.tool == Tool::render) useSampleData(run.app());
  [[maybe_unused]] auto settled = run("advance " + std::to_string(kSettleSeconds));

  int status = 0;
  switch (request.tool) {
    case Tool::selftest: {
      auto checks = runSelfTest(run.app(), run.session().mac().platform());
      out << selfTestReport(checks);
      for (const auto& check : checks) {
        if (!check.passed) status = 1;
      }
      break;
    }
    case Tool::capture:
    case Tool::render:
      status = capture(run, request.path, out, err);
      break;
    case Tool::sample: {
      const auto& app = run.app();
      for (const Desktop& d : run.app().engine().desktops()) {
        out << d.number << "  " << app.presentation().title(d);
        std::string apps;
        for (const SpaceApp& a : run.app().engine().apps(d)) {
          apps += (apps.empty() ? "" : ", ") + a.name;
        }
        if (!apps.empty()) out << "  (" << apps << ")";
        out << '\n';
      }
      break;
    }
    case Tool::switchTo:
      status = switchTo(run, request.desktop, out, err);
      break;
    case Tool::diagnose:
      out << run.app().delegate().diagnostics();
      break;
    case Tool::captureWorld: {
      std::string text = captureWorld(run.session().mac().platform());
      std::ofstream file(request.path, std::ios::binary);
      if (!(file << text)) {
        err << "velmora: cannot write the world file " << request.path.string() << '\n';
        status = 2;
      } else {
        out << request.path.string() << '\n';
      }
      break;
    }
  }
  run.session().quit();
  return status;
}

}  // namespace velmora::cli
