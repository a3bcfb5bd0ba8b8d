#include "platform/sim/virtual_mission_control.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velmora::sim {

namespace {

// The collapsed bar's labels sit this far above the bar as reported, and this far into it
// as drawn.
constexpr double kLabelDrawnInset = 8.5;
constexpr double kLabelReportedRise = 40 - kLabelDrawnInset;
constexpr double kLabelGap = 12;
constexpr double kThumbnailTop = 10;
constexpr double kThumbnailGap = 24;
constexpr double kAddRoom = 64;  // kept free at each end of the expanded row
// The bar grows from this share of its size while it opens.
constexpr double kOpeningScale = 0.9;

// macOS 27's window manager reports a thumbnail button as the thumbnail plus this margin.
constexpr double kMarginSide = 12.5;
constexpr double kMarginTop = 10.5;
constexpr double kMarginBottom = 20.5;

double easeOut(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return 1 - (1 - t) * (1 - t) * (1 - t);
}

double lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

AXRect lerp(const AXRect& a, const AXRect& b, double t) {
  return AXRect::make(lerp(a.minX(), b.minX(), t), lerp(a.minY(), b.minY(), t),
                      lerp(a.size.width, b.size.width, t), lerp(a.size.height, b.size.height, t));
}

// Scales a rectangle about the point (cx, top), as the bar does while it opens.
AXRect scaled(const AXRect& r, double cx, double top, double s) {
  return AXRect::make(cx + (r.minX() - cx) * s, top + (r.minY() - top) * s, r.size.width * s,
                      r.size.height * s);
}

Value point(double x, double y) {
  return Value::dictionary({{"X", x}, {"Y", y}});
}

Value size(double w, double h) {
  return Value::dictionary({{"Width", w}, {"Height", h}});
}

}  // namespace

VirtualMissionControl::VirtualMissionControl(Machine& machine,
                                             std::function<double(const std::string&)> measure)
    : machine_(machine), measure_(std::move(measure)) {
  layoutWatch_ =
      machine_.observeMenuBarMayMove(lifetime_.guard([this] { layoutMayHaveChanged(); }));
}

VirtualMissionControl::~VirtualMissionControl() = default;

bool VirtualMissionControl::hostedByWindowManager() const {
  return machine_.systemMajorVersion >= 27 && windowManagerPID_ &&
         machine_.isRunning(*windowManagerPID_);
}

pid_t VirtualMissionControl::hostPID() const {
  return hostedByWindowManager() ? *windowManagerPID_ : dockPID_;
}

// ---- Opening and closing ----

void VirtualMissionControl::open() {
  if (open_ || machine_.displays.empty()) return;
  open_ = true;
  openedAt_ = machine_.loop().now();
  states_.clear();
  build();
  startTicking();
}

void VirtualMissionControl::close() {
  if (!open_) return;
  tearDown(true);
}

void VirtualMissionControl::hostEnded() {
  if (!open_) return;
  tearDown(false);
}

void VirtualMissionControl::tearDown(bool post) {
  open_ = false;
  ticker_.reset();
  states_.clear();
  removeWindows();
  if (root_) {
    SimAXNodePtr gone = root_;
    machine_.ax().edit([&] {
      if (auto parent = gone->parent.lock()) parent->remove(gone.get());
    });
    // The removed node still knows its parent, so observers of the application hear it.
    if (post) machine_.ax().post(gone, "AXUIElementDestroyed");
  }
  root_.reset();
  nodes_.clear();
}

// ---- What the user does ----

bool VirtualMissionControl::pressSpace(std::uint64_t spaceID) {
  if (!open_ || !machine_.findSpace(spaceID)) return false;
  close();
  if (onSwitch_) onSwitch_(spaceID);
  return true;
}

void VirtualMissionControl::pointerMoved(ScreenPoint at) {
  if (!open_) return;
  AXPoint p = toAX(at, machine_.mainDisplayHeight());
  double now = machine_.loop().now();
  for (const SimDisplay& d : machine_.displays) {
    AXRect frame = machine_.axFrame(d);
    if (!frame.contains(p)) continue;
    DisplayState& s = state(d.uuid);
    auto nodes = std::find_if(nodes_.begin(), nodes_.end(),
                              [&](const DisplayNodes& n) { return n.uuid == d.uuid; });
    if (!s.expandStart && p.y < frame.minY() + kCollapsedHeight) {
      s.expandStart = now;
      if (nodes != nodes_.end()) {
        machine_.ax().post(nodes->list, "AXSelectedChildrenChanged");
        machine_.ax().post(nodes->list, "AXFocusedUIElementChanged");
      }
      startTicking();
      continue;
    }
    if (!s.expandStart) continue;
    std::optional<std::uint64_t> hovered = hitTest(p).space;
    if (hovered == s.hovered) continue;
    s.hovered = hovered;
    if (!hovered || nodes == nodes_.end()) continue;
    auto index = std::find(nodes->spaces.begin(), nodes->spaces.end(), *hovered);
    if (index == nodes->spaces.end()) continue;
    const SimAXNodePtr& item =
        nodes->items[static_cast<std::size_t>(index - nodes->spaces.begin())];
    machine_.ax().post(item, "AXSelectedChildrenChanged");
    machine_.ax().post(item, "AXFocusedUIElementChanged");
  }
}

