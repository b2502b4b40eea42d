#include <graphics/Typesetter.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>

namespace layra::graphics {
namespace {

// Pango takes lengths as int.
constexpr std::size_t kMaxTextBytes = INT_MAX;

// Pango's default tab stops, which documents laid out by earlier versions relied on.
constexpr std::string_view kTabStopSpaces = "        ";

// Every printable ASCII character, with and without the letters, which decide the script.
constexpr std::string_view kPrintableAscii =
    " !\"#$%&'()*+,-./"
    "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
constexpr std::string_view kAsciiWithoutLetters = " !\"#$%&'()*+,-./0123456789:;<=>?@[\\]^_`{|}~";

// Body, headline and caption fonts of a page, with some to spare.
constexpr std::size_t kMaxAsciiFonts = 8;

// Pango hyphenates with U+2010 where the font has it and with a hyphen-minus otherwise.
constexpr std::string_view kHyphens[] = {"\u2010", "-"};

double ToPoints(int units) {
  return static_cast<double>(units) / PANGO_SCALE;
}

// Replacing each bad byte with '?' keeps every byte offset equal to the caller's, which is what
// OverflowStart reports.
std::string ReplaceInvalidUtf8(std::string_view text) {
  std::string repaired(text);
  const gchar* cursor = repaired.data();
  const gchar* const end = repaired.data() + repaired.size();
  const gchar* invalid = nullptr;
  while (!g_utf8_validate(cursor, end - cursor, &invalid)) {
    repaired[invalid - repaired.data()] = '?';
    cursor = invalid + 1;
  }
  return repaired;
}

GObjectPtr<PangoFont> Ref(PangoFont* font) {
  return GObjectPtr<PangoFont>(static_cast<PangoFont*>(g_object_ref(font)));
}

void ShapeText(std::string_view text, std::string_view paragraph, const PangoAnalysis& analysis,
               PangoGlyphString* glyphs) {
  pango_shape_with_flags(text.data(), static_cast<int>(text.size()), paragraph.data(),
                         static_cast<int>(paragraph.size()), &analysis, glyphs, PANGO_SHAPE_NONE);
}

bool IsDrawable(PangoGlyph glyph) {
  return glyph != PANGO_GLYPH_EMPTY && glyph != PANGO_GLYPH_INVALID_INPUT;
}

bool IsMissing(PangoGlyph glyph) {
  return (glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0;
}

} // namespace

void TextLayout::Add(PangoFont* font, const cairo_glyph_t& glyph) {
  if (fRuns.empty() || fRuns.back().font.get() != font) {
    fRuns.push_back(FontRun{Ref(font), fGlyphs.size()});
  }
  fGlyphs.push_back(glyph);
  fRuns.back().end = fGlyphs.size();
}

void TextLayout::DrawGlyphs(cairo_t* cr) const {
  std::size_t begin = 0;
  for (const FontRun& run : fRuns) {
    cairo_scaled_font_t* font = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(run.font.get()));
    // A font that cannot be drawn costs its glyphs, not the page.
    if (font != nullptr && cairo_scaled_font_status(font) == CAIRO_STATUS_SUCCESS) {
      cairo_set_scaled_font(cr, font);
      for (std::size_t first = begin; first < run.end;) {
        const int count = static_cast<int>(std::min<std::size_t>(run.end - first, INT_MAX));
        cairo_show_glyphs(cr, fGlyphs.data() + first, count);
        first += static_cast<std::size_t>(count);
      }
    }
    begin = run.end;
  }
}

void TextLayout::DrawSpecialGlyphs(cairo_t* cr) const {
  for (const SpecialGlyph& special : fSpecial) {
    PangoGlyphInfo info = special.info;
    int cluster = 0;
    PangoGlyphString one{1, &info, &cluster, 1};
    cairo_move_to(cr, special.x, special.y);
    pango_cairo_show_glyph_string(cr, special.font.get(), &one);
  }
}

TextLayout Typesetter::Layout(std::string_view text, const FontChoice& font, int width) {
  Begin(text, font, width);
  TextLayout layout;
  while (NextParagraph()) {
    for (const Line& line : fLines) {
      PlaceLine(line, layout);
    }
  }
  return layout;
}

TextCarets Typesetter::Carets(std::string_view text, const FontChoice& font, int width) {
  Begin(text, font, width);
  TextCarets carets;
  TextLayout glyphs; // placed as Layout places them, then dropped
  while (NextParagraph()) {
    for (const Line& line : fLines) {
      carets.fLines.push_back(
          TextCarets::Line{fParagraphStart + static_cast<std::size_t>(fCharOffsets[line.start]),
                           fParagraphStart + static_cast<std::size_t>(fCharOffsets[line.end]),
                           ToPoints(line.top),
                           ToPoints(line.top + line.ascent + line.descent),
                           {}});
      PlaceLine(line, glyphs, &carets.fLines.back());
    }
  }
  return carets;
}

std::optional<std::size_t> Typesetter::OverflowStart(std::string_view text, const FontChoice& font,
                                                     int width, int bottom, bool lastLineIsFinal) {
  Begin(text, font, width);
  while (NextParagraph()) {
    for (std::size_t i = 0; i < fLines.size(); ++i) {
      const Line& line = fLines[i];
      if (line.top + line.ascent + line.descent <= bottom) {
        continue;
      }
      const bool isLast = fDone && i + 1 == fLines.size();
      if (lastLineIsFinal || !isLast) {
        return fParagraphStart + static_cast<std::size_t>(fCharOffsets[line.start]);
      }
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void Typesetter::Begin(std::string_view text, const FontChoice& font, int width) {
  text = text.substr(0, kMaxTextBytes);
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
    fText = text;
  } else {
    fRepaired = ReplaceInvalidUtf8(text);
    fText = fRepaired;
  }
  const FontDescriptionPtr description(pango_font_description_new());
  pango_font_description_set_family(description.get(), font.family.c_str());
  pango_font_description_set_absolute_size(description.get(), font.size * PANGO_SCALE);
  pango_context_set_font_description(fContext, description.get());
  fWidth = width;
  fNext = 0;
  fDone = false;
  fY = 0;
  fDirection = PANGO_DIRECTION_LTR;
  fTabWidth.reset();
  fEmptyExtents.reset();
  fHyphens.clear();
}

bool Typesetter::NextParagraph() {
  if (fDone) {
    return false;
  }
  const std::string_view rest = fText.substr(fNext);
  int delimiter = 0;
  int nextStart = 0;
  pango_find_paragraph_boundary(rest.data(), static_cast<int>(rest.size()), &delimiter, &nextStart);
  fParagraphStart = fNext;
  fParagraph = rest.substr(0, static_cast<std::size_t>(delimiter));
  // Without a delimiter this is the last paragraph; a text ending in one ends with an empty line.
  fDone = delimiter == nextStart;
  fNext += static_cast<std::size_t>(nextStart);

  Shape();
  BreakLines();
  MeasureLines();
  return true;
}

void Typesetter::Shape() {
  const int length = static_cast<int>(fParagraph.size());
  fCharOffsets.clear();
  fCharAtByte.assign(fParagraph.size() + 1, 0);
  bool printableAscii = true;
  bool letters = false;
  for (const char* cursor = fParagraph.data(); cursor < fParagraph.data() + length;
       cursor = g_utf8_next_char(cursor)) {
    const auto offset = static_cast<int>(cursor - fParagraph.data());
    fCharAtByte[static_cast<std::size_t>(offset)] = static_cast<int>(fCharOffsets.size());
    fCharOffsets.push_back(offset);
    printableAscii = printableAscii && g_ascii_isprint(*cursor);
    letters = letters || g_ascii_isalpha(*cursor);
  }
  fCharAtByte.back() = static_cast<int>(fCharOffsets.size());
  fCharOffsets.push_back(length);
  const std::size_t positions = fCharOffsets.size();
  fWidths.assign(positions - 1, 0);
  fAdvances.assign(positions - 1, 0);
  fClusterStarts.assign(positions, 0);
  fClusterStarts.back() = 1;

  fItems.clear();
  if (length > 0) {
    Itemize(printableAscii, letters);
  }

  fAttrs.assign(positions, PangoLogAttr{});
  pango_get_log_attrs(fParagraph.data(), length, fDirection == PANGO_DIRECTION_RTL ? 1 : 0,
                      pango_context_get_language(fContext), fAttrs.data(),
                      static_cast<int>(positions));
  int firstChar = 0;
  for (ShapedItem& item : fItems) {
    item.firstChar = firstChar;
    firstChar += item.item->num_chars;
    ShapeItem(item);
  }
}

void Typesetter::Itemize(bool printableAscii, bool letters) {
  const auto length = static_cast<int>(fParagraph.size());
  // Without letters the paragraph has no strong direction and takes that of the one before.
  if (printableAscii && (letters || fDirection == PANGO_DIRECTION_LTR)) {
    if (PangoItem* model = AsciiItem(letters)) {
      ItemPtr item(pango_item_copy(model));
      item->offset = 0;
      item->length = length;
      item->num_chars = length;
      fItems.push_back(
          ShapedItem{std::move(item), GlyphStringPtr(pango_glyph_string_new()), 0, 0, 0});
      fDirection = PANGO_DIRECTION_LTR;
      return;
    }
  }
  // The first strong character sets the paragraph's direction; one without any keeps the
  // direction of the paragraph before, as in pango's own layout.
  const PangoDirection weak =
      fDirection == PANGO_DIRECTION_RTL ? PANGO_DIRECTION_WEAK_RTL : PANGO_DIRECTION_WEAK_LTR;
  const ItemListPtr list(
      pango_itemize_with_base_dir(fContext, weak, fParagraph.data(), 0, length, nullptr, nullptr));
  for (GList* node = list.get(); node != nullptr; node = node->next) {
    fItems.push_back(ShapedItem{ItemPtr(static_cast<PangoItem*>(node->data)),
                                GlyphStringPtr(pango_glyph_string_new()), 0, 0, 0});
    node->data = nullptr;
  }
  // Every character takes at least the paragraph's embedding level, and the strong character
  // that decided the direction takes exactly that.
  const auto lowest =
      std::min_element(fItems.begin(), fItems.end(), [](const auto& a, const auto& b) {
        return a.item->analysis.level < b.item->analysis.level;
      });
  fDirection = lowest->item->analysis.level % 2 != 0 ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR;
}

PangoItem* Typesetter::AsciiItem(bool letters) {
  const PangoFontDescription* font = pango_context_get_font_description(fContext);
  auto known = std::find_if(fAsciiItems.begin(), fAsciiItems.end(), [&](const AsciiItems& items) {
    return pango_font_description_equal(items.font.get(), font);
  });
  if (known == fAsciiItems.end()) {
    if (fAsciiItems.size() == kMaxAsciiFonts) {
      fAsciiItems.erase(fAsciiItems.begin());
    }
    fAsciiItems.push_back(AsciiItems{FontDescriptionPtr(pango_font_description_copy(font)),
                                     SoleItem(kPrintableAscii), SoleItem(kAsciiWithoutLetters)});
    known = fAsciiItems.end() - 1;
  }
  return (letters ? known->letters : known->noLetters).get();
}

ItemPtr Typesetter::SoleItem(std::string_view text) {
  const ItemListPtr list(pango_itemize_with_base_dir(fContext, PANGO_DIRECTION_WEAK_LTR,
                                                     text.data(), 0, static_cast<int>(text.size()),
                                                     nullptr, nullptr));
  if (!list || list->next != nullptr) {
    return nullptr;
  }
  ItemPtr item(static_cast<PangoItem*>(list->data));
  list->data = nullptr;
  return item;
}

void Typesetter::ShapeItem(ShapedItem& shaped) {
  PangoItem* item = shaped.item.get();
  PangoGlyphString* glyphs = shaped.glyphs.get();
  const std::string_view text = fParagraph.substr(static_cast<std::size_t>(item->offset),
                                                  static_cast<std::size_t>(item->length));
  ShapeText(text, fParagraph, item->analysis, glyphs);

  // Every glyph of a font has the font's logical height; only the boxes drawn for missing
  // characters differ.
  PangoRectangle logical{};
  pango_font_get_glyph_extents(item->analysis.font, PANGO_GLYPH_EMPTY, nullptr, &logical);
  int top = logical.y;
  int bottom = logical.y + logical.height;
  for (int i = 0; i < glyphs->num_glyphs; ++i) {
    const std::size_t byte = static_cast<std::size_t>(item->offset + glyphs->log_clusters[i]);
    const auto character = static_cast<std::size_t>(fCharAtByte[byte]);
    fClusterStarts[character] = 1;
    PangoGlyphInfo& info = glyphs->glyphs[i];
    // Lines break only between clusters, so a cluster's whole width may sit on its first
    // character.
    fWidths[character] += info.geometry.width;
    // Tabs are spaces as wide as the way to the next stop, known only once the line is.
    if (fParagraph[byte] == '\t') {
      info.glyph = PANGO_GLYPH_EMPTY;
    } else if (IsMissing(info.glyph) && IsDrawable(info.glyph)) {
      pango_font_get_glyph_extents(item->analysis.font, info.glyph, nullptr, &logical);
      top = std::min(top, logical.y);
      bottom = std::max(bottom, logical.y + logical.height);
    }
  }
  shaped.ascent = -top;
  shaped.descent = bottom;
}

void Typesetter::BreakLines() {
  fLines.clear();
  const auto chars = static_cast<int>(fWidths.size());
  int start = 0;
  do {
    fLines.push_back(BreakLine(start));
    start = fLines.back().end;
  } while (start < chars);
}

Typesetter::Line Typesetter::BreakLine(int start) {
  const auto chars = static_cast<int>(fWidths.size());
  int x = 0;
  int wordBreak = start;
  for (int i = start; i < chars; ++i) {
    const PangoLogAttr& attr = fAttrs[static_cast<std::size_t>(i)];
    if (i > start && attr.is_mandatory_break) {
      return Line{start, i, false};
    }
    if (i > start && attr.is_line_break && IsClusterStart(i) &&
        (!attr.break_inserts_hyphen || x + HyphenFor(i - 1).width <= fWidth)) {
      wordBreak = i;
    }
    const int advance = Advance(i, x);
    fAdvances[static_cast<std::size_t>(i)] = advance;
    // Spaces may hang past the edge; they are invisible there and wrapping before them would
    // start the next line with a gap.
    if (!attr.is_white && x + advance > fWidth) {
      if (wordBreak > start) {
        return Line{start, wordBreak,
                    fAttrs[static_cast<std::size_t>(wordBreak)].break_inserts_hyphen != 0};
      }
      return CharacterBreak(start, i, x);
    }
    x += advance;
  }
  return Line{start, chars, false};
}

Typesetter::Line Typesetter::CharacterBreak(int start, int overflow, int widthBefore) {
  for (int end = overflow; end > start;) {
    const PangoLogAttr& attr = fAttrs[static_cast<std::size_t>(end)];
    if (attr.is_char_break && IsClusterStart(end) &&
        (!attr.break_inserts_hyphen || widthBefore + HyphenFor(end - 1).width <= fWidth)) {
      return Line{start, end, attr.break_inserts_hyphen != 0};
    }
    --end;
    widthBefore -= fAdvances[static_cast<std::size_t>(end)];
  }
  // Not even one character fits. Taking one anyway is the only way to make progress.
  const auto chars = static_cast<int>(fWidths.size());
  int end = start + 1;
  while (end < chars &&
         !(fAttrs[static_cast<std::size_t>(end)].is_char_break && IsClusterStart(end))) {
    ++end;
  }
  return Line{start, end,
              end < chars && fAttrs[static_cast<std::size_t>(end)].break_inserts_hyphen};
}

bool Typesetter::IsClusterStart(int position) const {
  return fClusterStarts[static_cast<std::size_t>(position)] != 0;
}

int Typesetter::Advance(int character, int x) {
  const auto index = static_cast<std::size_t>(character);
  if (fParagraph[static_cast<std::size_t>(fCharOffsets[index])] != '\t') {
    return fWidths[index];
  }
  // The next stop at least a space on, as pango sets default tabs.
  const int tab = TabWidth();
  const int earliest = x + tab / 8;
  return (earliest + tab - 1) / tab * tab - x;
}

int Typesetter::TabWidth() {
  if (!fTabWidth) {
    const ItemListPtr list(pango_itemize(fContext, kTabStopSpaces.data(), 0,
                                         static_cast<int>(kTabStopSpaces.size()), nullptr,
                                         nullptr));
    const GlyphStringPtr glyphs(pango_glyph_string_new());
    int width = 0;
    for (GList* node = list.get(); node != nullptr; node = node->next) {
      const auto* item = static_cast<const PangoItem*>(node->data);
      ShapeText(kTabStopSpaces.substr(static_cast<std::size_t>(item->offset),
                                      static_cast<std::size_t>(item->length)),
                kTabStopSpaces, item->analysis, glyphs.get());
      width += pango_glyph_string_get_width(glyphs.get());
    }
    fTabWidth = std::max(width, 1);
  }
  return *fTabWidth;
}

const Typesetter::ShapedItem& Typesetter::ItemAt(int character) const {
  const auto after =
      std::upper_bound(fItems.begin(), fItems.end(), character,
                       [](int wanted, const ShapedItem& item) { return wanted < item.firstChar; });
  return *(after - 1);
}

const Typesetter::Hyphen& Typesetter::HyphenFor(int character) {
  const PangoItem* item = ItemAt(character).item.get();
  PangoFont* font = item->analysis.font;
  const auto known = std::find_if(fHyphens.begin(), fHyphens.end(),
                                  [&](const Hyphen& hyphen) { return hyphen.font.get() == font; });
  if (known != fHyphens.end()) {
    return *known;
  }
  Hyphen hyphen{font != nullptr ? Ref(font) : GObjectPtr<PangoFont>(), PANGO_GLYPH_EMPTY, 0};
  const GlyphStringPtr glyphs(pango_glyph_string_new());
  for (const std::string_view text : kHyphens) {
    ShapeText(text, text, item->analysis, glyphs.get());
    if (glyphs->num_glyphs == 1 && !IsMissing(glyphs->glyphs[0].glyph)) {
      hyphen.glyph = glyphs->glyphs[0].glyph;
      hyphen.width = glyphs->glyphs[0].geometry.width;
      break;
    }
  }
  fHyphens.push_back(std::move(hyphen));
  return fHyphens.back();
}

void Typesetter::MeasureLines() {
  std::size_t first = 0;
  for (Line& line : fLines) {
    if (line.start == line.end) {
      EmptyLineExtents(line.ascent, line.descent);
    } else {
      while (fItems[first].firstChar + fItems[first].item->num_chars <= line.start) {
        ++first;
      }
      line.ascent = INT_MIN;
      line.descent = INT_MIN;
      for (std::size_t i = first; i < fItems.size() && fItems[i].firstChar < line.end; ++i) {
        line.ascent = std::max(line.ascent, fItems[i].ascent);
        line.descent = std::max(line.descent, fItems[i].descent);
      }
    }
    line.top = fY;
    fY += line.ascent + line.descent;
  }
}

void Typesetter::EmptyLineExtents(int& ascent, int& descent) {
  if (!fEmptyExtents) {
    const GObjectPtr<PangoFont> font(
        pango_context_load_font(fContext, pango_context_get_font_description(fContext)));
    PangoRectangle logical{};
    pango_font_get_glyph_extents(font.get(), PANGO_GLYPH_EMPTY, nullptr, &logical);
    fEmptyExtents = std::pair{-logical.y, logical.y + logical.height};
  }
  ascent = fEmptyExtents->first;
  descent = fEmptyExtents->second;
}

void Typesetter::PlaceLine(const Line& line, TextLayout& layout, TextCarets::Line* carets) {
  if (line.start == line.end) {
    return;
  }
  fVisualOrder.clear();
  for (auto i = static_cast<std::size_t>(&ItemAt(line.start) - fItems.data());
       i < fItems.size() && fItems[i].firstChar < line.end; ++i) {
    fVisualOrder.push_back(i);
  }
  ReorderRuns();

  // Spaces where a line wraps take no room, so that right-aligned lines end with their text.
  const bool wrapped = line.end < static_cast<int>(fWidths.size());
  int textEnd = line.end;
  while (wrapped && textEnd > line.start &&
         fAttrs[static_cast<std::size_t>(textEnd - 1)].is_white) {
    --textEnd;
  }
  int x = 0;
  if (fDirection == PANGO_DIRECTION_RTL) {
    int width = 0;
    for (int i = line.start; i < textEnd; ++i) {
      width += fAdvances[static_cast<std::size_t>(i)];
    }
    if (line.hyphenated) {
      width += HyphenFor(line.end - 1).width;
    }
    x = fWidth - width;
  }

  const double baseline = ToPoints(line.top + line.ascent);
  const auto placeHyphen = [&] {
    const Hyphen& hyphen = HyphenFor(line.end - 1);
    PangoGlyphInfo info{hyphen.glyph, {hyphen.width, 0, 0}, {1, 0}};
    Place(hyphen.font.get(), info, x, baseline, layout);
    x += hyphen.width;
  };
  for (const std::size_t index : fVisualOrder) {
    const ShapedItem& run = fItems[index];
    const PangoItem* item = run.item.get();
    const bool hyphenHere =
        line.hyphenated && run.firstChar < line.end && line.end <= run.firstChar + item->num_chars;
    // A hyphen goes at the logical end of the run, the left in right-to-left text.
    const bool rightToLeft = item->analysis.level % 2 != 0;
    if (hyphenHere && rightToLeft) {
      placeHyphen();
    }
    const PangoGlyphString* glyphs = run.glyphs.get();
    for (int i = 0; i < glyphs->num_glyphs; ++i) {
      const std::size_t byte = static_cast<std::size_t>(item->offset + glyphs->log_clusters[i]);
      const int character = fCharAtByte[byte];
      if (character < line.start || character >= line.end) {
        continue;
      }
      const PangoGlyphInfo& info = glyphs->glyphs[i];
      // Spaces have no ink; leaving them out saves a lookup per word at every size drawn.
      if (!fAttrs[static_cast<std::size_t>(character)].is_white) {
        Place(item->analysis.font, info, x, baseline, layout);
      }
      if (character >= textEnd) {
        continue;
      }
      const int advance = fParagraph[byte] == '\t' ? fAdvances[static_cast<std::size_t>(character)]
                                                   : info.geometry.width;
      if (carets != nullptr) {
        AddCaretCell(*carets, fParagraphStart + byte, ToPoints(x), ToPoints(x + advance),
                     rightToLeft);
      }
      x += advance;
    }
    if (hyphenHere && !rightToLeft) {
      placeHyphen();
    }
  }
  if (carets != nullptr) {
    EndCaretLine(textEnd, *carets);
  }
}

// A cluster's glyphs share one cell.
void Typesetter::AddCaretCell(TextCarets::Line& line, std::size_t start, double left, double right,
                              bool rightToLeft) {
  if (!line.cells.empty() && line.cells.back().start == start) {
    line.cells.back().left = std::min(line.cells.back().left, left);
    line.cells.back().right = std::max(line.cells.back().right, right);
    return;
  }
  line.cells.push_back(TextCarets::Cell{start, start, left, right, rightToLeft});
}

// A cell ends where the next cluster of the line starts: a ligature's cell holds all the
// characters it shows.
void Typesetter::EndCaretLine(int textEnd, TextCarets::Line& carets) const {
  std::vector<std::size_t> starts;
  for (const TextCarets::Cell& cell : carets.cells) {
    starts.push_back(cell.start);
  }
  std::sort(starts.begin(), starts.end());
  const std::size_t lineEnd = fParagraphStart + static_cast<std::size_t>(fCharOffsets[textEnd]);
  for (TextCarets::Cell& cell : carets.cells) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), cell.start);
    cell.end = next == starts.end() ? lineEnd : *next;
  }
}

