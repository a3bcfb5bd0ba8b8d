#include "cli/session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <utility>

#include "cli/words.h"
#include "core/notifications.h"
#include "platform/input_clocks.h"
#include "platform/key_codes.h"
#include "platform/sim/world.h"
#include "switching/space_search.h"

namespace velmora::cli {

namespace {

// A preference value as a script writes it: true/false, a number, none (removes the key), or
// text.
Value preferenceValue(std::string_view text) {
  std::string word = lower(trim(text));
  if (word == "true" || word == "yes" || word == "on") return Value(true);
  if (word == "false" || word == "no" || word == "off") return Value(false);
  if (word == "none") return Value();
  if (auto i = integer(text)) return Value(*i);
  if (auto d = number(text)) return Value(*d);
  return Value(unquoted(text));
}

std::string stamp(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "[%8.3f] ", seconds);
  return text;
}

constexpr std::uint64_t kControl = platform::kEventFlagControl;
constexpr std::uint64_t kOption = platform::kEventFlagOption;
constexpr std::uint64_t kShift = platform::kEventFlagShift;
constexpr std::uint64_t kCommand = platform::kEventFlagCommand;

const std::map<std::string, std::uint64_t>& modifierWords() {
  static const std::map<std::string, std::uint64_t> words{
      {"ctrl", kControl},  {"control", kControl}, {"⌃", kControl},       {"opt", kOption},
      {"option", kOption}, {"alt", kOption},      {"⌥", kOption},        {"shift", kShift},
      {"⇧", kShift},       {"cmd", kCommand},     {"command", kCommand}, {"⌘", kCommand},
  };
  return words;
}

const std::map<std::string, std::uint16_t>& keyWords() {
  using namespace platform::keys;
  static const std::map<std::string, std::uint16_t> words{
      {"left", kLeftArrow}, {"right", kRightArrow}, {"down", kDownArrow},    {"up", kUpArrow},
      {"tab", kTab},        {"return", kReturn},    {"enter", kReturn},      {"escape", kEscape},
      {"esc", kEscape},     {"delete", kDelete},    {"space", kSpace},       {"home", kHome},
      {"end", kEnd},        {"pageup", kPageUp},    {"pagedown", kPageDown},
  };
  return words;
}

}  // namespace

// Lines Velmora writes to the system log (start-up failures, refused hot keys).
class SystemLogEcho final : public LineLog {
 public:
  explicit SystemLogEcho(std::function<void(const std::string&)> emit) : emit_(std::move(emit)) {}
  void write(const std::string& line) override { emit_("system log: " + line); }

 private:
  std::function<void(const std::string&)> emit_;
};

Session::Session(MainLoop& loop, VirtualLoop* virtualLoop, std::ostream& out,
                 std::optional<std::filesystem::path> home)
    : loop_(loop),
      virtualLoop_(virtualLoop),
      out_(out),
      startedAt_(loop.now()),
      mac_(loop, host_.services(), std::move(home)),
      record_([this](const std::string& line) { emit(line); }),
      surfaces_(record_),
      updates_(record_),
      systemLog_(std::make_unique<SystemLogEcho>([this](const std::string& l) { emit(l); })) {
  if (virtualLoop_) virtualLoop_->holdCrossThreadPosts(true);
}

Session::~Session() = default;

std::optional<std::string> Session::loadWorldFile(const std::string& path) {
  Result<void> loaded = sim::loadWorldFile(mac_, path);
  if (!loaded) return loaded.error();
  return std::nullopt;
}

std::optional<std::string> Session::loadWorldText(std::string_view json) {
  Result<void> loaded = sim::loadWorld(mac_, json);
  if (!loaded) return loaded.error();
  return std::nullopt;
}

void Session::emit(const std::string& line) {
  std::string text = stamp(loop_.now() - startedAt_) + line;
  out_ << text << '\n';
  out_.flush();
  recent_.push_back(line);
}

void Session::print(const std::string& line) {
  out_ << line << '\n';
  recent_.push_back(line);
}

void Session::settle() {
  if (!virtualLoop_) return;
  virtualLoop_->runPending();
  if (app_) {
    app_->waitForBackgroundWork();
    virtualLoop_->runPending();
  }
}

