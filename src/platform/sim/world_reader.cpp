#include "platform/sim/world_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <exception>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

namespace velmora::sim::world {

namespace {

using json = nlohmann::json;

// The built-in panels with a camera housing, at their default resolution. The housing has
// one physical size per panel: at a scaled resolution it covers proportionally more or fewer
// points, and the system makes the menu bar as tall as it.
struct NotchedPanel {
  const char* model;
  Size points;
  Size notch;
};
constexpr std::array<NotchedPanel, 4> kNotchedPanels{{
    {"MacBook Air 13", {1470, 956}, {180, 32}},
    {"MacBook Pro 14", {1512, 982}, {185, 32}},
    {"MacBook Air 15", {1710, 1112}, {190, 32}},
    {"MacBook Pro 16", {1728, 1117}, {185, 32}},
}};

// The panel a display of this width is: the named model, else the one whose default width
// is nearest.
const NotchedPanel& notchedPanel(double width, const std::string& model) {
  for (const NotchedPanel& p : kNotchedPanels) {
    if (model == p.model) return p;
  }
  return *std::min_element(kNotchedPanels.begin(), kNotchedPanels.end(), [&](auto& a, auto& b) {
    return std::abs(a.points.width - width) < std::abs(b.points.width - width);
  });
}

// ---- Reading with line numbers ----

// Feeds the parser one character at a time and remembers how far it has read, so each value
// can be given the line it sits on.
class CountingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  CountingIterator(const char* p, const char* base, std::size_t* consumed)
      : p_(p), base_(base), consumed_(consumed) {}
  reference operator*() const {
    *consumed_ = std::max(*consumed_, static_cast<std::size_t>(p_ - base_) + 1);
    return *p_;
  }
  CountingIterator& operator++() {
    ++p_;
    return *this;
  }
  CountingIterator operator++(int) {
    CountingIterator old = *this;
    ++p_;
    return old;
  }
  bool operator==(const CountingIterator& other) const { return p_ == other.p_; }

 private:
  const char* p_;
  const char* base_;
  std::size_t* consumed_;
};

// Line of every value, by its path ("displays/0/frame").
class LineTracker {
 public:
  explicit LineTracker(std::string_view text) : text_(text) {}

  bool onEvent(json::parse_event_t event, const json& parsed) {
    switch (event) {
      case json::parse_event_t::object_start:
      case json::parse_event_t::array_start:
        lines_[path()] = line();
        levels_.push_back(Level{event == json::parse_event_t::array_start, 0, {}});
        break;
      case json::parse_event_t::key:
        levels_.back().key = parsed.get<std::string>();
        break;
      case json::parse_event_t::value:
        lines_[path()] = line();
        elementDone();
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        levels_.pop_back();
        elementDone();
        break;
    }
    return true;
  }

  std::size_t* consumed() { return &consumed_; }
  std::map<std::string, int> takeLines() { return std::move(lines_); }
  // The line the parser stopped on: the character at `byte` was the last one it read.
  int lineAtByte(std::size_t byte) const {
    std::size_t end = std::min(text_.size(), byte > 0 ? byte - 1 : 0);
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + end, '\n'));
  }

 private:
  struct Level {
    bool array;
    std::size_t index;
    std::string key;
  };

  // The last character read is a token's end, or one character of look-ahead after a number.
  int line() {
    std::size_t end = consumed_ > 0 ? consumed_ - 1 : 0;
    if (end > counted_) {
      line_ += static_cast<int>(std::count(text_.begin() + counted_, text_.begin() + end, '\n'));
      counted_ = end;
    }
    return line_;
  }
  std::string path() const {
    std::string p;
    for (const auto& level : levels_) {
      if (!p.empty()) p += '/';
      p += level.array ? std::to_string(level.index) : level.key;
    }
    return p;
  }
  void elementDone() {
    if (!levels_.empty() && levels_.back().array) ++levels_.back().index;
  }

  std::string_view text_;
  std::size_t consumed_ = 0;
  std::size_t counted_ = 0;
  int line_ = 1;
  std::vector<Level> levels_;
  std::map<std::string, int> lines_;
};

// One value of the file with the path used to find its line and the name used in messages.
struct Node {
  const json& j;
  std::string path;
  std::string name;

  [[noreturn]] void fail(std::string message) const { throw WorldError{path, std::move(message)}; }
  std::string quoted() const { return "\"" + name + "\""; }

