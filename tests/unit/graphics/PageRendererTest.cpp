#include "RasterProbe.h"

#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <tuple>

namespace layra::graphics {
namespace {

using testing::CountAround;
using testing::IsPureWhite;
using testing::PixelAt;
using testing::Rgb;

constexpr double kLetterWidth = 612;
constexpr double kLetterHeight = 792;
constexpr Color kRed{1, 0, 0};
constexpr Color kBlue{0, 0, 1};

PageScene Letter(std::vector<PageItem> items = {}) {
  return PageScene{kLetterWidth, kLetterHeight, std::move(items)};
}

Raster Render(PageRenderer& renderer, const PageScene& scene, double scale = 1,
              double resolution = 72) {
  std::string error;
  std::optional<Raster> raster =
      renderer.RenderPage(scene, scale, scale, resolution, resolution, &error);
  EXPECT_TRUE(raster) << error;
  return raster ? std::move(*raster) : Raster{};
}

bool IsNear(Rgb pixel, Rgb expected, int tolerance) {
  return std::abs(pixel.r - expected.r) <= tolerance &&
         std::abs(pixel.g - expected.g) <= tolerance && std::abs(pixel.b - expected.b) <= tolerance;
}

class RasterSize : public ::testing::TestWithParam<std::tuple<double, double>> {};

TEST_P(RasterSize, FollowsScaleAndResolution) {
  const auto [scale, dpi] = GetParam();
  PageRenderer renderer;
  const Raster raster = Render(renderer, Letter(), scale, dpi);
  EXPECT_EQ(raster.width, std::lround(kLetterWidth * scale * dpi / 72));
  EXPECT_EQ(raster.height, std::lround(kLetterHeight * scale * dpi / 72));
  EXPECT_GE(raster.stride, raster.width * 4);
  EXPECT_EQ(raster.pixels.size(), static_cast<std::size_t>(raster.stride) * raster.height);
}

INSTANTIATE_TEST_SUITE_P(PreviewVariants, RasterSize,
                         ::testing::Combine(::testing::Values(0.5, 1.0, 2.0),
                                            ::testing::Values(72.0, 150.0)));

TEST(RasterSize, KnownLetterSizes) {
  PageRenderer renderer;
  const Raster half = Render(renderer, Letter(), 0.5, 150);
  EXPECT_EQ(half.width, 638); // 637.5 rounds up
  EXPECT_EQ(half.height, 825);
  const Raster twice = Render(renderer, Letter(), 2, 72);
  EXPECT_EQ(twice.width, 1224);
  EXPECT_EQ(twice.height, 1584);
}

TEST(RasterSize, AxesScaleIndependently) {
  PageRenderer renderer;
  std::string error;
  const auto raster = renderer.RenderPage(Letter(), 1, 2, 72, 150, &error);
  ASSERT_TRUE(raster) << error;
  EXPECT_EQ(raster->width, 612);
  EXPECT_EQ(raster->height, 3300);
}

class RefusedPage : public ::testing::TestWithParam<std::tuple<double, double, double>> {};

TEST_P(RefusedPage, ReportsWhy) {
  const auto [pageWidth, scale, dpi] = GetParam();
  PageRenderer renderer;
  std::string error;
  EXPECT_FALSE(
      renderer.RenderPage(PageScene{pageWidth, kLetterHeight, {}}, scale, 1, dpi, 72, &error));
  EXPECT_NE(error.find("cannot render"), std::string::npos) << error;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    BadScalesAndSizes, RefusedPage,
    ::testing::Values(std::tuple{kLetterWidth, 0.0, 72.0}, std::tuple{kLetterWidth, -1.0, 72.0},
                      std::tuple{kLetterWidth, kNaN, 72.0},
                      std::tuple{kLetterWidth, kInfinity, 72.0}, std::tuple{kLetterWidth, 1.0, 0.0},
                      std::tuple{kLetterWidth, 1.0, kNaN}, std::tuple{-kLetterWidth, -1.0, 72.0},
                      std::tuple{0.0, 1.0, 72.0},
                      std::tuple{kLetterWidth, 100.0, 72.0}, // 61200 pixels wide
                      std::tuple{kLetterWidth, 0.0001, 72.0}));

TEST(PageContent, EmptyPageIsWhite) {
  PageRenderer renderer;
  const Raster raster = Render(renderer, Letter(), 0.5);
  EXPECT_EQ(CountAround(raster, Rect{0, 0, 0, 0}).notWhiteOutside, 0);
}

class RedBoxInJpeg : public ::testing::TestWithParam<double> {};

TEST_P(RedBoxInJpeg, StaysInPlace) {
  const double scale = GetParam();
  PageRenderer renderer;
  const PageScene scene = Letter({RectangleItem{Rect{100, 100, 300, 200}, kRed, {}}});
  const Raster rendered = Render(renderer, scene, scale);
  std::string error;
  const auto jpeg = EncodeJpeg(rendered, 2, &error);
  ASSERT_TRUE(jpeg) << error;
  const auto decoded = DecodeJpeg(jpeg->data(), jpeg->size(), &error);
  ASSERT_TRUE(decoded) << error;

  const auto at = [&](double x, double y) {
    return PixelAt(*decoded, static_cast<int>(x * scale), static_cast<int>(y * scale));
  };
  constexpr int kJpegTolerance = 40;
  EXPECT_TRUE(IsNear(at(200, 150), {255, 0, 0}, kJpegTolerance));
  EXPECT_TRUE(IsNear(at(110, 110), {255, 0, 0}, kJpegTolerance));
  EXPECT_TRUE(IsNear(at(290, 190), {255, 0, 0}, kJpegTolerance));
  for (const auto& [x, y] : {std::pair{50.0, 50.0},
                             {90.0, 150.0},
                             {310.0, 150.0},
                             {200.0, 90.0},
                             {200.0, 210.0},
                             {500.0, 700.0}}) {
    EXPECT_TRUE(IsNear(at(x, y), {255, 255, 255}, kJpegTolerance)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(PreviewScales, RedBoxInJpeg, ::testing::Values(0.5, 1.0, 2.0));

TEST(PageContent, LaterItemsPaintOverEarlierOnes) {
  PageRenderer renderer;
  const Raster raster =
      Render(renderer, Letter({RectangleItem{Rect{0, 0, 100, 100}, kRed, {}},
                               RectangleItem{Rect{50, 50, 150, 150}, kBlue, {}}}));
  EXPECT_TRUE(IsNear(PixelAt(raster, 25, 25), {255, 0, 0}, 0));
  EXPECT_TRUE(IsNear(PixelAt(raster, 75, 75), {0, 0, 255}, 0));
}

TEST(PageContent, StrokeOnlyRectangleLeavesInsideWhite) {
  PageRenderer renderer;
  const Raster raster =
      Render(renderer, Letter({RectangleItem{Rect{100, 100, 200, 200}, {}, kBlue, 4}}));
  EXPECT_TRUE(IsNear(PixelAt(raster, 100, 150), {0, 0, 255}, 0));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 150, 150)));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 95, 150)));
}

