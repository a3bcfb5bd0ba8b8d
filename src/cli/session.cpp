#include "cli/session.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <type_traits>
#include <utility>

#include "cli/session_command.h"
#include "cli/words.h"
#include "core/notifications.h"
#include "platform/input_clocks.h"
#include "platform/key_codes.h"
#include "platform/sim/signed_images.h"
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

std::string fixed(double value, const char* format = "%.3f") {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
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

Session::Session(QueuedLoop& loop, VirtualLoop* virtualLoop, std::ostream& out,
                 std::optional<std::filesystem::path> home)
    : loop_(loop),
      virtualLoop_(virtualLoop),
      out_(out),
      startedAt_(loop.now()),
      mac_(loop, host_.services(), std::move(home)),
      record_([this](const std::string& line) { emit(line); }),
      updateSite_(std::make_unique<UpdateServer>(mac_.home().root / "update-site")),
      systemLog_(std::make_unique<SystemLogEcho>([this](const std::string& l) { emit(l); })) {
  if (virtualLoop_) virtualLoop_->holdCrossThreadPosts(true);
  // The session's Velmora checked for updates just before the run began; scripts about the
  // schedule set updateLastChecked themselves.
  if (mac_.preferences().value(platform::kAppDomain, "updateLastChecked").isNull()) {
    mac_.preferences().setValue(platform::kAppDomain, "updateLastChecked",
                                Value(mac_.loop().wallNow()));
  }
  // As on a Mac, opening Velmora's bundle starts it, or brings the running copy forward.
  mac_.setOnOpenApplication([this](const std::string& bundlePath) {
    if (quit_) return;
    if (copy_) {
      copy_->app->delegate().applicationShouldHandleReopen(false);
    } else {
      startCopy(bundlePath);
    }
  });
  mac_.setOnNotificationDelivered([this](const sim::SimNotification& n) {
    if (!copy_ || quit_) return;  // nobody to receive it
    noteNotification(n.source == sim::SimNotification::Source::workspace
                         ? "receives " + n.name + " (workspace)"
                         : "receives " + n.name + " (accessibility, pid " + std::to_string(n.pid) +
                               ")");
  });
}

Session::~Session() {
  mac_.setOnOpenApplication(nullptr);
  mac_.setOnNotificationDelivered(nullptr);
}

Result<void> Session::loadWorldFile(const std::string& path) {
  return sim::loadWorldFile(mac_, path);
}

Result<void> Session::loadWorldText(std::string_view json) {
  return sim::loadWorld(mac_, json);
}

std::string Session::stampNow() const {
  return stamp(loop_.now() - startedAt_);
}

// Paths under the session's temporary home and the update site's port read the same on every
// run.
std::string Session::masked(const std::string& raw) const {
  std::string line = raw;
  for (auto [from, to] : {std::pair{mac_.home().root.string(), std::string("~")},
                          std::pair{updateSite_->baseURL(), std::string("http://update-site")}}) {
    for (auto at = line.find(from); !from.empty() && at != std::string::npos;
         at = line.find(from, at + to.size())) {
      line.replace(at, from.size(), to);
    }
  }
  return line;
}

void Session::emit(const std::string& raw) {
  std::string line = masked(raw);
  out_ << stampNow() << line << '\n';
  out_.flush();
  recent_.push_back(line);
}

void Session::print(const std::string& raw) {
  std::string line = masked(raw);
  out_ << line << '\n';
  recent_.push_back(line);
}

void Session::printLines(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    print(text.substr(start, end - start));
    start = end + 1;
  }
}

void Session::noteNotification(const std::string& what) {
  notifications_.push_back(stampNow() + what);
}

void Session::settle() {
  if (!virtualLoop_) return;
  virtualLoop_->runPending();
  if (copy_) {
    copy_->app->waitForBackgroundWork();
    virtualLoop_->runPending();
  }
  // Update work a command set off (a daily check that fell due while time passed) lands within
  // that command, never at a later one.
  if (copy_ && updaterBusy()) (void)waitForUpdate();
}

Session::Status Session::fail(const std::string& message) {
  out_ << "error: " << message << '\n';
  out_.flush();
  return Status::error;
}

