#pragma once

#include <graphics/CairoHandles.h>
#include <graphics/PageScene.h>
#include <graphics/Raster.h>

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace layra::graphics::testing {

struct Rgb {
  int r, g, b;
};

inline Rgb PixelAt(const Raster& raster, int x, int y) {
  std::uint32_t word = 0;
  std::memcpy(&word, raster.pixels.data() + static_cast<std::size_t>(y) * raster.stride + x * 4,
              sizeof word);
  return {static_cast<int>((word >> 16) & 0xff), static_cast<int>((word >> 8) & 0xff),
          static_cast<int>(word & 0xff)};
}

inline bool IsPureWhite(Rgb pixel) {
  return pixel.r == 255 && pixel.g == 255 && pixel.b == 255;
}

inline bool IsDark(Rgb pixel) {
  return pixel.r + pixel.g + pixel.b < 3 * 128;
}

inline bool IsInside(int x, int y, const Rect& area) {
  return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

struct PixelCounts {
  int darkInside = 0;
  int notWhiteOutside = 0;
};

// `area` in pixels.
inline PixelCounts CountAround(const Raster& raster, const Rect& area) {
  PixelCounts counts;
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) {
      const Rgb pixel = PixelAt(raster, x, y);
      if (IsInside(x, y, area)) {
        counts.darkInside += IsDark(pixel) ? 1 : 0;
      } else {
        counts.notWhiteOutside += IsPureWhite(pixel) ? 0 : 1;
      }
    }
  }
  return counts;
}

inline cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<unsigned char>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// A real PNG file: left half one colour, right half another.
inline std::vector<unsigned char> TwoColourPng(int width, int height, Color left, Color right) {
  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  {
    const ContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), left.r, left.g, left.b);
    cairo_rectangle(cr.get(), 0, 0, width / 2.0, height);
    cairo_fill(cr.get());
    cairo_set_source_rgb(cr.get(), right.r, right.g, right.b);
    cairo_rectangle(cr.get(), width / 2.0, 0, width / 2.0, height);
    cairo_fill(cr.get());
  }
  std::vector<unsigned char> png;
  cairo_surface_write_to_png_stream(surface.get(), &AppendBytes, &png);
  return png;
}

inline std::string LongText(int repetitions) {
  std::string text;
  for (int i = 0; i < repetitions; ++i) {
    text += "The quick brown fox jumps over the lazy dog and keeps running along the river. ";
  }
  return text;
}

} // namespace layra::graphics::testing
