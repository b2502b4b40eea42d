#include "ImageReading.h"

#include "../model/RefCounted.h"

#include <layra/IPMStream.h>

#include <graphics/JpegCodec.h>

#include <vector>

namespace layra {
namespace {

// The header of a JPEG sits before its first scan; this much covers any real file's
// markers, and a stream is never read further.
constexpr std::size_t kHeaderLimit = 1 << 20;

std::vector<unsigned char> ReadHeaderBytes(IPMStream* stream) {
  std::vector<unsigned char> bytes;
  unsigned char chunk[4096];
  while (stream->IsGood() && bytes.size() < kHeaderLimit) {
    const std::size_t count = stream->XferByte(chunk, sizeof chunk);
    bytes.insert(bytes.end(), chunk, chunk + count);
  }
  return bytes;
}

class JpegReadFormat final : public RefCounted<IImageReadFormat> {
public:
  bool CanRead(IPMStream* stream) override { return stream && stream->IsReading(); }
  bool Open(IPMStream* stream) override {
    if (!CanRead(stream))
      return false;
    const std::vector<unsigned char> bytes = ReadHeaderBytes(stream);
    fSize = graphics::ReadJpegSize(bytes.data(), bytes.size());
    return fSize.has_value();
  }
  bool GetImageAttributes(IImageAttributes* attributes) override {
    if (!fSize || !attributes)
      return false;
    attributes->SetTag(kImageWidthTag, fSize->width);
    attributes->SetTag(kImageHeightTag, fSize->height);
    return true;
  }

private:
  std::optional<graphics::ImageSize> fSize;
};

} // namespace

IImageReadFormat* ImageFormatManager::QueryImageReadFormat(IPMStream* stream) {
  if (!stream || !stream->IsReading())
    return nullptr;
  return new JpegReadFormat();
}

bool ImageAttributes::GetTag(std::int32_t tag, std::int32_t& value) const {
  auto found = fTags.find(tag);
  if (found == fTags.end())
    return false;
  value = found->second;
  return true;
}

} // namespace layra
