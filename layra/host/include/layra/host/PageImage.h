#pragma once
// A page drawn by the host's renderer (the one that makes the previews) for a window to show.

#include <layra/Export.h>
#include <layra/UIDRef.h>

#include <string>
#include <vector>

namespace layra {

/** Pixels of a cairo image surface in its RGB24 layout: native-endian 0xffRRGGBB words,
 *  rows `stride` bytes apart. The page is opaque, so the high byte is always 0xff. */
struct PageImage {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<unsigned char> pixels;
};

/** Renders `page` at `scale` pixels per point; false with a one-line reason otherwise. */
LAYRA_API bool RenderPageImage(const UIDRef& page, double scale, PageImage& image,
                               std::string* error);

} // namespace layra