  std::optional<Node> child(const char* key) const {
    auto it = j.find(key);
    if (it == j.end()) return std::nullopt;
    return Node{*it, path.empty() ? key : path + "/" + key, key};
  }
  Node element(std::size_t i) const { return Node{j[i], path + "/" + std::to_string(i), name}; }

  void expectObject(std::initializer_list<const char*> known, const std::string& what) const {
    if (!j.is_object()) fail("expected an object for " + what);
    for (const auto& item : j.items()) {
      const std::string& key = item.key();
      bool ok = std::any_of(known.begin(), known.end(), [&](const char* k) { return key == k; });
      if (!ok) fail("unknown field \"" + key + "\" in " + what);
    }
  }
  const json::array_t& array() const {
    if (!j.is_array()) fail("expected a list for " + quoted());
    return j.get_ref<const json::array_t&>();
  }
  std::string text() const {
    if (!j.is_string()) fail("expected text for " + quoted());
    return j.get<std::string>();
  }
  bool boolean() const {
    if (!j.is_boolean()) fail("expected true or false for " + quoted());
    return j.get<bool>();
  }
  double number() const {
    if (!j.is_number()) fail("expected a number for " + quoted());
    return j.get<double>();
  }
  std::int64_t integer(std::int64_t min = std::numeric_limits<std::int64_t>::min(),
                       std::int64_t max = std::numeric_limits<std::int64_t>::max()) const {
    if (!j.is_number_integer()) fail("expected a whole number for " + quoted());
    auto outOfRange = [&] {
      fail(quoted() + " must be a whole number from " + std::to_string(min) + " to " +
           std::to_string(max));
    };
    if (j.is_number_unsigned() && j.get<std::uint64_t>() > static_cast<std::uint64_t>(max)) {
      outOfRange();
    }
    std::int64_t v = j.get<std::int64_t>();
    if (v < min || v > max) outOfRange();
    return v;
  }
  // [x, y, width, height] with a positive size.
  std::array<double, 4> rect() const {
    if (!j.is_array() || j.size() != 4 ||
        !std::all_of(j.begin(), j.end(), [](const json& v) { return v.is_number(); })) {
      fail("expected four numbers [x, y, width, height] for " + quoted());
    }
    std::array<double, 4> r{j[0].get<double>(), j[1].get<double>(), j[2].get<double>(),
                            j[3].get<double>()};
    if (r[2] <= 0 || r[3] <= 0) fail(quoted() + " needs a positive width and height");
    return r;
  }
};

// Indexes in the file count from 0.
std::string numbered(const char* what, std::size_t count) {
  return std::string(what) + " are numbered from 0 to " + std::to_string(count - 1);
}

std::string ordinal(const char* what, std::size_t index) {
  return std::string(what) + " " + std::to_string(index + 1);
}

AppRef readAppRef(const Node& n) {
  if (n.j.is_string()) return AppRef{n.path, n.j.get<std::string>(), std::nullopt};
  if (n.j.is_number_integer()) {
    return AppRef{n.path, std::nullopt, static_cast<pid_t>(n.integer(1, INT32_MAX))};
  }
  n.fail("expected an application name or pid for " + n.quoted());
}

std::int64_t readSpaceType(const Node& n) {
  if (n.j.is_string()) {
    std::string t = n.j.get<std::string>();
    if (t == "desktop") return kSpaceTypeDesktop;
    if (t == "fullscreen") return kSpaceTypeFullScreen;
    n.fail("unknown space type \"" + t + "\" (use \"desktop\" or \"fullscreen\")");
  }
  if (n.j.is_number_integer()) return n.integer();
  n.fail("expected \"desktop\", \"fullscreen\" or a number for " + n.quoted());
}

SpacePlan readSpace(const Node& n, std::size_t index) {
  SpacePlan s;
  if (n.j.is_string()) {
    s.type = readSpaceType(n);
    return s;
  }
  n.expectObject({"type", "managedID", "name", "uuid", "fullScreenOwner"}, ordinal("space", index));
  if (auto c = n.child("type")) s.type = readSpaceType(*c);
  if (auto c = n.child("managedID")) s.managedID = c->integer();
  if (auto c = n.child("name")) s.name = c->text();
  if (auto c = n.child("uuid")) s.uuid = c->text();
  if (auto c = n.child("fullScreenOwner")) {
    if (s.type != kSpaceTypeFullScreen)
      c->fail("only a full-screen space has a \"fullScreenOwner\"");
    s.owner = readAppRef(*c);
  }
  return s;
}

