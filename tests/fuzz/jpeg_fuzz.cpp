// Picture headers and decoding at a frame's size: a picture that decodes is never larger than
// its header says, covers the frame where the picture is large enough, and a picture past the
// size limit is never decoded.

#include <graphics/ImageDecoder.h>
#include <graphics/JpegCodec.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using layra::graphics::ImageSize;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  layra::graphics::ReadImageSize(bytes);
  const auto header = layra::graphics::ReadJpegSize(data, size);
  constexpr ImageSize kFrame{40, 30};
  const auto raster = layra::graphics::DecodeJpeg(data, size, nullptr, kFrame);
  if (!raster)
    return 0;
  if (!header || !layra::graphics::IsAffordablePicture(*header) || raster->width > header->width ||
      raster->height > header->height || raster->width < std::min(header->width, kFrame.width) ||
      raster->height < std::min(header->height, kFrame.height))
    __builtin_trap();
  return 0;
}
