#pragma once

#include <vector>

namespace layra::graphics {

// Anything larger is a mistake or a hostile file, never a page or picture worth the memory.
inline constexpr int kMaxRasterDimension = 30000;
inline constexpr long long kMaxImagePixels = 1LL << 27;

struct ImageSize {
  int width, height;
};

// Pixels in cairo's CAIRO_FORMAT_RGB24 layout: native-endian 32-bit words 0xXXRRGGBB, which is
// B, G, R, X in memory on little-endian machines. Rows are `stride` bytes apart.
struct Raster {
  int width, height, stride;
  std::vector<unsigned char> pixels;
};

} // namespace layra::graphics
