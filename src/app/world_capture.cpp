#include "app/world_capture.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "spaces/skylight.h"
#include "switching/system_shortcuts.h"

namespace velmora {

namespace {

using json = nlohmann::ordered_json;

// Processes every Mac runs, which the world adds by itself ("furniture").
bool isFurniture(const platform::RunningApplication& app) {
  return app.localizedName == std::string("Window Server") ||
         app.bundleIdentifier == std::string("com.apple.dock") ||
         app.bundleIdentifier == std::string("com.apple.WindowManager");
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t chunk = static_cast<std::uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) chunk |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) chunk |= bytes[i + 2];
    text += kDigits[(chunk >> 18) & 63];
    text += kDigits[(chunk >> 12) & 63];
    text += i + 1 < bytes.size() ? kDigits[(chunk >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
  }
  return text;
}

// A defaults value as the world file keeps it: data and dates as tagged objects.
json toJSON(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Null:
      return nullptr;
    case Value::Kind::Bool:
      return *value.asBool();
    case Value::Kind::Integer:
      return *value.asInteger();
    case Value::Kind::Real:
      return *value.asNumber();
    case Value::Kind::String:
      return *value.asString();
    case Value::Kind::Data:
      return json{{"$data", base64(value.asData()->bytes)}};
    case Value::Kind::Date:
      return json{{"$date", value.asDate()->secondsSinceReferenceDate}};
    case Value::Kind::Array: {
      json list = json::array();
      for (const Value& item : *value.asArray()) list.push_back(toJSON(item));
      return list;
    }
    case Value::Kind::Dictionary: {
      json object = json::object();
      for (const auto& [key, item] : *value.asDictionary()) object[key] = toJSON(item);
      return object;
    }
  }
  return nullptr;
}

std::optional<std::int64_t> integerAt(const Value& entry, const char* key) {
  const Value* v = entry.find(key);
  return v ? v->asInteger() : std::nullopt;
}

// The list a loosely typed answer holds, or an empty one.
const Value::Array& listOf(const Value& value) {
  static const Value::Array none;
  const Value::Array* list = value.asArray();
  return list ? *list : none;
}

// The window server's type of a full-screen space.
constexpr std::int64_t kFullScreenSpaceType = 4;

json rect(double x, double y, double width, double height) {
  return json{x, y, width, height};
}

// The JSON library writes one number a line; a rectangle or a size reads better on one.
std::string compactLists(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] != '[') continue;
    std::size_t close = text.find(']', i);
    if (close == std::string::npos) continue;
    std::string inner = text.substr(i + 1, close - i - 1);
    if (inner.find_first_of("[{\"") != std::string::npos) continue;
    std::string joined;
    std::istringstream items(inner);
    for (std::string item; std::getline(items, item, ',');) {
      std::size_t first = item.find_first_not_of(" \n");
      std::size_t last = item.find_last_not_of(" \n");
      if (first == std::string::npos) continue;
      joined += (joined.empty() ? "" : ", ") + item.substr(first, last - first + 1);
    }
    out += joined + "]";
    i = close;
  }
  return out;
}

struct Window {
  std::int64_t number = 0;
  platform::pid_t owner = 0;
  std::int64_t layer = 0;
  json bounds;
  std::optional<std::string> title;
};

}  // namespace

