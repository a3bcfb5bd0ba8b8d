// The settings window's first paint: the page laid out and drawn, sidebar and title bar
// included, into a fresh Retina canvas through Cairo, as the window does each time it opens
// or a page is chosen. Once for the desktops page of a crowded Mac (48 desktop rows, most
// scrolled out of sight) and once for a typical form of switches, pop-up buttons and sliders.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "crowded_mac.h"
#include "drawing/glyph.h"
#include "platform/linux/host_services.h"
#include "settings_ui/settings_view.h"
#include "settings_ui/settings_window.h"

namespace {

using namespace velmora;
using platform::CanvasRect;

SettingsControl control(std::string id, ControlKind kind, std::string label) {
  SettingsControl c;
  c.id = std::move(id);
  c.kind = kind;
  c.label = std::move(label);
  return c;
}

std::vector<SettingsPageEntry> pages() {
  static constexpr std::array<std::string_view, 8> kTitles{
      "Desktops", "Mission Control", "Switch Tag", "Hover Strip", "Shortcuts",
      "Time",     "General",         "About"};
  std::vector<SettingsPageEntry> entries;
  for (std::size_t i = 0; i < kSettingsPages.size(); ++i) {
    entries.push_back({kSettingsPages[i], kTitles[i], "gearshape.fill"});
  }
  return entries;
}

SettingsPageContent desktopsPage() {
  SettingsPageContent page;
  page.page = SettingsPage::spaces;
  page.title = "Desktops";
  SettingsSection section;
  for (int n = 1; n <= 48; ++n) {
    SettingsControl row = control("desktop." + std::to_string(n), ControlKind::desktop, "");
    row.title = "Project " + std::to_string(n) + " — review and planning";
    row.help = "Desktop " + std::to_string(n);
    row.valueText = n <= 9 ? "⌃" + std::to_string(n) : "";
    row.art = [n](platform::Canvas& canvas, const CanvasRect& r) {
      canvas.fill(platform::Path::roundedRect(r, 4), platform::Color{0.2, 0.3 + 0.01 * n, 0.9, 1});
      canvas.drawText(std::to_string(n), platform::Font::system(10, platform::FontWeight::bold),
                      platform::Color::white(), {r.x + 8, r.y + 4});
    };
    section.controls.push_back(std::move(row));
  }
  page.sections = {std::move(section)};
  return page;
}

SettingsPageContent formPage() {
  SettingsPageContent page;
  page.page = SettingsPage::switchTag;
  page.title = "Switch Tag";
  SettingsSection tag{"Tag", "The tag shows on the display that switched.", {}};
  SettingsControl shown = control("hudEnabled", ControlKind::toggle, "Show the tag");
  shown.on = true;
  shown.help = "A short tag with the desktop's name after every switch";
  SettingsControl position = control("hudPosition", ControlKind::picker, "Position");
  position.choices = {"Top", "Middle", "Bottom"};
  position.selected = 1;
  SettingsControl size = control("hudSize", ControlKind::segmented, "Size");
  size.choices = {"Small", "Medium", "Large"};
  size.selected = 1;
  SettingsControl stays = control("hudDuration", ControlKind::slider, "Stays for");
  stays.minimum = 0.5;
  stays.maximum = 5;
  stays.number = 1.5;
  stays.valueText = "1.5 s";
  SettingsControl preview = control("previewHUD", ControlKind::button, "");
  preview.title = "Preview";
  tag.controls = {shown, position, size, stays, preview};
  SettingsSection more{"Toasts", "", {}};
  for (const char* id : {"toastSwitch", "toastPresentation", "toastUpdates", "toastShortcuts"}) {
    SettingsControl t = control(id, ControlKind::toggle, std::string("Announce ") + id);
    t.on = true;
    more.controls.push_back(t);
  }
  page.sections = {tag, more};
  return page;
}

void firstPaint(benchmark::State& state, const SettingsPageContent& content) {
  linuxhost::DrawingHost host;
  linuxhost::HostServices services = host.services();
  Glyph::setServices({&services.symbols, &services.images, &services.canvases, {}});
  const Size size = SettingsWindowController::kSize;
  for (auto _ : state) {
    SettingsView view;
    view.setSize({size.width, size.height - SettingsWindowController::kTitleBarHeight});
    view.setPages(pages());
    view.setContent(content);
    auto canvas = services.canvases.makeCanvas(size, 2);
    view.draw(*canvas);
    benchmark::ClobberMemory();
  }
  Glyph::setServices({});
}

void BM_SettingsFirstPaintDesktops(benchmark::State& state) {
  firstPaint(state, desktopsPage());
}
BENCHMARK(BM_SettingsFirstPaintDesktops)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_SettingsFirstPaintForm(benchmark::State& state) {
  firstPaint(state, formPage());
}
BENCHMARK(BM_SettingsFirstPaintForm)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The real window on the crowded Mac: from the command that opens it at the desktops page (the
// model reading 48 desktops and their tiles, the window made key) to its first frame drawn at
// the Retina scale.
void BM_SettingsOpenToFirstFrameOnACrowdedMac(benchmark::State& state) {
  bench::CrowdedMac crowded;
  platform::CanvasFactory& canvases = crowded.session.mac().platform().canvases;
  for (auto _ : state) {
    crowded.session.execute("settings page spaces");
    SettingsWindowController* window = crowded.session.settingsWindow();
    if (!window || !window->isOpen()) std::abort();
    auto canvas = canvases.makeCanvas(SettingsWindowController::kSize, 2);
    window->draw(*canvas, SettingsWindowController::kSize);
    benchmark::ClobberMemory();
    state.PauseTiming();
    window->close();
    crowded.session.execute("advance 0.1");
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SettingsOpenToFirstFrameOnACrowdedMac)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
