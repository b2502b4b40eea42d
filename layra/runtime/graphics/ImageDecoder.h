#pragma once

#include <CHandles.h>
#include <graphics/Raster.h>

#include <optional>

#include <vector>

namespace layra::graphics {

// Pixels of a decoded picture in cairo's layout: RGB24, or premultiplied ARGB32 with `alpha`.
struct DecodedPicture {
  Raster raster;
  bool alpha = false;
};

// A surface that paints the picture's pixels in place; valid while the picture lives.
SurfacePtr SurfaceOf(const DecodedPicture& picture);

// PNG or JPEG file bytes to pixels; nullopt when the bytes are neither, are damaged, or declare a
// picture too large to hold. With `fit`, a JPEG is decoded straight to a smaller size that still
// covers it: DecodedSize's.
std::optional<DecodedPicture> DecodeImage(const std::vector<unsigned char>& encoded,
                                          std::optional<ImageSize> fit = std::nullopt);

// The size DecodeImage gives a picture that declares `declared`.
ImageSize DecodedSize(const std::vector<unsigned char>& encoded, ImageSize declared,
                      std::optional<ImageSize> fit);

// The size a PNG or JPEG declares in its header, without decoding it.
std::optional<ImageSize> ReadImageSize(const std::vector<unsigned char>& encoded);

} // namespace layra::graphics
