// The user's input to Velmora's panels on the virtual Mac: which panel is key and when the one
// that loses it hears so, where the pointer and clicks go, and what keys and text input do to
// the focused text field.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/virtual_loop.h"
#include "platform/key_codes.h"
#include "platform/keyboard_events.h"
#include "platform/sim/virtual_mac.h"

namespace velmora::sim {
namespace {

namespace keys = platform::keys;

class PanelInput : public ::testing::Test {
 protected:
  PanelInput() { mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982)); }

  // A panel on screen at `frame` whose key, pointer and mouse events are written to `heard`
  // under its name.
  std::unique_ptr<platform::Panel> panel(const std::string& name, ScreenRect frame,
                                         bool interactive = true, int level = 0) {
    platform::PanelConfig config;
    config.name = name;
    config.size = frame.size;
    config.level = level;
    config.interactive = interactive;
    auto p = mac.panels().makePanel(config);
    p->setFrame(frame, false);
    p->setOnResignKey([this, name] { heard.push_back(name + " resigns"); });
    p->setOnPointerMoved([this, name](platform::CanvasPoint at) {
      heard.push_back(name + " pointer " + point(at));
    });
    platform::Panel* raw = p.get();
    p->setOnMouseDown([this, name, raw](platform::CanvasPoint at) {
      heard.push_back(name + " down " + point(at) + (raw->isKey() ? " (key)" : ""));
    });
    p->orderFrontRegardless();
    return p;
  }

  static std::string point(platform::CanvasPoint p) {
    return std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y));
  }

  // What was heard since the last call.
  std::vector<std::string> take() {
    loop.runPending();
    return std::exchange(heard, {});
  }

  VirtualLoop loop;
  VirtualMac mac{loop};
  std::vector<std::string> heard;
};

using Heard = std::vector<std::string>;

// Key status passes from panel to panel; each one that loses it hears so on the next loop turn
// (never inside the call that took it), and only once.
TEST_F(PanelInput, KeyStatusPassesBetweenPanelsAndTheLoserHearsItLater) {
  auto search = panel("search", ScreenRect::make(100, 500, 600, 300));
  auto editor = panel("editor", ScreenRect::make(800, 100, 400, 300));

  search->makeKeyAndOrderFront();
  EXPECT_TRUE(search->isKey());
  EXPECT_TRUE(mac.keyboard().velmoraWindowKey());
  EXPECT_EQ(take(), Heard{});

  editor->makeKeyAndOrderFront();
  EXPECT_FALSE(search->isKey());
  EXPECT_TRUE(heard.empty()) << "resignKeyWindow comes on the loop, not inside the call";
  EXPECT_EQ(take(), Heard{"search resigns"});

  editor->orderOut();
  EXPECT_FALSE(editor->isKey());
  EXPECT_FALSE(mac.keyboard().velmoraWindowKey());
  EXPECT_EQ(take(), Heard{"editor resigns"});

  // The settings window becoming key takes it from a panel; a panel taking it back ends the
  // settings window's turn, so closing the panel leaves no Velmora window key.
  search->makeKeyAndOrderFront();
  mac.keyboard().setVelmoraWindowKey(true);
  EXPECT_FALSE(search->isKey());
  EXPECT_EQ(take(), Heard{"search resigns"});
  search->makeKeyAndOrderFront();
  search->orderOut();
  EXPECT_FALSE(mac.keyboard().velmoraWindowKey());
  EXPECT_EQ(take(), Heard{"search resigns"});

  // A panel closed before the message arrives hears nothing.
  editor->makeKeyAndOrderFront();
  search->makeKeyAndOrderFront();
  editor.reset();
  EXPECT_EQ(take(), Heard{});
}

// A click on a panel makes it key before it hears the button; a click on the desktop, on
// another application's window, or another application coming to the front makes it resign.
TEST_F(PanelInput, ClicksOutsideVelmoraOrAnotherApplicationTakeTheKeyStatus) {
  auto search = panel("search", ScreenRect::make(100, 500, 600, 300));
  pid_t notes = mac.addApplication({.name = "Notes"});
  mac.addWindow(notes, {mac.currentSpace("A")}, AXRect::make(900, 100, 400, 300));

  mac.click({110, 790});  // 10 right of its left edge, 10 below its top
  EXPECT_EQ(take(), Heard{"search down 10,10 (key)"});
  EXPECT_EQ(mac.pointer(), (ScreenPoint{110, 790}));

  mac.click({50, 50});  // the desktop
  EXPECT_EQ(take(), Heard{"search resigns"});
  EXPECT_FALSE(mac.keyboard().velmoraWindowKey());

  mac.click({300, 600});
  mac.click({1000, 700});  // Notes' window
  EXPECT_EQ(take(), (Heard{"search down 200,200 (key)", "search resigns"}));

  search->makeKeyAndOrderFront();
  mac.userActivate(mac.selfPID());  // Velmora itself: nothing changes
  EXPECT_TRUE(search->isKey());
  mac.userActivate(notes);
  EXPECT_EQ(take(), Heard{"search resigns"});
}