DisplayPlan readDisplay(const Node& n, std::size_t index) {
  std::string what = ordinal("display", index);
  n.expectObject({"uuid", "name", "frame", "size", "number", "scale", "menuBarHeight", "dockHeight",
                  "notch", "model", "spaces", "current"},
                 what);
  DisplayPlan d;
  auto uuid = n.child("uuid");
  if (!uuid) n.fail(what + " needs a \"uuid\"");
  d.uuid = uuid->text();
  if (d.uuid.empty()) uuid->fail("the \"uuid\" of " + what + " is empty");
  if (auto c = n.child("name")) d.name = c->text();
  if (auto c = n.child("frame")) {
    if (n.child("size")) c->fail(what + " has both a \"frame\" and a \"size\"; give one");
    auto r = c->rect();
    d.frame = ScreenRect::make(r[0], r[1], r[2], r[3]);
  }
  if (auto c = n.child("size")) {
    const json& s = c->j;
    if (!s.is_array() || s.size() != 2 || !s[0].is_number() || !s[1].is_number() ||
        s[0].get<double>() <= 0 || s[1].get<double>() <= 0) {
      c->fail("expected two positive numbers [width, height] for \"size\"");
    }
    d.size = Size{s[0].get<double>(), s[1].get<double>()};
  }
  if (auto c = n.child("number")) d.number = static_cast<std::uint32_t>(c->integer(1, UINT32_MAX));
  if (auto c = n.child("scale")) {
    d.scale = c->number();
    if (d.scale <= 0) c->fail("\"scale\" must be positive");
  }
  if (auto c = n.child("menuBarHeight")) d.menuBarHeight = std::max(0.0, c->number());
  if (auto c = n.child("dockHeight")) d.dockHeight = std::max(0.0, c->number());
  if (auto c = n.child("notch")) {
    // true: the housing of the MacBook panel the display is (its "model", else the one nearest
    // its width), scaled to its resolution; [width, height] for another one.
    if (c->j.is_boolean()) {
      if (c->boolean()) {
        double width = d.frame ? d.frame->size.width : d.size.width;
        std::string model;
        if (auto m = n.child("model")) model = m->text();
        const NotchedPanel& panel = notchedPanel(width, model);
        if (!model.empty() && model != panel.model) {
          n.child("model")->fail(
              "\"model\" is none of the notched MacBook panels: MacBook Air 13, "
              "MacBook Pro 14, MacBook Air 15, MacBook Pro 16");
        }
        double k = width / panel.points.width;
        if (!n.child("menuBarHeight")) d.menuBarHeight = std::round(panel.notch.height * k);
        d.notch = Size{std::round(panel.notch.width * k), d.menuBarHeight};
      }
    } else {
      const json& s = c->j;
      if (!s.is_array() || s.size() != 2 || !s[0].is_number() || !s[1].is_number() ||
          s[0].get<double>() <= 0 || s[1].get<double>() <= 0) {
        c->fail("expected true, false or two positive numbers [width, height] for \"notch\"");
      }
      d.notch = Size{s[0].get<double>(), s[1].get<double>()};
    }
  }
  if (auto c = n.child("spaces")) {
    const auto& list = c->array();
    for (std::size_t i = 0; i < list.size(); ++i) d.spaces.push_back(readSpace(c->element(i), i));
    if (d.spaces.empty()) c->fail(what + " needs at least one space");
  } else {
    d.spaces.push_back(SpacePlan{});
  }
  if (auto c = n.child("current")) {
    std::int64_t current = c->integer();
    if (current < 0 || current >= static_cast<std::int64_t>(d.spaces.size())) {
      c->fail("\"current\" of " + what + " is " + std::to_string(current) + ", but its " +
              numbered("spaces", d.spaces.size()));
    }
    d.current = static_cast<std::size_t>(current);
  }
  return d;
}

