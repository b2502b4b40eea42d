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

SurfacePtr DecodePng(const std::vector<unsigned char>& bytes) {
  if (!PngHeaderIsAffordable(bytes)) {
    return nullptr;
  }
  MemoryReader reader{bytes.data(), bytes.size()};
  SurfacePtr surface(cairo_image_surface_create_from_png_stream(&ReadFromMemory, &reader));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  return surface;
}

const cairo_user_data_key_t kRasterKey{};

// The surface borrows the raster's pixels, so it takes ownership of the raster and frees it when
// cairo drops its last reference.
SurfacePtr SurfaceOwningRaster(Raster raster) {
  auto owned = std::make_unique<Raster>(std::move(raster));
  SurfacePtr surface(cairo_image_surface_create_for_data(
      owned->pixels.data(), CAIRO_FORMAT_RGB24, owned->width, owned->height, owned->stride));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  const cairo_status_t attached =
      cairo_surface_set_user_data(surface.get(), &kRasterKey, owned.get(),
                                  [](void* data) { delete static_cast<Raster*>(data); });
  if (attached != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  owned.release();
  return surface;
}

SurfacePtr DecodeJpegSurface(const std::vector<unsigned char>& bytes,
                             std::optional<ImageSize> fit) {
  std::optional<Raster> raster = DecodeJpeg(bytes.data(), bytes.size(), nullptr, fit);
  if (!raster) {
    return nullptr;
  }
  return SurfaceOwningRaster(std::move(*raster));
}

} // namespace

SurfacePtr DecodeImage(const std::vector<unsigned char>& encoded, std::optional<ImageSize> fit) {
  if (StartsWith(encoded, kPngSignature)) {
    return DecodePng(encoded);
  }
  if (StartsWith(encoded, kJpegSignature)) {
    return DecodeJpegSurface(encoded, fit);
  }
  return nullptr;
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
