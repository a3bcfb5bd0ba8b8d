#include "platform/linux/alpha_blur.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace velmora::linuxhost {

int boxRadiusForSigma(double sigma) {
  if (!(sigma > 0)) return 0;
  // Three passes of a box of 2r + 1 pixels have variance r(r + 1).
  return static_cast<int>(std::lround((std::sqrt(1 + 4 * sigma * sigma) - 1) / 2));
}

namespace {

// One box pass over `count` values, read `inStep` bytes apart from `line` and written
// `outStep` bytes apart into `out`.
void boxPass(const std::uint8_t* line, std::ptrdiff_t inStep, int count, int radius,
             std::uint8_t* out, std::ptrdiff_t outStep) {
  const int window = 2 * radius + 1;
  int sum = 0;
  for (int i = 0; i < radius && i < count; ++i) sum += line[i * inStep];
  for (int i = 0; i < count; ++i) {
    int add = i + radius;
    int drop = i - radius - 1;
    if (add < count) sum += line[add * inStep];
    if (drop >= 0) sum -= line[drop * inStep];
    out[i * outStep] = static_cast<std::uint8_t>((sum + window / 2) / window);
  }
}

}  // namespace

void blurAlpha(std::uint8_t* pixels, int width, int height, int stride, int radius) {
  if (radius <= 0 || width <= 0 || height <= 0) return;
  std::vector<std::uint8_t> a(static_cast<std::size_t>(std::max(width, height)));
  std::vector<std::uint8_t> b(a.size());
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    boxPass(row, 1, width, radius, a.data(), 1);
    boxPass(a.data(), 1, width, radius, b.data(), 1);
    boxPass(b.data(), 1, width, radius, row, 1);
  }
  for (int x = 0; x < width; ++x) {
    std::uint8_t* column = pixels + x;
    boxPass(column, stride, height, radius, a.data(), 1);
    boxPass(a.data(), 1, height, radius, b.data(), 1);
    boxPass(b.data(), 1, height, radius, column, stride);
  }
}

}  // namespace velmora::linuxhost
