#include "publish/Manifest.h"

#include <layra/XMLUtils.h>

#include <charconv>

std::string FormatScale(float scale) {
  char text[48];
  auto [end, status] = std::to_chars(text, text + sizeof text, scale, std::chars_format::fixed);
  return status == std::errc() ? std::string(text, end) : std::string("0");
}

std::string BuildManifest(const std::string& macText, const std::string& userName,
                          std::optional<bool> ready, const std::vector<PreviewQuality>& variants,
                          const std::vector<PreviewEntry>& previews) {
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r<root>\r";
  text += "<macaddress>" + XMLUtils::EscapeText(macText) + "</macaddress>\r";
  text += "<username>" + XMLUtils::EscapeText(userName) + "</username>\r";
  text += "<ready>";
  if (ready)
    text += *ready ? "true" : "false";
  text += "</ready>\r";
  for (std::size_t j = 0; j < variants.size() && j < previews.size(); ++j) {
    text += "\t<preview xscale=\"" + FormatScale(variants[j].xScale) + "\" yscale=\"" +
            FormatScale(variants[j].yScale) + "\" width=\"" + std::to_string(previews[j].width) +
            "\" height=\"" + std::to_string(previews[j].height) + "\">" +
            XMLUtils::EscapeText(previews[j].fileName) + "</preview>\r";
  }
  text += "</root>";
  return text;
}
