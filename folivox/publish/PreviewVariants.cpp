#include "publish/PreviewVariants.h"

#include "base/Trace.h"
#include "publish/ConfigTree.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr const char kElementName[] = "PREVQUALITY";
constexpr std::int32_t kLowestJpegQuality = 1;
constexpr std::int32_t kHighestJpegQuality = 4;

PreviewQuality Variant(float scale, std::int32_t jpegQuality, const char* suffix) {
  return {scale, scale, 72, jpegQuality, PMString(suffix, PMString::kDontTranslateDuringCall)};
}

// One PREVQUALITY element, named in diagnostics by its place among its kind (1 = first).
class VariantElement {
public:
  VariantElement(const ConfigNode& element, int position)
      : fElement(element), fPosition(position) {}

  std::optional<PreviewQuality> Read() const {
    const std::optional<float> xScale = Measure("XSCALE");
    if (!xScale)
      return std::nullopt;
    const std::optional<float> yScale = Measure("YSCALE");
    if (!yScale)
      return std::nullopt;
    const std::optional<float> resolution = Measure("DPI");
    if (!resolution)
      return std::nullopt;
    const std::optional<std::int32_t> quality = JpegQuality();
    if (!quality)
      return std::nullopt;
    const std::optional<PMString> suffix = Attribute("STRING");
    if (!suffix)
      return std::nullopt;
    // The host numbers its JPEG qualities from 0.
    return PreviewQuality{*xScale, *yScale, *resolution, *quality - 1, *suffix};
  }

private:
  std::optional<PMString> Attribute(const char* name) const {
    const std::unique_ptr<WideString> value = GetAttribute(fElement, WideString(name));
    if (!value) {
      folivox::Trace("%s %d skipped: it has no %s attribute.\n", kElementName, fPosition, name);
      return std::nullopt;
    }
    return PMString(*value);
  }

  // Scales and resolutions: a positive number that a float can hold.
  std::optional<float> Measure(const char* name) const {
    const std::optional<PMString> text = Attribute(name);
    if (!text)
      return std::nullopt;
    std::int32_t error = 0;
    const double number = text->GetAsDouble(&error);
    const bool usable = error == 0 && std::isfinite(number) && number > 0 &&
                        number <= std::numeric_limits<float>::max() &&
                        static_cast<float>(number) > 0;
    if (!usable) {
      Reject(name, *text, "is not a positive number");
      return std::nullopt;
    }
    return static_cast<float>(number);
  }

  std::optional<std::int32_t> JpegQuality() const {
    const char* name = "JPEGQUALITY";
    const std::optional<PMString> text = Attribute(name);
    if (!text)
      return std::nullopt;
    std::int32_t error = 0;
    const std::int32_t number = text->GetAsNumber(&error);
    if (error != 0) {
      Reject(name, *text, "is not a whole number");
      return std::nullopt;
    }
    const std::int32_t quality = std::clamp(number, kLowestJpegQuality, kHighestJpegQuality);
    if (quality != number)
      folivox::Trace("%s %d: %s=\"%s\" is outside %d to %d; %d is used.\n", kElementName, fPosition,
                     name, text->GrabCString(), kLowestJpegQuality, kHighestJpegQuality, quality);
    return quality;
  }

  void Reject(const char* name, const PMString& text, const char* reason) const {
    folivox::Trace("%s %d skipped: %s=\"%s\" %s.\n", kElementName, fPosition, name,
                   text.GrabCString(), reason);
  }

  const ConfigNode& fElement;
  int fPosition;
};

} // namespace

std::vector<PreviewQuality> DefaultPreviewVariants() {
  return {Variant(0.5F, 0, "-lowquality"), Variant(1.0F, 1, "-medquality"),
          Variant(2.0F, 2, "-highquality")};
}

std::vector<PreviewQuality> ReadPreviewVariants(const ConfigNode& root) {
  const std::vector<ConfigNode> elements = FindChildren(root, WideString(kElementName));
  std::vector<PreviewQuality> variants;
  int position = 0;
  for (const ConfigNode& element : elements) {
    if (std::optional<PreviewQuality> variant = VariantElement(element, ++position).Read())
      variants.push_back(std::move(*variant));
  }
  if (!variants.empty())
    return variants;
  // Sending pages without any preview would look to the server like pages without content;
  // a configuration whose every variant is broken gets the standard ones, as one without any.
  if (!elements.empty())
    folivox::Trace("No usable %s; the default previews are made.\n", kElementName);
  return DefaultPreviewVariants();
}
