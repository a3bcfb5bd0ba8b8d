#include "settings_ui/edit_space_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "drawing/glyph.h"
#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/linux/drawing_host.h"
#include "platform/linux/test_pictures.h"
#include "spaces/engine_world.h"
#include "test_ids.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using testing::RecordingCanvas;

constexpr ManagedID kID{20};
constexpr std::uint16_t kA = 0;

class EditSpaceViewTest : public ::testing::Test, public testing::EngineWorld {
 protected:
  EditSpaceViewTest() : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices(
        {&mac.symbols(), &mac.platform().images, &mac.canvases(), store.picturesFolder()});
  }
  ~EditSpaceViewTest() override { Glyph::setServices({}); }

  std::unique_ptr<EditSpaceView> edit(bool embedded = false) {
    return std::make_unique<EditSpaceView>(services, two, embedded, [this] { ++dones; });
  }
  SpaceMeta stored() const { return store.meta(kID); }
  // The form's fields, then the stored record: one line per step of an edit.
  std::string state(const EditSpaceView& view) {
    std::string out = "\"" + testing::escaped(view.name()) + "\" emoji \"" + view.emoji() + "\" " +
                      view.recorder().title() + " | ";
    if (!store.metas().contains(kID)) return out + "no record\n";
    const SpaceMeta m = stored();
    return out + "\"" + m.name + "\" " + (m.icon.isNone() ? "no icon" : m.icon.stored()) +
           " colour " + std::to_string(m.color.stored()) + " " +
           (m.hotkey ? names.display(*m.hotkey) : "no shortcut") + " " + testing::num(m.seconds) +
           " s\n";
  }
  std::vector<std::string> texts(const EditSpaceView& view) {
    RecordingCanvas canvas(view.preferredSize());
    view.draw(canvas, view.preferredSize());
    std::vector<std::string> found;
    for (const auto& t : canvas.texts) found.push_back(t.text);
    return found;
  }
  static bool has(const std::vector<std::string>& texts, std::string_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  Desktop two = desktop(2, kID);
  HotkeyCenter hotkeys{mac.hotKeys(), systemLog, names};
  SpaceEngine spaces{mac.platform(), center, EngineServices{}};  // the editor's own
  EditorServices services{spaces,  store,          presentation,    names,
                          hotkeys, mac.keyboard(), mac.openPanel(), mac.platform().application};
  test_support::TemporaryFolder files;
  int dones = 0;
};

// The form starts from the stored record, not the sample one presentation mode shows, and a
// change keeps the rest of the record.
TEST_F(EditSpaceViewTest, WorksOnTheStoredValuesEvenWhilePresenting) {
  store.update(kID, [&](SpaceMeta& m) {
    m = {"Mail", SpaceIcon::emoji("📬"), TileColor::palette(3), 0, Hotkey{35, 6144}};
  });
  options.setPresenting(true);
  auto view = edit();
  EXPECT_EQ(view->color(), TileColor::palette(3));
  EXPECT_TRUE(has(texts(*view), "Mail"));
  view->chooseColor(TileColor::transparent());
  EXPECT_EQ(state(*view), "\"Mail\" emoji \"📬\" ⌃⌥P | \"Mail\" 📬 colour -2 ⌃⌥P 0 s\n");
}

// Every change is stored at once, one step a line: names trimmed (the field keeps what was
// typed) and an empty record gone; the emoji field keeping two emoji (flags and skin tones
// among fifty code points) and cleared by a symbol; a recorded shortcut and its removal;
// reset keeping only the tracked time.
TEST_F(EditSpaceViewTest, EveryChangeIsStoredAsTheUserMakesIt) {
  mac.keyboard().setVelmoraWindowKey(true);
  auto view = edit();
  std::string out;
  auto step = [&](const std::function<void()>& change) {
    change();
    out += state(*view);
  };
  step([&] { view->setName(" \u3000Deep work\u00A0\n"); });
  step([&] { view->setName("Deep work 2"); });
  step([&] { view->setName(" \t"); });
  step([&] { view->typeEmoji("a😀b🚀c"); });
  step([&] { view->typeEmoji("abc"); });
  std::string many;
  for (int i = 0; i < 10; ++i) many += "🇫🇷👍🏽x";
  step([&] { view->typeEmoji(many); });
  step([&] { view->chooseIcon(SpaceIcon::symbol("house.fill")); });
  step([&] {
    view->recorder().click();
    mac.keyboard().userPress(kA, platform::kEventFlagControl | platform::kEventFlagOption);
    loop.advance(0.01);
  });
  step([&] { view->recorder().remove(); });
  step([&] {
    store.addSeconds(kID, 3600);
    view->setName("Work");
    view->chooseColor(TileColor::palette(7));
    view->setHotkey(Hotkey{kA, 6144});
  });
  step([&] { view->reset(); });
  EXPECT_TRUE(testing::matchesGolden("settings_ui/editor_edits.txt", out));
}