// ---- Copies of Velmora ----

void Session::launch() {
  if (everStarted_) return;
  startCopy();
  settle();
}

void Session::startCopy(std::optional<std::string> bundlePath) {
  // The first copy is the machine's own process; every later one is a new process.
  bool fromBundle = bundlePath.has_value();
  platform::pid_t pid =
      everStarted_ || bundlePath ? mac_.startNewCopy(std::move(bundlePath)) : mac_.selfPID();
  everStarted_ = true;
  auto copy = std::make_unique<Copy>(record_);
  Copy* running = copy.get();
  running->pid = pid;
  DockBadges::Stopwatch stopwatch;
  if (virtualLoop_) {
    stopwatch = [] { return 0.0; };
    running->surfaces.setPassStopwatch(stopwatch);
  }
  // A copy started from a bundle with its own information runs that bundle's version.
  if (fromBundle) {
    if (auto version = sim::bundleVersion(mac_.bundleInfo().path)) {
      mac_.bundleInfo().info["CFBundleShortVersionString"] = Value(*version);
    }
  }
  running->app =
      std::make_unique<VelmoraApp>(mac_.platform(), running->center, running->surfaces,
                                   updateSite_->feedURL(), *systemLog_, std::move(stopwatch));
  VelmoraApp& app = *running->app;
  running->surfaces.setTitle([&app](const Desktop& d) { return app.presentation().title(d); });
  running->surfaces.setAccessibility(&app.access());
  Logs& logs = app.logs();
  for (auto [log, name] :
       {std::pair{&logs.switches(), "switches.log: "}, std::pair{&logs.updates(), "updates.log: "},
        std::pair{&logs.missionControl(), "mission-control.log: "}}) {
    log->setOnAppend([this, label = name](std::string_view m) { emit(label + std::string(m)); });
  }
  running->center.setOnPost(
      [this](std::string_view name) { noteNotification("posts " + std::string(name)); });
  running->observers.push_back(running->center.observe(
      notifications::kActiveSpaceDidChange,
      [this] { emit(std::string("notification: ") + notifications::kActiveSpaceDidChange); }));
  mac_.setOnQuitRequest(pid, [this, pid] { endCopy(pid, Ending::politely); });
  running->connections.push_back(app.updates().changed().connect([this, running] {
    if (copy_.get() == running) noteUpdateState();
  }));
  if (copy_) retiring_.push_back(std::move(copy_));
  updateStateNoted_.clear();
  copy_ = std::move(copy);
  Value version = mac_.bundleInfo().info["CFBundleShortVersionString"];
  emit("Velmora " + (version.asString() ? *version.asString() : std::string("?")) +
       " starts (pid " + std::to_string(pid) + ")");
}

void Session::endCopy(platform::pid_t pid, Ending ending) {
  std::unique_ptr<Copy> ended;
  if (copy_ && copy_->pid == pid) {
    ended = std::move(copy_);
  } else {
    auto it = std::find_if(retiring_.begin(), retiring_.end(),
                           [pid](const auto& c) { return c->pid == pid; });
    if (it == retiring_.end()) return;
    ended = std::move(*it);
    retiring_.erase(it);
  }
  mac_.setOnQuitRequest(pid, nullptr);
  if (ending == Ending::politely) {
    ended->app->delegate().applicationWillTerminate();
    emit("Velmora quits (pid " + std::to_string(pid) + ")");
  } else {
    emit("Velmora is killed (pid " + std::to_string(pid) + ")");
  }
  // What dies with the process goes with its objects: hot keys, the status item, panels,
  // observers, and every piece of delayed work (guarded by their lifetimes).
  ended.reset();
  mac_.quitApplication(pid);
}

void Session::quit() {
  if (!copy_ || quit_) return;
  quit_ = true;
  copy_->app->delegate().applicationWillTerminate();
  emit("Velmora quits (pid " + std::to_string(copy_->pid) + ")");
}

// ---- Commands ----