bool VirtualMissionControl::click(ScreenPoint at) {
  if (!open_) return false;
  Hit hit = hitTest(toAX(at, machine_.mainDisplayHeight()));
  if (hit.space) {
    pressSpace(*hit.space);
  } else if (!hit.inBar) {
    close();
  }
  return true;
}

VirtualMissionControl::Hit VirtualMissionControl::hitTest(AXPoint p) const {
  Hit hit;
  for (const Bar& bar : bars()) {
    for (const Item& item : bar.items) {
      if (item.drawn.contains(p)) return Hit{item.spaceID, true};
    }
    if (bar.frame.contains(p)) hit.inBar = true;
  }
  return hit;
}

// ---- Geometry ----

double VirtualMissionControl::progress(std::optional<double> start, double now) const {
  if (!start) return 0;
  if (animation_ <= 0) return 1;
  return easeOut((now - *start) / animation_);
}

VirtualMissionControl::DisplayState& VirtualMissionControl::state(const std::string& uuid) {
  for (auto& [id, s] : states_) {
    if (id == uuid) return s;
  }
  states_.emplace_back(uuid, DisplayState{});
  return states_.back().second;
}

bool VirtualMissionControl::expanded(const std::string& displayUUID) const {
  for (const auto& [id, s] : states_) {
    if (id == displayUUID) return s.expandStart.has_value();
  }
  return false;
}

bool VirtualMissionControl::moving() const {
  if (!open_) return false;
  double now = machine_.loop().now();
  if (progress(openedAt_, now) < 1) return true;
  return std::any_of(states_.begin(), states_.end(), [&](const auto& entry) {
    return entry.second.expandStart && progress(entry.second.expandStart, now) < 1;
  });
}

std::vector<VirtualMissionControl::Bar> VirtualMissionControl::bars() const {
  std::vector<Bar> answer;
  if (!open_) return answer;
  double now = machine_.loop().now();
  for (const SimDisplay& d : machine_.displays) answer.push_back(barOf(d, now));
  return answer;
}

