#include "mission_control/dock_access.h"

#include <cmath>
#include <limits>
#include <utility>

namespace velmora {

namespace {

using platform::AXAttribute;
using platform::AXElementRef;

constexpr const char* kRootIdentifier = "mc";
constexpr const char* kDisplayIdentifier = "mc.display";
constexpr const char* kSpacesIdentifier = "mc.spaces";
constexpr const char* kListIdentifier = "mc.spaces.list";
// The desktop bar sits at most this many levels below its display element.
constexpr int kSpacesSearchDepth = 3;

const std::string* stringIn(const AXAttribute& answer) {
  const Value* data = answer.ok() ? answer.value.data() : nullptr;
  return data ? data->asString() : nullptr;
}

std::optional<double> finiteNumber(const Value::Dictionary& dict, std::string_view key) {
  auto it = dict.find(key);
  if (it == dict.end()) return std::nullopt;
  auto n = it->second.asNumber();
  if (!n || !std::isfinite(*n)) return std::nullopt;
  return n;
}

}  // namespace

DockAccess::DockAccess(platform::Platform platform, MissionControlHost host, LineLog& log,
                       std::function<bool()> trusted)
    : platform_(platform), host_(std::move(host)), log_(log), trusted_(std::move(trusted)) {}

DockAccess::~DockAccess() {
  dropObserver();
}

// ---- The process ----

void DockAccess::dropObserver() {
  if (!observer_) return;
  for (const char* name : kObservedNotifications) observer_->removeNotification(application_, name);
  observer_.reset();
}

platform::AXElementRef DockAccess::ensureApplication() {
  std::optional<std::int32_t> found;
  for (const auto& app : platform_.workspace.runningApplications()) {
    if (app.bundleIdentifier == host_.bundleIdentifier) {
      found = app.pid;
      break;
    }
  }
  if (!found) return nullptr;

  if (!application_ || pid_ != *found) {
    // First use, or the process was relaunched: the old observer and bars belong to a
    // process that is gone.
    dropObserver();
    cachedBars_.clear();
    pid_ = *found;
    application_ = platform_.accessibility.applicationElement(pid_);
    platform_.accessibility.setMessagingTimeout(application_, kMessagingTimeout);
  }

  if (!observer_ && pid_ != 0 && application_ && trusted_ && trusted_()) {
    auto created = platform_.accessibility.createObserver(
        pid_, lifetime_.guard([this](const AXElementRef&, const std::string& notification) {
          if (handler_) handler_(notification);
        }));
    if (created.error == platform::kAXErrorSuccess && created.observer) {
      std::string accepted;
      for (const char* name : kObservedNotifications) {
        if (created.observer->addNotification(application_, name) != platform::kAXErrorSuccess)
          continue;
        if (!accepted.empty()) accepted += ' ';
        accepted += name;
      }
      log_.write(host_.windowOwner + " observer installed for pid " + std::to_string(pid_) + ": " +
                 accepted);
      observer_ = std::move(created.observer);
    }
  }
  return application_;
}

void DockAccess::setHandler(std::function<void(const std::string& notification)> handler) {
  handler_ = std::move(handler);
  ensureApplication();
}

bool DockAccess::press(const Item& item) {
  ensureApplication();
  if (!item.element) return false;
  return platform_.accessibility.performAction(item.element, "AXPress") ==
         platform::kAXErrorSuccess;
}

// ---- The walk ----

std::vector<DockAccess::Row> DockAccess::rows() {
  AXElementRef root = ensureApplication();
  if (!root) {
    cachedBars_.clear();
    return {};
  }

  // While Mission Control stays open the lists stay the same elements: read only those.
  if (!cachedBars_.empty()) {
    std::vector<Row> fast;
    bool allRead = true;
    for (const auto& cached : cachedBars_) {
      auto row = readRow(cached.list, cached.displayID);
      if (!row) {
        allRead = false;
        break;
      }
      fast.push_back(std::move(*row));
    }
    if (allRead && !fast.empty()) return fast;
  }

  cachedBars_.clear();
  auto& ax = platform_.accessibility;
  auto identifierOf = [&](const AXElementRef& element) -> std::string {
    if (!element) return {};
    AXAttribute answer = ax.copyAttributeValue(element, "AXIdentifier");
    const std::string* id = stringIn(answer);
    return id ? *id : std::string();
  };
  auto childrenOf = [&](const AXElementRef& element) -> std::vector<AXElementRef> {
    if (!element) return {};
    AXAttribute answer = ax.copyAttributeValue(element, "AXChildren");
    const auto* children = answer.ok() ? answer.value.elements() : nullptr;
    return children ? *children : std::vector<AXElementRef>{};
  };
  auto firstChildWith = [&](const AXElementRef& element, std::string_view id) -> AXElementRef {
    for (const auto& child : childrenOf(element)) {
      if (child && identifierOf(child) == id) return child;
    }
    return nullptr;
  };
  auto displayIDOf = [&](const AXElementRef& element) -> std::optional<std::uint32_t> {
    if (!element) return std::nullopt;
    AXAttribute answer = ax.copyAttributeValue(element, "AXDisplayID");
    const Value* data = answer.ok() ? answer.value.data() : nullptr;
    auto n = data ? data->asUInt64() : std::nullopt;
    if (!n) return std::nullopt;
    return static_cast<std::uint32_t>(*n);
  };
  std::function<AXElementRef(const AXElementRef&, int)> searchSpaces =
      [&](const AXElementRef& element, int depth) -> AXElementRef {
    if (depth > kSpacesSearchDepth) return nullptr;
    for (const auto& child : childrenOf(element)) {
      if (!child) continue;
      if (identifierOf(child) == kSpacesIdentifier) return child;
      if (auto found = searchSpaces(child, depth + 1)) return found;
    }
    return nullptr;
  };
  auto spacesBelow = [&](const AXElementRef& element) -> AXElementRef {
    if (auto direct = firstChildWith(element, kSpacesIdentifier)) return direct;
    return searchSpaces(element, 1);
  };
  auto rowUnder = [&](const AXElementRef& element, std::uint32_t displayID) -> Row {
    AXElementRef spaces = spacesBelow(element);
    if (!spaces) return Row{displayID, std::nullopt, {}};
    AXElementRef list = firstChildWith(spaces, kListIdentifier);
    if (!list) list = spaces;
    cachedBars_.push_back({displayID, list});
    auto row = readRow(list, displayID);
    return row ? std::move(*row) : Row{displayID, std::nullopt, {}};
  };

  AXElementRef mc = firstChildWith(root, kRootIdentifier);
  if (!mc) mc = root;

  std::vector<AXElementRef> displays;
  for (const auto& child : childrenOf(mc)) {
    if (child && identifierOf(child) == kDisplayIdentifier) displays.push_back(child);
  }
  std::vector<Row> result;
  if (!displays.empty()) {
    std::optional<std::uint32_t> rootDisplay;
    bool rootDisplayRead = false;
    for (const auto& display : displays) {
      auto id = displayIDOf(display);
      if (!id) {
        if (!rootDisplayRead) {
          rootDisplay = displayIDOf(mc);
          rootDisplayRead = true;
        }
        id = rootDisplay ? rootDisplay : std::optional<std::uint32_t>(mainDisplayID());
      }
      result.push_back(rowUnder(display, *id));
    }
    return result;
  }

  // A single display's layout: the bar hangs directly below the root.
  if (identifierOf(mc) != kRootIdentifier) return {};
  auto id = displayIDOf(mc);
  result.push_back(rowUnder(mc, id ? *id : mainDisplayID()));
  return result;
}

std::optional<DockAccess::Row> DockAccess::readRow(const platform::AXElementRef& list,
                                                   std::uint32_t displayID) {
  if (!list) return std::nullopt;
  auto& ax = platform_.accessibility;
  AXAttribute childrenAnswer = ax.copyAttributeValue(list, "AXChildren");
  const auto* children = childrenAnswer.ok() ? childrenAnswer.value.elements() : nullptr;
  if (!children) return std::nullopt;

  Row row;
  row.displayID = displayID;
  platform::AXAttributes geometry =
      ax.copyMultipleAttributeValues(list, {"AXPosition", "AXSize"}, false);
  if (geometry.error == platform::kAXErrorSuccess && geometry.values.size() == 2) {
    row.bar = frameFrom(geometry.values[0], geometry.values[1]);
  }
  row.items = readItems(*children, row.bar);
  return row;
}

std::vector<DockAccess::Item> DockAccess::readItems(
    const std::vector<platform::AXElementRef>& children, const std::optional<AXRect>& bar) {
  std::vector<Item> items;
  for (const auto& child : children) {
    if (!child) continue;
    platform::AXAttributes answer = platform_.accessibility.copyMultipleAttributeValues(
        child, {"AXRole", "AXDescription", "AXTitle", "AXPosition", "AXSize"}, false);
    if (answer.error != platform::kAXErrorSuccess || answer.values.size() != 5) continue;
    const std::string* role = stringIn(answer.values[0]);
    // The add-desktop control and full-screen tiles are not buttons.
    if (!role || *role != "AXButton") continue;
    auto frame = frameFrom(answer.values[3], answer.values[4]);
    if (!frame) continue;
    const std::string* description = stringIn(answer.values[1]);
    const std::string* title = stringIn(answer.values[2]);
    Item item;
    item.element = child;
    item.description = description ? *description : title ? *title : std::string();
    item.frame = *frame;
    if (host_.usesWindowManager) {
      std::string label = title ? *title : item.description;
      item.frame = windowManagerFrame(*frame, bar, labelWidth(label));
    }
    items.push_back(std::move(item));
  }
  return items;
}

// ---- Measuring ----

double DockAccess::measure(std::string_view text) {
  if (!measuring_) measuring_ = platform_.canvases.makeCanvas({1, 1}, 1);
  if (!measuring_) return 0;
  return measuring_->measureText(text, platform::Font::system(kLabelFontSize)).width;
}

double DockAccess::labelWidth(const std::string& text) {
  return std::ceil(measure(text)) + host_.labelPadding;
}

double DockAccess::systemLabelWidth(int number) {
  return labelWidth("Desktop " + std::to_string(number));
}

std::uint32_t DockAccess::mainDisplayID() {
  auto screens = platform_.screens.screens();
  if (screens.empty()) return 0;
  const Value* number = screens.front().deviceDescription.find("NSScreenNumber");
  auto n = number ? number->asUInt64() : std::nullopt;
  return n ? static_cast<std::uint32_t>(*n) : 0;
}

// ---- Pure parsing ----

std::optional<int> DockAccess::trailingNumber(std::string_view description) {
  std::size_t start = description.size();
  while (start > 0 && description[start - 1] >= '0' && description[start - 1] <= '9') --start;
  if (start == description.size()) return std::nullopt;
  long long value = 0;
  for (std::size_t i = start; i < description.size(); ++i) {
    value = value * 10 + (description[i] - '0');
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
  }
  return static_cast<int>(value);
}

std::optional<AXRect> DockAccess::frameFrom(const platform::AXAttribute& position,
                                            const platform::AXAttribute& size) {
  const Value* p = position.ok() ? position.value.data() : nullptr;
  const Value* s = size.ok() ? size.value.data() : nullptr;
  const auto* point = p ? p->asDictionary() : nullptr;
  const auto* extent = s ? s->asDictionary() : nullptr;
  if (!point || !extent) return std::nullopt;
  // A point value has exactly X and Y, a size value Width and Height; a rect is neither.
  if (point->contains("Width") || extent->contains("X")) return std::nullopt;
  auto x = finiteNumber(*point, "X");
  auto y = finiteNumber(*point, "Y");
  auto w = finiteNumber(*extent, "Width");
  auto h = finiteNumber(*extent, "Height");
  if (!x || !y || !w || !h) return std::nullopt;
  return AXRect::make(*x, *y, *w, *h);
}

AXRect DockAccess::windowManagerFrame(const AXRect& reported, const std::optional<AXRect>& bar,
                                      double labelWidth) {
  AXRect centred = AXRect::make(reported.origin.x - reported.size.width / 2,
                                reported.origin.y - reported.size.height / 2, reported.size.width,
                                reported.size.height);
  if (bar && centred.minY() >= bar->minY() - 0.5) {
    return AXRect::make(centred.minX() + kInsetLeft, centred.minY() + kInsetTop,
                        centred.size.width - kInsetLeft - kInsetRight,
                        centred.size.height - kInsetTop - kInsetBottom);
  }
  // A name label above the previews: a label-sized box resting just above the button's
  // bottom edge.
  double bottom = centred.maxY() - kLabelGap;
  return AXRect::make(reported.origin.x - labelWidth / 2, bottom - kLabelHeight, labelWidth,
                      kLabelHeight);
}

}  // namespace velmora