Session::Status Session::fail(const std::string& message) {
  out_ << "error: " << message << '\n';
  out_.flush();
  return Status::error;
}

void Session::launch() {
  if (app_) return;
  DockBadges::Stopwatch stopwatch;
  if (virtualLoop_) stopwatch = [] { return 0.0; };
  app_ = std::make_unique<VelmoraApp>(mac_.platform(), center_, surfaces_, updates_, *systemLog_,
                                      std::move(stopwatch));
  surfaces_.setTitle([this](const Desktop& d) { return app_->presentation().title(d); });
  surfaces_.setMissionControlPress([this](int number, std::function<void(bool)> done) {
    auto desktop = app_->engine().desktopWithNumber(number);
    mac_.dock().openMissionControl();
    done(desktop && mac_.dock().pressThumbnail(desktop->id().raw()));
  });
  Logs& logs = app_->logs();
  for (auto [log, name] :
       {std::pair{&logs.switches(), "switches.log: "}, std::pair{&logs.updates(), "updates.log: "},
        std::pair{&logs.missionControl(), "mission-control.log: "}}) {
    log->setOnAppend([this, label = name](std::string_view m) { emit(label + std::string(m)); });
  }
  observers_.push_back(center_.observe(notifications::kActiveSpaceDidChange, [this] {
    emit(std::string("notification: ") + notifications::kActiveSpaceDidChange);
  }));
  Value version = mac_.bundleInfo().info["CFBundleShortVersionString"];
  emit("Velmora " + (version.asString() ? *version.asString() : std::string("?")) + " starts");
  settle();
}

void Session::quit() {
  if (!app_ || quit_) return;
  quit_ = true;
  app_->delegate().applicationWillTerminate();
  emit("Velmora quits");
}

// ---- Commands ----

