#include "RasterProbe.h"

#include <graphics/PageRenderer.h>

#include <pango/pangocairo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace layra::graphics {
namespace {

using testing::CountAround;
using testing::PixelAt;

const std::string kFont = "DejaVu Sans";
const Rect kFrame{36, 40, 336, 290};

// The same frame drawn by pango and cairo alone, as the renderer drew text before it composited
// glyphs itself.
Raster CairoReference(const TextItem& item, double scale) {
  const int width = static_cast<int>(std::lround(612 * scale));
  const int height = static_cast<int>(std::lround(792 * scale));
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
  Raster raster{width, height, stride,
                std::vector<unsigned char>(static_cast<std::size_t>(stride) * height, 0xff)};
  const SurfacePtr surface(cairo_image_surface_create_for_data(
      raster.pixels.data(), CAIRO_FORMAT_RGB24, width, height, stride));
  const ContextPtr cr(cairo_create(surface.get()));
  cairo_scale(cr.get(), scale, scale);
  // A font map of its own, released with the layout: the per-thread default one is a cache
  // that lives until the process ends.
  const GObjectPtr<PangoFontMap> fonts(pango_cairo_font_map_new());
  const GObjectPtr<PangoContext> context(pango_font_map_create_context(fonts.get()));
  pango_cairo_update_context(cr.get(), context.get());
  const GObjectPtr<PangoLayout> layout(pango_layout_new(context.get()));
  const FontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options.get());
  pango_context_set_round_glyph_positions(pango_layout_get_context(layout.get()), FALSE);
  const FontDescriptionPtr font(pango_font_description_new());
  pango_font_description_set_family(font.get(), item.fontFamily.c_str());
  pango_font_description_set_absolute_size(font.get(), item.fontSize * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_width(layout.get(),
                         static_cast<int>((item.bounds.right - item.bounds.left) * PANGO_SCALE));
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  pango_layout_set_text(layout.get(), item.text.data(), static_cast<int>(item.text.size()));
  cairo_rectangle(cr.get(), item.bounds.left, item.bounds.top, item.bounds.right - item.bounds.left,
                  item.bounds.bottom - item.bounds.top);
  cairo_clip(cr.get());
  cairo_move_to(cr.get(), item.bounds.left, item.bounds.top);
  pango_cairo_show_layout(cr.get(), layout.get());
  cairo_surface_flush(surface.get());
  return raster;
}

int LargestDifference(const Raster& a, const Raster& b) {
  int largest = 0;
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const testing::Rgb p = PixelAt(a, x, y);
      const testing::Rgb q = PixelAt(b, x, y);
      largest = std::max({largest, std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
    }
  }
  return largest;
}

// font size, scale
class TextDrawing : public ::testing::TestWithParam<std::tuple<double, double>> {};

// Glyphs composited one by one may differ from cairo's only where the antialiased edges of two
// glyphs overlap: cairo adds their coverage, which comes to at most a quarter of full coverage
// more (two halves make a whole instead of three quarters), give or take rounding. A glyph a
// pixel off would differ by far more.
TEST_P(TextDrawing, MatchesCairosOwnDrawing) {
  const auto [fontSize, scale] = GetParam();
  const TextItem item{kFrame, testing::LongText(8) + "\nfinal fifty-fifty AVAWAY Tj. 0123",
                      fontSize};
  PageRenderer renderer;
  std::string error;
  const auto raster =
      renderer.RenderPage(PageScene{612, 792, {item}}, scale, scale, 72, 72, &error);
  ASSERT_TRUE(raster) << error;
  const Raster reference = CairoReference(item, scale);
  EXPECT_LE(LargestDifference(*raster, reference), 64 + 2);
  const Rect pixels{kFrame.left * scale, kFrame.top * scale, kFrame.right * scale,
                    kFrame.bottom * scale};
  const auto drawn = CountAround(*raster, pixels);
  EXPECT_EQ(drawn.notWhiteOutside, 0);
  EXPECT_NEAR(drawn.darkInside, CountAround(reference, pixels).darkInside,
              0.02 * drawn.darkInside + 2);
}

INSTANTIATE_TEST_SUITE_P(SizesAndScales, TextDrawing,
                         ::testing::Values(std::tuple{9.5, 0.5}, std::tuple{9.5, 1.0},
                                           std::tuple{9.5, 2.0}, std::tuple{12.0, 1.5},
                                           std::tuple{31.0, 2.0}, // 62 pixels to the em
                                           std::tuple{40.0, 2.0}, std::tuple{90.0, 1.0}));

// Glyph images are kept per font and scale; many of them must not be mixed up as old ones go.
TEST(TextDrawing, ManySizesOnOnePageEachLookRight) {
  PageScene page{612, 792, {}};
  for (int i = 0; i < 40; ++i) {
    const double top = 10 + (i % 20) * 38;
    const double left = i < 20 ? 10 : 310;
    page.items.push_back(TextItem{Rect{left, top, left + 290, top + 38}, "Ag", 6.0 + i * 0.5});
  }
  PageRenderer renderer;
  for (int pass = 0; pass < 2; ++pass) {
    const auto raster = renderer.RenderPage(page, 1, 1, 72, 72, nullptr);
    ASSERT_TRUE(raster);
    for (const PageItem& item : page.items) {
      const auto& text = std::get<TextItem>(item);
      PageRenderer fresh;
      const auto alone = fresh.RenderPage(PageScene{612, 792, {item}}, 1, 1, 72, 72, nullptr);
      ASSERT_TRUE(alone);
      EXPECT_EQ(CountAround(*raster, text.bounds).darkInside,
                CountAround(*alone, text.bounds).darkInside)
          << text.fontSize << " pt, pass " << pass;
    }
  }
}

// No font here has these, so pango draws boxes showing their code points.
TEST(TextDrawing, CharactersNoFontHasShowAsBoxes) {
  const Rect frame{72, 72, 272, 172};
  PageRenderer renderer;
  const auto raster =
      renderer.RenderPage(PageScene{612, 792, {TextItem{frame, "\xe6\x9d\xb1\xe4\xba\xac", 24}}}, 1,
                          1, 72, 72, nullptr);
  ASSERT_TRUE(raster);
  const auto counts = CountAround(*raster, frame);
  EXPECT_GT(counts.darkInside, 40);
  EXPECT_EQ(counts.notWhiteOutside, 0);
}

TEST(TextDrawing, TakesTheItemsColour) {
  const Rect frame{72, 72, 272, 172};
  PageRenderer renderer;
  const auto raster = renderer.RenderPage(
      PageScene{612, 792, {TextItem{frame, "MMMM", 40, Color{0, 0, 1}}}}, 1, 1, 72, 72, nullptr);
  ASSERT_TRUE(raster);
  int blue = 0;
  for (int y = 72; y < 172; ++y) {
    for (int x = 72; x < 272; ++x) {
      const testing::Rgb pixel = PixelAt(*raster, x, y);
      EXPECT_EQ(pixel.r, pixel.g) << x << "," << y;
      EXPECT_EQ(pixel.b, 255) << x << "," << y;
      blue += pixel.r == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(blue, 200);
}

} // namespace
} // namespace layra::graphics
