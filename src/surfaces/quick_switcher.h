#pragma once
// The quick switcher: a search panel above the centre of the main screen over every desktop
// and its applications. Typing narrows the rows; arrows move the highlight; Return goes there
// (bringing forward the application a row was found through); Tab jumps back; a digit with
// nothing typed goes straight to that desktop; Escape, a click elsewhere or a desktop change
// behind it closes it.
//
// While it shows, a local key monitor sees every key-down before the search field does and
// keeps the keys that steer the list; the rest type into the field.

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "core/main_loop.h"
#include "core/notification_center.h"
#include "platform/platform.h"
#include "spaces/presentation.h"
#include "spaces/space_engine.h"
#include "store/hotkey.h"
#include "surfaces/switcher_list.h"
#include "switching/switcher_model.h"

namespace velmora {

struct SwitcherServices {
  platform::Platform platform;
  NotificationCenter& center;
  SpaceEngine& engine;
  const DesktopPresentation& presentation;
  const KeyNames& keyNames;
};

class QuickSwitcher {
 public:
  static constexpr Size kPanelSize{460, 300};
  static constexpr int kPanelLevel = 101;  // the pop-up menu level
  static constexpr std::uint64_t kCollection = platform::kCollectionMoveToActiveSpace |
                                               platform::kCollectionTransient |
                                               platform::kCollectionFullScreenAuxiliary;
  static constexpr const char* kPanelName = "quick switcher";
  static constexpr const char* kPlaceholder = "Jump to a space…";
  static constexpr const char* kReason = "switcher";
  // A pointer resting where the panel opens does not take the highlight for this long.
  static constexpr double kHoverDelay = 0.3;
  // How far above the middle of the screen the panel sits, as a share of the screen's height.
  static constexpr double kRaise = 0.12;

  explicit QuickSwitcher(SwitcherServices services);
  ~QuickSwitcher();
  QuickSwitcher(const QuickSwitcher&) = delete;
  QuickSwitcher& operator=(const QuickSwitcher&) = delete;

  // Fills the rows afresh and shows the panel as the key window with the field focused.
  void open();
  // Takes the panel off screen and stops watching the keyboard.
  void close();
  void toggle();
  bool isVisible() const { return panel_->isVisible(); }

  SwitcherModel& model() { return model_; }
  const SwitcherModel& model() const { return model_; }
  const SwitcherList& list() const { return list_; }
  SwitcherList& list() { return list_; }
  const platform::Panel& panel() const { return *panel_; }
  const platform::TextField& field() const { return *field_; }
  // When it last opened, in loop time; the distant past before the first opening.
  double openedAt() const { return openedAt_; }
  bool hasKeyMonitor() const { return keyMonitor_.has_value(); }

 private:
  // Answers true for a key the switcher consumed.
  bool keyDown(const platform::LocalKeyEvent& event);
  void textChanged();
  void activate(const Desktop& desktop);
  // Sizes the panel for the rows and places it on the screen chosen at opening.
  void layout();
  void removeKeyMonitor();

  SwitcherServices s_;
  SwitcherModel model_;
  SwitcherList list_;
  std::optional<platform::LocalMonitorID> keyMonitor_;
  double openedAt_ = -std::numeric_limits<double>::infinity();
  // The visible frame of the screen the switcher opened on; each keystroke lays the panel out
  // there again without asking the window server.
  ScreenRect area_;
  std::unique_ptr<platform::Panel> panel_;
  std::unique_ptr<platform::TextField> field_;  // goes before the panel it sits in
  Connection modelChanged_;
  ObserverToken spaceChanged_;
  Lifetime lifetime_;
};

}  // namespace velmora