// "1:2", "all" or {"display": 1 or "<uuid>", "space": 2}.
void readWindowSpace(const Node& n, const std::vector<DisplayPlan>& displays, WindowPlan& w) {
  std::optional<std::int64_t> display, space;
  if (n.j.is_string()) {
    std::string s = n.j.get<std::string>();
    if (s == "all") {
      w.everySpace = true;
      return;
    }
    std::istringstream in(s);
    std::int64_t a = -1, b = -1;
    char colon = 0;
    if (!(in >> a >> colon >> b) || colon != ':' || in.peek() != EOF) {
      n.fail("expected \"<display>:<space>\" or \"all\" for \"space\", not \"" + s + "\"");
    }
    display = a;
    space = b;
  } else if (n.j.is_object()) {
    n.expectObject({"display", "space"}, "\"space\"");
    auto d = n.child("display");
    auto s = n.child("space");
    if (!d || !s) n.fail("\"space\" needs both \"display\" and \"space\"");
    if (d->j.is_string()) {
      std::string uuid = d->j.get<std::string>();
      auto it = std::find_if(displays.begin(), displays.end(),
                             [&](const DisplayPlan& p) { return p.uuid == uuid; });
      if (it == displays.end()) d->fail("no display has the uuid \"" + uuid + "\"");
      display = it - displays.begin();
    } else {
      display = d->integer();
    }
    space = s->integer();
  } else {
    n.fail("expected \"<display>:<space>\", \"all\" or an object for \"space\"");
  }
  if (*display < 0 || *display >= static_cast<std::int64_t>(displays.size())) {
    n.fail("\"space\" names display " + std::to_string(*display) + ", but " +
           numbered("displays", displays.size()));
  }
  const auto& spaces = displays[static_cast<std::size_t>(*display)].spaces;
  if (*space < 0 || *space >= static_cast<std::int64_t>(spaces.size())) {
    n.fail("\"space\" names space " + std::to_string(*space) + " of display " +
           std::to_string(*display) + ", but its " + numbered("spaces", spaces.size()));
  }
  w.display = static_cast<std::size_t>(*display);
  w.space = static_cast<std::size_t>(*space);
}

// "#RRGGBB", as 0xRRGGBB.
std::uint32_t rgbColor(const Node& n, const std::string& key) {
  std::string text = n.text();
  bool hex = text.size() == 7 && text[0] == '#' &&
             std::all_of(text.begin() + 1, text.end(),
                         [](unsigned char c) { return std::isxdigit(c) != 0; });
  if (!hex) n.fail("\"" + key + "\" \"" + text + "\" is not a colour (use \"#RRGGBB\")");
  return static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
}

AppPlan readApp(const Node& n, std::size_t index, const std::vector<DisplayPlan>& displays) {
  std::string what = ordinal("application", index);
  n.expectObject({"pid", "name", "bundleIdentifier", "bundlePath", "policy", "badge", "menus",
                  "windows", "iconColor", "iconSymbol"},
                 what);
  AppPlan a;
  if (auto c = n.child("pid")) a.app.pid = static_cast<pid_t>(c->integer(1, INT32_MAX));
  if (auto c = n.child("name")) a.app.name = c->text();
  if (auto c = n.child("bundleIdentifier")) a.app.bundleIdentifier = c->text();
  if (auto c = n.child("bundlePath")) a.app.bundlePath = c->text();
  if (auto c = n.child("policy")) {
    std::string p = c->text();
    if (p == "regular") {
      a.app.policy = platform::ActivationPolicy::Regular;
    } else if (p == "accessory") {
      a.app.policy = platform::ActivationPolicy::Accessory;
    } else if (p == "prohibited") {
      a.app.policy = platform::ActivationPolicy::Prohibited;
    } else {
      c->fail("unknown \"policy\" \"" + p +
              "\" (use \"regular\", \"accessory\" or \"prohibited\")");
    }
  }
  if (auto c = n.child("badge")) {
    a.badge = c->text();
    if (a.app.policy != platform::ActivationPolicy::Regular) {
      c->fail("only a regular application has a Dock icon to show a \"badge\" on");
    }
  }
  if (auto c = n.child("menus")) {
    const auto& list = c->array();
    for (std::size_t i = 0; i < list.size(); ++i) a.app.menus.push_back(c->element(i).text());
  }
  if (auto c = n.child("iconColor")) a.app.iconColor = rgbColor(*c, "iconColor");
  if (auto c = n.child("iconSymbol")) {
    a.app.iconSymbol = c->text();
    if (a.app.iconSymbol->empty()) c->fail("\"iconSymbol\" is empty (give a symbol name)");
  }
  if ((a.app.iconColor || a.app.iconSymbol) && !a.app.bundleIdentifier && !a.app.bundlePath) {
    n.fail(
        "only an application with a \"bundleIdentifier\" or \"bundlePath\" has an icon "
        "to give an \"iconColor\" or \"iconSymbol\"");
  }
  if (auto c = n.child("windows")) {
    const auto& list = c->array();
    for (std::size_t i = 0; i < list.size(); ++i) {
      Node wn = c->element(i);
      std::string wwhat = ordinal("window", i) + " of " + what;
      wn.expectObject({"space", "bounds", "layer", "title"}, wwhat);
      WindowPlan w;
      w.space = displays.front().current;  // the first display's current space
      if (auto s = wn.child("space")) readWindowSpace(*s, displays, w);
      if (auto b = wn.child("bounds")) {
        auto r = b->rect();
        w.bounds = AXRect::make(r[0], r[1], r[2], r[3]);
      }
      if (auto l = wn.child("layer"))
        w.layer = static_cast<std::int32_t>(l->integer(INT32_MIN, INT32_MAX));
      if (auto t = wn.child("title")) w.title = t->text();
      a.windows.push_back(std::move(w));
    }
  }
  return a;
}

