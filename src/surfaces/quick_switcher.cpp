#include "surfaces/quick_switcher.h"

#include "core/notifications.h"
#include "platform/key_codes.h"
#include "surfaces/floating_panel.h"

namespace velmora {

namespace {

constexpr std::uint64_t kCommandKeys =
    platform::kEventFlagControl | platform::kEventFlagOption | platform::kEventFlagCommand;

// The desktop number whose digit key this is (10 for the 0 key); none for any other key.
std::optional<int> desktopNumberOfKey(std::uint16_t keyCode) {
  for (int number = 1; number <= 10; ++number) {
    if (platform::keys::digitForDesktop(number) == keyCode) return number;
  }
  return std::nullopt;
}

}  // namespace

QuickSwitcher::QuickSwitcher(SwitcherServices services)
    : s_(std::move(services)),
      model_([&presentation = s_.presentation](const Desktop& d) { return presentation.title(d); }),
      list_(model_, {s_.presentation, s_.keyNames, s_.platform.appIcons, s_.platform.canvases}),
      panel_(FloatingPanel::make(s_.platform.panels,
                                 {.size = kPanelSize,
                                  .level = kPanelLevel,
                                  .interactive = true,
                                  .hasShadow = true,
                                  .collectionBehavior = kCollection,
                                  .animation = platform::WindowAnimation::utilityWindow,
                                  .name = kPanelName})),
      field_(panel_->addTextField()) {
  field_->setFrame(SwitcherList::fieldFrame());
  field_->setStyle({platform::Font::system(19), platform::Color::white(), kPlaceholder,
                    platform::Color::white(0.35)});
  field_->setOnTextChanged(lifetime_.guard([this] { textChanged(); }));

  model_.setOnActivate(lifetime_.guard([this](const Desktop& d) { activate(d); }));
  model_.setHoverAllowed([this] { return s_.platform.loop.now() - openedAt_ > kHoverDelay; });
  modelChanged_ = model_.changed().connect([this] { panel_->setNeedsDisplay(); });

  panel_->setContent([this](platform::Canvas& canvas, Size size) { list_.draw(canvas, size); });
  // Clicking elsewhere takes key status away: the switcher is done.
  panel_->setOnResignKey(lifetime_.guard([this] {
    if (panel_->isVisible()) close();
  }));
  panel_->setOnPointerMoved(lifetime_.guard([this](platform::CanvasPoint at) {
    if (auto row = list_.rowAt(at)) model_.hover(*row);
  }));
  panel_->setOnMouseDown(lifetime_.guard([this](platform::CanvasPoint at) {
    auto row = list_.rowAt(at);
    if (row && *row < model_.rows().size()) model_.activate(model_.rows()[*row]);
  }));
  // The desktop changed behind a switcher the user has left: it no longer describes where
  // they are.
  spaceChanged_ = s_.center.observe(notifications::kActiveSpaceDidChange, [this] {
    if (panel_->isVisible() && !panel_->isKey()) close();
  });
}

QuickSwitcher::~QuickSwitcher() {
  removeKeyMonitor();
  panel_->orderOut();
}

void QuickSwitcher::open() {
  SpaceEngine& engine = s_.engine;
  engine.refresh(false);
  engine.refreshApps(true);

  SwitcherModel::AppsMap apps;
  for (const Desktop& d : engine.desktops()) apps[d.id()] = engine.apps(d);
  std::optional<SpaceID> current, last;
  if (auto d = engine.currentDesktop()) current = d->id();
  if (auto d = engine.lastDesktop()) last = d->id();
  model_.load(engine.desktops(), std::move(apps), current, last);
  list_.forgetRendered();
  model_.update("");
  field_->setText("");
  openedAt_ = s_.platform.loop.now();

  std::optional<platform::ScreenInfo> screen = s_.engine.skyLight().workingScreen();
  if (!screen) return;
  area_ = screen->visibleFrame;
  layout();
  panel_->makeKeyAndOrderFront();
  field_->focus();

  removeKeyMonitor();
  keyMonitor_ = s_.platform.localEvents.addLocalMonitor(
      platform::kNSEventMaskKeyDown,
      [this, alive = lifetime_.weak()](const platform::LocalKeyEvent& event) {
        return !alive.expired() && keyDown(event);
      });
}

void QuickSwitcher::close() {
  removeKeyMonitor();
  panel_->orderOut();
}

void QuickSwitcher::toggle() {
  if (isVisible()) {
    close();
  } else {
    open();
  }
}

void QuickSwitcher::removeKeyMonitor() {
  if (!keyMonitor_) return;
  s_.platform.localEvents.removeMonitor(*keyMonitor_);
  keyMonitor_.reset();
}

bool QuickSwitcher::keyDown(const platform::LocalKeyEvent& event) {
  namespace keys = platform::keys;
  if (!panel_->isVisible()) return false;
  switch (event.keyCode) {
    case keys::kReturn:
    case keys::kKeypadEnter:
      if (auto row = model_.selectedRow()) {
        model_.activate(*row);
      } else {
        close();
      }
      return true;
    case keys::kTab:
      if (auto back = s_.engine.lastDesktop()) model_.activate(*back);
      return true;
    case keys::kEscape:
      close();
      return true;
    case keys::kDownArrow:
      model_.move(1);
      return true;
    case keys::kUpArrow:
      model_.move(-1);
      return true;
    default:
      break;
  }
  // A digit goes to its desktop only while nothing is typed; after a letter it is part of the
  // query ("a2").
  if (!field_->text().empty() || (event.modifierFlags & kCommandKeys) != 0) return false;
  std::optional<int> number = desktopNumberOfKey(event.keyCode);
  if (!number) return false;
  if (auto desktop = model_.desktopWithNumber(*number)) model_.activate(*desktop);
  return true;
}

void QuickSwitcher::textChanged() {
  model_.update(field_->text());
  layout();
}

void QuickSwitcher::activate(const Desktop& desktop) {
  std::optional<SpaceApp> app = model_.openingApp(desktop);
  close();
  if (app) {
    s_.engine.open(*app, desktop, kReason);
  } else {
    s_.engine.switchTo(desktop, kReason);
  }
}

void QuickSwitcher::layout() {
  const double height = SwitcherList::height(model_.rows().size());
  panel_->setFrame(ScreenRect::make(area_.midX() - kPanelSize.width / 2,
                                    area_.midY() - height / 2 + kRaise * area_.size.height,
                                    kPanelSize.width, height),
                   true);
  panel_->setNeedsDisplay();
}

}  // namespace velmora
