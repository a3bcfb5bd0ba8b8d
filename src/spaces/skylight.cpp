#include "spaces/skylight.h"

namespace velmora {

namespace {

// Options of CGWindowListCopyWindowInfo for the front-window lookup: on-screen windows
// only, without desktop elements.
constexpr std::uint32_t kFrontWindowOptions =
    platform::kWindowListOptionOnScreenOnly | platform::kWindowListExcludeDesktopElements;
// SLSCopyWindowsWithOptionsAndTags option that lists a space's windows.
constexpr std::uint32_t kSpaceWindowsOptions = 2;

// Windows this small are helpers (tool tips, drag images, slivers), not something a user
// would call "a window on this desktop". Strictly greater, so 80 × 60 itself is too small.
constexpr double kMinWindowWidth = 80;
constexpr double kMinWindowHeight = 60;

std::string stringOr(const Value* v, std::string fallback) {
  if (v) {
    if (const std::string* s = v->asString()) return *s;
  }
  return fallback;
}

std::optional<SkyLight::Space> parseSpace(const Value& entry, const std::string& displayUUID) {
  const Value* id64 = entry.find("id64");
  std::optional<std::uint64_t> id = id64 ? id64->asUInt64() : std::nullopt;
  if (!id) return std::nullopt;
  SkyLight::Space space;
  space.id = SpaceID(*id);
  const Value* managed = entry.find("ManagedSpaceID");
  std::optional<std::int64_t> managedID = managed ? managed->asInteger() : std::nullopt;
  // A space without a managed id keys its metadata by its own id, the best stable key left.
  space.managedID = ManagedID(managedID ? *managedID : static_cast<std::int64_t>(*id));
  const Value* type = entry.find("type");
  std::optional<std::int64_t> typeValue = type ? type->asInteger() : std::nullopt;
  space.type = typeValue.value_or(0);
  space.displayUUID = displayUUID;
  return space;
}

}  // namespace

std::vector<SkyLight::Display> SkyLight::parseDisplays(const Value& answer) {
  std::vector<Display> displays;
  const Value::Array* list = answer.asArray();
  if (!list) return displays;
  displays.reserve(list->size());
  for (const Value& entry : *list) {
    Display display;
    display.uuid = stringOr(entry.find("Display Identifier"), "");
    if (const Value* current = entry.find("Current Space")) {
      if (const Value* id64 = current->find("id64")) {
        display.currentSpaceID = SpaceID(id64->asUInt64().value_or(0));
      }
    }
    if (const Value* spaces = entry.find("Spaces")) {
      if (const Value::Array* items = spaces->asArray()) {
        display.spaces.reserve(items->size());
        for (const Value& item : *items) {
          if (auto space = parseSpace(item, display.uuid)) display.spaces.push_back(*space);
        }
      }
    }
    displays.push_back(std::move(display));
  }
  return displays;
}

std::optional<SkyLight::WindowInfo> SkyLight::parseWindow(const Value& entry) {
  const Value* number = entry.find(platform::kWindowNumber);
  std::optional<std::int64_t> id = number ? number->asInteger() : std::nullopt;
  if (!id) return std::nullopt;
  const Value* layer = entry.find(platform::kWindowLayer);
  if (!layer || layer->asInteger() != std::optional<std::int64_t>(0)) return std::nullopt;
  const Value* bounds = entry.find(platform::kWindowBounds);
  if (!bounds || !bounds->asDictionary()) return std::nullopt;
  const Value* width = bounds->find("Width");
  const Value* height = bounds->find("Height");
  std::optional<double> w = width ? width->asNumber() : std::nullopt;
  std::optional<double> h = height ? height->asNumber() : std::nullopt;
  if (!w || !h || !(*w > kMinWindowWidth) || !(*h > kMinWindowHeight)) return std::nullopt;
  const Value* owner = entry.find(platform::kWindowOwnerPID);
  std::optional<std::int32_t> pid = owner ? owner->asInt32() : std::nullopt;
  if (!pid) return std::nullopt;
  return WindowInfo{*id, *pid};
}

std::vector<SkyLight::WindowInfo> SkyLight::parseWindows(const Value& answer) {
  std::vector<WindowInfo> windows;
  const Value::Array* list = answer.asArray();
  if (!list) return windows;
  for (const Value& entry : *list) {
    if (auto window = parseWindow(entry)) windows.push_back(*window);
  }
  return windows;
}

platform::ConnectionID SkyLight::connection() {
  if (!connection_) connection_ = server_.mainConnectionID();
  return *connection_;
}

std::vector<SkyLight::Display> SkyLight::displays() {
  return parseDisplays(server_.copyManagedDisplaySpaces(connection()));
}

std::int32_t SkyLight::setCurrentSpace(const Space& space) {
  return server_.managedDisplaySetCurrentSpace(connection(), space.displayUUID, space.id.raw());
}

std::optional<std::string> SkyLight::activeMenuBarDisplay() {
  Value answer = server_.copyActiveMenuBarDisplayIdentifier(connection());
  if (const std::string* s = answer.asString()) return *s;
  return std::nullopt;
}

std::optional<std::string> SkyLight::spaceName(const Space& space) {
  Value answer = server_.spaceCopyName(connection(), space.id.raw());
  if (const std::string* s = answer.asString()) return *s;
  return std::nullopt;
}

std::vector<std::int64_t> SkyLight::windowIDs(SpaceID space) {
  std::uint64_t setTags = 0, clearTags = 0;
  Value answer =
      server_.copyWindowsWithOptionsAndTags(connection(), 0, Value::array({Value(space.raw())}),
                                            kSpaceWindowsOptions, setTags, clearTags);
  std::vector<std::int64_t> ids;
  if (const Value::Array* list = answer.asArray()) {
    ids.reserve(list->size());
    for (const Value& item : *list) {
      if (auto id = item.asInteger()) ids.push_back(*id);
    }
  }
  return ids;
}

std::vector<SkyLight::WindowInfo> SkyLight::windows() {
  return parseWindows(server_.windowListCopyWindowInfo(platform::kWindowListOptionAll, 0));
}

std::optional<std::int64_t> SkyLight::frontWindow(std::int32_t pid) {
  Value answer = server_.windowListCopyWindowInfo(kFrontWindowOptions, 0);
  const Value::Array* list = answer.asArray();
  if (!list) return std::nullopt;
  for (const Value& entry : *list) {
    auto window = parseWindow(entry);
    if (window && window->pid == pid) return window->id;
  }
  return std::nullopt;
}

void SkyLight::moveWindow(std::int64_t window, SpaceID space) {
  server_.moveWindowsToManagedSpace(connection(), Value::array({Value(window)}), space.raw());
}

std::optional<std::string> SkyLight::displayUUID(std::uint32_t displayNumber) {
  Value answer = screens_.displayUUIDString(displayNumber);
  if (const std::string* s = answer.asString()) return *s;
  return std::nullopt;
}

std::optional<platform::ScreenInfo> SkyLight::screen(const std::string& uuid) {
  for (const platform::ScreenInfo& screen : screens_.screens()) {
    const Value* number = screen.deviceDescription.find("NSScreenNumber");
    std::optional<std::int64_t> n = number ? number->asInteger() : std::nullopt;
    if (!n || *n < 0 || *n > static_cast<std::int64_t>(UINT32_MAX)) continue;
    if (displayUUID(static_cast<std::uint32_t>(*n)) == uuid) return screen;
  }
  return std::nullopt;
}

std::optional<platform::ScreenInfo> SkyLight::workingScreen() {
  if (auto active = activeMenuBarDisplay()) {
    if (auto found = screen(*active)) return found;
  }
  std::vector<platform::ScreenInfo> all = screens_.screens();
  if (all.empty()) return std::nullopt;
  return all.front();
}

}  // namespace velmora
