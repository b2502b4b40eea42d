#include "RasterProbe.h"

#include <graphics/Typesetter.h>

#include <pango/pangocairo.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace layra::graphics {
namespace {

const std::string kFont = "DejaVu Sans";
constexpr double kSize = 12;

// Pango's own layout, on the same context, is the reference for where lines break and how tall
// they are: documents laid out before the typesetter existed must flow the same.
class TypesetterTest : public ::testing::Test {
protected:
  TypesetterTest()
      : fFontMap(pango_cairo_font_map_new()),
        fContext(pango_font_map_create_context(fFontMap.get())), fTypesetter(fContext.get()) {
    const FontOptionsPtr options(cairo_font_options_create());
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(fContext.get(), options.get());
    pango_context_set_round_glyph_positions(fContext.get(), FALSE);
  }

  GObjectPtr<PangoLayout> PangoLayoutOf(const std::string& text, int width) {
    GObjectPtr<PangoLayout> layout(pango_layout_new(fContext.get()));
    const FontDescriptionPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), kFont.c_str());
    pango_font_description_set_absolute_size(font.get(), kSize * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_width(layout.get(), width);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
    return layout;
  }

  // Asks the typesetter, for the bottom of each of pango's lines, where the next line starts.
  void ExpectPangosLines(const std::string& text, double width) {
    const int units = static_cast<int>(width * PANGO_SCALE);
    const GObjectPtr<PangoLayout> layout = PangoLayoutOf(text, units);
    PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
    int line = 0;
    for (bool more = true; more; ++line) {
      int top = 0;
      int bottom = 0;
      pango_layout_iter_get_line_yrange(iter, &top, &bottom);
      more = pango_layout_iter_next_line(iter);
      const std::optional<std::size_t> expected =
          more ? std::optional<std::size_t>(pango_layout_iter_get_line_readonly(iter)->start_index)
               : std::nullopt;
      EXPECT_EQ(fTypesetter.OverflowStart(text, FontChoice{kFont, kSize}, units, bottom, true),
                expected)
          << "after line " << line << " of " << width << " pt";
    }
    pango_layout_iter_free(iter);
  }

  // Every glyph the typesetter places where pango's layout draws it, in the order pango draws
  // them. Spaces and the boxes for missing characters are not among the typesetter's glyphs.
  void ExpectPangosGlyphs(const std::string& text, double width) {
    const int units = static_cast<int>(width * PANGO_SCALE);
    const GObjectPtr<PangoLayout> layout = PangoLayoutOf(text, units);
    std::vector<cairo_glyph_t> expected;
    PangoLayoutIter* iter = pango_layout_get_iter(layout.get());
    do {
      const PangoGlyphItem* run = pango_layout_iter_get_run_readonly(iter);
      if (run == nullptr) {
        continue;
      }
      PangoRectangle logical;
      pango_layout_iter_get_run_extents(iter, nullptr, &logical);
      int x = logical.x;
      const int baseline = pango_layout_iter_get_baseline(iter);
      for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
        const PangoGlyphInfo& info = run->glyphs->glyphs[i];
        const gunichar character =
            g_utf8_get_char(text.data() + run->item->offset + run->glyphs->log_clusters[i]);
        if (info.glyph != PANGO_GLYPH_EMPTY && (info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) == 0 &&
            !g_unichar_isspace(character)) {
          expected.push_back(
              cairo_glyph_t{info.glyph, double(x + info.geometry.x_offset) / PANGO_SCALE,
                            double(baseline + info.geometry.y_offset) / PANGO_SCALE});
        }
        x += info.geometry.width;
      }
    } while (pango_layout_iter_next_run(iter));
    pango_layout_iter_free(iter);

    const TextLayout placed = fTypesetter.Layout(text, FontChoice{kFont, kSize}, units);
    ASSERT_EQ(placed.Glyphs().size(), expected.size()) << width << " pt";
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(placed.Glyphs()[i].index, expected[i].index) << i << " at " << width << " pt";
      EXPECT_NEAR(placed.Glyphs()[i].x, expected[i].x, 1e-9) << i << " at " << width << " pt";
      EXPECT_NEAR(placed.Glyphs()[i].y, expected[i].y, 1e-9) << i << " at " << width << " pt";
    }
  }

  // A caret at every character stands where pango's layout puts its cursor, and a point just
  // right of it finds that character again.
  void ExpectPangosCarets(const std::string& text, double width) {
    const int units = static_cast<int>(width * PANGO_SCALE);
    const GObjectPtr<PangoLayout> layout = PangoLayoutOf(text, units);
    const TextCarets carets = fTypesetter.Carets(text, FontChoice{kFont, kSize}, units);
    for (const char* at = text.data(); at <= text.data() + text.size(); at = g_utf8_next_char(at)) {
      const auto offset = static_cast<std::size_t>(at - text.data());
      PangoRectangle cursor;
      pango_layout_index_to_pos(layout.get(), static_cast<int>(offset), &cursor);
      const std::optional<TextCarets::Caret> caret = carets.CaretAt(offset);
      ASSERT_TRUE(caret) << offset << " at " << width << " pt";
      EXPECT_NEAR(caret->x, double(cursor.x) / PANGO_SCALE, 1e-6) << offset << " at " << width;
      EXPECT_NEAR(caret->top, double(cursor.y) / PANGO_SCALE, 1e-6) << offset << " at " << width;
      EXPECT_EQ(carets.OffsetAt(caret->x + 0.01, (caret->top + caret->bottom) / 2), offset)
          << width << " pt";
      if (offset == text.size()) {
        break;
      }
    }
  }

  GObjectPtr<PangoFontMap> fFontMap;
  GObjectPtr<PangoContext> fContext;
  Typesetter fTypesetter;
};