// A preferences value: JSON's own kinds, with {"$data": BASE64} and {"$date": SECONDS since
// 2001} for the two property-list kinds JSON lacks.
std::vector<std::uint8_t> fromBase64(const Node& n) {
  std::string text = n.text();
  std::vector<std::uint8_t> bytes;
  std::uint32_t chunk = 0;
  int bits = 0;
  for (char c : text) {
    int digit = c >= 'A' && c <= 'Z'   ? c - 'A'
                : c >= 'a' && c <= 'z' ? c - 'a' + 26
                : c >= '0' && c <= '9' ? c - '0' + 52
                : c == '+'             ? 62
                : c == '/'             ? 63
                                       : -1;
    if (c == '=') break;
    if (digit < 0) n.fail("\"$data\" is not base64");
    chunk = (chunk << 6) | static_cast<std::uint32_t>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<std::uint8_t>((chunk >> bits) & 0xFF));
    }
  }
  return bytes;
}

Value readPreference(const Node& n) {
  const json& j = n.j;
  if (j.is_null()) return Value();
  if (j.is_boolean()) return Value(j.get<bool>());
  if (j.is_number_integer()) return Value(j.get<std::int64_t>());
  if (j.is_number()) return Value(j.get<double>());
  if (j.is_string()) return Value(j.get<std::string>());
  if (j.is_array()) {
    Value::Array list;
    for (std::size_t i = 0; i < j.size(); ++i) list.push_back(readPreference(n.element(i)));
    return Value(std::move(list));
  }
  if (j.size() == 1 && j.contains("$data")) {
    return Value(Value::Data{fromBase64(*n.child("$data"))});
  }
  if (j.size() == 1 && j.contains("$date")) {
    return Value(Value::Date{n.child("$date")->number()});
  }
  Value::Dictionary dictionary;
  for (const auto& item : j.items()) {
    Node child{item.value(), n.path + "/" + item.key(), item.key()};
    dictionary.emplace(item.key(), readPreference(child));
  }
  return Value(std::move(dictionary));
}

