#include "RasterProbe.h"

#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>
#include <graphics/PictureCache.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <limits>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace layra::graphics {
namespace {

using testing::CountAround;
using testing::IsNear;
using testing::PixelAt;

constexpr Color kRed{1, 0, 0};
constexpr Color kBlue{0, 0, 1};
constexpr testing::Rgb kWhitePixel{255, 255, 255};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

PageScene Letter(std::vector<PageItem> items) {
  return PageScene{612, 792, std::move(items)};
}

Raster Render(const PageScene& scene, double scale = 1) {
  PageRenderer renderer;
  std::string error;
  std::optional<Raster> raster = renderer.RenderPage(scene, scale, scale, 72, 72, &error);
  EXPECT_TRUE(raster) << error;
  return raster ? std::move(*raster) : Raster{};
}

// scale, dpi, expected width and height of a US letter page.
class RasterSize : public ::testing::TestWithParam<std::tuple<double, double, int, int>> {};

TEST_P(RasterSize, FollowsScaleAndResolution) {
  const auto [scale, dpi, width, height] = GetParam();
  PageRenderer renderer;
  std::string error;
  const auto raster = renderer.RenderPage(Letter({}), scale, scale, dpi, dpi, &error);
  ASSERT_TRUE(raster) << error;
  EXPECT_EQ(raster->width, width);
  EXPECT_EQ(raster->height, height);
  EXPECT_EQ(raster->pixels.size(), static_cast<std::size_t>(raster->stride) * height);
  EXPECT_EQ(CountAround(*raster, Rect{}).notWhiteOutside, 0);
}

INSTANTIATE_TEST_SUITE_P(PreviewVariants, RasterSize,
                         ::testing::Values(std::tuple{0.5, 72.0, 306, 396},
                                           std::tuple{1.0, 72.0, 612, 792},
                                           std::tuple{2.0, 72.0, 1224, 1584},
                                           std::tuple{0.5, 150.0, 638, 825}, // 637.5 rounds up
                                           std::tuple{1.0, 150.0, 1275, 1650},
                                           std::tuple{2.0, 150.0, 2550, 3300}));

// page width, x scale, x resolution
class RefusedPage : public ::testing::TestWithParam<std::tuple<double, double, double>> {};

TEST_P(RefusedPage, ReportsWhy) {
  const auto [pageWidth, scale, dpi] = GetParam();
  PageRenderer renderer;
  std::string error;
  EXPECT_FALSE(renderer.RenderPage(PageScene{pageWidth, 792, {}}, scale, 1, dpi, 72, &error));
  EXPECT_NE(error.find("cannot render a page"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    BadScalesAndSizes, RefusedPage,
    ::testing::Values(std::tuple{612.0, 0.0, 72.0}, std::tuple{612.0, -1.0, 72.0},
                      std::tuple{612.0, kNaN, 72.0}, std::tuple{612.0, kInfinity, 72.0},
                      std::tuple{612.0, 1.0, kNaN}, std::tuple{-612.0, -1.0, 72.0},
                      std::tuple{612.0, 100.0, 72.0}, // 61200 pixels wide
                      std::tuple{612.0, 0.0001, 72.0}));

class RedBoxInJpeg : public ::testing::TestWithParam<double> {};

TEST_P(RedBoxInJpeg, StaysInPlaceAndLeavesTheRestWhite) {
  const double scale = GetParam();
  const Raster rendered =
      Render(Letter({RectangleItem{Rect{100, 100, 300, 200}, kRed, {}}}), scale);
  const auto jpeg = EncodeJpeg(rendered, 2, nullptr);
  ASSERT_TRUE(jpeg);
  const std::vector<unsigned char> rgb =
      testing::DecodeToRgb(*jpeg, rendered.width, rendered.height);
  ASSERT_FALSE(rgb.empty());
  const auto at = [&](double x, double y) {
    const auto pixel =
        static_cast<std::size_t>(y * scale) * rendered.width + static_cast<std::size_t>(x * scale);
    return testing::Rgb{rgb[3 * pixel], rgb[3 * pixel + 1], rgb[3 * pixel + 2]};
  };
  constexpr int kJpegLoss = 40;
  for (const auto& [x, y] : {std::pair{200.0, 150.0}, {110.0, 110.0}, {290.0, 190.0}}) {
    EXPECT_TRUE(IsNear(at(x, y), {255, 0, 0}, kJpegLoss)) << x << "," << y;
  }
  for (const auto& [x, y] :
       {std::pair{90.0, 150.0}, {310.0, 150.0}, {200.0, 90.0}, {200.0, 210.0}, {500.0, 700.0}}) {
    EXPECT_TRUE(IsNear(at(x, y), kWhitePixel, kJpegLoss)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(PreviewScales, RedBoxInJpeg, ::testing::Values(0.5, 1.0, 2.0));

TEST(PageContent, ItemsPaintInOrderAndStrokesStayOnTheEdge) {
  const Raster raster = Render(Letter({RectangleItem{Rect{0, 0, 100, 100}, kRed, {}},
                                       RectangleItem{Rect{50, 50, 150, 150}, {}, kBlue, 4}}));
  EXPECT_TRUE(IsNear(PixelAt(raster, 25, 25), {255, 0, 0}, 0));
  EXPECT_TRUE(IsNear(PixelAt(raster, 50, 75), {0, 0, 255}, 0)) << "stroke over the red box";
  EXPECT_TRUE(IsNear(PixelAt(raster, 75, 75), {255, 0, 0}, 0)) << "stroke-only box has no fill";
  EXPECT_TRUE(IsNear(PixelAt(raster, 120, 120), kWhitePixel, 0));
}

TEST(PageContent, UndrawableItemsAreSkippedAndTheRestDrawn) {
  const Raster raster = Render(Letter({
      RectangleItem{Rect{kNaN, 0, 10, 10}, kBlue, kBlue},
      RectangleItem{Rect{0, 0, 1e300, 1e300}, kBlue, {}},
      RectangleItem{Rect{0, 0, 100, 100}, {}, kBlue, kInfinity},
      RectangleItem{Rect{0, 0, 100, 100}, Color{kNaN, kInfinity, -3}, {}},
      ImageItem{Rect{10, 10, 10.0000001, 300}, testing::RedBluePng(2, 2)},
      TextItem{Rect{0, 0, 300, 300}, "huge", 1e9},
      TextItem{Rect{0, 0, 300, 300}, "negative", -12},
      TextItem{Rect{kNaN, 0, 100, 100}, "nowhere"},
      RectangleItem{Rect{400, 400, 500, 500}, kRed, {}},
  }));
  EXPECT_TRUE(IsNear(PixelAt(raster, 450, 450), {255, 0, 0}, 0));
  // Channels are clamped, and NaN taken as 0, instead of reaching cairo undefined.
  EXPECT_TRUE(IsNear(PixelAt(raster, 50, 50), {0, 255, 0}, 0));
}

std::vector<unsigned char> TwoColourJpeg(Color left = kRed, Color right = kBlue) {
  const Raster page = Render(Letter({RectangleItem{Rect{0, 0, 306, 792}, left, {}},
                                     RectangleItem{Rect{306, 0, 612, 792}, right, {}}}));
  return EncodeJpeg(page, 3, nullptr).value();
}

EncodedImage Shared(std::vector<unsigned char> bytes) {
  return std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
}

TEST(PictureCache, DecodesOnceAtTheSizeTheFrameNeedsWhereverTheBytesLive) {
  PictureCache cache;
  const EncodedImage jpeg = Shared(TwoColourJpeg());
  const auto small = cache.Get(jpeg, ImageSize{70, 90});
  ASSERT_TRUE(small);
  // 1/8 of 612 x 792 still covers the frame.
  EXPECT_EQ(small->raster.width, 77);
  EXPECT_EQ(cache.Get(jpeg, ImageSize{77, 99}), small) << "a smaller variant reuses it";
  const auto larger = cache.Get(jpeg, ImageSize{300, 300});
  EXPECT_EQ(larger->raster.width, 306);
  EXPECT_EQ(cache.Get(jpeg, ImageSize{5000, 5000})->raster.width, 612);
  EXPECT_EQ(cache.Get(Shared(TwoColourJpeg()), ImageSize{600, 600})->raster.width, 612)
      << "another copy of the same picture";
  EXPECT_EQ(cache.decoded(), 3u);
  EXPECT_FALSE(cache.Get(Shared(std::vector<unsigned char>(4, 0xff)), ImageSize{10, 10}));

  PictureCache fresh;
  const EncodedImage other = Shared(TwoColourJpeg(kBlue, kRed));
  EXPECT_EQ(fresh.Get(other, ImageSize{10, 10})->raster.width, 40)
      << "kept at four times what the frame needs, not at the 1/8 decode's 77";
  fresh.Get(other, ImageSize{612, 792});
  fresh.Get(jpeg, ImageSize{612, 792});
  const std::size_t all = fresh.bytes();
  EXPECT_EQ(all, 2u * 612 * 792 * 4 + 40 * 52 * 4);
  PictureCache tight(2u * 612 * 792 * 4 - 1);
  tight.Get(jpeg, ImageSize{612, 792});
  tight.Get(other, ImageSize{612, 792});
  EXPECT_EQ(tight.bytes(), 612u * 792 * 4) << "the least recently used goes over budget";
}

// The disk cache as a later process finds it: a fresh cache over the same folder.
class PictureFolderTest : public ::testing::Test {
protected:
  PictureCache Cache(std::size_t diskBudget = PictureFolder::kDefaultBudget) {
    return PictureCache(PictureCache::kDefaultBudget,
                        PictureFolder([this] { return fFolder; }, diskBudget));
  }
  std::vector<std::filesystem::path> Entries() const {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(fFolder))
      found.push_back(entry.path());
    return found;
  }

  folivox::test::TempDir fTemp;
  std::filesystem::path fFolder = fTemp.path() / "cache" / "pictures";
  EncodedImage fJpeg = Shared(TwoColourJpeg());
};

TEST_F(PictureFolderTest, LaterProcessesReadWhatWasDecodedUnlessThePictureChanged) {
  const auto first = Cache().Get(fJpeg, ImageSize{70, 90});
  ASSERT_TRUE(first);
  EXPECT_EQ(std::filesystem::status(fFolder).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  ASSERT_EQ(Entries().size(), 1u);

  PictureCache later = Cache();
  const auto again = later.Get(fJpeg, ImageSize{70, 90});
  EXPECT_EQ(later.decoded(), 0u);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->raster.pixels, first->raster.pixels);

  // The same frame showing a changed picture: red and blue swapped sides.
  PictureCache changed = Cache();
  const auto swapped = changed.Get(Shared(TwoColourJpeg(kBlue, kRed)), ImageSize{70, 90});
  EXPECT_EQ(changed.decoded(), 1u);
  ASSERT_TRUE(swapped);
  EXPECT_TRUE(IsNear(PixelAt(swapped->raster, 5, 50), {0, 0, 255}, 40));
}

TEST_F(PictureFolderTest, DamagedEntriesAreDecodedAgainAndRewritten) {
  const auto original = Cache().Get(fJpeg, ImageSize{70, 90});
  ASSERT_TRUE(original);
  const std::filesystem::path entry = Entries().at(0);
  const auto size = std::filesystem::file_size(entry);
  const std::vector<std::pair<const char*, std::function<void()>>> damages = {
      {"truncated", [&] { std::filesystem::resize_file(entry, size - 100); }},
      {"a pixel changed",
       [&] {
         std::fstream file(entry, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(static_cast<std::streamoff>(size - 50));
         file.put('\x5a');
       }},
      {"a header changed",
       [&] {
         std::fstream file(entry, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(12);
         file.put('\x01');
       }},
      {"longer", [&] { std::ofstream(entry, std::ios::app | std::ios::binary) << "more"; }},
  };
  for (const auto& [what, damage] : damages) {
    SCOPED_TRACE(what);
    damage();
    PictureCache later = Cache();
    const auto picture = later.Get(fJpeg, ImageSize{70, 90});
    EXPECT_EQ(later.decoded(), 1u);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->raster.pixels, original->raster.pixels);
    EXPECT_EQ(std::filesystem::file_size(entry), size) << "written again";
  }
}

TEST_F(PictureFolderTest, OldestEntriesGoPastTheBudget) {
  const std::vector<EncodedImage> pictures = {fJpeg, Shared(TwoColourJpeg(kBlue, kRed)),
                                              Shared(TwoColourJpeg(kRed, kRed))};
  const std::size_t entry = 77 * 100 * 4 + 128;
  Cache(2 * entry).Get(pictures[0], ImageSize{70, 90});
  // Beside the entries: a temporary its writer left long ago, and a file of someone else's.
  const std::filesystem::path stale = Entries().at(0).string() + ".4242-7.tmp";
  const std::filesystem::path foreign = fFolder / "notes.txt";
  std::ofstream(stale) << "half";
  std::ofstream(foreign) << std::string(4 * entry, 'n');
  std::filesystem::last_write_time(stale, std::filesystem::file_time_type::clock::now() -
                                              std::chrono::hours(1));
  for (const EncodedImage& picture : pictures)
    Cache(2 * entry).Get(picture, ImageSize{70, 90});
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(foreign));
  std::filesystem::remove(foreign);
  std::uintmax_t total = 0;
  for (const auto& path : Entries())
    total += std::filesystem::file_size(path);
  EXPECT_LE(total, 2 * entry);
  EXPECT_EQ(Entries().size(), 2u);
  PictureCache later = Cache(2 * entry);
  later.Get(pictures[2], ImageSize{70, 90});
  EXPECT_EQ(later.decoded(), 0u) << "the newest stays";
  later.Get(pictures[0], ImageSize{70, 90});
  EXPECT_EQ(later.decoded(), 1u) << "the oldest went";
}

// Someone else's FIFO or link under an entry's name is a miss, never a read that blocks or
// another file's pixels; the entry is written again as a file of the cache's own.
TEST_F(PictureFolderTest, EntriesThatAreNoFilesAreMissesAndWrittenAgain) {
  const auto original = Cache().Get(fJpeg, ImageSize{70, 90});
  ASSERT_TRUE(original);
  const std::filesystem::path entry = Entries().at(0);
  const std::filesystem::path elsewhere = fTemp.path() / "elsewhere.pic";
  std::filesystem::rename(entry, elsewhere);
  const auto elsewhereSize = std::filesystem::file_size(elsewhere);
  const std::vector<std::pair<const char*, std::function<void()>>> plants = {
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(entry.c_str(), 0600), 0); }},
      {"a link to a valid entry", [&] { std::filesystem::create_symlink(elsewhere, entry); }},
  };
  for (const auto& [what, plant] : plants) {
    SCOPED_TRACE(what);
    std::filesystem::remove(entry);
    plant();
    PictureCache later = Cache();
    ::testing::internal::CaptureStderr();
    auto loading = std::async(std::launch::async, [&] { return later.Get(fJpeg, {70, 90}); });
    if (loading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "blocked on the entry";
      // A writer lets the blocked reader go, so the test ends.
      ::close(::open(entry.c_str(), O_WRONLY | O_NONBLOCK));
    }
    const auto picture = loading.get();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(later.decoded(), 1u);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->raster.pixels, original->raster.pixels);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(entry)));
    EXPECT_EQ(std::filesystem::file_size(elsewhere), elsewhereSize);
  }
}