void Typesetter::Place(PangoFont* font, const PangoGlyphInfo& info, int x, double baseline,
                       TextLayout& layout) {
  if (font == nullptr || !IsDrawable(info.glyph)) {
    return;
  }
  if (IsMissing(info.glyph) || info.attr.is_color) {
    layout.fSpecial.push_back(TextLayout::SpecialGlyph{Ref(font), info, ToPoints(x), baseline});
    return;
  }
  layout.Add(font, cairo_glyph_t{info.glyph, ToPoints(x + info.geometry.x_offset),
                                 baseline + ToPoints(info.geometry.y_offset)});
}

// Unicode's rule L2: from the highest level down to the lowest odd one, reverse every sequence of
// runs at that level or higher.
void Typesetter::ReorderRuns() {
  const auto level = [&](std::size_t position) {
    return static_cast<int>(fItems[fVisualOrder[position]].item->analysis.level);
  };
  int highest = 0;
  int lowestOdd = INT_MAX;
  for (std::size_t i = 0; i < fVisualOrder.size(); ++i) {
    highest = std::max(highest, level(i));
    if (level(i) % 2 != 0) {
      lowestOdd = std::min(lowestOdd, level(i));
    }
  }
  for (int reversed = highest; reversed >= lowestOdd; --reversed) {
    for (std::size_t i = 0; i < fVisualOrder.size();) {
      if (level(i) < reversed) {
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < fVisualOrder.size() && level(end) >= reversed) {
        ++end;
      }
      std::reverse(fVisualOrder.begin() + static_cast<std::ptrdiff_t>(i),
                   fVisualOrder.begin() + static_cast<std::ptrdiff_t>(end));
      i = end;
    }
  }
}

} // namespace layra::graphics
