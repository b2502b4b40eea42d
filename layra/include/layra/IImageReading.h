#pragma once
// Reading an image's attributes (its pixel size) from a stream without
// decoding the image.

#include <layra/IPMUnknown.h>

#include <cstdint>

class IPMStream;

constexpr ClassID kImageFormatManagerBoss{0x170E};
constexpr PMIID IID_IIMAGEFORMATMANAGER{0x170E};
constexpr ClassID kImageAttributesBoss{0x1706};
constexpr PMIID IID_IIMAGEATTRIBUTES{0x1707};
constexpr PMIID IID_IIMAGEREADFORMAT{0x1708};

constexpr std::int32_t kImageWidthTag = 100;
constexpr std::int32_t kImageHeightTag = 101;

class IImageAttributes : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IIMAGEATTRIBUTES;
  virtual void SetTag(std::int32_t tag, std::int32_t value) = 0;
  /** False when the tag was never set. */
  virtual bool GetTag(std::int32_t tag, std::int32_t& value) const = 0;
};

class IImageReadFormat : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IIMAGEREADFORMAT;
  virtual bool CanRead(IPMStream* stream) = 0;
  /** Reads the image's header from the stream; false when it is not an image of this format. */
  virtual bool Open(IPMStream* stream) = 0;
  /** Fills the width and height tags; false before a successful Open. */
  virtual bool GetImageAttributes(IImageAttributes* attributes) = 0;
};

class IImageFormatManager : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IIMAGEFORMATMANAGER;
  /** A reader that can read the stream, with one reference; null when none can. */
  virtual IImageReadFormat* QueryImageReadFormat(IPMStream* stream) = 0;
};