class ImageFile : public ::testing::TestWithParam<std::vector<unsigned char>> {};

TEST_P(ImageFile, IsScaledIntoItsBounds) {
  const Raster raster = Render(Letter({ImageItem{Rect{100, 100, 300, 200}, GetParam()}}));
  EXPECT_TRUE(IsNear(PixelAt(raster, 110, 150), {255, 0, 0}, 40));
  EXPECT_TRUE(IsNear(PixelAt(raster, 290, 150), {0, 0, 255}, 40));
  for (const auto& [x, y] : {std::pair{95, 150}, {305, 150}, {200, 95}, {200, 205}}) {
    EXPECT_TRUE(IsNear(PixelAt(raster, x, y), kWhitePixel, 0)) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(PngAndJpeg, ImageFile,
                         ::testing::Values(testing::RedBluePng(2, 1), TwoColourJpeg()));

std::vector<unsigned char> Damaged(std::vector<unsigned char> file, std::size_t at, int value) {
  file[at] = static_cast<unsigned char>(value);
  return file;
}

std::vector<unsigned char> Truncated(std::vector<unsigned char> file) {
  file.resize(file.size() / 2);
  return file;
}

class BrokenImage : public ::testing::TestWithParam<std::vector<unsigned char>> {};

TEST_P(BrokenImage, DrawsPlaceholderAndPageSucceeds) {
  const Raster raster = Render(Letter({ImageItem{Rect{100, 100, 200, 200}, GetParam()}}));
  const testing::Rgb fill = PixelAt(raster, 150, 110);
  EXPECT_TRUE(IsNear(fill, {217, 217, 217}, 4));
  EXPECT_LT(PixelAt(raster, 150, 150).r, fill.r - 40) << "cross through the middle";
  EXPECT_TRUE(IsNear(PixelAt(raster, 95, 150), kWhitePixel, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, BrokenImage,
    ::testing::Values(std::vector<unsigned char>{}, std::vector<unsigned char>{'G', 'I', 'F', '8'},
                      Damaged(TwoColourJpeg(), 3, 0x00),              // no valid marker after SOI
                      Damaged(testing::RedBluePng(40, 40), 16, 0x7f), // width near 2^31
                      Truncated(testing::RedBluePng(40, 40))));

// FreeType cannot make glyphs tens of thousands of pixels tall, and a failed font would take the
// whole page down with it.
TEST(Text, GlyphsTooLargeForTheRasterAreSkipped) {
  PageRenderer renderer;
  const PageScene scene{
      100,
      100,
      {TextItem{Rect{0, 0, 100, 100}, "W", 9999}, RectangleItem{Rect{10, 10, 20, 20}, kRed, {}}}};
  std::string error;
  const auto raster = renderer.RenderPage(scene, 7, 7, 72, 72, &error);
  ASSERT_TRUE(raster) << error;
  EXPECT_TRUE(IsNear(PixelAt(*raster, 105, 105), {255, 0, 0}, 0));
}

// Layouts are reused between pages; a frame that differs in anything but position must not get
// another frame's layout.
TEST(Text, ReusedRendererDrawsWhatAFreshOneDraws) {
  const std::string text = testing::LongText(3);
  const std::vector<TextItem> frames{
      TextItem{Rect{72, 72, 272, 372}, text},
      TextItem{Rect{72, 72, 172, 372}, text},
      TextItem{Rect{72, 72, 172, 372}, text, 9},
      TextItem{Rect{72, 72, 172, 372}, text, 9, Color{0, 0, 0}, "DejaVu Serif"},
      TextItem{Rect{172, 172, 272, 472}, text, 9, Color{0, 0, 0}, "DejaVu Serif"},
  };
  PageRenderer reused;
  for (const TextItem& frame : frames) {
    const auto drawn = reused.RenderPage(Letter({frame}), 1, 1, 72, 72, nullptr);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->pixels, Render(Letter({frame})).pixels);
  }
}

TEST(Text, DrawsInsideItsFrameOnlyAndWraps) {
  const Rect frame{72, 72, 272, 172};
  const Raster raster = Render(Letter({TextItem{frame, testing::LongText(20)}}));
  const auto counts = CountAround(raster, frame);
  EXPECT_GT(counts.darkInside, 500);
  EXPECT_EQ(counts.notWhiteOutside, 0);
  EXPECT_GT(CountAround(raster, Rect{72, 140, 272, 172}).darkInside, 100)
      << "an unwrapped single line would leave the lower part of the frame empty";
}

// Each renderer owns its font state and layouts, so renderers working at once on different
// threads must produce exactly what one renderer alone does. Anything shared shows up as a race
// in the thread-sanitizer build.
TEST(Threads, RenderersOnSeparateThreadsAgree) {
  std::vector<PageScene> scenes;
  std::vector<Raster> expected;
  for (int page = 0; page < 4; ++page) {
    scenes.push_back(Letter({TextItem{Rect{36, 36, 576, 756}, testing::LongText(10 + page)},
                             RectangleItem{Rect{100, 100, 200, 200}, kRed, kBlue}}));
    expected.push_back(Render(scenes.back()));
  }
  std::vector<int> mismatches(2);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      PageRenderer renderer;
      for (std::size_t i = 0; i < 3 * scenes.size(); ++i) {
        const std::size_t page = (i + t) % scenes.size();
        const auto raster = renderer.RenderPage(scenes[page], 1, 1, 72, 72, nullptr);
        mismatches[t] += (!raster || raster->pixels != expected[page].pixels) ? 1 : 0;
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(mismatches, (std::vector<int>{0, 0}));
}

} // namespace
} // namespace layra::graphics