TEST(PageContent, BadItemsAreSkippedAndTheRestDrawn) {
  PageRenderer renderer;
  TextItem hugeFont{Rect{0, 0, 300, 300}, "text", 1e9};
  TextItem negativeFont{Rect{0, 0, 300, 300}, "text", -12};
  const PageScene scene = Letter({
      RectangleItem{Rect{kNaN, 0, 10, 10}, kBlue, kBlue},
      RectangleItem{Rect{0, 0, 1e300, 1e300}, kBlue, {}},
      RectangleItem{Rect{0, 0, 100, 100}, {}, kBlue, kInfinity},
      RectangleItem{Rect{0, 0, 100, 100}, Color{kNaN, kInfinity, -3}, {}},
      ImageItem{Rect{10, 10, 10, 300}, {}},
      ImageItem{Rect{10, 10, 10.0000001, 300}, testing::TwoColourPng(2, 2, kRed, kBlue)},
      std::move(hugeFont),
      std::move(negativeFont),
      TextItem{Rect{kNaN, 0, 100, 100}, "text"},
      RectangleItem{Rect{400, 400, 500, 500}, kRed, {}},
  });
  const Raster raster = Render(renderer, scene);
  EXPECT_TRUE(IsNear(PixelAt(raster, 450, 450), {255, 0, 0}, 0));
  // Out-of-range channels are clamped and NaN taken as 0 rather than left undefined.
  EXPECT_TRUE(IsNear(PixelAt(raster, 50, 50), {0, 255, 0}, 0));
}

TEST(Images, PngIsScaledIntoItsBounds) {
  PageRenderer renderer;
  const PageScene scene =
      Letter({ImageItem{Rect{100, 100, 300, 200}, testing::TwoColourPng(2, 1, kRed, kBlue)}});
  const Raster raster = Render(renderer, scene);
  EXPECT_TRUE(IsNear(PixelAt(raster, 110, 150), {255, 0, 0}, 8));
  EXPECT_TRUE(IsNear(PixelAt(raster, 290, 150), {0, 0, 255}, 8));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 95, 150)));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 305, 150)));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 200, 205)));
}

