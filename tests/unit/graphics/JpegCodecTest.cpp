#include "RasterProbe.h"

#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>

#include <gtest/gtest.h>

namespace layra::graphics {
namespace {

// A busy page, so that quality levels make a difference in size.
Raster TextPage(double scale) {
  PageRenderer renderer;
  const PageScene scene{612,
                        792,
                        {TextItem{Rect{36, 36, 576, 756}, testing::LongText(60), 10},
                         RectangleItem{Rect{300, 300, 500, 400}, Color{0.2, 0.6, 0.3}, {}}}};
  return renderer.RenderPage(scene, scale, scale, 72, 72, nullptr).value();
}

std::vector<unsigned char> Encode(const Raster& raster, int level) {
  std::string error;
  std::optional<std::vector<unsigned char>> jpeg = EncodeJpeg(raster, level, &error);
  EXPECT_TRUE(jpeg) << error;
  return jpeg.value_or(std::vector<unsigned char>{});
}

TEST(EncodeJpeg, HigherLevelsMakeLargerFilesAndOutOfRangeLevelsClamp) {
  const Raster page = TextPage(1);
  std::size_t previous = 0;
  for (int level = 0; level < 4; ++level) {
    const std::size_t size = Encode(page, level).size();
    EXPECT_GT(size, previous) << "level " << level;
    previous = size;
  }
  EXPECT_EQ(Encode(page, -7), Encode(page, 0));
  EXPECT_EQ(Encode(page, 12), Encode(page, 3));
}

TEST(EncodeJpeg, RefusesRasterWhoseBufferIsTooSmall) {
  Raster raster = TextPage(0.5);
  raster.pixels.resize(raster.pixels.size() - 1);
  std::string error;
  EXPECT_FALSE(EncodeJpeg(raster, 1, &error));
  EXPECT_NE(error.find("do not match"), std::string::npos) << error;
  EXPECT_FALSE(EncodeJpeg(Raster{0, 10, 0, {}}, 1, nullptr));
}

TEST(EncodeJpeg, SkipsRowPadding) {
  Raster padded{3, 2, 64, std::vector<unsigned char>(128, 0)};
  const std::uint32_t red = 0x00ff0000;
  for (const int row : {0, 1}) {
    for (const int column : {0, 1, 2}) {
      std::memcpy(padded.pixels.data() + row * padded.stride + column * 4, &red, sizeof red);
    }
  }
  const auto jpeg = Encode(padded, 3);
  const auto decoded = DecodeJpeg(jpeg.data(), jpeg.size(), nullptr);
  ASSERT_TRUE(decoded);
  EXPECT_TRUE(testing::IsNear(testing::PixelAt(*decoded, 2, 1), {255, 0, 0}, 60));
}

class PreviewJpeg : public ::testing::TestWithParam<double> {};

TEST_P(PreviewJpeg, HeaderAndDecodedPictureMatchTheRaster) {
  const Raster page = TextPage(GetParam());
  const auto jpeg = Encode(page, 3);
  const auto size = ReadJpegSize(jpeg.data(), jpeg.size());
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, page.width);
  EXPECT_EQ(size->height, page.height);
  std::string error;
  const auto decoded = DecodeJpeg(jpeg.data(), jpeg.size(), &error);
  ASSERT_TRUE(decoded) << error;
  EXPECT_EQ(decoded->width, page.width);
  const auto green = testing::PixelAt(*decoded, static_cast<int>(400 * GetParam()),
                                      static_cast<int>(350 * GetParam()));
  EXPECT_TRUE(testing::IsNear(green, {51, 153, 77}, 20));
}

INSTANTIATE_TEST_SUITE_P(Scales, PreviewJpeg, ::testing::Values(0.5, 1.0, 2.0));

TEST(ReadJpegSize, RefusesWhatIsNotAJpegHeader) {
  const auto jpeg = Encode(TextPage(0.5), 0);
  const auto png = testing::RedBluePng(4, 4);
  EXPECT_FALSE(ReadJpegSize(png.data(), png.size()));
  EXPECT_FALSE(ReadJpegSize(jpeg.data(), 20)) << "cut before the frame header";
  EXPECT_FALSE(ReadJpegSize(jpeg.data(), 0));
  EXPECT_FALSE(ReadJpegSize(nullptr, 100));
}

// Viewers show what survives of a cut-off file, so the decoder does too; garbage fails.
TEST(DecodeJpeg, TruncatedScanDecodesButGarbageIsRefused) {
  const auto jpeg = Encode(TextPage(1), 2);
  const auto truncated = DecodeJpeg(jpeg.data(), jpeg.size() / 2, nullptr);
  ASSERT_TRUE(truncated);
  EXPECT_EQ(truncated->width, 612);
  const std::vector<unsigned char> garbage{0xff, 0xd8, 0xff, 0x00, 0x12, 0x34, 0x56};
  std::string error;
  EXPECT_FALSE(DecodeJpeg(garbage.data(), garbage.size(), &error));
  EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace layra::graphics
