#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IImageReading.h>

#include <map>

namespace layra {

class ImageFormatManager : public CPMUnknown<IImageFormatManager> {
public:
  explicit ImageFormatManager(IPMUnknown* boss) : CPMUnknown<IImageFormatManager>(boss) {}
  IImageReadFormat* QueryImageReadFormat(IPMStream* stream) override;
};

class ImageAttributes : public CPMUnknown<IImageAttributes> {
public:
  explicit ImageAttributes(IPMUnknown* boss) : CPMUnknown<IImageAttributes>(boss) {}
  void SetTag(std::int32_t tag, std::int32_t value) override { fTags[tag] = value; }
  bool GetTag(std::int32_t tag, std::int32_t& value) const override;

private:
  std::map<std::int32_t, std::int32_t> fTags;
};

} // namespace layra
