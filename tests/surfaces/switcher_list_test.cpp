// What the quick switcher draws: its card, rows, chips, key caps and hints as the golden
// holds them, the list scrolling to keep the highlight in view, and names nobody planned for
// kept inside the card.
#include "surfaces/switcher_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/glyph.h"
#include "drawing/recording_canvas.h"
#include "golden.h"
#include "platform/key_codes.h"
#include "platform/linux/drawing_host.h"
#include "spaces/engine_world.h"
#include "surfaces/quick_switcher.h"

namespace velmora {
namespace {

using testing::RecordingCanvas;

// Desktops on one display, drawn with real fonts and symbols; `apps` names the applications
// of each desktop (a bundle identifier gives it the system's icon, none a stand-in).
struct ListWorld : testing::EngineWorld {
  std::vector<std::uint64_t> ids;
  std::unique_ptr<QuickSwitcher> switcher;
  std::unique_ptr<platform::Canvas> metrics;

  explicit ListWorld(int desktops) : EngineWorld(test_support::drawingHost()) {
    Glyph::setServices({&mac.symbols(), &mac.platform().images, &mac.canvases(), {}});
    ids = display("MAIN", desktops);
    metrics = mac.canvases().makeCanvas({1, 1}, 1);
  }
  void app(const std::string& name, std::optional<std::string> bundle,
           std::vector<std::size_t> on) {
    sim::SimApp a;
    a.name = name;
    a.bundleIdentifier = bundle;
    platform::pid_t pid = mac.addApplication(a);
    for (std::size_t i : on) mac.addWindow(pid, {ids[i]}, AXRect::make(100, 100, 600, 400));
  }
  void name(std::size_t index, const std::string& text) {
    store.update(testing::mid(ids[index]), [&](SpaceMeta& m) { m.name = text; });
  }
  void open() {
    if (!engine) makeEngine();
    loop.runPending();
    if (!switcher) {
      switcher = std::make_unique<QuickSwitcher>(
          SwitcherServices{mac.platform(), center, *engine, presentation, names});
    }
    switcher->open();
    loop.runPending();
  }
  void search(const std::string& text) { switcher->model().update(text); }
  // The card as the panel draws it now, every call in panel points.
  RecordingCanvas drawn() {
    const sim::VirtualPanel& panel = *mac.panels().named(QuickSwitcher::kPanelName);
    RecordingCanvas canvas(panel.frame().size, metrics.get());
    panel.drawContent(canvas);
    return canvas;
  }
};

TEST(SwitcherList, DrawsTheCardAndItsRowsAsTheGoldensHold) {
  ListWorld w(4);
  w.options.setDirectJumpEnabled(true);
  w.name(0, "Mail & Calendar");
  w.app("Mail", "com.apple.mail", {1});
  w.app("Safari", "com.apple.Safari", {1, 2});
  w.app("Scratchpad", std::nullopt, {2});  // no icon of its own: its initial stands in
  w.makeEngine();
  w.userSwitch(w.ids[2]);
  w.userSwitch(w.ids[0]);
  w.open();
  // The pixels once, for what the text cannot show: icons, key caps, the hint line.
  const sim::VirtualPanel& panel = *w.mac.panels().named(QuickSwitcher::kPanelName);
  auto pixels = w.mac.canvases().makeCanvas(panel.frame().size, 2);
  panel.drawContent(*pixels);
  EXPECT_TRUE(testing::matchesGoldenPNG("surfaces/switcher@2x.png", *pixels));

  std::string out = "# Nothing typed: 1 current, 3 where jump back goes and highlighted\n" +
                    w.drawn().dump("\n") + "\n";
  w.search("ma");
  out +=
      "# \"ma\": a name's beginning, then desktop 2 through Mail\n" + w.drawn().dump("\n") + "\n";
  w.search("zz");
  out += "# Nothing matches\n" + w.drawn().dump("\n") + "\n";
  EXPECT_TRUE(testing::matchesGolden("surfaces/switcher_list.txt", out));
}

// Twelve desktops show nine rows at a time; the highlight carries the list with it, and the
// pointer finds the rows where they are drawn.
TEST(SwitcherList, ScrollsToKeepTheHighlightInView) {
  ListWorld w(12);
  w.open();
  const SwitcherList& list = w.switcher->list();
  SwitcherModel& model = w.switcher->model();
  std::vector<std::string> seen;
  auto note = [&] {
    std::optional<std::size_t> top = list.rowAt({230, SwitcherList::kSearchHeight + 10});
    std::optional<std::size_t> bottom = list.rowAt({230, SwitcherList::height(12) - 40});
    seen.push_back(std::to_string(model.selection() + 1) + " of rows " + std::to_string(*top + 1) +
                   "–" + std::to_string(*bottom + 1));
  };
  note();
  model.move(-1);  // up from the second row
  note();
  model.move(-1);  // wraps to the last
  note();
  model.move(-4);
  note();
  model.move(-4);
  note();
  model.move(1);  // down within view: nothing moves
  note();
  EXPECT_EQ(seen, (std::vector<std::string>{"2 of rows 1–9", "1 of rows 1–9", "12 of rows 4–12",
                                            "8 of rows 4–12", "4 of rows 4–12", "5 of rows 4–12"}));
  EXPECT_EQ(list.rowFrame(2), std::nullopt);                                    // scrolled away
  EXPECT_EQ(list.rowAt({230, SwitcherList::kSearchHeight / 2}), std::nullopt);  // the field
  EXPECT_EQ(list.rowAt({4, SwitcherList::kSearchHeight + 10}), std::nullopt);   // the margin
  // A new search starts at the top again.
  w.search("desktop 1");
  EXPECT_EQ(list.firstVisible(), 0u);
}

// Names as long, mixed and odd as people make them: every text and fill stays on the card.
TEST(SwitcherList, LongAndOddNamesStayInsideTheCard) {
  ListWorld w(6);
  w.options.setDirectJumpEnabled(true);
  w.name(0, std::string(2000, 'W'));
  w.name(1, "👩🏽‍💻👨‍👩‍👧‍👦🏳️‍🌈 Code " + std::string(40, 'x'));
  w.name(2, "עבודה ומשימות ארוכות מאוד מאוד מאוד מאוד מאוד");
  w.name(3, "Z\u0351\u0357\u035b\u0363a\u0364\u0365l\u036bgo " + std::string(80, 'e') + "\u0301");
  w.name(4, " ");
  w.app(std::string(2000, 'M'), "com.example.long", {5});
  std::vector<std::size_t> everywhere{0, 1, 2, 3, 4, 5};
  for (int i = 0; i < 12; ++i) w.app("App " + std::to_string(i), std::nullopt, everywhere);
  w.open();
  for (const std::string& query : std::vector<std::string>{
           "", std::string(5, 'm'), std::string(10000, 'W'), "👩🏽‍💻", "ע"}) {
    w.search(query);
    RecordingCanvas canvas = w.drawn();
    const Size card = canvas.size();
    for (const RecordingCanvas::Text& t : canvas.texts) {
      double width = t.maxWidth ? std::min(t.box.width, *t.maxWidth) : t.box.width;
      EXPECT_GE(t.box.x, 0) << testing::escaped(t.text);
      EXPECT_LE(t.box.x + width, card.width + 0.01) << testing::escaped(t.text).substr(0, 80);
      EXPECT_LE(t.box.y + t.box.height, card.height + 0.01) << testing::escaped(t.text);
    }
    for (const platform::CanvasRect& f : canvas.fills) {
      EXPECT_TRUE(f.x >= -0.01 && f.y >= -0.01 && f.x + f.width <= card.width + 0.01 &&
                  f.y + f.height <= card.height + 0.01)
          << f.x << "," << f.y << " " << f.width << "x" << f.height;
    }
  }
}

}  // namespace
}  // namespace velmora