WorldPlan readWorld(const Node& root) {
  root.expectObject({"description", "displays", "apps", "activeMenuBarDisplay", "frontmost",
                     "accessibilityTrusted", "furniture", "dock", "menuBar", "macOS",
                     "systemMajorVersion", "missionControlAnimation", "defaults"},
                    "the world");
  WorldPlan w;
  if (auto c = root.child("description")) c->text();
  auto displays = root.child("displays");
  if (!displays) root.fail("the world needs a \"displays\" list");
  const auto& list = displays->array();
  if (list.empty()) displays->fail("the world needs at least one display");
  for (std::size_t i = 0; i < list.size(); ++i) {
    w.displays.push_back(readDisplay(displays->element(i), i));
  }
  if (auto c = root.child("apps")) {
    const auto& apps = c->array();
    for (std::size_t i = 0; i < apps.size(); ++i) {
      w.apps.push_back(readApp(c->element(i), i, w.displays));
    }
  }
  if (auto c = root.child("activeMenuBarDisplay")) w.activeMenuBar = {{c->text(), c->path}};
  if (auto c = root.child("frontmost")) w.frontmost = readAppRef(*c);
  if (auto c = root.child("accessibilityTrusted")) w.trusted = c->boolean();
  if (auto c = root.child("furniture")) {
    w.furniture = c->boolean();
    bool badged =
        std::any_of(w.apps.begin(), w.apps.end(), [](const AppPlan& a) { return a.badge; });
    if (!w.furniture && badged)
      c->fail("a \"badge\" needs the Dock, so \"furniture\" must stay on");
  }
  if (auto dock = root.child("dock")) {
    dock->expectObject({"switchAnimation"}, "\"dock\"");
    if (auto c = dock->child("switchAnimation")) {
      w.switchAnimation = c->number();
      if (*w.switchAnimation < 0) c->fail("\"switchAnimation\" must be zero or more seconds");
    }
  }
  if (auto bar = root.child("menuBar")) {
    bar->expectObject({"items", "systemWidth"}, "\"menuBar\"");
    if (auto c = bar->child("systemWidth")) {
      w.systemItemsWidth = c->number();
      if (*w.systemItemsWidth < 0) c->fail("\"systemWidth\" must be zero or more points");
    }
    if (auto c = bar->child("items")) {
      std::vector<SimMenuExtra> extras;
      const auto& list = c->array();
      for (std::size_t i = 0; i < list.size(); ++i) {
        Node item = c->element(i);
        std::string what = ordinal("menu bar item", i);
        item.expectObject({"app", "title", "symbol", "width"}, what);
        SimMenuExtra extra;
        if (auto f = item.child("app")) extra.owner = f->text();
        if (auto f = item.child("title")) extra.title = f->text();
        if (auto f = item.child("symbol")) extra.symbol = f->text();
        if (extra.title.empty() && extra.symbol.empty())
          item.fail(what + " needs a \"title\" or a \"symbol\"");
        if (auto f = item.child("width")) {
          extra.width = f->number();
          if (extra.width <= 0) f->fail("\"width\" must be positive");
        }
        extras.push_back(std::move(extra));
      }
      w.menuExtras = std::move(extras);
    }
  }
  if (auto c = root.child("macOS")) w.macOS = static_cast<int>(c->integer(14, 99));
  if (auto c = root.child("systemMajorVersion")) {
    if (w.macOS) c->fail("give the version once: \"systemMajorVersion\" or \"macOS\"");
    w.macOS = static_cast<int>(c->integer(14, 99));
  }
  if (auto c = root.child("defaults")) {
    if (!c->j.is_object()) c->fail("expected an object of preference domains for \"defaults\"");
    for (const auto& item : c->j.items()) {
      Node domain{item.value(), c->path + "/" + item.key(), item.key()};
      if (!domain.j.is_object()) domain.fail("expected an object of keys for " + domain.quoted());
      Value values = readPreference(domain);
      w.defaults[item.key()] = *values.asDictionary();
    }
  }
  if (auto c = root.child("missionControlAnimation")) {
    w.missionControlAnimation = c->number();
    if (*w.missionControlAnimation < 0)
      c->fail("\"missionControlAnimation\" must be zero or more seconds");
  }
  return w;
}

// What the JSON library says went wrong ("unexpected '}'; expected ..."), without its prefix.
std::string parseProblem(const std::string& what) {
  std::string problem = what;
  if (auto dash = problem.find(" - "); dash != std::string::npos) {
    problem = problem.substr(dash + 3);
  } else if (auto colon = problem.rfind(": "); colon != std::string::npos) {
    problem = problem.substr(colon + 2);
  }
  return problem;
}

}  // namespace

std::string sentence(int line, const std::string& message) {
  std::string s = line > 0 ? "World file line " + std::to_string(line) + ": " : "World file: ";
  s += message;
  if (s.back() != '.') s += '.';
  return s;
}

Result<WorldPlan> read(std::string_view jsonText) {
  LineTracker lines(jsonText);
  try {
    CountingIterator first(jsonText.data(), jsonText.data(), lines.consumed());
    CountingIterator last(jsonText.data() + jsonText.size(), jsonText.data(), lines.consumed());
    json doc = json::parse(
        first, last,
        [&](int, json::parse_event_t event, json& parsed) { return lines.onEvent(event, parsed); },
        /*allow_exceptions=*/true, /*ignore_comments=*/true);
    Node root{doc, "", "world"};
    std::map<std::string, int> found = lines.takeLines();
    try {
      WorldPlan plan = readWorld(root);
      plan.lines = std::move(found);
      return plan;
    } catch (const WorldError& e) {
      auto line = found.find(e.path);
      return Failure{sentence(line == found.end() ? 0 : line->second, e.message)};
    }
  } catch (const json::parse_error& e) {
    return Failure{
        sentence(lines.lineAtByte(e.byte), "not valid JSON (" + parseProblem(e.what()) + ")")};
  } catch (const std::exception& e) {
    return Failure{sentence(0, std::string("could not be read (") + e.what() + ")")};
  }
}

}  // namespace velmora::sim::world
