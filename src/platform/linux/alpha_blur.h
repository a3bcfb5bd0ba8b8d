#pragma once
// The soft edge of a drop shadow: an 8-bit coverage mask blurred in place by three box
// passes each way, which together come close to a Gaussian.

#include <cstdint>

namespace velmora::linuxhost {

// Box radius (in pixels) whose three passes spread like a Gaussian of standard deviation
// `sigma` pixels; 0 for no blur.
int boxRadiusForSigma(double sigma);

// Blurs `width` × `height` coverage values (rows `stride` bytes apart) with three box passes
// of `radius` pixels horizontally and then vertically. Coverage beyond the edges counts as
// zero, so a shape's shadow fades out at the mask's border.
void blurAlpha(std::uint8_t* pixels, int width, int height, int stride, int radius);

}  // namespace velmora::linuxhost
