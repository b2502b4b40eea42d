#include <graphics/Raster.h>
#include <graphics/SourceColor.h>
#include <graphics/TextEngine.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace layra::graphics {
namespace {

// Enough for every frame of a busy page, so that its next preview size finds them all.
constexpr std::size_t kCachedLayouts = 128;

// Pango takes lengths as int.
constexpr std::size_t kMaxLayoutBytes = INT_MAX;

// Layout happens in points, so this is also the size in pixels of the glyphs measured; FreeType
// fails well before 2^16 pixels, and a failed font breaks the whole page.
constexpr double kMaxFontSize = 10000;

bool IsUsableFontSize(double size) {
  return std::isfinite(size) && size > 0 && size <= kMaxFontSize;
}

// Glyphs are drawn at device size too. One taller than the largest raster shows nothing useful,
// and near 2^16 pixels FreeType fails as above.
bool FitsDevice(cairo_t* cr, double fontSize) {
  double width = fontSize;
  double height = fontSize;
  cairo_user_to_device_distance(cr, &width, &height);
  return std::max(std::abs(width), std::abs(height)) <= kMaxRasterDimension;
}

bool IsUsableExtent(double points) {
  return std::isfinite(points) && points > 0;
}

int ToPangoUnits(double points) {
  const double units = std::round(points * PANGO_SCALE);
  return static_cast<int>(std::clamp(units, 0.0, static_cast<double>(INT_MAX)));
}

// Pango would mangle invalid UTF-8 and warn on stderr. Replacing each bad byte with '?' keeps
// every byte offset equal to the caller's, which is what FitText reports.
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

void SetLayoutText(PangoLayout* layout, std::string_view text) {
  const int length = static_cast<int>(std::min(text.size(), kMaxLayoutBytes));
  if (g_utf8_validate(text.data(), length, nullptr)) {
    pango_layout_set_text(layout, text.data(), length);
    return;
  }
  const std::string repaired = ReplaceInvalidUtf8(text.substr(0, length));
  pango_layout_set_text(layout, repaired.data(), length);
}

// Laying out the whole rest of a story for every frame would make flowing a long story through
// many frames quadratic, so FitText lays out only an opening a little larger than the frame can
// show and grows it when needed. The estimate assumes characters narrower on average than any
// common font's and lines no taller than the font size.
std::size_t EstimatedCapacity(double fontSize, double width, double height) {
  constexpr double kNarrowestAverageEm = 0.3;
  const double lines = height / fontSize + 2;
  const double perLine = width / (kNarrowestAverageEm * fontSize) + 2;
  return static_cast<std::size_t>(std::min(lines * perLine, static_cast<double>(kMaxLayoutBytes)));
}

// Never cut a UTF-8 sequence in two.
std::size_t CharacterEnd(std::string_view text, std::size_t wanted) {
  std::size_t end = std::min(wanted, text.size());
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) {
    ++end;
  }
  return end;
}

// Where the first line that reaches below `bottom` starts. In an opening cut from a longer story
// the last line is not final: the cut may shorten the word that starts it so much that the word
// moves up and makes the line above taller. Every earlier line is final, so an overflow on the
// last line of an opening does not count.
std::optional<std::size_t> OverflowStart(PangoLayout* layout, int bottom, bool lastLineIsFinal) {
  const LayoutIterPtr line(pango_layout_get_iter(layout));
  for (;;) {
    int lineTop = 0;
    int lineBottom = 0;
    pango_layout_iter_get_line_yrange(line.get(), &lineTop, &lineBottom);
    const int start = pango_layout_iter_get_line_readonly(line.get())->start_index;
    const bool isLast = !pango_layout_iter_next_line(line.get());
    if (lineBottom > bottom && (lastLineIsFinal || !isLast)) {
      return static_cast<std::size_t>(start);
    }
    if (isLast) {
      return std::nullopt;
    }
  }
}

} // namespace

TextEngine::TextEngine()
    : fontMap_(pango_cairo_font_map_new()), context_(pango_font_map_create_context(fontMap_.get())),
      layouts_(kCachedLayouts) {
  // Unhinted outlines and fractional positions make the layout identical at every scale.
  const FontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(context_.get(), options.get());
  pango_context_set_round_glyph_positions(context_.get(), FALSE);
}

std::size_t TextEngine::FitText(std::string_view text, const std::string& fontFamily,
                                double fontSize, double width, double height) {
  if (text.empty() || !IsUsableFontSize(fontSize) || !IsUsableExtent(width) ||
      !IsUsableExtent(height)) {
    return 0;
  }
  const std::string_view story = text.substr(0, kMaxLayoutBytes);
  const int bottom = ToPangoUnits(height);
  std::size_t wanted = EstimatedCapacity(fontSize, width, height);
  for (;;) {
    const std::size_t end = CharacterEnd(story, wanted);
    const bool whole = end == story.size();
    const GObjectPtr<PangoLayout> layout =
        Layout(story.substr(0, end), fontFamily, fontSize, width);
    const std::optional<std::size_t> overflow = OverflowStart(layout.get(), bottom, whole);
    if (overflow) {
      return *overflow;
    }
    if (whole) {
      return story.size();
    }
    wanted = end * 2;
  }
}

void TextEngine::Draw(cairo_t* cr, const TextItem& item) {
  const Rect& frame = item.bounds;
  const double width = frame.right - frame.left;
  if (item.text.empty() || !IsUsableFontSize(item.fontSize) || !IsUsableExtent(width) ||
      !FitsDevice(cr, item.fontSize)) {
    return;
  }
  const LayoutKey key{item.text, item.fontFamily, item.fontSize, width};
  PangoLayout* layout = layouts_.Find(key);
  if (layout == nullptr) {
    layout = layouts_.Insert(key, Layout(item.text, item.fontFamily, item.fontSize, width));
  }
  cairo_save(cr);
  cairo_rectangle(cr, frame.left, frame.top, width, frame.bottom - frame.top);
  cairo_clip(cr);
  SetSourceColor(cr, item.color);
  cairo_move_to(cr, frame.left, frame.top);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
}

GObjectPtr<PangoLayout> TextEngine::Layout(std::string_view text, const std::string& fontFamily,
                                           double fontSize, double width) {
  GObjectPtr<PangoLayout> layout(pango_layout_new(context_.get()));
  const FontDescriptionPtr font(pango_font_description_new());
  pango_font_description_set_family(font.get(), fontFamily.c_str());
  pango_font_description_set_absolute_size(font.get(), fontSize * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_width(layout.get(), ToPangoUnits(width));
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  SetLayoutText(layout.get(), text);
  return layout;
}

} // namespace layra::graphics
