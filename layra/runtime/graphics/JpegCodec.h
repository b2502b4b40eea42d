#pragma once

#include <graphics/Raster.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace layra::graphics {

// Preview quality levels 0..3, from smallest file to best picture.
inline constexpr std::array<int, 4> kJpegQualityForLevel{30, 55, 75, 90};

// Baseline JPEG with 4:2:0 chroma; levels outside 0..3 are clamped.
std::optional<std::vector<unsigned char>> EncodeJpeg(const Raster& raster, int qualityLevel,
                                                     std::string* error);

// EncodeJpeg for many rasters in a row: the encoder and its output buffer are kept, so a page
// costs neither a fresh buffer from the system nor a copy of the encoded bytes. Not thread-safe.
class JpegEncoder {
public:
  JpegEncoder();
  ~JpegEncoder();
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  // The JPEG's bytes, valid until the next call.
  std::optional<std::span<unsigned char>> Encode(const Raster& raster, int qualityLevel,
                                                 std::string* error);

private:
  struct State;
  std::unique_ptr<State> fState;
};

// Reads only the frame header, so it is cheap even for huge files.
std::optional<ImageSize> ReadJpegSize(const unsigned char* data, std::size_t size);

// The smallest size libjpeg-turbo decodes a picture of size `whole` to directly (down to 1/8)
// that is still at least `fit` on both sides; `whole` without `fit`.
ImageSize JpegDecodedSize(ImageSize whole, std::optional<ImageSize> fit);

// With `fit`, decodes at the smallest size libjpeg-turbo reaches directly (down to 1/8) that is
// still at least `fit` on both sides.
std::optional<Raster> DecodeJpeg(const unsigned char* data, std::size_t size, std::string* error,
                                 std::optional<ImageSize> fit = std::nullopt);

} // namespace layra::graphics
