// Drawing a menu-bar-sized picture: the tile and its name are redrawn on every desktop
// change, and screenshots encode many such pictures.

#include <benchmark/benchmark.h>

#include "platform/linux/cairo_canvas.h"

namespace {

using namespace velmora;
using platform::Color;
using platform::Path;

// A 200 × 24-point strip: a tile with its sheen and a name cut to the room left.
void drawStrip(platform::Canvas& canvas) {
  const Path tile = Path::roundedRect({2, 3.5, 17, 17}, 4.5);
  canvas.fill(tile, Color{0.93, 0.35, 0.6, 1});
  canvas.save();
  canvas.clip(tile);
  canvas.fill(
      Path::rect({2, 3.5, 17, 8.5}),
      platform::LinearGradient{{0, 12}, {0, 3.5}, {{0, Color::white(0.16)}, {1, Color::white(0)}}});
  canvas.restore();
  canvas.drawText("3", platform::Font::system(10.5, platform::FontWeight::bold), Color::white(),
                  {7.5, 5});
  canvas.drawText("Quarterly planning and the long review of everything",
                  platform::Font::system(13, platform::FontWeight::medium), Color::white(), {25, 4},
                  170);
}

void BM_TileStripDrawAndEncode(benchmark::State& state) {
  linuxhost::CairoCanvasFactory factory;
  for (auto _ : state) {
    auto canvas = factory.makeCanvas({200, 24}, 2);
    drawStrip(*canvas);
    auto png = canvas->encodePNG();
    benchmark::DoNotOptimize(png);
  }
}
BENCHMARK(BM_TileStripDrawAndEncode)->Unit(benchmark::kMicrosecond);

void BM_TileStripDrawOnly(benchmark::State& state) {
  linuxhost::CairoCanvasFactory factory;
  for (auto _ : state) {
    auto canvas = factory.makeCanvas({200, 24}, 2);
    drawStrip(*canvas);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TileStripDrawOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
