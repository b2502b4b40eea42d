#pragma once

#include <CHandles.h>
#include <graphics/Typesetter.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace layra::graphics {

// Where a frame's glyphs go on the raster.
struct GlyphPlacement {
  double xScale, yScale;   // device pixels per point
  double originX, originY; // the frame's top-left corner, in device pixels
  pixman_box32_t clip;     // device pixels
};

// Glyph images made by cairo once per font and device scale, then composited by pixman straight
// onto the raster. cairo's own text drawing costs several times more per call than per glyph,
// and for any run of glyphs whose boxes touch, which is nearly every line of text, it first
// clears a mask as large as the run, adds the glyphs to it and composites the whole mask.
// Not thread-safe: one per thread.
class GlyphCache {
public:
  GlyphCache();

  // Only fonts up to this many device pixels to the em are cached; larger glyphs are few on a
  // page and would fill the cache, which is bounded by glyph count, with megabytes each.
  static constexpr double kMaxEmPixels = 64;

  // Composites the layout's single-colour glyphs in `color`.
  void Composite(pixman_image_t* canvas, const TextLayout& layout, const GlyphPlacement& placement,
                 const pixman_color_t& color);

private:
  struct SizedFont {
    GObjectPtr<PangoFont> font;
    double xScale, yScale;
    ScaledFontPtr device; // null when the font cannot be drawn
    // Never reused, so that glyphs of a font dropped from fFonts can never be mistaken for
    // another's while pixman still holds them.
    std::uintptr_t key;
  };

  const SizedFont& Sized(PangoFont* font, double xScale, double yScale);
  // Null only when pixman cannot take another glyph before it is thawed, or memory ran out.
  const void* Image(const SizedFont& sized, unsigned long glyph);
  void Flush(pixman_image_t* canvas, pixman_image_t* source);

  PixmanGlyphCachePtr fCache;
  std::vector<SizedFont> fFonts; // most recently used last
  std::uintptr_t fNextKey = 1;
  std::vector<pixman_glyph_t> fBatch;
};

} // namespace layra::graphics
