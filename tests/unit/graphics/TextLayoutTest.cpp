#include "RasterProbe.h"

#include <graphics/PageRenderer.h>

#include <gtest/gtest.h>

#include <limits>
#include <string_view>

namespace layra::graphics {
namespace {

const std::string kFont = "DejaVu Sans";

// Flows `story` through identical frames the way the host threads a story, checking that every
// frame takes something and ends on a character boundary. Returns the number of frames used.
int FlowThroughFrames(PageRenderer& renderer, std::string_view story, double width, double height) {
  int frames = 0;
  for (std::size_t offset = 0; offset < story.size(); ++frames) {
    const std::size_t fit = renderer.FitText(story.substr(offset), kFont, 12, width, height);
    if (fit == 0) {
      ADD_FAILURE() << "frame took nothing at offset " << offset;
      break;
    }
    offset += fit;
    EXPECT_TRUE(offset == story.size() ||
                (static_cast<unsigned char>(story[offset]) & 0xc0) != 0x80)
        << "cut inside a character at " << offset;
  }
  return frames;
}

TEST(FitText, ShortTextFitsWholeAndLongTextStopsAtALineStart) {
  PageRenderer renderer;
  EXPECT_EQ(renderer.FitText("Hello, world", kFont, 12, 200, 100), 12u);
  const std::string text = testing::LongText(50);
  const std::size_t fit = renderer.FitText(text, kFont, 12, 200, 100);
  EXPECT_GT(fit, 0u);
  EXPECT_LT(fit, text.size());
  EXPECT_EQ(text[fit - 1], ' ') << "wrapping breaks between words";
  EXPECT_GT(renderer.FitText(text, kFont, 12, 200, 200), fit);
  EXPECT_GT(renderer.FitText(text, kFont, 12, 400, 100), fit);
  EXPECT_GT(renderer.FitText(text, kFont, 8, 200, 100), fit);
}

TEST(FitText, WordWiderThanTheFrameBreaksBetweenCharacters) {
  PageRenderer renderer;
  const std::string word(5000, 'x');
  const std::size_t fit = renderer.FitText(word, kFont, 12, 100, 100);
  EXPECT_GT(fit, 0u);
  EXPECT_LT(fit, word.size());
}

TEST(FitText, NothingFitsInUnusableFrames) {
  PageRenderer renderer;
  const std::string text = testing::LongText(2);
  EXPECT_EQ(renderer.FitText(text, kFont, 12, 200, 5), 0u) << "lower than one line";
  EXPECT_EQ(renderer.FitText(text, kFont, 12, -200, 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 12, std::numeric_limits<double>::quiet_NaN(), 100), 0u);
  EXPECT_EQ(renderer.FitText(text, kFont, 0, 200, 100), 0u);
  EXPECT_EQ(renderer.FitText("", kFont, 12, 200, 100), 0u);
}

TEST(FitText, StoryFlowsThroughFramesWithoutLosingBytes) {
  PageRenderer renderer;
  std::string story;
  std::string damaged;
  for (int i = 0; i < 60; ++i) {
    story += "Grüße aus Köln – naïve café, 東京の夜. ";
    damaged += std::string("bad \xff\xfe bytes \xc3 and a nul \0 inside. ", 35);
  }
  EXPECT_GT(FlowThroughFrames(renderer, story, 150, 80), 3);
  EXPECT_GT(FlowThroughFrames(renderer, damaged, 150, 60), 3);
}

// Long stories are measured from their opening only; the answer must be the one the whole text
// gives, which a text ending a few words after the fit point also gives.
// Long stories are measured from their opening only. The answer must still be a line start of
// the whole story (words here are narrower than the frames, so lines end after a space), and the
// same as for a text that ends a few words later. Combining accents pack many bytes into little
// width, so that story outgrows the first opening FitText tries.
TEST(FitText, LongStoryFitsAsIfLaidOutWhole) {
  PageRenderer renderer;
  std::string accented;
  for (int i = 0; i < 4000; ++i) {
    accented += "ti\u0301\u0301 ";
  }
  for (const std::string& story : {testing::LongText(400), accented}) {
    for (const double width : {60.0, 120.0, 300.0}) {
      for (const double height : {20.0, 100.0, 700.0}) {
        const std::size_t fit = renderer.FitText(story, kFont, 12, width, height);
        ASSERT_GT(fit, 0u);
        EXPECT_EQ(story[fit - 1], ' ') << width << " x " << height;
        const std::string_view shorter = std::string_view(story).substr(0, fit + 60);
        EXPECT_EQ(renderer.FitText(shorter, kFont, 12, width, height), fit)
            << width << " x " << height;
      }
    }
  }
}

// Drawn in a taller frame, the part FitText accepted must leave everything below the original
// frame's bottom white: the lines it counts really end inside the frame.
TEST(FitText, FittedLinesEndInsideTheFrame) {
  PageRenderer renderer;
  const std::string story = testing::LongText(30);
  const std::size_t fit = renderer.FitText(story, kFont, 12, 200, 100);
  const PageScene scene{612, 792, {TextItem{Rect{72, 72, 272, 792}, story.substr(0, fit)}}};
  const auto raster = renderer.RenderPage(scene, 1, 1, 72, 72, nullptr);
  ASSERT_TRUE(raster);
  const auto counts = testing::CountAround(*raster, Rect{72, 72, 272, 172});
  EXPECT_GT(counts.darkInside, 500);
  EXPECT_EQ(counts.notWhiteOutside, 0);
}

} // namespace
} // namespace layra::graphics
