#pragma once
// A long section for the send benchmarks, made of the sample section's four pages.

#include "WholeFile.h"

#include <string>

/** The sample section's pages repeated up to `pages` (a multiple of four). */
inline std::string SampleSectionOf(int pages) {
  const std::string sample = folivox::test::ReadWholeFile(SAMPLES_DIR "/08_12_05_005-008.lyd");
  const auto firstPage = sample.find("  <page ");
  const auto end = sample.find("</layra-document>");
  std::string body;
  for (int i = 0; i < pages / 4; ++i)
    body += sample.substr(firstPage, end - firstPage);
  return sample.substr(0, firstPage) + body + "</layra-document>\n";
}