std::string Repeated(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) {
    text += piece;
  }
  return text;
}

TEST_F(TypesetterTest, BreaksAsciiProseWherePangoDoes) {
  for (const double width : {60.0, 150.0, 300.0}) {
    ExpectPangosLines(testing::LongText(12), width);
    ExpectPangosLines(Repeated("1,234.5 (67) 89-10 $11 12% #13: ", 12), width);
  }
}

TEST_F(TypesetterTest, KeepsParagraphsAndBlankLines) {
  for (const double width : {60.0, 300.0}) {
    ExpectPangosLines("First paragraph of a few words.\n\nAfter a blank line.\r\nCRLF ends "
                      "this one\rand CR this one\xe2\x80\xa9then a paragraph separator.\n",
                      width);
  }
}

TEST_F(TypesetterTest, BreaksOtherScriptsWherePangoDoes) {
  for (const double width : {60.0, 150.0, 300.0}) {
    ExpectPangosLines(Repeated("Grüße aus Köln – naïve café, smörgåsbord. ", 8), width);
    ExpectPangosLines(Repeated("שלום עולם, מה שלומך היום? ", 8), width);
    // No CJK font is installed, so these are boxes, taller than the text around them.
    ExpectPangosLines(Repeated("東京の夜 and 大阪の朝. ", 8), width);
  }
}

TEST_F(TypesetterTest, BreaksWordsWiderThanTheLineWherePangoDoes) {
  for (const double width : {20.0, 60.0}) {
    ExpectPangosLines(std::string(200, 'x'), width);
    ExpectPangosLines(Repeated("antidisestablishmentarianism ", 6), width);
  }
}

TEST_F(TypesetterTest, HonoursForcedLineBreaks) {
  ExpectPangosLines("one\xe2\x80\xa8two\xe2\x80\xa8three", 300);
}

TEST_F(TypesetterTest, SetsTabStopsLikePango) {
  for (const double width : {100.0, 300.0}) {
    ExpectPangosLines(Repeated("Name:\tValue\tA longer description\t12\n", 6), width);
    ExpectPangosGlyphs(Repeated("Name:\tValue\tA longer description\t12\n", 6), width);
  }
}

TEST_F(TypesetterTest, PlacesGlyphsWherePangoDoes) {
  for (const double width : {60.0, 150.0, 300.0}) {
    ExpectPangosGlyphs(testing::LongText(6), width);
    ExpectPangosGlyphs(Repeated("1,234.5 (67) 89-10 $11 12% #13: ", 6), width);
    ExpectPangosGlyphs(Repeated("Grüße aus Köln – naïve café, smörgåsbord. ", 4), width);
  }
}

// Right-to-left paragraphs align right, and runs of the other direction read in their own.
TEST_F(TypesetterTest, PlacesMixedDirectionsWherePangoDoes) {
  for (const double width : {150.0, 300.0}) {
    ExpectPangosGlyphs(Repeated("שלום עולם, world 123 שלום. ", 4), width);
    ExpectPangosGlyphs("Hello שלום עולם again.\nשלום hello.\n123 (45)", width);
  }
}

TEST_F(TypesetterTest, PutsCaretsWherePangoDoesAndMarksRangesLineByLine) {
  const std::string text = "First paragraph of a few words.\n\nGrüße aus Köln – naïve café.";
  for (const double width : {60.0, 150.0}) {
    ExpectPangosCarets(testing::LongText(3), width);
    ExpectPangosCarets(text, width);
  }
  const TextCarets carets = fTypesetter.Carets(text, FontChoice{kFont, kSize}, 60 * PANGO_SCALE);
  // From the middle of the first line to the middle of the last: one box a line with text.
  const std::vector<Rect> areas = carets.Areas(3, text.size() - 3);
  ASSERT_GE(carets.Lines().size(), 4u);
  ASSERT_EQ(areas.size(), carets.Lines().size() - 1) << "the blank line has nothing to mark";
  EXPECT_NEAR(areas.front().left, carets.CaretAt(3)->x, 1e-9);
  EXPECT_NEAR(areas.back().right, carets.CaretAt(text.size() - 3)->x, 1e-9);
  EXPECT_TRUE(carets.Areas(5, 5).empty());
}

TEST_F(TypesetterTest, HyphenatesWordsWiderThanTheLineLikePango) {
  for (const double width : {20.0, 60.0}) {
    ExpectPangosGlyphs(Repeated("antidisestablishmentarianism ", 3), width);
  }
}

} // namespace
} // namespace layra::graphics
