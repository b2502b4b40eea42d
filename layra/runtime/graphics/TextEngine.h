#pragma once

#include <CHandles.h>
#include <graphics/GlyphCache.h>
#include <graphics/LayoutCache.h>
#include <graphics/PageScene.h>
#include <graphics/Typesetter.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace layra::graphics {

// A raster as both cairo and pixman see it.
struct Canvas {
  cairo_t* cr;            // maps page points to device pixels
  pixman_image_t* pixels; // the same memory as cr's target
  double xScale, yScale;  // device pixels per point
};

// Lays out and draws text frames. Layout happens in page points, independent of the output
// resolution, so a frame wraps the same at every scale and FitText agrees with what is drawn.
// Holds its own font map: one engine per thread.
class TextEngine {
public:
  TextEngine();

  std::size_t FitText(std::string_view text, const std::string& fontFamily, double fontSize,
                      double width, double height);
  void Draw(const Canvas& canvas, const TextItem& item);
  // Where Draw puts the item's characters, from the frame's top-left corner; none for a frame
  // Draw leaves empty.
  TextCarets Carets(const TextItem& item);

private:
  GObjectPtr<PangoFontMap> fFontMap;
  GObjectPtr<PangoContext> fContext;
  Typesetter fTypesetter;
  LayoutCache fLayouts;
  GlyphCache fGlyphs;
};

} // namespace layra::graphics