Session::Status Session::execute(std::string_view input) {
  std::string_view line = trim(input);
  if (line.empty() || line.front() == '#') return Status::ok;
  auto [word, rest] = splitWord(line);
  std::string command = lower(word);

  if (command == "expect") return expect(rest);
  recent_.clear();
  if (quit_) return fail("Velmora has quit; nothing more happens in this run");

  // Commands that set the machine up may come before Velmora starts; everything else
  // starts it first.
  static const std::vector<std::string> machineCommands{
      "set",   "grant",    "revoke", "add",   "remove", "answer",  "run",    "install", "another",
      "badge", "activate", "close",  "focus", "switch", "pointer", "launch", "choose"};
  bool machine =
      std::find(machineCommands.begin(), machineCommands.end(), command) != machineCommands.end();
  if (!machine) launch();

  Status status = Status::ok;
  if (command == "launch") {
    launch();
  } else if (command == "advance" || command == "wait") {
    launch();
    status = advance(rest);
  } else if (command == "press") {
    status = press(rest);
  } else if (command == "open") {
    auto [what, more] = splitWord(rest);
    if (lower(what) == "window") {
      status = openWindow(more);
    } else if (rest.empty()) {
      status = fail("open needs a link, for example: open velmora://switch/2");
    } else {
      std::vector<std::string> urls;
      std::string_view remaining = rest;
      while (!remaining.empty()) {
        auto [url, after] = splitWord(remaining);
        urls.emplace_back(url);
        remaining = after;
      }
      app_->delegate().openURLs(urls);
    }
  } else if (command == "set") {
    status = set(rest);
  } else if (command == "name") {
    status = nameDesktop(rest);
  } else if (command == "edit") {
    status = editDesktop(rest);
  } else if (command == "grant" || command == "revoke") {
    if (lower(rest) != "accessibility") {
      return fail(command + " takes one word: accessibility");
    }
    mac_.setAccessibilityTrusted(command == "grant");
  } else if (command == "add") {
    status = add(rest);
  } else if (command == "remove") {
    status = remove(rest);
  } else if (command == "close") {
    auto [what, more] = splitWord(rest);
    auto n = integer(more);
    if (lower(what) != "window" || !n || !mac_.window(*n)) {
      return fail("close takes a window number: close window 104 (print windows lists them)");
    }
    mac_.userCloseWindow(*n);
  } else if (command == "activate") {
    auto pid = appArg(rest);
    if (!pid) return fail("no running application is called \"" + std::string(rest) + "\"");
    mac_.userActivate(*pid);
  } else if (command == "focus") {
    auto [what, uuid] = splitWord(rest);
    if (lower(what) != "display" || !mac_.display(std::string(uuid))) {
      return fail("focus takes a display: focus display <uuid>");
    }
    mac_.setActiveMenuBarDisplay(std::string(uuid));
  } else if (command == "switch") {
    // The user's own switch: a swipe or a click in Mission Control.
    auto space = spaceOfDesktop(rest);
    if (!space) return fail("there is no Desktop " + std::string(rest));
    mac_.userSwitchTo(*space);
  } else if (command == "badge") {
    auto [appName, text] = splitWord(rest);
    auto pid = appArg(appName);
    if (!pid) return fail("no running application is called \"" + std::string(appName) + "\"");
    std::optional<std::string> badge;
    if (lower(text) != "none") badge = unquoted(text);
    if (!mac_.setDockBadge(*pid, badge)) {
      return fail("\"" + std::string(appName) + "\" has no icon in the Dock");
    }
  } else if (command == "pointer") {
    auto [x, y] = splitWord(rest);
    if (!number(x) || !number(y)) return fail("pointer takes two numbers: pointer 640 12");
    mac_.userInput(platform::kEventMouseMoved);
    emit("pointer at " + std::string(x) + ", " + std::string(y));
  } else if (command == "answer") {
    mac_.answerAlerts({unquoted(rest)});
  } else if (command == "run") {
    if (lower(rest) != "from disk image") return fail("did you mean: run from disk image");
    status = runFromDiskImage();
  } else if (command == "install") {
    auto [what, version] = splitWord(rest);
    if (lower(what) != "version" || version.empty()) {
      return fail("install takes a version: install version 1.2.0");
    }
    mac_.bundleInfo().info["CFBundleShortVersionString"] = Value(std::string(version));
  } else if (command == "another") {
    if (lower(rest) != "copy starts") return fail("did you mean: another copy starts");
    emit("another copy of Velmora starts, pid " + std::to_string(mac_.startAnotherCopy()));
  } else if (command == "update") {
    if (rest.empty()) return fail("update takes a version: update 1.2.0");
    updates_.announce(std::string(rest));
  } else if (command == "reopen") {
    app_->delegate().applicationShouldHandleReopen(false);
  } else if (command == "choose") {
    status = chooseFile(rest);
  } else if (command == "click") {
    status = click(rest);
  } else if (command == "menu") {
    status = menuCommand(rest);
  } else if (command == "screenshot") {
    status = screenshot(rest);
  } else if (command == "print") {
    status = printCommand(rest);
  } else if (command == "quit") {
    quit();
    settle();
    return Status::quit;
  } else {
    return fail("unknown command \"" + std::string(word) + "\" (see docs/command-line.md)");
  }
  settle();
  return status;
}

Session::Status Session::advance(std::string_view args) {
  std::string_view text = trim(args);
  if (!text.empty() && text.back() == 's') text.remove_suffix(1);
  auto seconds = number(text);
  if (!seconds || *seconds < 0) return fail("advance takes seconds: advance 1.5");
  if (!virtualLoop_) {
    print("(time runs on the wall clock here; nothing to advance)");
    return Status::ok;
  }
  // Background work (the Dock's badges) finishes within the step that started it, so a
  // script prints the same on every machine.
  constexpr double kStep = 0.01;
  double target = loop_.now() + *seconds;
  while (loop_.now() + kStep < target) {
    virtualLoop_->advance(kStep);
    settle();
  }
  virtualLoop_->advance(target - loop_.now());
  settle();
  return Status::ok;
}

