#pragma once
// Rendering pages of the front document into JPEG files.

#include <layra/IDFile.h>
#include <layra/SnapshotUtils.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

/** 0 on success; non-zero when the page cannot be rendered or written. An index beyond the
 *  document's last page fails: it must never publish another page's picture. */
std::int32_t ExportPagePreview(const IDFile& file, double xScale, double yScale, double resolution,
                               std::int32_t reserved1, std::int32_t reserved2,
                               std::int32_t jpegQuality, std::int32_t pageIndex,
                               std::int32_t* width, std::int32_t* height);

/** The previews of the front document's pages 0, 1, ... (one list of variants each), rendered
 *  side by side on the host's workers; returns when all are written. For each page, the sizes
 *  of the previews written, in order, up to the first that failed. `pageDone` is called here,
 *  on the calling thread, with each page index as that page finishes; false stops the pages
 *  not yet begun. */
std::vector<SnapshotUtils::PageResult>
ExportPagePreviews(const std::vector<std::vector<SnapshotUtils::JPEGVariant>>& pages,
                   const std::function<bool(std::size_t)>& pageDone);