// The pointer goes to the front-most panel under it: a higher level first, then the one
// ordered front last; a panel that ignores mouse events, or has faded out, lets it through.
TEST_F(PanelInput, ThePointerGoesToTheFrontPanelThatTakesMouseEvents) {
  auto back = panel("back", ScreenRect::make(100, 100, 400, 400));
  auto front = panel("front", ScreenRect::make(300, 300, 400, 400));
  auto pill = panel("pill", ScreenRect::make(350, 350, 50, 50), false, 5);

  mac.movePointer({350, 350});
  mac.movePointer({150, 150});
  mac.movePointer({1000, 900});  // over no panel: nobody hears
  EXPECT_EQ(take(), (Heard{"front pointer 50,350", "back pointer 50,350"}));

  back->orderFrontRegardless();
  mac.movePointer({350, 350});
  front->setIgnoresMouseEvents(true);
  back->orderOut();
  mac.movePointer({350, 350});
  EXPECT_EQ(take(), (Heard{"back pointer 250,150"})) << "an ignoring panel and nothing below";

  front->setIgnoresMouseEvents(false);
  pill->setIgnoresMouseEvents(false);
  mac.movePointer({360, 360});
  pill->setAlpha(0, 0);
  mac.movePointer({360, 360});
  EXPECT_EQ(take(), (Heard{"pill pointer 10,40", "front pointer 60,340"}));

  // A click on a panel that takes mouse events but not input does not make it key, and does
  // not take the key status from the key panel either.
  pill->setAlpha(1, 0);
  front->makeKeyAndOrderFront();
  mac.click({360, 360});
  EXPECT_EQ(take(), Heard{"pill down 10,40"});
  EXPECT_TRUE(front->isKey());
}

class Typing : public PanelInput {
 protected:
  Typing() {
    search->makeKeyAndOrderFront();
    field->focus();
    field->setOnTextChanged([this] { changes.push_back(field->text()); });
    // Like a list that moves its selection with the arrows and closes on Escape.
    mac.keyboard().addLocalMonitor(platform::kNSEventMaskKeyDown,
                                   [this](const platform::LocalKeyEvent& e) {
                                     seen.push_back(e.keyCode);
                                     return e.keyCode == keys::kEscape || keys::isArrow(e.keyCode);
                                   });
  }

  std::unique_ptr<platform::Panel> search = panel("search", ScreenRect::make(100, 500, 600, 300));
  std::unique_ptr<platform::TextField> field = search->addTextField();
  std::vector<std::string> changes;  // the text after each change the user made
  std::vector<std::uint16_t> seen;   // key-downs the monitor saw
};

// Keys go to the monitor first; those it lets through type, shift-aware; Delete removes one
// character; keys that type nothing leave the field alone and report no change.
TEST_F(Typing, KeysTheMonitorLetsThroughTypeIntoTheFocusedField) {
  mac.keyboard().userType("Hi, 2!");
  mac.keyboard().userPress(keys::kEscape, 0);
  mac.keyboard().userPress(keys::kDownArrow, 0);
  mac.keyboard().userPress(keys::kReturn, 0);
  mac.keyboard().userPress(keys::kTab, 0);
  mac.keyboard().userPress(0, platform::kEventFlagCommand);  // ⌘A is a command, not text
  mac.keyboard().userPress(keys::kDelete, 0);
  loop.runPending();
  EXPECT_EQ(field->text(), "Hi, 2");
  EXPECT_EQ(changes,
            (std::vector<std::string>{"H", "Hi", "Hi,", "Hi, ", "Hi, 2", "Hi, 2!", "Hi, 2"}));
  EXPECT_EQ(seen.size(), 12u) << "every key-down reaches the monitor first";

  field->setText("");  // the program's own change is not the user's
  mac.keyboard().userPress(keys::kDelete, 0);
  loop.runPending();
  EXPECT_EQ(changes.size(), 7u) << "Delete in an empty field changes nothing";
}

// Text the keyboard has no key for arrives as text input: the monitor never sees it, the
// field gets it whole, and Delete takes back a whole character.
TEST_F(Typing, TextInputBypassesTheMonitorAndDeleteTakesAWholeCharacter) {
  mac.keyboard().userType("a😀é");
  loop.runPending();
  EXPECT_EQ(field->text(), "a😀é");
  EXPECT_EQ(seen, std::vector<std::uint16_t>{0}) << "only the a is a key press";
  EXPECT_EQ(changes, (std::vector<std::string>{"a", "a😀é"})) << "one commit for the run";
  mac.keyboard().userPress(keys::kDelete, 0);
  mac.keyboard().userPress(keys::kDelete, 0);
  loop.runPending();
  EXPECT_EQ(field->text(), "a");
  const auto& last = mac.keyboard().deliveries().back();
  EXPECT_EQ(last.receiver, "Velmora");
  EXPECT_EQ(last.edit, "\u232B");
}

// Typing follows the key status and the focus: one focused field a panel; a field that goes
// takes the focus with it; a panel that resigned gets nothing, the front application does.
TEST_F(Typing, KeysFollowTheKeyPanelAndItsFocusedField) {
  auto other = search->addTextField();
  other->focus();
  EXPECT_FALSE(field->isFocused());
  EXPECT_TRUE(other->isFocused());
  mac.keyboard().userType("x");
  loop.runPending();
  EXPECT_EQ(other->text(), "x");
  EXPECT_EQ(field->text(), "");

  other.reset();
  EXPECT_EQ(mac.keyboard().focusedField(), nullptr);
  field->focus();
  pid_t notes = mac.addApplication({.name = "Notes"});
  mac.userActivate(notes);
  mac.keyboard().userType("y");
  mac.keyboard().userInsertText("😀");
  loop.runPending();
  EXPECT_EQ(field->text(), "");
  EXPECT_EQ(mac.keyboard().deliveries().back().receiver, "Notes");
  EXPECT_TRUE(changes.empty());

  search.reset();  // the field outlives its panel harmlessly
  EXPECT_FALSE(field->isFocused());
  field->focus();
  EXPECT_FALSE(field->isFocused());
}

}  // namespace
}  // namespace velmora::sim