Session::Status Session::execute(std::string_view input) {
  std::string_view line = trim(input);
  if (line.empty() || line.front() == '#') return Status::ok;

  // The command whose words begin the line, the longest such.
  const Command* command = nullptr;
  std::string_view arguments;
  std::size_t matched = 0;
  for (const Command& c : commands()) {
    std::string_view words = c.words, rest = line;
    std::size_t count = 0;
    bool matches = true;
    while (matches && !words.empty()) {
      auto [word, more] = splitWord(words);
      auto [given, after] = splitWord(rest);
      matches = lower(given) == word;
      words = more;
      rest = after;
      ++count;
    }
    if (matches && count > matched) {
      command = &c;
      arguments = rest;
      matched = count;
    }
  }
  auto [first, ignored] = splitWord(line);
  if (!command) {
    std::string suggestions;
    for (const Command& c : commands()) {
      if (splitWord(c.words).first != lower(first)) continue;
      suggestions += (suggestions.empty() ? "" : ", ") + std::string(c.words) +
                     (c.arguments.empty() ? "" : " " + std::string(c.arguments));
    }
    if (!suggestions.empty()) return fail("did you mean: " + suggestions);
    return fail("unknown command \"" + std::string(first) + "\" (help lists the commands)");
  }

  // An expectation looks at what the command before it printed, so it keeps that.
  if (command->words == "expect") return expect(arguments);
  recent_.clear();
  if (quit_) return fail("Velmora has quit; nothing more happens in this run");
  switch (command->needs) {
    case Needs::nothing:
    case Needs::machine:
      break;
    case Needs::either:
      launch();
      break;
    case Needs::velmora:
      launch();
      if (!copy_) {
        return fail("Velmora is not running; launch starts it again");
      }
      break;
  }
  Status status = command->run(*this, arguments);
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

Result<std::pair<std::uint16_t, std::uint64_t>> Session::parseCombo(std::string_view text) {
  std::string combo = lower(trim(text));
  if (combo.empty()) return Failure{"a key combination is missing, for example ctrl+opt+3"};
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
      return Failure{"\"" + parts[i] + "\" is not a modifier (ctrl, opt, shift, cmd)"};
    }
    flags |= it->second;
  }
  const std::string& key = parts.back();
  if (auto it = keyWords().find(key); it != keyWords().end()) {
    return std::pair<std::uint16_t, std::uint64_t>{it->second, flags};
  }
  KeyNames names(mac_.platform().keyboardLayout);
  for (std::uint16_t code = 0; code < 128; ++code) {
    if (lower(names.name(code)) == key) return std::pair<std::uint16_t, std::uint64_t>{code, flags};
  }
  return Failure{"\"" + key + "\" is not a key this keyboard has"};
}

Session::Status Session::press(std::string_view args) {
  auto combo = parseCombo(args);
  if (!combo) return fail(combo.error());
  mac_.keyboard().userPress(combo->first, combo->second);
  return Status::ok;
}

Session::Status Session::holdCombination(std::string_view args, bool hold) {
  auto combo = parseCombo(args);
  if (!combo) return fail(combo.error());
  std::uint32_t modifiers = platform::carbonModifiers(combo->second);
  if (hold) {
    mac_.hotKeys().holdByAnotherApplication(combo->first, modifiers);
  } else {
    mac_.hotKeys().releaseByAnotherApplication(combo->first, modifiers);
  }
  return Status::ok;
}

Session::Status Session::ignoreSwitchCalls(std::string_view args) {
  std::string how = lower(trim(args));
  if (how.empty() || how == "all") {
    mac_.ignoreSwitchCalls(std::nullopt);
  } else if (how == "off") {
    mac_.ignoreSwitchCalls(0);
  } else if (auto n = integer(how); n && *n >= 0 && *n < 1000000) {
    mac_.ignoreSwitchCalls(static_cast<int>(*n));
  } else {
    return fail("ignore switch calls takes a count, all or off");
  }
  return Status::ok;
}

Session::Status Session::accessibilityTimesOut(std::string_view app, bool timesOut) {
  auto pid = appArg(app);
  if (!pid) return fail("no running application is called \"" + std::string(app) + "\"");
  mac_.failAccessibilityCalls(
      *pid, timesOut ? std::optional(platform::kAXErrorCannotComplete) : std::nullopt);
  return Status::ok;
}

