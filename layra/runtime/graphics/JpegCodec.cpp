#include <CHandles.h>
#include <graphics/ErrorText.h>
#include <graphics/JpegCodec.h>

#include <turbojpeg.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <memory>

namespace layra::graphics {
namespace {

// Matches cairo's RGB24, a native-endian 0xXXRRGGBB word per pixel.
constexpr int kNativePixelFormat =
    std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;

constexpr int kBytesPerPixel = 4;

bool BufferMatchesSize(const Raster& raster) {
  if (raster.width < 1 || raster.height < 1) {
    return false;
  }
  if (static_cast<long long>(raster.stride) <
      static_cast<long long>(raster.width) * kBytesPerPixel) {
    return false;
  }
  return raster.pixels.size() >=
         static_cast<std::size_t>(raster.stride) * static_cast<std::size_t>(raster.height);
}

std::optional<ImageSize> ReadHeader(tjhandle handle, const unsigned char* data, std::size_t size) {
  if (data == nullptr || size == 0) {
    return std::nullopt;
  }
  // A tables-only stream succeeds without touching the outputs, hence the zeros.
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) != 0) {
    return std::nullopt;
  }
  if (width < 1 || height < 1) {
    return std::nullopt;
  }
  return ImageSize{width, height};
}

} // namespace

// libjpeg-turbo decodes straight to 1/2, 1/4 or 1/8 of the size (and other eighths) at a
// fraction of the cost: the smallest of those that still covers `fit` is all a frame can show.
ImageSize JpegDecodedSize(ImageSize whole, std::optional<ImageSize> fit) {
  if (!fit)
    return whole;
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  ImageSize best = whole;
  for (int i = 0; factors && i < count; ++i) {
    const tjscalingfactor factor = factors[i];
    if (factor.num > factor.denom)
      continue;
    const ImageSize scaled{TJSCALED(whole.width, factor), TJSCALED(whole.height, factor)};
    if (scaled.width >= fit->width && scaled.height >= fit->height &&
        static_cast<long long>(scaled.width) * scaled.height <
            static_cast<long long>(best.width) * best.height)
      best = scaled;
  }
  return best;
}

struct JpegEncoder::State {
  TjHandle handle{tjInitCompress()};
  TjBuffer buffer;
  unsigned long capacity = 0;
};

JpegEncoder::JpegEncoder() : fState(std::make_unique<State>()) {}

JpegEncoder::~JpegEncoder() = default;

std::optional<std::span<unsigned char>> JpegEncoder::Encode(const Raster& raster, int qualityLevel,
                                                            std::string* error) {
  if (!BufferMatchesSize(raster)) {
    SetError(error, "cannot encode JPEG: raster dimensions do not match its pixel buffer");
    return std::nullopt;
  }
  if (!fState->handle) {
    SetError(error, std::string("cannot start JPEG encoder: ") + tjGetErrorStr2(nullptr));
    return std::nullopt;
  }
  // The worst case any raster of this size can take, so the encoder never reallocates; the
  // system only backs the part a JPEG really fills.
  const unsigned long needed = tjBufSize(raster.width, raster.height, TJSAMP_420);
  if (needed > static_cast<unsigned long>(INT_MAX)) {
    SetError(error, "cannot encode JPEG: the raster is too large");
    return std::nullopt;
  }
  if (needed > fState->capacity) {
    fState->buffer.reset(tjAlloc(static_cast<int>(needed)));
    fState->capacity = fState->buffer ? needed : 0;
  }
  if (!fState->buffer) {
    SetError(error, "cannot encode JPEG: out of memory");
    return std::nullopt;
  }
  const int last = static_cast<int>(kJpegQualityForLevel.size()) - 1;
  const int quality = kJpegQualityForLevel[std::clamp(qualityLevel, 0, last)];
  unsigned char* output = fState->buffer.get();
  unsigned long outputSize = fState->capacity;
  const int status = tjCompress2(fState->handle.get(), raster.pixels.data(), raster.width,
                                 raster.stride, raster.height, kNativePixelFormat, &output,
                                 &outputSize, TJSAMP_420, quality, TJFLAG_NOREALLOC);
  if (status != 0) {
    SetError(error, std::string("JPEG encoding failed: ") + tjGetErrorStr2(fState->handle.get()));
    return std::nullopt;
  }
  return std::span<unsigned char>(output, outputSize);
}

std::optional<std::vector<unsigned char>> EncodeJpeg(const Raster& raster, int qualityLevel,
                                                     std::string* error) {
  JpegEncoder encoder;
  const auto jpeg = encoder.Encode(raster, qualityLevel, error);
  if (!jpeg)
    return std::nullopt;
  return std::vector<unsigned char>(jpeg->begin(), jpeg->end());
}

std::optional<ImageSize> ReadJpegSize(const unsigned char* data, std::size_t size) {
  const TjHandle handle(tjInitDecompress());
  if (!handle) {
    return std::nullopt;
  }
  return ReadHeader(handle.get(), data, size);
}

std::optional<Raster> DecodeJpeg(const unsigned char* data, std::size_t size, std::string* error,
                                 std::optional<ImageSize> fit) {
  const TjHandle handle(tjInitDecompress());
  if (!handle) {
    SetError(error, std::string("cannot start JPEG decoder: ") + tjGetErrorStr2(nullptr));
    return std::nullopt;
  }
  const std::optional<ImageSize> imageSize = ReadHeader(handle.get(), data, size);
  if (!imageSize) {
    SetError(error, "not a JPEG image, or its header is damaged");
    return std::nullopt;
  }
  if (!IsAffordablePicture(*imageSize)) {
    SetError(error, DescribeUnaffordablePicture(*imageSize));
    return std::nullopt;
  }
  const ImageSize scaled = JpegDecodedSize(*imageSize, fit);
  Raster raster{scaled.width, scaled.height, scaled.width * kBytesPerPixel, {}};
  raster.pixels.resize(static_cast<std::size_t>(raster.stride) * raster.height);
  const int status = tjDecompress2(handle.get(), data, size, raster.pixels.data(), raster.width,
                                   raster.stride, raster.height, kNativePixelFormat, 0);
  // Warnings (a truncated scan, stray bytes between markers) still leave a picture that every
  // viewer shows, so only a fatal error counts as failure.
  if (status != 0 && tjGetErrorCode(handle.get()) == TJERR_FATAL) {
    SetError(error, std::string("JPEG decoding failed: ") + tjGetErrorStr2(handle.get()));
    return std::nullopt;
  }
  return raster;
}

} // namespace layra::graphics
