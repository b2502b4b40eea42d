#include "RasterProbe.h"

#include <graphics/PageRenderer.h>

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

namespace layra::graphics {
namespace {

const std::string kFont = "DejaVu Sans";

bool IsCharacterStart(std::string_view text, std::size_t offset) {
  return offset == text.size() || (static_cast<unsigned char>(text[offset]) & 0xc0) != 0x80;
}

// Flows `story` through as many identical frames as it takes, the way the host threads a story.
std::vector<std::size_t> FlowThroughFrames(PageRenderer& renderer, std::string_view story,
                                           double width, double height) {
  std::vector<std::size_t> frameLengths;
  std::size_t offset = 0;
  while (offset < story.size()) {
    const std::size_t fit = renderer.FitText(story.substr(offset), kFont, 12, width, height);
    if (fit == 0) {
      ADD_FAILURE() << "frame took nothing at offset " << offset;
      break;
    }
    offset += fit;
    EXPECT_TRUE(IsCharacterStart(story, offset)) << offset;
    frameLengths.push_back(fit);
  }
  return frameLengths;
}

TEST(FitText, ShortTextFitsWhole) {
  PageRenderer renderer;
  EXPECT_EQ(renderer.FitText("Hello, world", kFont, 12, 200, 100), 12u);
}

TEST(FitText, LongTextStopsAtALineStart) {
  PageRenderer renderer;
  const std::string text = testing::LongText(50);
  const std::size_t fit = renderer.FitText(text, kFont, 12, 200, 100);
  EXPECT_GT(fit, 0u);
  EXPECT_LT(fit, text.size());
  EXPECT_EQ(text[fit - 1], ' ') << "wrapping should break between words";
}

TEST(FitText, BiggerFramesAndSmallerFontsFitMore) {
  PageRenderer renderer;
  const std::string text = testing::LongText(50);
  const std::size_t base = renderer.FitText(text, kFont, 12, 200, 100);
  EXPECT_GT(renderer.FitText(text, kFont, 12, 200, 200), base);
  EXPECT_GT(renderer.FitText(text, kFont, 12, 400, 100), base);
  EXPECT_GT(renderer.FitText(text, kFont, 8, 200, 100), base);
}

TEST(FitText, WordLongerThanTheFrameBreaksBetweenCharacters) {
  PageRenderer renderer;
  const std::string word(5000, 'x');
  const std::size_t fit = renderer.FitText(word, kFont, 12, 100, 100);
  EXPECT_GT(fit, 0u);
  EXPECT_LT(fit, word.size());
}

TEST(FitText, NothingFitsInUnusableFrames) {
  PageRenderer renderer;
  const std::string text = testing::LongText(2);
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(renderer.FitText(text, kFont, 12, 200, 5), 0u) << "lower than one line";
  EXPECT_EQ(renderer.FitText(text, kFont, 12, 0, 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 12, -200, 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 12, kNaN, 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 12, 200, kNaN), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 0, 200, 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, kNaN, 200, 100), 0u);
  EXPECT_EQ(renderer.FitText("", kFont, 12, 200, 100), 0u);
}

TEST(FitText, StoryFlowsThroughFramesWithoutLosingBytes) {
  PageRenderer renderer;
  std::string story;
  for (int i = 0; i < 60; ++i) {
    story += "Grüße aus Köln – naïve café, 東京の夜. ";
  }
  const auto frames = FlowThroughFrames(renderer, story, 150, 80);
  std::size_t total = 0;
  for (std::size_t length : frames) {
    total += length;
  }
  EXPECT_EQ(total, story.size());
  EXPECT_GT(frames.size(), 3u);
}

TEST(FitText, InvalidUtf8KeepsCallerOffsets) {
  PageRenderer renderer;
  std::string story;
  for (int i = 0; i < 40; ++i) {
    story += std::string("bad \xff\xfe bytes \xc3 and a nul \0 inside. ", 35);
  }
  const auto frames = FlowThroughFrames(renderer, story, 150, 60);
  std::size_t total = 0;
  for (std::size_t length : frames) {
    total += length;
  }
  EXPECT_EQ(total, story.size());
  EXPECT_GT(frames.size(), 1u);
}

// Long stories are measured from their opening only; the answer must be the one the whole text
// gives, which a text ending a few words after the fit point also gives.
TEST(FitText, LongStoryFitsAsIfLaidOutWhole) {
  PageRenderer renderer;
  const std::string story = testing::LongText(400);
  for (const double width : {40.0, 120.0, 300.0}) {
    for (const double height : {20.0, 100.0, 400.0, 700.0}) {
      const std::size_t fit = renderer.FitText(story, kFont, 12, width, height);
      ASSERT_LT(fit, story.size());
      const std::string_view reference = std::string_view(story).substr(0, fit + 60);
      EXPECT_EQ(renderer.FitText(reference, kFont, 12, width, height), fit)
          << width << " x " << height;
    }
  }
}

// The lines FitText counts must really end inside the frame: drawn in a frame that is taller,
// the fitted part leaves everything below the original frame's bottom white.
TEST(FitText, FittedLinesEndInsideTheFrame) {
  PageRenderer renderer;
  const std::string story = testing::LongText(30);
  const std::size_t fit = renderer.FitText(story, kFont, 12, 200, 100);
  ASSERT_GT(fit, 0u);
  const PageScene scene{612, 792, {TextItem{Rect{72, 72, 272, 792}, story.substr(0, fit)}}};
  std::string error;
  const auto raster = renderer.RenderPage(scene, 1, 1, 72, 72, &error);
  ASSERT_TRUE(raster) << error;
  const auto counts = testing::CountAround(*raster, Rect{72, 72, 272, 172});
  EXPECT_GT(counts.darkInside, 500);
  EXPECT_EQ(counts.notWhiteOutside, 0);
}

} // namespace
} // namespace layra::graphics
