#pragma once

#include <CHandles.h>
#include <graphics/PageScene.h>
#include <graphics/Raster.h>

#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
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

inline bool IsNear(Rgb pixel, Rgb expected, int tolerance) {
  return std::abs(pixel.r - expected.r) <= tolerance &&
         std::abs(pixel.g - expected.g) <= tolerance && std::abs(pixel.b - expected.b) <= tolerance;
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
      if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
        counts.darkInside += pixel.r + pixel.g + pixel.b < 3 * 128 ? 1 : 0;
      } else {
        counts.notWhiteOutside += IsNear(pixel, {255, 255, 255}, 0) ? 0 : 1;
      }
    }
  }
  return counts;
}

// A real PNG file: left half red, right half blue.
inline std::vector<unsigned char> RedBluePng(int width, int height) {
  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  {
    const ContextPtr cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 0, 0, 1);
    cairo_paint(cr.get());
    cairo_set_source_rgb(cr.get(), 1, 0, 0);
    cairo_rectangle(cr.get(), 0, 0, width / 2.0, height);
    cairo_fill(cr.get());
  }
  std::vector<unsigned char> png;
  const auto append = [](void* out, const unsigned char* data, unsigned int length) {
    static_cast<std::vector<unsigned char>*>(out)->insert(
        static_cast<std::vector<unsigned char>*>(out)->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_write_to_png_stream(surface.get(), append, &png);
  return png;
}

// Decoded by plain TurboJPEG into RGB, so a channel mix-up in our own codec cannot cancel out.
inline std::vector<unsigned char> DecodeToRgb(const std::vector<unsigned char>& jpeg, int width,
                                              int height) {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  const tjhandle decoder = tjInitDecompress();
  const int status =
      tjDecompress2(decoder, jpeg.data(), jpeg.size(), rgb.data(), width, 0, height, TJPF_RGB, 0);
  tjDestroy(decoder);
  return status == 0 ? rgb : std::vector<unsigned char>{};
}

inline std::string LongText(int repetitions) {
  std::string text;
  for (int i = 0; i < repetitions; ++i) {
    text += "The quick brown fox jumps over the lazy dog and keeps running along the river. ";
  }
  return text;
}

} // namespace layra::graphics::testing
