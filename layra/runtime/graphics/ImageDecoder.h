#pragma once

#include <graphics/CairoHandles.h>

#include <vector>

namespace layra::graphics {

// PNG or JPEG file bytes to a surface ready to paint; null when the bytes are neither, are
// damaged, or declare a picture too large to hold.
SurfacePtr DecodeImage(const std::vector<unsigned char>& encoded);

} // namespace layra::graphics