std::string captureWorld(const platform::Platform& platform) {
  platform::WindowServer& server = platform.windowServer;
  platform::ConnectionID cid = server.mainConnectionID();
  Value layout = server.copyManagedDisplaySpaces(cid);
  std::vector<SkyLight::Display> displays = SkyLight::parseDisplays(layout);
  std::vector<platform::ScreenInfo> screens = platform.screens.screens();

  // Every window, front to back, and the spaces each is on.
  std::vector<Window> windows;
  Value windowList = server.windowListCopyWindowInfo(platform::kWindowListOptionAll, 0);
  for (const Value& entry : listOf(windowList)) {
    Window w;
    auto number = integerAt(entry, platform::kWindowNumber);
    auto owner = integerAt(entry, platform::kWindowOwnerPID);
    const Value* bounds = entry.find(platform::kWindowBounds);
    if (!number || !owner || !bounds) continue;
    w.number = *number;
    w.owner = static_cast<platform::pid_t>(*owner);
    w.layer = integerAt(entry, platform::kWindowLayer).value_or(0);
    auto at = [&](const char* key) {
      const Value* v = bounds->find(key);
      return v ? v->asNumber().value_or(0) : 0.0;
    };
    w.bounds = rect(at("X"), at("Y"), at("Width"), at("Height"));
    if (const Value* name = entry.find("kCGWindowName"); name && name->asString()) {
      w.title = *name->asString();
    }
    windows.push_back(std::move(w));
  }
  std::map<std::int64_t, std::set<std::uint64_t>> spacesOfWindow;
  std::size_t spaceCount = 0;
  for (const auto& display : displays) {
    for (const auto& space : display.spaces) {
      ++spaceCount;
      std::uint64_t setTags = 0, clearTags = 0;
      Value numbers = server.copyWindowsWithOptionsAndTags(
          cid, 0, Value(Value::Array{Value(space.id.raw())}), 0x7, setTags, clearTags);
      for (const Value& n : listOf(numbers)) {
        if (auto number = n.asInteger()) spacesOfWindow[*number].insert(space.id.raw());
      }
    }
  }

  json world = json::object();
  world["description"] = "Captured by velmora --capture-world";
  world["systemMajorVersion"] = platform.systemMajorVersion;
  world["accessibilityTrusted"] = platform.accessibility.isProcessTrusted();

  // Where each space sits in the file: display and space index.
  std::map<std::uint64_t, std::pair<std::size_t, std::size_t>> placeOfSpace;
  json displayList = json::array();
  const Value::Array& rawDisplays = listOf(layout);
  for (std::size_t d = 0; d < displays.size(); ++d) {
    const SkyLight::Display& display = displays[d];
    json out = json::object();
    out["uuid"] = display.uuid;
    auto screen = std::find_if(screens.begin(), screens.end(), [&](const platform::ScreenInfo& s) {
      const Value* number = s.deviceDescription.find("NSScreenNumber");
      auto id = number ? number->asInteger() : std::nullopt;
      if (!id) return false;
      Value uuid = platform.screens.displayUUIDString(static_cast<std::uint32_t>(*id));
      return uuid.asString() && *uuid.asString() == display.uuid;
    });
    if (screen != screens.end()) {
      const ScreenRect& f = screen->frame;
      out["name"] = screen->localizedName;
      out["frame"] = rect(f.minX(), f.minY(), f.size.width, f.size.height);
      if (auto number = integerAt(screen->deviceDescription, "NSScreenNumber")) {
        out["number"] = *number;
      }
      out["scale"] = screen->backingScaleFactor;
      out["menuBarHeight"] = f.maxY() - screen->visibleFrame.maxY();
      out["dockHeight"] = screen->visibleFrame.minY() - f.minY();
      if (screen->safeAreaTopInset > 0 && screen->auxiliaryTopLeftArea &&
          screen->auxiliaryTopRightArea) {
        out["notch"] =
            json{screen->auxiliaryTopRightArea->minX() - screen->auxiliaryTopLeftArea->maxX(),
                 screen->safeAreaTopInset};
      }
    }
    // The raw entries carry each space's own uuid, which the parsed records leave out.
    const Value::Array* rawSpaces = nullptr;
    if (d < rawDisplays.size()) {
      if (const Value* spaces = rawDisplays[d].find("Spaces")) rawSpaces = spaces->asArray();
    }
    json spaceList = json::array();
    std::size_t current = 0;
    for (std::size_t s = 0; s < display.spaces.size(); ++s) {
      const SkyLight::Space& space = display.spaces[s];
      placeOfSpace[space.id.raw()] = {d, s};
      if (space.id == display.currentSpaceID) current = s;
      json item = json::object();
      item["type"] = space.isDesktop()                    ? json("desktop")
                     : space.type == kFullScreenSpaceType ? json("fullscreen")
                                                          : json(space.type);
      item["managedID"] = space.managedID.raw();
      if (rawSpaces && s < rawSpaces->size()) {
        if (const Value* uuid = (*rawSpaces)[s].find("uuid"); uuid && uuid->asString()) {
          item["uuid"] = *uuid->asString();
        }
      }
      Value name = server.spaceCopyName(cid, space.id.raw());
      if (const std::string* text = name.asString()) item["name"] = *text;
      if (space.type == kFullScreenSpaceType) {
        // A full-screen space belongs to the application whose window fills it.
        for (const Window& w : windows) {
          auto it = spacesOfWindow.find(w.number);
          if (w.layer == 0 && it != spacesOfWindow.end() && it->second.size() == 1 &&
              it->second.count(space.id.raw())) {
            item["fullScreenOwner"] = w.owner;
            break;
          }
        }
      }
      spaceList.push_back(std::move(item));
    }
    out["spaces"] = std::move(spaceList);
    out["current"] = current;
    displayList.push_back(std::move(out));
  }
  world["displays"] = std::move(displayList);
  if (Value active = server.copyActiveMenuBarDisplayIdentifier(cid); active.asString()) {
    world["activeMenuBarDisplay"] = *active.asString();
  }

  platform::pid_t self = platform.workspace.currentProcessID();
  json apps = json::array();
  std::set<platform::pid_t> captured;
  for (const platform::RunningApplication& app : platform.workspace.runningApplications()) {
    if (app.terminated || app.pid == self || isFurniture(app)) continue;
    captured.insert(app.pid);
    json out = json::object();
    out["pid"] = app.pid;
    if (app.localizedName) out["name"] = *app.localizedName;
    if (app.bundleIdentifier) out["bundleIdentifier"] = *app.bundleIdentifier;
    if (app.bundlePath) out["bundlePath"] = *app.bundlePath;
    out["policy"] = app.activationPolicy == platform::ActivationPolicy::Regular     ? "regular"
                    : app.activationPolicy == platform::ActivationPolicy::Accessory ? "accessory"
                                                                                    : "prohibited";
    // Back to front, so the file opens them in the order they stand.
    json list = json::array();
    for (auto w = windows.rbegin(); w != windows.rend(); ++w) {
      if (w->owner != app.pid) continue;
      json window = json::object();
      auto on = spacesOfWindow.find(w->number);
      bool everywhere = on == spacesOfWindow.end() || on->second.size() == spaceCount;
      if (everywhere) {
        window["space"] = "all";
      } else {
        auto place = placeOfSpace.find(*on->second.begin());
        if (place == placeOfSpace.end()) continue;
        window["space"] =
            std::to_string(place->second.first) + ":" + std::to_string(place->second.second);
      }
      window["bounds"] = w->bounds;
      if (w->layer != 0) window["layer"] = w->layer;
      if (w->title) window["title"] = *w->title;
      list.push_back(std::move(window));
    }
    if (!list.empty()) out["windows"] = std::move(list);
    apps.push_back(std::move(out));
  }
  world["apps"] = std::move(apps);
  if (auto front = platform.workspace.frontmostApplication(); front && captured.count(front->pid)) {
    world["frontmost"] = front->pid;
  }

  json defaults = json::object();
  for (const char* domain : {SystemShortcuts::kDomain, platform::kAppDomain}) {
    if (auto values = platform.preferences.persistentDomain(domain)) {
      defaults[domain] = toJSON(Value(*values));
    }
  }
  if (!defaults.empty()) world["defaults"] = std::move(defaults);
  return compactLists(world.dump(2)) + "\n";
}

}  // namespace velmora