std::optional<std::pair<std::uint16_t, std::uint64_t>> Session::parseCombo(std::string_view text,
                                                                           std::string& error) {
  std::string combo = lower(trim(text));
  if (combo.empty()) {
    error = "a key combination is missing, for example ctrl+opt+3";
    return std::nullopt;
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  // "+" joins the parts; a combination may end in the plus key itself ("cmd++").
  for (std::size_t i = 0; i < combo.size(); ++i) {
    if (combo[i] == '+' && i > start) {
      parts.push_back(combo.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(combo.substr(start));
  std::uint64_t flags = 0;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = modifierWords().find(parts[i]);
    if (it == modifierWords().end()) {
      error = "\"" + parts[i] + "\" is not a modifier (ctrl, opt, shift, cmd)";
      return std::nullopt;
    }
    flags |= it->second;
  }
  const std::string& key = parts.back();
  if (auto it = keyWords().find(key); it != keyWords().end()) return {{it->second, flags}};
  KeyNames names(mac_.platform().keyboardLayout);
  for (std::uint16_t code = 0; code < 128; ++code) {
    if (lower(names.name(code)) == key) return {{code, flags}};
  }
  error = "\"" + key + "\" is not a key this keyboard has";
  return std::nullopt;
}

Session::Status Session::press(std::string_view args) {
  std::string error;
  auto combo = parseCombo(args, error);
  if (!combo) return fail(error);
  mac_.keyboard().userPress(combo->first, combo->second);
  return Status::ok;
}

Session::Status Session::set(std::string_view args) {
  auto [key, text] = splitWord(args);
  if (key.empty() || text.empty())
    return fail("set takes a setting and a value: set hudEnabled false");
  Value value = preferenceValue(text);
  // A shortcut setting takes a key combination ("ctrl+opt+k"), or none to clear it.
  if (key.size() > 6 && key.substr(key.size() - 6) == "Hotkey") {
    std::optional<Hotkey> hotkey;
    if (lower(text) != "none") {
      std::string error;
      auto combo = parseCombo(text, error);
      if (!combo) return fail(error);
      hotkey = Hotkey{combo->first, platform::carbonModifiers(combo->second)};
    }
    value = PrefValue<std::optional<Hotkey>>::write(hotkey);
  }
  if (!app_) {
    mac_.preferences().setValue(platform::kAppDomain, key, value);
    return Status::ok;
  }
  if (!app_->settings().setStoredValue(key, value)) {
    return fail("there is no setting called \"" + std::string(key) + "\"");
  }
  return Status::ok;
}

std::optional<Desktop> Session::desktopArg(std::string_view text, std::string& error) {
  auto n = integer(text);
  std::optional<Desktop> desktop;
  if (n && *n > 0 && *n < 100000) desktop = app_->engine().desktopWithNumber(static_cast<int>(*n));
  if (!desktop) error = "there is no Desktop " + std::string(text);
  return desktop;
}

// The space of desktop N as the machine numbers desktops (ordinary ones, display by display),
// so machine commands work before Velmora runs.
std::optional<std::uint64_t> Session::spaceOfDesktop(std::string_view text) const {
  auto n = integer(text);
  std::int64_t count = 0;
  for (const auto& display : mac_.displays()) {
    for (const auto& s : display.spaces) {
      if (s.type == sim::kSpaceTypeDesktop && n && ++count == *n) return s.id;
    }
  }
  return std::nullopt;
}

std::optional<platform::pid_t> Session::appArg(std::string_view name) {
  std::string wanted = lower(unquoted(name));
  for (const auto& app : mac_.workspace().runningApplications()) {
    if (app.localizedName && lower(*app.localizedName) == wanted) return app.pid;
  }
  if (auto pid = integer(name)) return static_cast<platform::pid_t>(*pid);
  return std::nullopt;
}

Session::Status Session::nameDesktop(std::string_view args) {
  auto [which, text] = splitWord(args);
  std::string error;
  auto desktop = desktopArg(which, error);
  if (!desktop) return fail(error);
  std::string name = unquoted(text);
  app_->store().update(desktop->space.managedID, [&](SpaceMeta& m) { m.name = name; });
  return Status::ok;
}

Session::Status Session::add(std::string_view args) {
  auto [what, more] = splitWord(args);
  std::string kind = lower(what);
  if (kind == "display") {
    auto [uuid, size] = splitWord(more);
    if (uuid.empty()) return fail("add display takes a name: add display PROJECTOR [1920x1080]");
    if (mac_.display(std::string(uuid))) return fail("that display is already attached");
    double width = 1920;
    double height = 1080;
    if (!size.empty()) {
      auto x = size.find('x');
      auto w = x == std::string_view::npos ? std::nullopt : number(size.substr(0, x));
      auto h = x == std::string_view::npos ? std::nullopt : number(size.substr(x + 1));
      if (!w || !h || *w <= 0 || *h <= 0) return fail("a display size reads like 1920x1080");
      width = *w;
      height = *h;
    }
    double right = 0;
    for (const auto& d : mac_.displays()) right = std::max(right, d.frame.maxX());
    mac_.userAttachDisplay(std::string(uuid), ScreenRect::make(right, 0, width, height), 1);
  } else if (kind == "desktop") {
    std::string display = more.empty() ? mac_.activeMenuBarDisplay() : std::string(more);
    if (!mac_.display(display)) return fail("there is no display \"" + display + "\"");
    mac_.userAddDesktop(display);
  } else if (kind == "app") {
    auto [name, bundleID] = splitWord(more);
    if (name.empty()) return fail("add app takes a name: add app Notes [com.apple.Notes]");
    sim::SimApp app;
    app.name = std::string(name);
    if (!bundleID.empty()) app.bundleIdentifier = std::string(bundleID);
    emit(std::string(name) + " runs, pid " + std::to_string(mac_.addApplication(app)));
  } else {
    return fail("add takes display, desktop or app");
  }
  return Status::ok;
}

Session::Status Session::remove(std::string_view args) {
  auto [what, more] = splitWord(args);
  std::string kind = lower(what);
  if (kind == "display") {
    if (!mac_.display(std::string(more)))
      return fail("there is no display \"" + std::string(more) + "\"");
    mac_.userDetachDisplay(std::string(more));
  } else if (kind == "desktop") {
    auto space = spaceOfDesktop(more);
    if (!space) return fail("there is no Desktop " + std::string(more));
    mac_.userRemoveSpace(*space);
  } else if (kind == "app") {
    auto pid = appArg(more);
    if (!pid) return fail("no running application is called \"" + std::string(more) + "\"");
    mac_.quitApplication(*pid);
  } else {
    return fail("remove takes display, desktop or app");
  }
  return Status::ok;
}

Session::Status Session::openWindow(std::string_view args) {
  // open window <app> [on <desktop number>]
  auto [name, more] = splitWord(args);
  auto pid = appArg(name);
  if (!pid) return fail("no running application is called \"" + std::string(name) + "\"");
  AXRect bounds = AXRect::make(120, 120, 800, 600);
  std::int64_t number = 0;
  if (more.empty()) {
    number = mac_.userOpenWindow(*pid, bounds);
  } else {
    auto [on, which] = splitWord(more);
    auto space = spaceOfDesktop(which);
    if (lower(on) != "on" || !space)
      return fail("open window takes an application and maybe: on <desktop>");
    number = mac_.addWindow(*pid, {*space}, bounds);
  }
  emit("window " + std::to_string(number) + " opens");
  return Status::ok;
}

Session::Status Session::runFromDiskImage() {
  if (app_) return fail("Velmora already runs; set this up before anything else");
  std::filesystem::path image = mac_.mountDiskImage("Velmora");
  std::filesystem::path bundle = image / "Velmora.app";
  std::error_code ignored;
  std::filesystem::create_directories(bundle / "Contents", ignored);
  std::ofstream(bundle / "Contents" / "Info.plist") << "Velmora\n";
  std::filesystem::create_directories(mac_.disks().localApplicationsFolder(), ignored);
  mac_.bundleInfo().path = bundle.string();
  return Status::ok;
}

Session::Status Session::printCommand(std::string_view args) {
  auto [what, more] = splitWord(args);
  std::string kind = lower(what);
  if (printDrawn(kind, more)) return Status::ok;
  if (kind == "toasts") {
    for (const auto& line : record_.toasts()) print(line);
    if (record_.toasts().empty()) print("(no toasts)");
    return Status::ok;
  }
  if (kind == "surfaces") {
    for (const auto& line : record_.lines()) print(line);
    return Status::ok;
  }
  if (kind == "hotkeys") {
    KeyNames names(mac_.platform().keyboardLayout);
    for (const auto& r : mac_.hotKeys().registered()) {
      print(names.display(Hotkey{r.keyCode, r.modifiers}));
    }
    return Status::ok;
  }
  if (kind == "windows") {
    for (const auto& w : mac_.windows()) {
      if (w.layer != sim::kLayerNormal) continue;
      const sim::SimApp* app = mac_.application(w.owner);
      std::string spaces;
      for (auto s : w.spaces) spaces += (spaces.empty() ? "" : ",") + std::to_string(s);
      print("window " + std::to_string(w.number) + "  " +
            (app && app->name ? *app->name : "pid " + std::to_string(w.owner)) + "  space " +
            spaces + (w.title.empty() ? "" : "  \"" + w.title + "\""));
    }
    return Status::ok;
  }
  if (kind == "alerts") {
    for (const auto& a : mac_.alerts()) print("alert: " + a.title + " — " + a.text);
    return Status::ok;
  }
  if (kind == "keys") {
    for (const auto& d : mac_.keyboard().deliveries()) {
      print(std::string(d.synthetic ? "synthetic " : "") + "key " +
            std::to_string(d.event.keyCode) + " → " + d.receiver);
    }
    return Status::ok;
  }
  launch();
  SpaceEngine& engine = app_->engine();
  const DesktopPresentation& show = app_->presentation();
  auto describe = [&](const std::optional<Desktop>& d) {
    return d ? "Desktop " + std::to_string(d->number) + " “" + show.title(*d) + "”"
             : std::string("none");
  };
  if (kind == "desktops") {
    engine.refreshApps(true);
    for (const Desktop& d : engine.desktops()) {
      std::string apps;
      for (const SpaceApp& app : engine.apps(d)) {
        apps += (apps.empty() ? "" : ", ") + app.name + (app.badge ? " (" + *app.badge + ")" : "");
      }
      char number[16];
      std::snprintf(number, sizeof number, "%2d", d.number);
      print(std::string(d.isCurrent ? "* " : "  ") + number + "  " + show.title(d) + "  [display " +
            d.space.displayUUID + ", space " + to_string(d.id()) + "]" +
            (apps.empty() ? "" : "  " + apps));
    }
  } else if (kind == "current") {
    print("current: " + describe(engine.currentDesktop()));
    print("last: " + describe(engine.lastDesktop()));
  } else if (kind == "log") {
    auto [name, count] = splitWord(more);
    std::string which = lower(name);
    auto chars = count.empty() ? std::optional<std::int64_t>(4000) : integer(count);
    if (!chars || *chars <= 0) return fail("print log takes a count of characters");
    LogFile* log = which == "switches"          ? &app_->logs().switches()
                   : which == "updates"         ? &app_->logs().updates()
                   : which == "mission-control" ? &app_->logs().missionControl()
                                                : nullptr;
    if (!log) return fail("the logs are switches, updates and mission-control");
    std::string tail = log->tail(static_cast<std::size_t>(*chars));
    std::size_t start = 0;
    while (start < tail.size()) {
      std::size_t end = tail.find('\n', start);
      if (end == std::string::npos) end = tail.size();
      print(tail.substr(start, end - start));
      start = end + 1;
    }
  } else if (kind == "diagnostics") {
    std::string text = app_->delegate().diagnostics();
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      print(text.substr(start, end - start));
      start = end + 1;
    }
  } else {
    return fail(
        "print shows desktops, current, log <name>, diagnostics, toasts, surfaces, hotkeys, "
        "windows, alerts or keys");
  }
  return Status::ok;
}

Session::Status Session::expect(std::string_view args) {
  auto [first, rest] = splitWord(args);
  bool negate = lower(first) == "not";
  std::string wanted = unquoted(negate ? rest : args);
  if (wanted.empty()) return fail("expect takes the text of a line: expect switch tag: Mail");
  bool seen = std::any_of(recent_.begin(), recent_.end(), [&](const std::string& line) {
    return line.find(wanted) != std::string::npos;
  });
  if (seen != negate) return Status::ok;
  ++failedExpectations_;
  out_ << "expectation failed: " << (negate ? "no line should contain \"" : "no line contains \"")
       << wanted << "\"\n";
  out_.flush();
  return Status::expectFailed;
}

}  // namespace velmora::cli
