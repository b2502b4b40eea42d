#pragma once
// Renders one page into a raster and exports it as a JPEG.

#include <layra/Export.h>
#include <layra/IPMStream.h>
#include <layra/UIDRef.h>

#include <cstdint>
#include <memory>

/** JPEG quality levels, lowest first: the JPEG qualities 30, 55, 75 and 90. */
enum SnapshotJPEGQuality : std::int32_t {
  kSSJPEGLowQuality = 0,
  kSSJPEGMediumQuality = 1,
  kSSJPEGHighQuality = 2,
  kSSJPEGMaximumQuality = 3,
};

enum SnapshotJPEGEncoding : std::int32_t { kSSJPEGBaseline = 1 };

class LAYRA_API SnapshotUtils {
public:
  /** Renders the page at once. The raster is round(width x xScale x xResolution / 72) by
   *  round(height x yScale x yResolution / 72) pixels. The arguments after the resolutions
   *  are accepted for compatibility; the host draws every page opaque, without bleed. */
  SnapshotUtils(const UIDRef& page, double xScale, double yScale, double xResolution,
                double yResolution, double bleed, std::int32_t drawingFlags, bool drawGuides,
                bool drawHidden, bool fullResolutionImages, std::int32_t transparency,
                double minimumResolution, bool antiAlias, bool drawOverprint);
  ~SnapshotUtils();
  SnapshotUtils(const SnapshotUtils&) = delete;
  SnapshotUtils& operator=(const SnapshotUtils&) = delete;

  /** 0 when the page was rendered, 1 when it could not be. */
  ErrorCode GetStatus() const;
  /** Encodes the raster into the stream; 0 on success. */
  ErrorCode ExportImageToJPEG(IPMStream* stream, std::int32_t encoding, std::int32_t quality);
  int GetWidth() const;
  int GetHeight() const;

private:
  struct Picture;
  std::unique_ptr<Picture> fPicture;
};
