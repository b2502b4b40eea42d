#pragma once

#include <graphics/CairoHandles.h>
#include <graphics/LayoutCache.h>
#include <graphics/PageScene.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace layra::graphics {

// Lays out and draws text frames. Layout happens in page points, independent of the output
// resolution, so a frame wraps the same at every scale and FitText agrees with what is drawn.
// Holds its own font map: one engine per thread.
class TextEngine {
public:
  TextEngine();

  std::size_t FitText(std::string_view text, const std::string& fontFamily, double fontSize,
                      double width, double height);
  // `cr` maps page points to device pixels.
  void Draw(cairo_t* cr, const TextItem& item);

private:
  GObjectPtr<PangoLayout> Layout(std::string_view text, const std::string& fontFamily,
                                 double fontSize, double width);

  GObjectPtr<PangoFontMap> fontMap_;
  GObjectPtr<PangoContext> context_;
  LayoutCache layouts_;
};

} // namespace layra::graphics
