#pragma once

#include <CHandles.h>
#include <graphics/TextCarets.h>

#include <cairo.h>
#include <pango/pango.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layra::graphics {

// A frame's glyphs, positioned once in points from the frame's top-left corner, so that every
// preview size draws them without shaping or breaking lines again.
class TextLayout {
public:
  // Consecutive glyphs of one font, drawn together.
  struct FontRun {
    GObjectPtr<PangoFont> font;
    std::size_t end; // in Glyphs(), from the previous run's end
  };

  // Glyphs that are a shape in one colour: nearly all text.
  const std::vector<cairo_glyph_t>& Glyphs() const { return fGlyphs; }
  const std::vector<FontRun>& Runs() const { return fRuns; }

  // Both through cairo, for `cr` mapping points to device pixels with the frame's top-left corner
  // at its origin.
  void DrawGlyphs(cairo_t* cr) const;
  // Colour glyphs, and the boxes showing the code points of characters no font has, which only
  // pango's renderer draws.
  void DrawSpecialGlyphs(cairo_t* cr) const;
  bool HasSpecialGlyphs() const { return !fSpecial.empty(); }

private:
  friend class Typesetter;

  struct SpecialGlyph {
    GObjectPtr<PangoFont> font;
    PangoGlyphInfo info;
    double x, y; // the glyph's origin before its offsets, which the renderer applies itself
  };

  void Add(PangoFont* font, const cairo_glyph_t& glyph);

  std::vector<cairo_glyph_t> fGlyphs;
  std::vector<FontRun> fRuns;
  std::vector<SpecialGlyph> fSpecial;
};

struct FontChoice {
  const std::string& family;
  double size; // points
};

// Breaks text into lines of a given width, shaping every paragraph once. Pango's own layout
// shapes the rest of a paragraph again at every line break, which made laying out a page of body
// text cost more than drawing it three times.
//
// Lengths are in pango units; text is UTF-8, with invalid bytes shown as '?' so that byte offsets
// stay those of the caller. Wrapping is at word boundaries, and between characters, with a
// hyphen, only for a word wider than the line. Paragraphs run in their own direction,
// right-to-left ones aligned right. Keeps scratch buffers between calls: one per thread.
class Typesetter {
public:
  explicit Typesetter(PangoContext* context) : fContext(context) {}

  TextLayout Layout(std::string_view text, const FontChoice& font, int width);
  // Where Layout puts each character of the same text, for a caret and for hit testing.
  TextCarets Carets(std::string_view text, const FontChoice& font, int width);

  // Where the first line that reaches below `bottom` starts. When `lastLineIsFinal` is false,
  // the text is the opening of a longer story and an overflow on its last line does not count.
  std::optional<std::size_t> OverflowStart(std::string_view text, const FontChoice& font, int width,
                                           int bottom, bool lastLineIsFinal);

private:
  struct Line {
    int start, end; // characters of the paragraph
    bool hyphenated;
    int ascent = 0;
    int descent = 0;
    int top = 0;
  };

  struct ShapedItem {
    ItemPtr item;
    GlyphStringPtr glyphs;
    int firstChar;
    int ascent, descent;
  };

  // Pango puts a paragraph of printable ASCII into a single item whenever the font it takes for
  // such characters has all of them, as nearly every text font has. Copying that item spares
  // such paragraphs pango's script, direction and font lookups for every character, which cost
  // as much as breaking the lines.
  struct AsciiItems {
    FontDescriptionPtr font;
    ItemPtr letters, noLetters; // null where pango makes more than one item
  };

  struct Hyphen {
    GObjectPtr<PangoFont> font;
    PangoGlyph glyph;
    int width;
  };

  void Begin(std::string_view text, const FontChoice& font, int width);
  // Shapes the next paragraph and breaks it into fLines. False once the text is used up.
  bool NextParagraph();
  void Shape();
  void Itemize(bool printableAscii, bool letters);
  PangoItem* AsciiItem(bool letters);
  ItemPtr SoleItem(std::string_view text);
  void ShapeItem(ShapedItem& shaped);
  void BreakLines();
  Line BreakLine(int start);
  Line CharacterBreak(int start, int overflow, int widthBefore);
  bool IsClusterStart(int position) const;
  int Advance(int character, int x);
  int TabWidth();
  const ShapedItem& ItemAt(int character) const;
  const Hyphen& HyphenFor(int character);
  void MeasureLines();
  void EmptyLineExtents(int& ascent, int& descent);
  // Also records where the line's characters stand when `carets` is given.
  void PlaceLine(const Line& line, TextLayout& layout, TextCarets::Line* carets = nullptr);
  static void AddCaretCell(TextCarets::Line& line, std::size_t start, double left, double right,
                           bool rightToLeft);
  void EndCaretLine(int textEnd, TextCarets::Line& carets) const;
  static void Place(PangoFont* font, const PangoGlyphInfo& info, int x, double baseline,
                    TextLayout& layout);
  void ReorderRuns();

  PangoContext* fContext;

  // The text being set.
  std::string fRepaired;
  std::string_view fText;
  std::size_t fNext = 0;
  bool fDone = true;
  int fWidth = 0;
  int fY = 0;
  PangoDirection fDirection = PANGO_DIRECTION_LTR; // of the current paragraph
  std::optional<int> fTabWidth;
  std::optional<std::pair<int, int>> fEmptyExtents;
  std::vector<Hyphen> fHyphens;
  std::vector<AsciiItems> fAsciiItems; // most recently added last

  // The current paragraph.
  std::size_t fParagraphStart = 0;
  std::string_view fParagraph;
  std::vector<ShapedItem> fItems;
  std::vector<PangoLogAttr> fAttrs;
  std::vector<int> fCharOffsets; // byte offset of each character, and the paragraph's length
  std::vector<int> fCharAtByte;  // inverse of fCharOffsets, valid at character starts
  std::vector<int> fWidths;      // logical width of each character as shaped
  std::vector<int> fAdvances;    // width in its line, tabs expanded
  std::vector<unsigned char> fClusterStarts;
  std::vector<Line> fLines;
  std::vector<std::size_t> fVisualOrder;
};

} // namespace layra::graphics
