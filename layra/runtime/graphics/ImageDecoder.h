#pragma once

#include <graphics/CairoHandles.h>
#include <graphics/Raster.h>

#include <optional>

#include <vector>

namespace layra::graphics {

// PNG or JPEG file bytes to a surface ready to paint; null when the bytes are neither, are
// damaged, or declare a picture too large to hold. With `fit`, a JPEG is decoded straight to a
// smaller size that still covers it.
SurfacePtr DecodeImage(const std::vector<unsigned char>& encoded,
                       std::optional<ImageSize> fit = std::nullopt);

// The size a PNG or JPEG declares in its header, without decoding it.
std::optional<ImageSize> ReadImageSize(const std::vector<unsigned char>& encoded);

} // namespace layra::graphics