// The open panel asks for the desktop's picture; a file that is no picture is explained with
// one button, and a picture becomes the icon. Cancelling is tests/cli/surfaces.velmora.
TEST_F(EditSpaceViewTest, APictureBecomesTheIconAndAFailureIsExplained) {
  auto view = edit();
  view->chooseColor(TileColor::palette(1));
  const auto broken = files.path() / "broken.png";
  std::ofstream(broken) << "not a picture";
  mac.openPanel().answer(broken);
  view->choosePicture();
  ASSERT_EQ(mac.openPanel().requests().size(), 1u);
  const platform::OpenPanelRequest& request = mac.openPanel().requests()[0];
  EXPECT_EQ(request.message, "Choose a picture for “Desktop 2”");
  for (const char* ext : {"png", "jpeg", "tif", "heic", "icns", "gif", "bmp", "webp"}) {
    EXPECT_TRUE(std::ranges::count(request.allowedExtensions, ext)) << ext;
  }
  ASSERT_EQ(mac.alerts().size(), 1u);
  EXPECT_EQ(mac.alerts()[0].text, "That file is not a picture macOS can open.");
  EXPECT_EQ(mac.alerts()[0].buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(stored().icon.isNone());

  const auto good = files.path() / "cat.png";
  test_support::save(test_support::stripes(8, 8, {test_support::kRed}, true), good, "png");
  mac.openPanel().answer(good);
  view->choosePicture();
  ASSERT_EQ(stored().icon.kind(), SpaceIcon::Kind::Picture);
  EXPECT_TRUE(std::filesystem::exists(store.picturesFolder() / stored().icon.payload()));
  EXPECT_EQ(stored().color, TileColor::palette(1));
  EXPECT_EQ(mac.alerts().size(), 1u);
}

TEST_F(EditSpaceViewTest, DoneSavesAndOnlyAnEmbeddedEditorGoesBack) {
  auto view = edit();
  view->back();
  EXPECT_EQ(dones, 0);
  view->done();
  EXPECT_EQ(dones, 1);
  auto embedded = edit(true);
  embedded->back();
  EXPECT_EQ(dones, 2);
  EXPECT_FALSE(store.metas().contains(kID));  // nothing chosen, nothing kept
}

// The embedded form, one drawing call a line: every choice with its label, the header and
// the name's placeholder, and the chosen symbol, colour and the focused field outlined in the
// accent colour.
TEST_F(EditSpaceViewTest, TheFormDrawsEveryChoiceAndMarksTheChosenOnes) {
  auto view = edit(true);
  view->chooseIcon(SpaceIcon::symbol(kIconCatalogue[4]));
  view->chooseColor(TileColor::palette(6));
  view->focus(EditSpaceView::Field::name);
  RecordingCanvas canvas(view->preferredSize());
  view->draw(canvas, view->preferredSize());
  EXPECT_TRUE(testing::matchesGolden("settings_ui/editor.txt", canvas.dump("\n") + "\n"));
}

TEST_F(EditSpaceViewTest, ALongNameStaysInsideItsField) {
  auto view = edit();
  view->setName(std::string(400, 'W'));
  const Size size = view->preferredSize();
  const EditSpaceView::Layout l = view->layout(size.width);
  auto canvas = mac.canvases().makeCanvas(size, 1);
  ASSERT_TRUE(canvas);
  view->draw(*canvas, size);
  platform::Bitmap pixels = canvas->bitmap();
  auto at = [&](int x, int y) {
    const std::uint8_t* p = &pixels.rgba[(static_cast<std::size_t>(y) * pixels.pixelWidth + x) * 4];
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  const int row = static_cast<int>(l.nameField.y + l.nameField.height / 2);
  const auto background = at(2, row);
  for (int x = static_cast<int>(l.nameField.x + l.nameField.width) + 2; x < pixels.pixelWidth;
       ++x) {
    ASSERT_EQ(at(x, row), background) << x;
  }
}

// Clicks reach the form's controls where they are drawn: each choice is stored, the recorder
// takes the next combination and its remove control clears it, Done finishes.
TEST_F(EditSpaceViewTest, ClicksWorkTheForm) {
  mac.keyboard().setVelmoraWindowKey(true);
  auto view = edit();
  const double width = view->preferredSize().width;
  const EditSpaceView::Layout l = view->layout(width);
  auto click = [&](const platform::CanvasRect& r) {
    const bool hit = view->click({r.x + r.width / 2, r.y + r.height / 2}, width);
    loop.advance(0.01);
    return hit;
  };
  std::string out;
  for (const platform::CanvasRect& r : {l.symbolCells[3], l.paletteSwatches[2], l.transparentSwatch,
                                        l.numberCell, l.automaticSwatch, l.recorder}) {
    EXPECT_TRUE(click(r));
    out += state(*view);
  }
  ASSERT_TRUE(view->recorder().recording());
  mac.keyboard().userPress(kA, platform::kEventFlagControl | platform::kEventFlagOption);
  loop.advance(0.01);
  out += state(*view);
  EXPECT_TRUE(click(l.removeShortcut));
  out += state(*view);
  EXPECT_TRUE(testing::matchesGolden("settings_ui/editor_clicks.txt", out));
  EXPECT_FALSE(click(l.title));  // the header is no control
  EXPECT_FALSE(click(l.back));   // a window's own editor has no back control
  EXPECT_EQ(dones, 0);
  EXPECT_TRUE(click(l.done));
  EXPECT_EQ(dones, 1);
}

TEST_F(EditSpaceViewTest, ShowsTheDesktopAsItIsNowWhenAnEarlierOneGoes) {
  mac.addDisplay("A", ScreenRect::make(0, 0, 1512, 982));
  std::uint64_t first = mac.currentSpace("A");
  mac.addSpace("A");
  mac.addSpace("A", sim::kSpaceTypeDesktop, kID.raw());
  spaces.start();
  spaces.refresh(true);
  auto view = std::make_unique<EditSpaceView>(services, *spaces.desktopWithNumber(3), false, [] {});
  EXPECT_EQ(view->header(), "Desktop 3");

  mac.userRemoveSpace(first);
  loop.advance(1.6);
  EXPECT_EQ(view->header(), "Desktop 2");
  EXPECT_EQ(view->desktop().number, 2);
  std::vector<std::string> shown = texts(*view);
  EXPECT_TRUE(has(shown, "Desktop 2"));  // the header, and the name's placeholder
  EXPECT_TRUE(has(shown, "2"));          // the Number choice
  EXPECT_FALSE(has(shown, "Desktop 3"));
  view->setName("Inbox");
  EXPECT_EQ(stored().name, "Inbox");  // still saved to the same desktop
}

TEST_F(EditSpaceViewTest, EveryLabelOfTheFormFitsWithRealFonts) {
  auto fonts = mac.canvases().makeCanvas({10, 10}, 2);
  auto view = edit();
  view->setHotkey(Hotkey{platform::keys::kSpace, platform::kControlKey | platform::kOptionKey});
  RecordingCanvas canvas(view->preferredSize(), fonts.get());
  view->draw(canvas, view->preferredSize());
  for (const auto& t : canvas.texts) {
    if (!t.maxWidth) continue;
    EXPECT_LE(fonts->measureText(t.text, t.font).width, *t.maxWidth + 0.5) << "cut: " << t.text;
  }
}

}  // namespace
}  // namespace velmora