TEST(Images, JpegIsDecodedAndScaled) {
  PageRenderer renderer;
  const Raster source = Render(renderer, Letter({RectangleItem{Rect{0, 0, 306, 792}, kBlue, {}}}));
  std::string error;
  const auto jpeg = EncodeJpeg(source, 3, &error);
  ASSERT_TRUE(jpeg) << error;
  const Raster raster = Render(renderer, Letter({ImageItem{Rect{100, 100, 200, 200}, *jpeg}}));
  EXPECT_TRUE(IsNear(PixelAt(raster, 120, 150), {0, 0, 255}, 40));
  EXPECT_TRUE(IsNear(PixelAt(raster, 180, 150), {255, 255, 255}, 40));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 205, 150)));
}

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
  return std::vector<unsigned char>(values.begin(), values.end());
}

std::vector<unsigned char> PngDeclaringHugeSize() {
  std::vector<unsigned char> png = testing::TwoColourPng(2, 2, kRed, kBlue);
  for (int i = 16; i < 24; ++i) {
    png[i] = (i == 16 || i == 20) ? 0x7f : 0xff; // width and height near 2^31
  }
  return png;
}

std::vector<unsigned char> TruncatedPng() {
  std::vector<unsigned char> png = testing::TwoColourPng(40, 40, kRed, kBlue);
  png.resize(png.size() / 2);
  return png;
}

class BrokenImage : public ::testing::TestWithParam<std::vector<unsigned char>> {};

TEST_P(BrokenImage, DrawsPlaceholderAndPageSucceeds) {
  PageRenderer renderer;
  const Rect bounds{100, 100, 200, 200};
  const Raster raster = Render(renderer, Letter({ImageItem{bounds, GetParam()}}));
  const Rgb fill = PixelAt(raster, 150, 110);
  const Rgb cross = PixelAt(raster, 150, 150);
  EXPECT_TRUE(IsNear(fill, {217, 217, 217}, 4));
  EXPECT_LT(cross.r, fill.r - 40);
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 95, 150)));
  EXPECT_TRUE(IsPureWhite(PixelAt(raster, 205, 150)));
}

INSTANTIATE_TEST_SUITE_P(
    Corruptions, BrokenImage,
    ::testing::Values(std::vector<unsigned char>{}, Bytes({'G', 'I', 'F', '8', '9', 'a'}),
                      Bytes({0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1}),
                      Bytes({0xff, 0xd8, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}),
                      Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0}),
                      PngDeclaringHugeSize(), TruncatedPng()));

TEST(Text, DrawsInsideItsFrameOnly) {
  PageRenderer renderer;
  const Rect frame{72, 72, 272, 172};
  const Raster raster = Render(renderer, Letter({TextItem{frame, testing::LongText(20)}}));
  const auto counts = CountAround(raster, frame);
  EXPECT_GT(counts.darkInside, 500);
  EXPECT_EQ(counts.notWhiteOutside, 0);
}

TEST(Text, WrapsToFrameWidth) {
  PageRenderer renderer;
  const Rect frame{72, 72, 272, 672};
  const Raster raster = Render(renderer, Letter({TextItem{frame, testing::LongText(3)}}));
  const auto lower = CountAround(raster, Rect{72, 150, 272, 672});
  EXPECT_GT(lower.darkInside, 100) << "a single unwrapped line would leave this band empty";
}

TEST(Text, UsesItsColour) {
  PageRenderer renderer;
  TextItem item{Rect{0, 0, 300, 300}, std::string(40, 'M'), 40};
  item.color = kRed;
  const Raster raster = Render(renderer, Letter({item}));
  int reddish = 0;
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 300; ++x) {
      const Rgb pixel = PixelAt(raster, x, y);
      reddish += (pixel.r > 200 && pixel.g < 60 && pixel.b < 60) ? 1 : 0;
    }
  }
  EXPECT_GT(reddish, 1000);
}

TEST(Text, InvalidUtf8StillRenders) {
  PageRenderer renderer;
  const Rect frame{72, 72, 272, 172};
  const std::string text = std::string("abc\xff\xfe def \xc3 ghi\0jkl", 19);
  const Raster raster = Render(renderer, Letter({TextItem{frame, text + "MMMM"}}));
  EXPECT_GT(CountAround(raster, frame).darkInside, 50);
}

// Each renderer owns its font state, so renderers working at once on different threads must
// produce exactly what one renderer alone does.
TEST(Threads, RenderersOnSeparateThreadsAgree) {
  const PageScene scene = Letter({TextItem{Rect{36, 36, 576, 756}, testing::LongText(40)},
                                  RectangleItem{Rect{100, 100, 200, 200}, kRed, kBlue}});
  PageRenderer reference;
  const Raster expected = Render(reference, scene);
  std::vector<Raster> results(2);
  std::vector<std::thread> threads;
  for (Raster& result : results) {
    threads.emplace_back([&scene, &result] {
      PageRenderer renderer;
      for (int i = 0; i < 3; ++i) {
        result = Render(renderer, scene);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const Raster& result : results) {
    EXPECT_EQ(result.pixels, expected.pixels);
  }
}

} // namespace
} // namespace layra::graphics
