#include <graphics/ImageDecoder.h>
#include <graphics/JpegCodec.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

namespace layra::graphics {
namespace {

constexpr std::array<unsigned char, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::array<unsigned char, 3> kJpegSignature{0xff, 0xd8, 0xff};

template <std::size_t N>
bool StartsWith(const std::vector<unsigned char>& bytes,
                const std::array<unsigned char, N>& prefix) {
  return bytes.size() >= N && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::uint32_t ReadBigEndian32(const unsigned char* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// The IHDR chunk always comes first.
std::optional<ImageSize> ReadPngSize(const std::vector<unsigned char>& bytes) {
  constexpr std::size_t kIhdrName = 12;
  constexpr std::size_t kIhdrWidth = 16;
  constexpr std::size_t kIhdrEnd = 24;
  if (bytes.size() < kIhdrEnd || std::memcmp(bytes.data() + kIhdrName, "IHDR", 4) != 0) {
    return std::nullopt;
  }
  const std::uint32_t width = ReadBigEndian32(bytes.data() + kIhdrWidth);
  const std::uint32_t height = ReadBigEndian32(bytes.data() + kIhdrWidth + 4);
  if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) {
    return std::nullopt;
  }
  return ImageSize{static_cast<int>(width), static_cast<int>(height)};
}

// The PNG reader allocates the full picture before looking at the pixel data, so a tiny file
// declaring a huge image would take gigabytes.
bool PngHeaderIsAffordable(const std::vector<unsigned char>& bytes) {
  const std::optional<ImageSize> size = ReadPngSize(bytes);
  return size && IsAffordablePicture(*size);
}

struct MemoryReader {
  const unsigned char* next;
  std::size_t remaining;
};

cairo_status_t ReadFromMemory(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<MemoryReader*>(closure);
  if (length > reader->remaining) {
    return CAIRO_STATUS_READ_ERROR;
  }
  std::memcpy(out, reader->next, length);
  reader->next += length;
  reader->remaining -= length;
  return CAIRO_STATUS_SUCCESS;
}

std::optional<DecodedPicture> DecodePng(const std::vector<unsigned char>& bytes) {
  if (!PngHeaderIsAffordable(bytes)) {
    return std::nullopt;
  }
  MemoryReader reader{bytes.data(), bytes.size()};
  const SurfacePtr surface(cairo_image_surface_create_from_png_stream(&ReadFromMemory, &reader));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return std::nullopt;
  }
  cairo_surface_flush(surface.get());
  const int height = cairo_image_surface_get_height(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  return DecodedPicture{
      Raster{cairo_image_surface_get_width(surface.get()), height, stride,
             std::vector<unsigned char>(data, data + std::size_t(stride) * std::size_t(height))},
      cairo_image_surface_get_format(surface.get()) == CAIRO_FORMAT_ARGB32};
}

} // namespace

SurfacePtr SurfaceOf(const DecodedPicture& picture) {
  const Raster& raster = picture.raster;
  // cairo only reads a source surface's pixels.
  SurfacePtr surface(
      cairo_image_surface_create_for_data(const_cast<unsigned char*>(raster.pixels.data()),
                                          picture.alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                          raster.width, raster.height, raster.stride));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  return surface;
}

std::optional<DecodedPicture> DecodeImage(const std::vector<unsigned char>& encoded,
                                          std::optional<ImageSize> fit) {
  if (StartsWith(encoded, kPngSignature)) {
    return DecodePng(encoded);
  }
  if (!StartsWith(encoded, kJpegSignature)) {
    return std::nullopt;
  }
  std::optional<Raster> raster = DecodeJpeg(encoded.data(), encoded.size(), nullptr, fit);
  if (!raster) {
    return std::nullopt;
  }
  return DecodedPicture{std::move(*raster), false};
}

ImageSize DecodedSize(const std::vector<unsigned char>& encoded, ImageSize declared,
                      std::optional<ImageSize> fit) {
  return StartsWith(encoded, kJpegSignature) ? JpegDecodedSize(declared, fit) : declared;
}

std::optional<ImageSize> ReadImageSize(const std::vector<unsigned char>& encoded) {
  if (StartsWith(encoded, kPngSignature)) {
    return ReadPngSize(encoded);
  }
  if (StartsWith(encoded, kJpegSignature)) {
    return ReadJpegSize(encoded.data(), encoded.size());
  }
  return std::nullopt;
}

} // namespace layra::graphics
