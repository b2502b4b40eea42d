#pragma once
// Renders one page into a raster and exports it as a JPEG.

#include <layra/Export.h>
#include <layra/IDFile.h>
#include <layra/IPMStream.h>
#include <layra/UIDRef.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

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

  /** One JPEG of a page, as the constructor and ExportImageToJPEG make it, written to `file`. */
  struct JPEGVariant {
    double xScale, yScale, resolution;
    std::int32_t quality;
    IDFile file;
    /** Written 0600 whatever the umask, as a file stream opened with kOpenPrivate. */
    bool privateFile = false;
  };
  /** A page and its JPEGs, made in order; the first that cannot be rendered or written ends
   *  the page, and those after it are not made. */
  struct PageJob {
    UIDRef page;
    std::vector<JPEGVariant> variants;
  };
  /** The pixel sizes of the JPEGs written, in order: fewer than asked when one failed. */
  struct PageResult {
    struct Size {
      std::int32_t width, height;
    };
    std::vector<Size> written;
  };

  /** Renders and writes the pages on the host's render workers, one per core, and returns when
   *  all are done. Call it on the main thread: it reads the pages there, before any is drawn,
   *  and the document may change only afterwards. While it waits it keeps the window painting
   *  and calls `pageDone` with each finished page's index into `pages`, in the order they
   *  finish; when it answers false, the pages not yet begun are left unwritten (a cancel). */
  static std::vector<PageResult>
  ExportPagesToJPEG(const std::vector<PageJob>& pages,
                    const std::function<bool(std::size_t)>& pageDone = nullptr);

private:
  struct Picture;
  std::unique_ptr<Picture> fPicture;
};
