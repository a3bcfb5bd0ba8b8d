#include "settings_ui/settings_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "platform/key_codes.h"
#include "platform/keyboard_events.h"
#include "settings_ui/edit_space_view.h"
#include "settings_ui/window_chrome.h"

namespace velmora {
namespace {

using platform::CanvasPoint;
using platform::CanvasRect;
using platform::Color;
using platform::Path;

// A slider's value at `fraction` of its track, on its steps.
double sliderValue(const SettingsControl& c, double fraction) {
  double value = c.minimum + fraction * (c.maximum - c.minimum);
  if (c.step > 0) value = c.minimum + std::round((value - c.minimum) / c.step) * c.step;
  return std::clamp(value, c.minimum, c.maximum);
}

}  // namespace

SettingsWindowController::SettingsWindowController(SettingsActions& actions,
                                                   platform::Platform platform)
    : actions_(actions), platform_(platform) {
  view_.setSize({kSize.width, kSize.height - kTitleBarHeight});
  changed_ = actions_.changed().connect(lifetime_.guard([this] { refresh(); }));
  refresh();
}

SettingsWindowController::~SettingsWindowController() {
  removeKeyMonitor();
  if (panel_) panel_->orderOut();
}

void SettingsWindowController::show(std::optional<SettingsPage> page) {
  if (page && *page != actions_.page()) actions_.showPage(*page);
  refresh();
  if (!panel_) {
    platform::PanelConfig config;
    config.size = kSize;
    config.level = 0;
    config.interactive = true;
    config.hasShadow = true;
    config.name = std::string(kPanelName);
    panel_ = platform_.panels.makePanel(config);
    panel_->setContent(
        lifetime_.guard([this](platform::Canvas& canvas, Size drawn) { draw(canvas, drawn); }));
    panel_->setOnMouseDown(lifetime_.guard([this](CanvasPoint point) { mouseDown(point); }));
    // The wheel moves the page the way the fingers go: towards the top shows what is above.
    panel_->setOnScrollWheel(
        lifetime_.guard([this](CanvasPoint, double deltaY) { scrollBy(-deltaY); }));
  }
  if (!isOpen()) {
    // A window opened again comes back centred, as a settings window does.
    ScreenRect visible = ScreenRect::make(0, 0, kSize.width, kSize.height);
    if (auto screens = platform_.screens.screens(); !screens.empty()) {
      visible = screens.front().visibleFrame;
    }
    panel_->setFrame(ScreenRect::make(visible.midX() - kSize.width / 2,
                                      visible.midY() - kSize.height / 2, kSize.width, kSize.height),
                     true);
  }
  if (!keyMonitor_) {
    keyMonitor_ = platform_.localEvents.addLocalMonitor(
        platform::kNSEventMaskKeyDown,
        [this, alive = lifetime_.weak()](const platform::LocalKeyEvent& event) {
          return !alive.expired() && keyDown(event);
        });
  }
  panel_->setNeedsDisplay();
  panel_->makeKeyAndOrderFront();
}

void SettingsWindowController::close() {
  removeKeyMonitor();
  if (panel_) panel_->orderOut();
}

void SettingsWindowController::removeKeyMonitor() {
  if (!keyMonitor_) return;
  platform_.localEvents.removeMonitor(*keyMonitor_);
  keyMonitor_.reset();
}

void SettingsWindowController::refresh() {
  const SettingsPage shownBefore = view_.content().page;
  const bool hadContent = !view_.content().title.empty() || !view_.content().sections.empty();
  view_.setPages(actions_.pages());
  view_.setContent(actions_.content());
  if (hadContent && view_.content().page != shownBefore) {
    // A new page starts from the sidebar, so Tab walks it from its first control.
    view_.setFocus(std::string(SettingsView::kSidebarFocus));
  }
  EditSpaceView* editor = actions_.editor();
  if (editor != editor_) {
    editor_ = editor;
    nameField_.reset();
    emojiField_.reset();
    editorChanged_ = editor ? editor->changed().connect(lifetime_.guard([this] {
      updateEditorFields();
      if (panel_) panel_->setNeedsDisplay();
    }))
                            : Connection();
    view_.setFocus(std::string(SettingsView::kSidebarFocus));
  }
  view_.setEditor(editor_);
  updateEditorFields();
  if (panel_) panel_->setNeedsDisplay();
}

void SettingsWindowController::updateEditorFields() {
  if (!editor_ || !panel_) {
    nameField_.reset();
    emojiField_.reset();
    return;
  }
  editor_->setTextFieldsHosted(true);
  const EditSpaceView::Layout l = editor_->layout(view_.size().width - SettingsView::kSidebarWidth);
  auto place = [](const CanvasRect& r) {
    return CanvasRect{SettingsView::kSidebarWidth + r.x + 7, kTitleBarHeight + r.y, r.width - 14,
                      r.height};
  };
  if (!nameField_) {
    nameField_ = panel_->addTextField();
    nameField_->setStyle(EditSpaceView::textFieldStyle(editor_->header()));
    nameField_->setText(editor_->name());
    nameField_->setOnTextChanged(lifetime_.guard([this] {
      if (editor_ && nameField_) editor_->setName(nameField_->text());
    }));
    emojiField_ = panel_->addTextField();
    emojiField_->setStyle(EditSpaceView::textFieldStyle(EditSpaceView::kEmojiPlaceholder));
    emojiField_->setText(editor_->emoji());
    emojiField_->setOnTextChanged(lifetime_.guard([this] {
      if (editor_ && emojiField_) editor_->typeEmoji(emojiField_->text());
    }));
  }
  nameField_->setFrame(place(l.nameField));
  emojiField_->setFrame(place(l.emojiField));
  // What the form holds wins where the user is not typing: a reset, a change made elsewhere,
  // the emoji cut to two.
  if (!nameField_->isFocused() && nameField_->text() != editor_->name()) {
    nameField_->setText(editor_->name());
  }
  if (emojiField_->text() != editor_->emoji() && !emojiField_->isFocused()) {
    emojiField_->setText(editor_->emoji());
  }
  if (editor_->nameFocused() && !nameField_->isFocused()) nameField_->focus();
  if (editor_->emojiFocused() && !emojiField_->isFocused()) emojiField_->focus();
}

std::optional<ScreenRect> SettingsWindowController::toScreen(const CanvasRect& r) const {
  if (!isOpen()) return std::nullopt;
  const ScreenRect frame = panel_->frame();
  return ScreenRect::make(frame.minX() + r.x, frame.maxY() - kTitleBarHeight - r.y - r.height,
                          r.width, r.height);
}

std::optional<ScreenRect> SettingsWindowController::controlFrame(std::string_view id) const {
  std::optional<CanvasRect> r = view_.frameOf(id);
  return r ? toScreen(*r) : std::nullopt;
}

std::optional<ScreenRect> SettingsWindowController::pageFrame(SettingsPage page) const {
  std::optional<CanvasRect> r = view_.sidebarFrame(page);
  return r ? toScreen(*r) : std::nullopt;
}

std::optional<ScreenRect> SettingsWindowController::editorFrame(
    SettingsView::EditorPart part) const {
  if (!editor_) return std::nullopt;
  const EditSpaceView::Layout l = editor_->layout(view_.size().width - SettingsView::kSidebarWidth);
  using Part = SettingsView::EditorPart;
  CanvasRect r = part == Part::back    ? l.back
                 : part == Part::reset ? l.reset
                 : part == Part::name  ? l.nameField
                 : part == Part::emoji ? l.emojiField
                                       : l.done;
  if (r.width <= 0) return std::nullopt;
  r.x += SettingsView::kSidebarWidth;
  return toScreen(r);
}

void SettingsWindowController::scrollBy(double dy) {
  view_.setScrollOffset(view_.scrollOffset() + dy);
  if (panel_) panel_->setNeedsDisplay();
}

void SettingsWindowController::setFocus(std::string id) {
  view_.setFocus(std::move(id));
  view_.scrollFocusIntoView();
  if (panel_) panel_->setNeedsDisplay();
}

void SettingsWindowController::moveFocus(int by) {
  const std::vector<std::string> order = view_.focusOrder();
  const auto at = std::find(order.begin(), order.end(), view_.focus());
  const long n = static_cast<long>(order.size());
  const long from = at == order.end() ? 0 : at - order.begin();
  setFocus(order[static_cast<std::size_t>(((from + by) % n + n) % n)]);
}

// ---- Clicks --------------------------------------------------------------------------------

void SettingsWindowController::mouseDown(CanvasPoint point) {
  if (point.y < kTitleBarHeight) {
    if (WindowChrome::onCloseButton(point)) close();
    return;
  }
  const CanvasPoint inView{point.x, point.y - kTitleBarHeight};
  if (editor_ && inView.x >= SettingsView::kSidebarWidth) {
    // The editor may go away inside its own call: nothing of it is touched after.
    editor_->click({inView.x - SettingsView::kSidebarWidth, inView.y},
                   view_.size().width - SettingsView::kSidebarWidth);
    return;
  }
  std::optional<SettingsHit> hit = view_.hitTest(inView);
  if (!hit) return;
  if (hit->part == SettingsHit::Part::sidebar) {
    setFocus(std::string(SettingsView::kSidebarFocus));
    if (hit->page != actions_.page()) actions_.showPage(hit->page);
    return;
  }
  const SettingsControl* c = view_.control(hit->id);
  if (!c || !c->enabled) return;
  const std::string id = hit->id;
  setFocus(id);
  switch (hit->part) {
    case SettingsHit::Part::clear:
      actions_.clear(id);
      return;
    case SettingsHit::Part::segment:
      if (hit->segment != c->selected) actions_.choose(id, hit->segment);
      return;
    case SettingsHit::Part::slider:
      actions_.setNumber(id, sliderValue(*c, hit->fraction));
      return;
    default:
      break;
  }
  // The rest acts on a click as on Space: the control now has the focus.
  activate();
}

void SettingsWindowController::openMenu(const SettingsControl& control) {
  std::optional<ScreenRect> frame = controlFrame(control.id);
  if (!frame) return;
  platform::Menu menu;
  for (std::size_t i = 0; i < control.choices.size(); ++i) {
    platform::MenuItem item;
    item.title = control.choices[i];
    item.checked = static_cast<int>(i) == control.selected;
    item.target = platform::MenuTarget::delegate;
    item.representedObject = i;
    menu.items.push_back(std::move(item));
  }
  platform::MenuHandlers handlers;
  handlers.onAction = lifetime_.guard([this, id = control.id](const platform::MenuItem& chosen) {
    if (chosen.representedObject) actions_.choose(id, static_cast<int>(*chosen.representedObject));
  });
  // The menu opens over the button, its top-left at the button's.
  platform_.statusBar.popUpMenu(menu, {frame->minX(), frame->maxY()}, std::move(handlers));
}

// ---- Keys ----------------------------------------------------------------------------------

bool SettingsWindowController::recording() const {
  if (editor_ && editor_->recorder().recording()) return true;
  for (const SettingsSection& section : view_.content().sections) {
    for (const SettingsControl& c : section.controls) {
      if (c.kind == ControlKind::recorder && c.on) return true;
    }
  }
  return false;
}

bool SettingsWindowController::keyDown(const platform::LocalKeyEvent& event) {
  namespace keys = platform::keys;
  if (!panel_ || !panel_->isVisible() || !panel_->isKey()) return false;
  // A recorder takes the next keys as the shortcut itself, Escape and Tab included.
  if (recording()) return false;
  const bool command = (event.modifierFlags & platform::kEventFlagCommand) != 0;
  const bool shift = (event.modifierFlags & platform::kEventFlagShift) != 0;

  if (command) {
    if (event.keyCode == keys::kW) {
      close();
      return true;
    }
    const std::vector<SettingsPageEntry> pages = view_.pages();
    for (std::size_t i = 0; i < pages.size() && i < 8; ++i) {
      if (event.keyCode != keys::kDigits[i + 1]) continue;
      setFocus(std::string(SettingsView::kSidebarFocus));
      if (pages[i].page != actions_.page()) actions_.showPage(pages[i].page);
      return true;
    }
    return false;
  }
  if (event.keyCode == keys::kEscape) {
    if (editor_ && editor_->embedded()) {
      editor_->back();
    } else {
      close();
    }
    return true;
  }
  if (editor_) return false;  // the editor's form takes its own keys
  switch (event.keyCode) {
    case keys::kTab:
      moveFocus(shift ? -1 : 1);
      return true;
    case keys::kSpace:
    case keys::kReturn:
    case keys::kKeypadEnter:
      activate();
      return true;
    case keys::kLeftArrow:
      step(-1);
      return true;
    case keys::kRightArrow:
      step(1);
      return true;
    case keys::kUpArrow:
    case keys::kDownArrow: {
      if (view_.focus() != SettingsView::kSidebarFocus) return false;
      const std::vector<SettingsPageEntry> pages = view_.pages();
      auto at = std::find_if(pages.begin(), pages.end(),
                             [&](const SettingsPageEntry& e) { return e.page == actions_.page(); });
      if (at == pages.end()) return true;
      const long next = (at - pages.begin()) + (event.keyCode == keys::kUpArrow ? -1 : 1);
      if (next >= 0 && next < static_cast<long>(pages.size())) {
        actions_.showPage(pages[static_cast<std::size_t>(next)].page);
      }
      return true;
    }
    default:
      return false;
  }
}

void SettingsWindowController::activate() {
  const SettingsControl* c = view_.control(view_.focus());
  if (!c || !c->enabled) return;
  const std::string id = c->id;
  switch (c->kind) {
    case ControlKind::toggle:
      actions_.toggle(id);
      break;
    case ControlKind::picker:
      openMenu(*c);
      break;
    case ControlKind::button:
    case ControlKind::recorder:
    case ControlKind::desktop:
      actions_.press(id);
      break;
    default:
      break;
  }
}

void SettingsWindowController::step(int by) {
  const SettingsControl* c = view_.control(view_.focus());
  if (!c || !c->enabled) return;
  const std::string id = c->id;
  switch (c->kind) {
    case ControlKind::picker:
    case ControlKind::segmented: {
      const int count = static_cast<int>(c->choices.size());
      const int next = std::clamp(c->selected + by, 0, std::max(0, count - 1));
      if (count > 0 && next != c->selected) actions_.choose(id, next);
      break;
    }
    case ControlKind::slider: {
      const double step = c->step > 0 ? c->step : (c->maximum - c->minimum) / 10;
      const double next = std::clamp(c->number + by * step, c->minimum, c->maximum);
      if (next != c->number) actions_.setNumber(id, next);
      break;
    }
    default:
      break;
  }
}

// ---- Drawing -------------------------------------------------------------------------------

void SettingsWindowController::draw(platform::Canvas& canvas, Size size) const {
  platform::CanvasStateSaver saved(canvas);
  WindowChrome::draw(canvas, size, kTitle, true);
  canvas.translate(0, kTitleBarHeight);
  view_.draw(canvas);
}

}  // namespace velmora
