// One menu bar tile: drawn fresh when a desktop changes its look (a cache miss) and looked
// up when it does not (a hit), as on every desktop switch.

#include <benchmark/benchmark.h>

#include "drawing/glyph.h"
#include "platform/linux/cairo_canvas.h"
#include "platform/linux/rsvg_symbols.h"

namespace {

using namespace velmora;

void BM_TileMissBuildAndRender(benchmark::State& state) {
  linuxhost::CairoCanvasFactory factory;
  linuxhost::RsvgSymbols symbols;
  Glyph::setServices({&symbols, nullptr, &factory, {}});
  int number = 0;
  for (auto _ : state) {
    Glyph::clearCaches();
    ImageRef tile =
        Glyph::tileImage(3 + (number++ % 7), SpaceIcon::none(), TileColor::automatic(), 4.5, 17);
    auto canvas = platform::rasterize(factory, *tile, 2);
    benchmark::DoNotOptimize(canvas);
  }
  Glyph::setServices({});
}
BENCHMARK(BM_TileMissBuildAndRender)->Unit(benchmark::kMicrosecond);

void BM_TileCacheHit(benchmark::State& state) {
  linuxhost::CairoCanvasFactory factory;
  linuxhost::RsvgSymbols symbols;
  Glyph::setServices({&symbols, nullptr, &factory, {}});
  Glyph::tileImage(3, SpaceIcon::symbol("house.fill"), TileColor::automatic(), 4.5, 17);
  for (auto _ : state) {
    ImageRef tile =
        Glyph::tileImage(3, SpaceIcon::symbol("house.fill"), TileColor::automatic(), 4.5, 17);
    benchmark::DoNotOptimize(tile);
  }
  Glyph::setServices({});
}
BENCHMARK(BM_TileCacheHit)->Unit(benchmark::kNanosecond);

void BM_TileSymbolRender(benchmark::State& state) {
  linuxhost::CairoCanvasFactory factory;
  linuxhost::RsvgSymbols symbols;
  Glyph::setServices({&symbols, nullptr, &factory, {}});
  ImageRef tile =
      Glyph::tileImage(3, SpaceIcon::symbol("house.fill"), TileColor::automatic(), 4.5, 17);
  for (auto _ : state) {
    auto canvas = platform::rasterize(factory, *tile, 2);
    benchmark::DoNotOptimize(canvas);
  }
  Glyph::setServices({});
}
BENCHMARK(BM_TileSymbolRender)->Unit(benchmark::kMicrosecond);

}  // namespace
