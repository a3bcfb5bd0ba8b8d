#include "mission_control/dock_badges.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cmath>
#include <utility>

#include "core/notifications.h"
#include "store/text.h"

namespace velmora {

namespace {

constexpr const char* kDockBundleIdentifier = "com.apple.dock";
constexpr float kDockTimeout = 0.5f;
constexpr const char* kBullet = "\u2022";

const std::string* stringOf(const platform::AXAttribute& answer) {
  const Value* data = answer.ok() ? answer.value.data() : nullptr;
  return data ? data->asString() : nullptr;
}

const std::vector<platform::AXElementRef>* childrenOf(platform::Accessibility& ax,
                                                      const platform::AXElementRef& element,
                                                      platform::AXAttribute& holder) {
  holder = ax.copyAttributeValue(element, "AXChildren");
  return holder.ok() ? holder.value.elements() : nullptr;
}

int fromHex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

double steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// ---- Badge texts ----

std::optional<std::string> normalizedBadge(std::string_view label) {
  std::string text = trimmedWhitespaceAndNewlines(label);
  if (text.empty()) return std::nullopt;
  if (parseDecimalInteger(text)) return text;
  return std::string(kBullet);
}

std::optional<std::string> desktopBadge(const std::vector<std::string>& badges) {
  long long sum = 0;
  bool any = false;
  bool onlyNumbers = true;
  for (const auto& badge : badges) {
    if (badge.empty()) continue;
    any = true;
    auto n = parseDecimalInteger(badge);
    if (!n) {
      onlyNumbers = false;
      continue;
    }
    // A sum past the 64-bit range is far past 99 all the same.
    if (__builtin_add_overflow(sum, *n, &sum)) sum = *n > 0 ? LLONG_MAX : LLONG_MIN;
  }
  if (!any) return std::nullopt;
  if (!onlyNumbers) return std::string(kBullet);
  if (sum > 99) return std::string("99+");
  return std::to_string(sum);
}

// ---- Paths ----

std::string standardizedPath(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t at = 0;
  while (at <= path.size()) {
    std::size_t slash = path.find('/', at);
    if (slash == std::string_view::npos) slash = path.size();
    std::string_view part = path.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string out;
  for (auto part : parts) {
    out += '/';
    out += part;
  }
  return out.empty() ? "/" : out;
}

std::optional<std::string> standardizedURLPath(std::string_view url) {
  std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  for (std::size_t i = 0; i < colon; ++i) {
    char c = url[i];
    bool ok = std::isalpha(static_cast<unsigned char>(c)) ||
              (i > 0 &&
               (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.'));
    if (!ok) return std::nullopt;
  }
  std::string_view rest = url.substr(colon + 1);
  if (rest.starts_with("//")) {
    std::size_t pathStart = rest.find('/', 2);
    rest = pathStart == std::string_view::npos ? std::string_view() : rest.substr(pathStart);
  }
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::string decoded;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size()) {
      int hi = fromHex(rest[i + 1]);
      int lo = fromHex(rest[i + 2]);
      if (hi >= 0 && lo >= 0) {
        decoded += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    decoded += rest[i];
  }
  if (decoded.empty()) return std::nullopt;
  return standardizedPath(decoded);
}

// ---- Reading the Dock (any thread) ----

DockBadgeRecords readDockBadges(platform::Accessibility& ax, std::optional<platform::pid_t> dock) {
  DockBadgeRecords records;
  if (!dock) return records;
  platform::AXElementRef app = ax.applicationElement(*dock);
  ax.setMessagingTimeout(app, kDockTimeout);

  platform::AXAttribute holder;
  platform::AXElementRef list;
  if (const auto* children = childrenOf(ax, app, holder)) {
    for (const auto& child : *children) {
      if (!child) continue;
      platform::AXAttribute answer = ax.copyAttributeValue(child, "AXRole");
      const std::string* role = stringOf(answer);
      if (role && *role == "AXList") {
        list = child;
        break;
      }
    }
  }
  if (!list) return records;

  platform::AXAttribute itemsHolder;
  const auto* items = childrenOf(ax, list, itemsHolder);
  if (!items) return records;
  for (const auto& item : *items) {
    if (!item) continue;
    platform::AXAttributes answer = ax.copyMultipleAttributeValues(
        item, {"AXIsApplicationRunning", "AXStatusLabel", "AXURL", "AXTitle"}, false);
    if (answer.error != platform::kAXErrorSuccess || answer.values.size() != 4) continue;
    const Value* running = answer.values[0].ok() ? answer.values[0].value.data() : nullptr;
    if (!running || running->asBool() != true) continue;
    const std::string* label = stringOf(answer.values[1]);
    std::optional<std::string> badge = label ? normalizedBadge(*label) : std::nullopt;
    if (!badge) continue;
    if (const std::string* url = stringOf(answer.values[2])) {
      if (auto path = standardizedURLPath(*url)) records.byPath[*path] = *badge;
    }
    if (const std::string* title = stringOf(answer.values[3])) records.byTitle[*title] = *badge;
  }
  return records;
}

// ---- DockBadges ----

DockBadges::DockBadges(const platform::Platform& platform, NotificationCenter& center,
                       Stopwatch stopwatch)
    : platform_(platform),
      center_(center),
      stopwatch_(stopwatch ? std::move(stopwatch) : Stopwatch(steadySeconds)),
      queue_(platform.workQueues.makeSerialQueue("app.velmora.badges")) {}

std::optional<std::string> DockBadges::badge(platform::pid_t pid) const {
  auto it = badges_.find(pid);
  if (it == badges_.end()) return std::nullopt;
  return it->second;
}

void DockBadges::requestRead() {
  if (reading_ || !platform_.accessibility.isProcessTrusted()) return;
  reading_ = true;
  // The running applications are the main thread's to ask; the worker gets the Dock's pid.
  std::optional<platform::pid_t> dock;
  for (const auto& app : platform_.workspace.runningApplications()) {
    if (app.bundleIdentifier == kDockBundleIdentifier) {
      dock = app.pid;
      break;
    }
  }
  auto done = lifetime_.guard(
      [this](const DockBadgeRecords& records, int milliseconds) { finish(records, milliseconds); });
  queue_->async([&ax = platform_.accessibility, &loop = platform_.loop, stopwatch = stopwatch_,
                 dock, done = std::move(done)]() mutable {
    double start = stopwatch();
    DockBadgeRecords records = readDockBadges(ax, dock);
    auto milliseconds = static_cast<int>(std::floor((stopwatch() - start) * 1000));
    loop.postFromAnyThread([done = std::move(done), records = std::move(records),
                            milliseconds]() mutable { done(records, milliseconds); });
  });
}

void DockBadges::finish(const DockBadgeRecords& records, int milliseconds) {
  reading_ = false;
  lastReadMilliseconds_ = std::max(0, milliseconds);
  lastRead_ = platform_.loop.wallNow();
  std::map<platform::pid_t, std::string> next = match(records);
  if (next == badges_) return;
  badges_ = std::move(next);
  center_.post(notifications::kBadgesDidChange);
}

std::map<platform::pid_t, std::string> DockBadges::match(const DockBadgeRecords& records) {
  std::map<platform::pid_t, std::string> result;
  if (records.byPath.empty() && records.byTitle.empty()) return result;
  for (const auto& app : platform_.workspace.runningApplications()) {
    if (app.activationPolicy != platform::ActivationPolicy::Regular) continue;
    if (app.bundlePath) {
      if (auto it = records.byPath.find(standardizedPath(*app.bundlePath));
          it != records.byPath.end()) {
        result[app.pid] = it->second;
        continue;
      }
    }
    if (app.localizedName) {
      if (auto it = records.byTitle.find(*app.localizedName); it != records.byTitle.end()) {
        result[app.pid] = it->second;
      }
    }
  }
  return result;
}

}  // namespace velmora
