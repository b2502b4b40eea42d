#pragma once
// Rendering one page of the front document into a JPEG file, and reading an
// image file's pixel size back.

#include <layra/IDFile.h>
#include <layra/IPMStream.h>

#include <cstdint>

/** 0 on success; non-zero when the page cannot be rendered or written. An index beyond the
 *  document's last page fails: it must never publish another page's picture. */
std::int32_t ExportPagePreview(const IDFile& file, double xScale, double yScale, double resolution,
                               std::int32_t reserved1, std::int32_t reserved2,
                               std::int32_t jpegQuality, std::int32_t pageIndex,
                               std::int32_t* width, std::int32_t* height);

/** Fills both sizes when the stream holds an image the host can read. */
void ReadImageSize(IPMStream* stream, std::int32_t& width, std::int32_t& height);
