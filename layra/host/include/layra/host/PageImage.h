#pragma once
// A page drawn by the host's renderer (the one that makes the previews) for a window to show,
// and where the renderer puts the text of its text frames, for a caret, a click and a range.

#include <layra/Export.h>
#include <layra/PMRect.h>
#include <layra/UIDRef.h>
#include <layra/host/Result.h>

#include <optional>
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

/** Renders `page` at `scale` pixels per point into `image`, whose pixel buffer is reused, so
 *  that repainting at one size allocates nothing. */
LAYRA_API Result<void> RenderPageImage(const UIDRef& page, double scale, PageImage& image);

// Text positions are those of the frame's story (bytes of its text, at character starts);
// points are the page's.

/** The position nearest to (x, y) among those `frame` shows; -1 for no text frame. */
LAYRA_API std::int32_t TextPositionAt(const UIDRef& frame, double x, double y);
/** The caret before position `at`, a line from (left, top) down to (left, bottom); nullopt
 *  when `frame` does not show that position. */
LAYRA_API std::optional<PMRect> TextCaret(const UIDRef& frame, std::int32_t at);
/** What `frame` shows of positions [start, end): one box for each run of characters on a line. */
LAYRA_API std::vector<PMRect> TextRangeAreas(const UIDRef& frame, std::int32_t start,
                                             std::int32_t end);

} // namespace layra
