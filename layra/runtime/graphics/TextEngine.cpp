#include <graphics/Raster.h>
#include <graphics/SourceColor.h>
#include <graphics/TextEngine.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
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

// Clip edges are clamped here, well outside any raster, before they become pixman's int32.
constexpr double kMaxPixel = 1 << 28;

bool IsUsableFontSize(double size) {
  return std::isfinite(size) && size > 0 && size <= kMaxFontSize;
}

// Glyphs are drawn at device size too. One taller than the largest raster shows nothing useful,
// and near 2^16 pixels FreeType fails as above, so such text is left out.
double EmPixels(const Canvas& canvas, double fontSize) {
  return fontSize * std::max(std::abs(canvas.xScale), std::abs(canvas.yScale));
}

bool IsUsableExtent(double points) {
  return std::isfinite(points) && points > 0;
}

int ToPangoUnits(double points) {
  const double units = std::round(points * PANGO_SCALE);
  return static_cast<int>(std::clamp(units, 0.0, static_cast<double>(INT_MAX)));
}

// Pixel centres inside the frame, as cairo's clip to a whole-pixel rectangle would take them.
GlyphPlacement Placement(const Canvas& canvas, const Rect& frame) {
  const auto pixel = [](double coordinate) {
    return static_cast<std::int32_t>(
        std::floor(std::clamp(coordinate, -kMaxPixel, kMaxPixel) + 0.5));
  };
  return GlyphPlacement{
      canvas.xScale, canvas.yScale, frame.left * canvas.xScale, frame.top * canvas.yScale,
      pixman_box32_t{pixel(frame.left * canvas.xScale), pixel(frame.top * canvas.yScale),
                     pixel(frame.right * canvas.xScale), pixel(frame.bottom * canvas.yScale)}};
}

pixman_color_t ToPixmanColor(const Color& color) {
  const auto channel = [](double value) {
    return static_cast<std::uint16_t>(SafeChannel(value) * 0xffff + 0.5);
  };
  return pixman_color_t{channel(color.r), channel(color.g), channel(color.b), 0xffff};
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

} // namespace

TextEngine::TextEngine()
    : fFontMap(pango_cairo_font_map_new()), fContext(pango_font_map_create_context(fFontMap.get())),
      fTypesetter(fContext.get()), fLayouts(kCachedLayouts) {
  // Unhinted outlines and fractional positions make the layout identical at every scale.
  const FontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(fContext.get(), options.get());
  pango_context_set_round_glyph_positions(fContext.get(), FALSE);
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
    const std::optional<std::size_t> overflow = fTypesetter.OverflowStart(
        story.substr(0, end), FontChoice{fontFamily, fontSize}, ToPangoUnits(width), bottom, whole);
    if (overflow) {
      return *overflow;
    }
    if (whole) {
      return story.size();
    }
    wanted = end * 2;
  }
}

TextCarets TextEngine::Carets(const TextItem& item) {
  const double width = item.bounds.right - item.bounds.left;
  if (item.text.empty() || !IsUsableFontSize(item.fontSize) || !IsUsableExtent(width)) {
    return {};
  }
  return fTypesetter.Carets(item.text, FontChoice{item.fontFamily, item.fontSize},
                            ToPangoUnits(width));
}

void TextEngine::Draw(const Canvas& canvas, const TextItem& item) {
  const Rect& frame = item.bounds;
  const double width = frame.right - frame.left;
  const double emPixels = EmPixels(canvas, item.fontSize);
  if (item.text.empty() || !IsUsableFontSize(item.fontSize) || !IsUsableExtent(width) ||
      !(emPixels <= kMaxRasterDimension)) {
    return;
  }
  const LayoutKey key{item.text, item.fontFamily, item.fontSize, width};
  const TextLayout* layout = fLayouts.Find(key);
  if (layout == nullptr) {
    layout = &fLayouts.Insert(key, fTypesetter.Layout(item.text,
                                                      FontChoice{item.fontFamily, item.fontSize},
                                                      ToPangoUnits(width)));
  }
  const bool cached = emPixels <= GlyphCache::kMaxEmPixels;
  if (cached) {
    cairo_surface_t* target = cairo_get_target(canvas.cr);
    cairo_surface_flush(target);
    fGlyphs.Composite(canvas.pixels, *layout, Placement(canvas, frame), ToPixmanColor(item.color));
    cairo_surface_mark_dirty(target);
  }
  // Large glyphs, colour glyphs and the boxes for missing characters are left to cairo.
  if (cached && !layout->HasSpecialGlyphs()) {
    return;
  }
  cairo_t* cr = canvas.cr;
  cairo_save(cr);
  cairo_rectangle(cr, frame.left, frame.top, width, frame.bottom - frame.top);
  cairo_clip(cr);
  SetSourceColor(cr, item.color);
  cairo_translate(cr, frame.left, frame.top);
  if (!cached) {
    layout->DrawGlyphs(cr);
  }
  layout->DrawSpecialGlyphs(cr);
  cairo_restore(cr);
}

} // namespace layra::graphics