namespace {

// The case whose label is `word`, ignoring case and spaces ("rightOfTheNotch", "icon and
// name"), else the only case whose label starts with that word ("right").
template <OptionEnumeration E>
std::optional<std::int64_t> caseNamed(const std::string& word) {
  auto squeezed = [](std::string_view text) {
    std::string out;
    for (char c : text) {
      if (c != ' ') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
  };
  const std::string wanted = squeezed(word);
  std::optional<std::int64_t> byFirstWord;
  int firstWordMatches = 0;
  for (const auto& c : allChoices<E>()) {
    if (squeezed(c.label) == wanted) return rawValue(c.value);
    std::string_view label = c.label;
    if (squeezed(label.substr(0, label.find(' '))) == wanted) {
      byFirstWord = rawValue(c.value);
      ++firstWordMatches;
    }
  }
  return firstWordMatches == 1 ? byFirstWord : std::nullopt;
}

}  // namespace

Session::Status Session::set(std::string_view args) {
  auto [key, text] = splitWord(args);
  if (key.empty() || text.empty())
    return fail("set takes a setting and a value: set hudEnabled false");
  Value value = preferenceValue(text);
  // An option with named cases takes a case by its label too: left, "Right of the notch".
  if (!value.asInteger() && !value.asBool()) {
    Settings names(mac_.preferences());
    const std::string_view option = key;
    const std::string word = unquoted(text);
    names.forEachPref([&](auto& pref) {
      using T = std::remove_cvref_t<decltype(pref.defaultValue)>;
      if constexpr (OptionEnumeration<T>) {
        if (pref.key == option) {
          if (auto raw = caseNamed<T>(word)) value = Value(*raw);
        }
      }
    });
  }
  // A shortcut setting takes a key combination ("ctrl+opt+k"), or none to clear it.
  if (key.size() > 6 && key.substr(key.size() - 6) == "Hotkey") {
    std::optional<Hotkey> hotkey;
    if (lower(text) != "none") {
      auto combo = parseCombo(text);
      if (!combo) return fail(combo.error());
      hotkey = Hotkey{combo->first, platform::carbonModifiers(combo->second)};
    }
    value = PrefValue<std::optional<Hotkey>>::write(hotkey);
  }
  if (!copy_) {
    mac_.preferences().setValue(platform::kAppDomain, key, value);
    return Status::ok;
  }
  if (!copy_->app->settings().setStoredValue(key, value)) {
    return fail("there is no setting called \"" + std::string(key) + "\"");
  }
  return Status::ok;
}

Result<Desktop> Session::desktopArg(std::string_view text) {
  auto n = integer(text);
  std::optional<Desktop> desktop;
  if (n && *n > 0 && *n < 100000) {
    desktop = copy_->app->engine().desktopWithNumber(static_cast<int>(*n));
  }
  if (!desktop) return Failure{"there is no Desktop " + std::string(text)};
  return *desktop;
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
  auto desktop = desktopArg(which);
  if (!desktop) return fail(desktop.error());
  std::string name = unquoted(text);
  copy_->app->store().update(desktop->space.managedID, [&](SpaceMeta& m) { m.name = name; });
  return Status::ok;
}

Session::Status Session::openURLs(std::string_view args) {
  if (args.empty()) return fail("open needs a link, for example: open velmora://switch/2");
  std::vector<std::string> urls;
  std::string_view remaining = args;
  while (!remaining.empty()) {
    auto [url, after] = splitWord(remaining);
    urls.emplace_back(url);
    remaining = after;
  }
  copy_->app->delegate().openURLs(urls);
  return Status::ok;
}

Session::Status Session::addDisplay(std::string_view args) {
  auto [uuid, size] = splitWord(args);
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
  return Status::ok;
}

Session::Status Session::badge(std::string_view args) {
  auto [appName, text] = splitWord(args);
  auto pid = appArg(appName);
  if (!pid) return fail("no running application is called \"" + std::string(appName) + "\"");
  std::optional<std::string> badge;
  if (lower(text) != "none") badge = unquoted(text);
  if (!mac_.setDockBadge(*pid, badge)) {
    return fail("\"" + std::string(appName) + "\" has no icon in the Dock");
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
  if (everStarted_) return fail("Velmora already runs; set this up before anything else");
  std::filesystem::path image = mac_.mountDiskImage("Velmora");
  std::filesystem::path bundle = image / "Velmora.app";
  std::error_code ignored;
  std::filesystem::create_directories(bundle / "Contents", ignored);
  std::ofstream(bundle / "Contents" / "Info.plist") << "Velmora\n";
  std::filesystem::create_directories(mac_.disks().localApplicationsFolder(), ignored);
  mac_.bundleInfo().path = bundle.string();
  return Status::ok;
}

// ---- What is printed ----

Session::Status Session::printDesktops() {
  SpaceEngine& engine = copy_->app->engine();
  const DesktopPresentation& show = copy_->app->presentation();
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
  return Status::ok;
}

Session::Status Session::printTime() {
  SpaceEngine& engine = copy_->app->engine();
  for (const Desktop& d : engine.desktops()) {
    char number[16];
    std::snprintf(number, sizeof number, "%2d", d.number);
    double seconds = copy_->app->store().meta(d.space.managedID).seconds;
    print(std::string(number) + "  " + copy_->app->presentation().title(d) + "  " +
          fixed(seconds, "%.1f") + " s");
  }
  return Status::ok;
}

Session::Status Session::printLog(std::string_view args) {
  auto [name, count] = splitWord(args);
  std::string which = lower(name);
  auto chars = count.empty() ? std::optional<std::int64_t>(4000) : integer(count);
  if (!chars || *chars <= 0) return fail("print log takes a count of characters");
  Logs& logs = copy_->app->logs();
  LogFile* log = which == "switches"          ? &logs.switches()
                 : which == "updates"         ? &logs.updates()
                 : which == "mission-control" ? &logs.missionControl()
                                              : nullptr;
  if (!log) return fail("the logs are switches, updates and mission-control");
  printLines(log->tail(static_cast<std::size_t>(*chars)));
  return Status::ok;
}

Session::Status Session::printHotkeys() {
  KeyNames names(mac_.platform().keyboardLayout);
  for (const auto& r : mac_.hotKeys().registered()) {
    print(names.display(Hotkey{r.keyCode, r.modifiers}));
  }
  if (mac_.hotKeys().registered().empty()) print("(no hot keys registered)");
  return Status::ok;
}

Session::Status Session::printWindows() {
  for (const auto& w : mac_.windows()) {
    if (w.layer != sim::kLayerNormal) continue;
    const sim::SimApp* app = mac_.application(w.owner);
    std::string spaces;
    for (auto s : w.spaces) spaces += (spaces.empty() ? "" : ",") + std::to_string(s);
    print("window " + std::to_string(w.number) + "  " +
          (app && app->name ? *app->name : "pid " + std::to_string(w.owner)) + "  space " + spaces +
          (w.title.empty() ? "" : "  \"" + w.title + "\""));
  }
  return Status::ok;
}

Session::Status Session::printNotifications() {
  for (const auto& line : notifications_) print(line);
  if (notifications_.empty()) print("(no notifications)");
  return Status::ok;
}

Session::Status Session::printTimers() {
  using Kind = QueuedLoop::PendingWork::Kind;
  double now = loop_.now();
  auto at = [&](double due) {
    return "at " + fixed(due - startedAt_) + " (in " + fixed(due - now) + " s)";
  };
  int once = 0, repeating = 0, handedOver = 0;
  for (const QueuedLoop::PendingWork& work : loop_.pendingWork()) {
    switch (work.kind) {
      case Kind::once:
        ++once;
        print("once " + at(work.due));
        break;
      case Kind::repeating:
        ++repeating;
        print("every " + fixed(work.interval) + " s (tolerance " + fixed(work.tolerance) +
              " s), next " + at(work.due));
        break;
      case Kind::fromAnotherThread:
        ++handedOver;
        print("from another thread, due now");
        break;
    }
  }
  print("pending: " + std::to_string(once) + " once, " + std::to_string(repeating) +
        " repeating, " + std::to_string(handedOver) + " from other threads");
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
