#pragma once

#include <string>
#include <vector>

namespace layra::graphics {

// Anything larger is a mistake or a hostile file, never a page or picture worth the memory.
inline constexpr int kMaxRasterDimension = 30000;
// A picture may declare at most 100 megapixels (and 30000 pixels a side): more than any camera
// or scan a page shows, and a JPEG bomb of a few kilobytes cannot pass it.
inline constexpr long long kMaxImagePixels = 100'000'000;
// One page raster may take at most 512 MiB (a letter page at 600 dpi takes 135 MB).
inline constexpr long long kMaxRasterBytes = 512LL << 20;

struct ImageSize {
  int width, height;
};

inline bool IsAffordablePicture(ImageSize size) {
  return size.width <= kMaxRasterDimension && size.height <= kMaxRasterDimension &&
         static_cast<long long>(size.width) * size.height <= kMaxImagePixels;
}

inline std::string DescribeUnaffordablePicture(ImageSize size) {
  return "the picture declares " + std::to_string(size.width) + " x " +
         std::to_string(size.height) +
         " pixels; a picture may have at most 100 megapixels and 30000 pixels a side";
}

// Pixels in cairo's CAIRO_FORMAT_RGB24 layout: native-endian 32-bit words 0xXXRRGGBB, which is
// B, G, R, X in memory on little-endian machines. Rows are `stride` bytes apart.
struct Raster {
  int width, height, stride;
  std::vector<unsigned char> pixels;
};

} // namespace layra::graphics