VirtualMissionControl::Bar VirtualMissionControl::barOf(const SimDisplay& d, double now) const {
  Bar bar;
  bar.displayUUID = d.uuid;
  bar.displayNumber = d.displayNumber;
  AXRect frame = machine_.axFrame(d);
  const double x0 = frame.minX(), top = frame.minY(), W = frame.size.width;
  const double H = frame.size.height;
  std::optional<double> expandStart;
  for (const auto& [id, s] : states_) {
    if (id == d.uuid) expandStart = s.expandStart;
  }
  const double e = progress(expandStart, now);
  bar.expansion = e;
  const double opening = progress(openedAt_, now);
  const double scale = lerp(kOpeningScale, 1, opening);
  const double cx = x0 + W / 2;
  const bool os27 = machine_.systemMajorVersion >= 27;

  // Titles: desktops numbered on this display alone, full-screen tiles by their application.
  int number = 0;
  for (const SimSpace& s : d.spaces) {
    Item item;
    item.spaceID = s.id;
    item.desktop = s.type != kSpaceTypeFullScreen;
    if (item.desktop) {
      item.title = "Desktop " + std::to_string(++number);
    } else {
      const SimApp* app = s.fullScreenOwner ? machine_.findApp(*s.fullScreenOwner) : nullptr;
      item.title = app && app->name ? *app->name : "Full Screen";
    }
    bar.items.push_back(std::move(item));
  }
  const std::size_t n = bar.items.size();

  // Collapsed: a centred row of name labels.
  const double padding = os27 ? 24 : 20;
  std::vector<double> widths;
  double labelsWidth = 0;
  for (const Item& item : bar.items) {
    widths.push_back(std::ceil(measure_ ? measure_(item.title) : 0) + padding);
    labelsWidth += widths.back();
  }
  if (n > 1) labelsWidth += kLabelGap * static_cast<double>(n - 1);

  // Expanded: thumbnails of the display's shape, shrunk to fit when there are many.
  double th = std::clamp(H * 0.1, 96.0, 112.0);
  double tw = th * W / std::max(H, 1.0);
  double gap = kThumbnailGap;
  double rowWidth = n * tw + (n > 1 ? (n - 1) * gap : 0);
  double room = std::max(W - 2 * kAddRoom, 1.0);
  if (rowWidth > room) {
    double k = room / rowWidth;
    tw *= k;
    th *= k;
    gap *= k;
    rowWidth = room;
  }

  double labelX = x0 + (W - labelsWidth) / 2;
  double thumbX = x0 + (W - rowWidth) / 2;
  for (std::size_t i = 0; i < n; ++i) {
    Item& item = bar.items[i];
    AXRect labelDrawn = AXRect::make(labelX, top + kLabelDrawnInset, widths[i], kLabelHeight);
    AXRect labelReported = AXRect::make(labelX, top - kLabelReportedRise, widths[i], kLabelHeight);
    AXRect thumb = AXRect::make(thumbX, top + kThumbnailTop, tw, th);
    labelX += widths[i] + kLabelGap;
    thumbX += tw + gap;
    item.drawn = scaled(lerp(labelDrawn, thumb, e), cx, top, scale);
    item.reported = scaled(e > 0 ? lerp(labelReported, thumb, e) : labelReported, cx, top, scale);
  }
  AXRect addCollapsed = AXRect::make(x0 + W - 40, top + 8, 24, 24);
  AXRect addExpanded = AXRect::make(x0 + W - 54, top + kThumbnailTop + (th - 40) / 2, 40, 40);
  bar.addControl = scaled(lerp(addCollapsed, addExpanded, e), cx, top, scale);
  bar.frame =
      scaled(AXRect::make(x0, top, W, lerp(kCollapsedHeight, kExpandedHeight, e)), cx, top, scale);
  return bar;
}

// macOS 27 reports a button by its centre: a thumbnail with a margin around it, a name label
// as a box one point taller than the label below it.
Value VirtualMissionControl::axPosition(const Item& item) const {
  const AXRect& r = item.reported;
  if (machine_.systemMajorVersion < 27) return point(r.minX(), r.minY());
  if (r.size.height > kLabelHeight + 0.5) {
    return point(r.midX(),
                 r.minY() - kMarginTop + (r.size.height + kMarginTop + kMarginBottom) / 2);
  }
  return point(r.midX(), r.maxY() + 1 - (kLabelHeight + 2) / 2);
}

Value VirtualMissionControl::axSize(const Item& item) const {
  const AXRect& r = item.reported;
  if (machine_.systemMajorVersion < 27) return size(r.size.width, r.size.height);
  if (r.size.height > kLabelHeight + 0.5) {
    return size(r.size.width + 2 * kMarginSide, r.size.height + kMarginTop + kMarginBottom);
  }
  return size(r.size.width, kLabelHeight + 2);
}

// ---- Windows and tree ----

