#include "settings_ui/settings_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing/recording_canvas.h"
#include "spaces/engine_world.h"

namespace velmora {
namespace {

using namespace velmora::testing;

class SettingsModelTest : public ::testing::Test, public EngineWorld {
 protected:
  SettingsModelTest() {
    display("A", 4);
    makeEngine();
    writes = options.willChange().connect([this] { ++optionWrites; });
  }

  SettingsModel& model() {
    if (!model_) {
      SettingsHooks hooks;
      hooks.launchAtLogin = [this] { return loginOn; };
      hooks.setLaunchAtLogin = [this](bool on) -> Result<void> {
        if (loginRefusal) return Failure{"Could not change launch at login: " + *loginRefusal};
        loginOn = on;
        return {};
      };
      hooks.resetTimes = [this] { ++resets; };
      hooks.diagnostics = [] { return std::string("Velmora diagnostics"); };
      hooks.logPath = [] { return std::string("/logs/switches.log"); };
      hooks.accessibilityTrusted = [this] { return trusted; };
      model_ = std::make_unique<SettingsModel>(SettingsServices{
          mac.platform(), options, store, *engine, presentation, names, hotkeys, shortcuts, hooks});
      changes = model_->changed().connect([this] { ++changed; });
    }
    return *model_;
  }

  // The control with this id on the page shown.
  SettingsControl control(std::string_view id) {
    for (const SettingsSection& section : model().content().sections) {
      for (const SettingsControl& c : section.controls) {
        if (c.id == id) return c;
      }
    }
    ADD_FAILURE() << "no control " << id;
    return {};
  }
  std::string shown(std::string_view id) {
    SettingsControl c = control(id);
    switch (c.kind) {
      case ControlKind::toggle:
        return c.on ? "on" : "off";
      case ControlKind::picker:
      case ControlKind::segmented:
        return c.selected >= 0 ? c.choices[c.selected] : "(none)";
      case ControlKind::slider:
        return c.valueText;
      default:
        return c.title;
    }
  }
  Value stored(std::string_view key) { return mac.preferences().value(platform::kAppDomain, key); }

