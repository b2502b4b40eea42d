#pragma once

#include <graphics/PageScene.h>
#include <graphics/Raster.h>
#include <graphics/TextCarets.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace layra::graphics {

class PictureCache;
class TextEngine;

// Draws page scenes into rasters. Keeps fonts and shaping state between calls, so reuse one
// renderer for many pages; it is not thread-safe, give each thread its own.
class PageRenderer {
public:
  // Decoded pictures go to `pictures`, which may be shared between renderers; without one the
  // renderer keeps its own, in memory.
  explicit PageRenderer(PictureCache* pictures = nullptr);
  ~PageRenderer();
  PageRenderer(const PageRenderer&) = delete;
  PageRenderer& operator=(const PageRenderer&) = delete;

  // The raster is round(width * xScale * xResolution / 72) by
  // round(height * yScale * yResolution / 72) pixels. Fails, with a reason in `error`, when
  // either side falls outside 1..kMaxRasterDimension or the raster would pass kMaxRasterBytes.
  // Pictures are decoded at the size their frames need and kept for the next render. Items that
  // cannot be drawn (damaged images, degenerate geometry) never fail the page.
  std::optional<Raster> RenderPage(const PageScene& scene, double xScale, double yScale,
                                   double xResolution, double yResolution, std::string* error);
  // RenderPage into `target`, whose pixel buffer is kept: a page no larger than one drawn into it
  // before takes no memory from the system, so nothing is mapped, faulted in and zeroed again.
  bool RenderInto(const PageScene& scene, double xScale, double yScale, double xResolution,
                  double yResolution, Raster& target, std::string* error);

  // How many leading bytes of `text` fit, wrapped, in a frame of this size. Always ends at a
  // line start, so the remainder can flow on into the next frame.
  std::size_t FitText(std::string_view text, const std::string& fontFamily, double fontSize,
                      double width, double height);

  // Where RenderPage puts the characters of a text item, from the frame's top-left corner.
  TextCarets Carets(const TextItem& item);

private:
  std::unique_ptr<TextEngine> fText;
  std::unique_ptr<PictureCache> fOwnPictures;
  PictureCache* fPictures;
};

} // namespace layra::graphics