void VirtualMissionControl::build() {
  // The structure each display's nodes must have now.
  std::vector<std::pair<std::string, std::vector<std::uint64_t>>> wanted;
  for (const SimDisplay& d : machine_.displays) {
    std::vector<std::uint64_t> ids;
    for (const SimSpace& s : d.spaces) ids.push_back(s.id);
    wanted.emplace_back(d.uuid, std::move(ids));
  }
  bool same = root_ && treePID_ == hostPID() && nodes_.size() == wanted.size();
  for (std::size_t i = 0; same && i < wanted.size(); ++i) {
    same = nodes_[i].uuid == wanted[i].first && nodes_[i].spaces == wanted[i].second;
  }
  // One screen-sized window per display, at Mission Control's layer; kept while the
  // displays stay as they are.
  bool windowsFit = windows_.size() == machine_.displays.size();
  for (std::size_t i = 0; windowsFit && i < windows_.size(); ++i) {
    const SimWindow* w = machine_.findWindow(windows_[i]);
    windowsFit = w && w->owner == hostPID() && w->bounds == machine_.axFrame(machine_.displays[i]);
  }
  if (!windowsFit) placeWindows();
  if (same) {
    updateTree();
    return;
  }

  AXTree& ax = machine_.ax();
  if (root_) {
    SimAXNodePtr gone = root_;
    ax.edit([&] {
      if (auto parent = gone->parent.lock()) parent->remove(gone.get());
    });
    ax.post(gone, "AXUIElementDestroyed");
  }
  pid_t pid = hostPID();
  treePID_ = pid;
  const SimApp* app = machine_.findApp(pid);
  SimAXNodePtr application = ax.addApplication(pid, app ? app->name : std::nullopt);
  auto group = [pid](const char* identifier) {
    auto node = SimAXNode::make(pid, "AXGroup");
    node->attributes.emplace("AXIdentifier", Value(identifier));
    return node;
  };
  root_ = group("mc");
  root_->attributes.emplace(
      "AXDisplayID", Value(static_cast<std::int64_t>(machine_.displays.front().displayNumber)));
  nodes_.clear();
  std::vector<Bar> current = bars();
  for (std::size_t i = 0; i < current.size(); ++i) {
    const Bar& bar = current[i];
    DisplayNodes n;
    n.uuid = bar.displayUUID;
    n.spaces = wanted[i].second;
    n.display = group("mc.display");
    n.display->attributes.emplace("AXDisplayID",
                                  Value(static_cast<std::int64_t>(bar.displayNumber)));
    n.spaces_ = group("mc.spaces");
    n.list = group("mc.spaces.list");
    for (const Item& item : bar.items) {
      SimAXNodePtr node;
      if (item.desktop) {
        node = SimAXNode::make(pid, "AXButton");
        node->attributes.emplace("AXDescription", Value(item.title));
        node->attributes.emplace("AXTitle", Value(item.title));
        node->actions.emplace("AXPress",
                              lifetime_.guard([this, id = item.spaceID] { pressSpace(id); }));
      } else {
        node = SimAXNode::make(pid, "AXGroup");
        node->attributes.emplace("AXTitle", Value(item.title));
      }
      n.list->append(node);
      n.items.push_back(std::move(node));
    }
    n.add = SimAXNode::make(pid, "AXGroup");
    n.add->attributes.emplace("AXDescription", Value("add desktop"));
    n.list->append(n.add);
    n.spaces_->append(n.list);
    n.display->append(n.spaces_);
    root_->append(n.display);
    nodes_.push_back(std::move(n));
  }
  ax.edit([&] { application->append(root_); });
  updateTree();
  ax.post(root_, "AXCreated");
}

void VirtualMissionControl::placeWindows() {
  removeWindows();
  for (const SimDisplay& d : machine_.displays) {
    SimWindow w;
    w.number = machine_.takeWindowNumber();
    w.owner = hostPID();
    w.layer = layer();
    w.bounds = machine_.axFrame(d);
    windows_.push_back(w.number);
    machine_.insertWindow(std::move(w));
  }
}

void VirtualMissionControl::removeWindows() {
  std::erase_if(machine_.windows, [&](const SimWindow& w) {
    return std::find(windows_.begin(), windows_.end(), w.number) != windows_.end();
  });
  windows_.clear();
}

void VirtualMissionControl::updateTree() {
  if (!root_) return;
  std::vector<Bar> current = bars();
  machine_.ax().edit([&] {
    for (std::size_t i = 0; i < current.size() && i < nodes_.size(); ++i) {
      const Bar& bar = current[i];
      DisplayNodes& n = nodes_[i];
      for (const SimAXNodePtr& node : {n.spaces_, n.list}) {
        node->attributes.insert_or_assign("AXPosition", point(bar.frame.minX(), bar.frame.minY()));
        node->attributes.insert_or_assign("AXSize",
                                          size(bar.frame.size.width, bar.frame.size.height));
      }
      for (std::size_t j = 0; j < bar.items.size() && j < n.items.size(); ++j) {
        n.items[j]->attributes.insert_or_assign("AXPosition", axPosition(bar.items[j]));
        n.items[j]->attributes.insert_or_assign("AXSize", axSize(bar.items[j]));
      }
      const AXRect& add = bar.addControl;
      n.add->attributes.insert_or_assign("AXPosition", point(add.minX(), add.minY()));
      n.add->attributes.insert_or_assign("AXSize", size(add.size.width, add.size.height));
    }
  });
  ++treeUpdates_;
}

void VirtualMissionControl::startTicking() {
  if (ticker_ || !moving()) return;
  ticker_ = machine_.loop().repeating(kFrameInterval, 0, lifetime_.guard([this] { tick(); }));
}

void VirtualMissionControl::tick() {
  updateTree();
  // The last frame written is the settled one.
  if (!moving()) ticker_.reset();
}

void VirtualMissionControl::layoutMayHaveChanged() {
  if (!open_ || refreshQueued_) return;
  refreshQueued_ = true;
  machine_.loop().post(lifetime_.guard([this] {
    refreshQueued_ = false;
    if (open_) build();
  }));
}

}  // namespace velmora::sim