  HotkeyCenter hotkeys{mac.hotKeys(), systemLog, names};
  std::unique_ptr<SettingsModel> model_;
  Connection writes, changes;
  int optionWrites = 0, changed = 0, resets = 0;
  bool loginOn = false;
  std::optional<std::string> loginRefusal;
};

// One control of each kind on its page: what the user does reaches the option at once, kept to
// the slider's range and steps; and a change made elsewhere shows in the next content, with
// the window told once the write is done (on the next turn of the loop).
TEST_F(SettingsModelTest, ControlsWriteTheirOptionsAndShowChangesMadeElsewhere) {
  struct Step {
    SettingsPage page;
    std::string id;
    std::function<void(SettingsModel&)> act;
    std::string expected;
  };
  const std::vector<Step> steps{
      {SettingsPage::switchTag, "hudEnabled", [](auto& m) { m.toggle("hudEnabled"); }, "off"},
      {SettingsPage::switchTag, "hudPosition", [](auto& m) { m.choose("hudPosition", 1); }, "Top"},
      {SettingsPage::switchTag, "hudDuration", [](auto& m) { m.setNumber("hudDuration", 2.04); },
       "2.0 s"},
      {SettingsPage::spaceHover, "hoverDelay", [](auto& m) { m.setNumber("hoverDelay", 0.93); },
       "0.95 s"},
      {SettingsPage::spaces, "menuBarMaxWidth",
       [](auto& m) { m.setNumber("menuBarMaxWidth", 1000); }, "400 pt"},
      {SettingsPage::spaces, "notchSide", [](auto& m) { m.choose("notchSide", 1); }, "Right"},
      {SettingsPage::missionControl, "mcScale", [](auto& m) { m.setNumber("mcScale", 1.234); },
       "×1.25"},
      {SettingsPage::missionControl, "mcOffsetY", [](auto& m) { m.setNumber("mcOffsetY", -99); },
       "-40 pt"},
      {SettingsPage::timeTracking, "idleMinutes", [](auto& m) { m.choose("idleMinutes", 3); },
       "10 min"},
      {SettingsPage::shortcuts, "directJumpModifiers",
       [](auto& m) { m.choose("directJumpModifiers", 1); }, "⌥"},
  };
  for (const Step& step : steps) {
    model().showPage(step.page);
    int before = changed;
    step.act(model());
    EXPECT_EQ(shown(step.id), step.expected) << step.id;
    EXPECT_EQ(changed, before + 1) << step.id << ": the window hears of it at once";
  }
  EXPECT_FALSE(options.hudEnabled());
  EXPECT_EQ(options.hudPosition(), HUDPosition::top);
  EXPECT_DOUBLE_EQ(options.hoverDelay(), 0.95);
  EXPECT_DOUBLE_EQ(options.mcScale(), 1.25);
  EXPECT_EQ(options.idleMinutes(), 10);
  EXPECT_EQ(options.directJumpModifiers(), platform::kOptionKey);
  EXPECT_EQ(options.notchSide(), NotchSide::right);

  // Elsewhere: a link or the menu changes an option; and back again.
  model().showPage(SettingsPage::switchTag);
  int before = changed;
  options.setHudSize(HUDSize::large);
  EXPECT_EQ(changed, before) << "told before the value is written would show the old one";
  loop.advance(0);
  EXPECT_EQ(changed, before + 1);
  EXPECT_EQ(shown("hudSize"), "Large");
  options.setHudSize(HUDSize::regular);
  options.setHudEnabled(true);
  loop.advance(0);
  EXPECT_EQ(changed, before + 2) << "two writes in one turn are one redraw";
  EXPECT_EQ(shown("hudSize"), "Regular");
  EXPECT_EQ(shown("hudEnabled"), "on");
}

// Showing a page never writes: a value of the wrong kind (another program's `defaults write`)
// reads as the default and stays stored as it is until the user really changes it.
TEST_F(SettingsModelTest, ShowingPagesWritesNothingAndWrongKindsReadAsDefaults) {
  ASSERT_TRUE(options.setStoredValue("hudPosition", Value("top")));
  ASSERT_TRUE(options.setStoredValue("hoverDelay", Value("slow")));
  ASSERT_TRUE(options.setStoredValue("idleMinutes", Value(7)));
  ASSERT_TRUE(options.setStoredValue("nextHotkey", Value(true)));
  optionWrites = 0;
  for (SettingsPage page : kSettingsPages) {
    model().showPage(page);
    (void)model().content();
  }
  model().showPage(SettingsPage::switchTag);
  EXPECT_EQ(shown("hudPosition"), "Center");
  model().showPage(SettingsPage::spaceHover);
  EXPECT_EQ(shown("hoverDelay"), "0.45 s");
  model().showPage(SettingsPage::timeTracking);
  EXPECT_EQ(shown("idleMinutes"), "(none)") << "7 minutes is no choice of the list";
  model().showPage(SettingsPage::shortcuts);
  EXPECT_EQ(shown("nextHotkey"), "⌃⌥→");
  EXPECT_EQ(optionWrites, 0);
  EXPECT_EQ(stored("hudPosition"), Value("top"));
  EXPECT_EQ(stored("nextHotkey"), Value(true));

  // Picking what already shows, or a slider moved onto its own value, stores nothing either.
  model().showPage(SettingsPage::switchTag);
  model().choose("hudPosition", 0);
  model().showPage(SettingsPage::spaceHover);
  model().setNumber("hoverDelay", 0.46);
  EXPECT_EQ(optionWrites, 0);
  EXPECT_EQ(stored("hoverDelay"), Value("slow"));
  model().setNumber("hoverDelay", 0.6);
  EXPECT_EQ(stored("hoverDelay"), Value(0.6));
  model().showPage(SettingsPage::switchTag);
  model().choose("hudPosition", 2);
  EXPECT_EQ(stored("hudPosition"), Value(2));
}

// A recorder records the next combination into its option, keeps recording across rebuilds,
// removes it, and shows a shortcut changed elsewhere.
TEST_F(SettingsModelTest, RecordersWriteTheirShortcuts) {
  mac.keyboard().setVelmoraWindowKey(true);
  model().showPage(SettingsPage::shortcuts);
  model().press("nextHotkey");
  EXPECT_TRUE(control("nextHotkey").on);
  EXPECT_EQ(shown("nextHotkey"), "Press shortcut…");
  (void)model().content();  // a redraw in between
  mac.keyboard().userPress(platform::keys::kP,
                           platform::kEventFlagControl | platform::kEventFlagCommand);
  loop.advance(0.01);
  EXPECT_EQ(options.nextHotkey(),
            (Hotkey{platform::keys::kP, platform::kControlKey | platform::kCmdKey}));
  EXPECT_FALSE(control("nextHotkey").on);
  EXPECT_EQ(shown("nextHotkey"), "⌃⌘P");

  model().clear("nextHotkey");
  EXPECT_EQ(options.nextHotkey(), std::nullopt);
  EXPECT_EQ(shown("nextHotkey"), "Click to record");
  EXPECT_FALSE(control("nextHotkey").hasClear);

  options.setPrevHotkey(Hotkey{platform::keys::kSpace, platform::kCmdKey});
  loop.advance(0);
  EXPECT_EQ(shown("prevHotkey"), "⌘Space");
}

// The desktops page keys each desktop by its record, so the open editor stays on its desktop
// while one before it is removed and the rest renumber; back closes it; a second display
// names the sections, and the page says when there is no desktop at all.
TEST_F(SettingsModelTest, DesktopsFollowRemovalAndRenumbering) {
  auto rows = [this] {
    std::string out;
    for (const SettingsSection& s : model().content().sections) {
      for (const SettingsControl& c : s.controls) {
        if (c.kind == ControlKind::desktop) {
          out += (s.title.empty() ? "" : "[" + s.title + "] ") + c.help + "=" + c.id + " ";
        }
      }
    }
    return out;
  };
  ManagedID managed = engine->desktopWithNumber(3)->space.managedID;
  store.update(managed, [](SpaceMeta& m) { m.name = "Mail"; });
  std::string three = "desktop." + std::to_string(managed.raw());
  model().press(three);
  ASSERT_NE(model().editor(), nullptr);
  EXPECT_EQ(model().editor()->header(), "Desktop 3");

  mac.userRemoveSpace(engine->desktopWithNumber(1)->id().raw());
  loop.advance(1);
  ASSERT_NE(model().editor(), nullptr);
  EXPECT_EQ(model().editor()->header(), "Desktop 2");
  EXPECT_EQ(model().editor()->name(), "Mail");
  EXPECT_EQ(control(three).help, "Desktop 2");
  EXPECT_EQ(control(three).title, "Mail");
  EXPECT_EQ(rows().find("Desktop 4"), std::string::npos);

  model().editor()->back();
  loop.advance(0);
  EXPECT_EQ(model().editor(), nullptr);

  display("B", 1, 1600);
  loop.advance(1);
  EXPECT_NE(rows().find("[Display 2] Desktop 4"), std::string::npos) << rows();

  // Another page closes an open editor.
  model().press(three);
  model().showPage(SettingsPage::general);
  EXPECT_EQ(model().editor(), nullptr);
}

// Copy Diagnostics reads "Copied" for 1.5 s of loop time, counted again by a second copy; a
// pasteboard that refuses says so and never reads Copied.
TEST_F(SettingsModelTest, CopyDiagnosticsReadsCopiedForAMoment) {
  model().showPage(SettingsPage::general);
  model().press("copyDiagnostics");
  EXPECT_EQ(mac.pasteboard().stringForType(), "Velmora diagnostics");
  EXPECT_EQ(shown("copyDiagnostics"), "Copied");
  loop.advance(1.0);
  model().press("copyDiagnostics");
  loop.advance(1.0);
  EXPECT_EQ(shown("copyDiagnostics"), "Copied") << "the second copy starts the moment again";
  int before = changed;
  loop.advance(0.51);
  EXPECT_EQ(shown("copyDiagnostics"), "Copy Diagnostics");
  EXPECT_EQ(changed, before + 1);

  model().press("revealLog");
  ASSERT_EQ(mac.workspace().revealed().size(), 1u);
  EXPECT_EQ(mac.workspace().revealed()[0], std::vector<std::string>{"/logs/switches.log"});

  mac.pasteboard().setRefuses(true);
  model().press("copyDiagnostics");
  EXPECT_EQ(shown("copyDiagnostics"), "Copy Diagnostics");
  EXPECT_EQ(model().content().status, "Could not copy the diagnostics to the clipboard.");
  model().showPage(SettingsPage::about);
  EXPECT_EQ(model().content().status, "") << "the sentence belongs to the general page";
}

// Launch at login's refusal is the page's status until the next thing the user does; Reset
// Times asks first and resets only on the Reset Times button.
TEST_F(SettingsModelTest, RefusalsAndConfirmations) {
  model().showPage(SettingsPage::general);
  loginRefusal = "Operation not permitted";
  model().toggle("launchAtLogin");
  EXPECT_EQ(shown("launchAtLogin"), "off");
  EXPECT_EQ(model().content().status, "Could not change launch at login: Operation not permitted");
  loginRefusal.reset();
  model().toggle("launchAtLogin");
  EXPECT_EQ(shown("launchAtLogin"), "on");
  EXPECT_EQ(model().content().status, "");

  model().showPage(SettingsPage::timeTracking);
  mac.answerAlerts({"Cancel", "Reset Times"});
  model().press("resetTimes");
  EXPECT_EQ(resets, 0);
  model().press("resetTimes");
  EXPECT_EQ(resets, 1);
  ASSERT_EQ(mac.velmora().alerts().size(), 2u);
  EXPECT_EQ(mac.velmora().alerts()[0].title, SettingsModel::kResetTitle);
}

// Accessibility's row and its button follow the grant.
TEST_F(SettingsModelTest, AccessibilityRowFollowsTheGrant) {
  model().showPage(SettingsPage::missionControl);
  EXPECT_EQ(control("accessibility").tint, "orange");
  EXPECT_EQ(model().kindOf("openAccessibilitySettings"), ControlKind::button);
  trusted = true;
  EXPECT_EQ(shown("accessibility"), "Accessibility is on");
  EXPECT_EQ(model().kindOf("openAccessibilitySettings"), std::nullopt);
}

// The switch tag's preview draws the current desktop with the options as they are now: the
// number line comes and goes with its option.
TEST_F(SettingsModelTest, TagPreviewFollowsTheOptions) {
  store.update(engine->desktopWithNumber(1)->space.managedID,
               [](SpaceMeta& m) { m.name = "Mail"; });
  model().showPage(SettingsPage::switchTag);
  auto texts = [this] {
    SettingsControl preview = control("tagPreview");
    RecordingCanvas canvas(Size{400, preview.artHeight});
    preview.art(canvas, {0, 0, 400, preview.artHeight});
    std::string out;
    for (const auto& t : canvas.texts) out += t.text + ";";
    return out;
  };
  EXPECT_EQ(texts(), "1;Mail;Desktop 1;") << "the tile, its name, its number line";
  model().toggle("hudShowNumber");
  EXPECT_EQ(texts(), "1;Mail;");
}

// The updater's section offers what fits its state, and its progress redraws the page.
TEST_F(SettingsModelTest, UpdatesSectionFollowsTheUpdater) {
  Signal updater;
  std::optional<double> fraction;
  std::string available;
  SettingsHooks hooks;
  hooks.updates.status = [&] { return fraction ? "Downloading…" : "Velmora is up to date"; };
  hooks.updates.progress = [&] { return fraction; };
  hooks.updates.available = [&] { return available; };
  hooks.updates.busy = [&] { return fraction.has_value(); };
  hooks.updates.check = [] {};
  hooks.updates.download = [&] { fraction = 0; };
  hooks.alsoChanged = {&updater};
  SettingsModel m(SettingsServices{mac.platform(), options, store, *engine, presentation, names,
                                   hotkeys, shortcuts, hooks});
  int redraws = 0;
  Connection c = m.changed().connect([&] { ++redraws; });
  m.showPage(SettingsPage::general);
  auto ids = [&] {
    std::string out;
    for (const SettingsSection& section : m.content().sections) {
      if (section.title != "Updates") continue;
      for (const SettingsControl& control : section.controls) {
        out += control.id + (control.enabled ? "" : "(disabled)") +
               (control.kind == ControlKind::progress ? "=" + control.valueText : "") + " ";
      }
    }
    return out;
  };
  EXPECT_EQ(ids(), "updateCheckEnabled updateStatus checkForUpdates ");
  available = "2.0";
  EXPECT_EQ(ids(),
            "updateCheckEnabled updateStatus checkForUpdates downloadUpdate whatsNew skipUpdate ");
  m.press("downloadUpdate");
  fraction = 0.42;
  redraws = 0;
  updater.emit();
  loop.advance(0);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(ids(),
            "updateCheckEnabled updateStatus updateProgress=42 % checkForUpdates(disabled) ");
}

// Without a desktop the page says so instead of an empty list.
TEST(SettingsModelEmpty, SaysWhenThereAreNoDesktops) {
  EngineWorld world;
  world.makeEngine();
  HotkeyCenter hotkeys{world.mac.hotKeys(), world.systemLog, world.names};
  SettingsModel m(SettingsServices{world.mac.platform(),
                                   world.options,
                                   world.store,
                                   *world.engine,
                                   world.presentation,
                                   world.names,
                                   hotkeys,
                                   world.shortcuts,
                                   {}});
  const SettingsPageContent content = m.content();
  ASSERT_FALSE(content.sections.empty());
  EXPECT_EQ(content.sections[0].controls[0].title, SettingsModel::kNoDesktops);
  EXPECT_EQ(content.sections[1].title, "Menu bar");
}

}  // namespace
}  // namespace velmora
