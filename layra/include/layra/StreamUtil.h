#pragma once

#include <layra/Export.h>
#include <layra/IDFile.h>
#include <layra/IPMStream.h>

#include <cstdint>
#include <vector>

enum FileOpenMode : std::uint32_t {
  kOpenIn = 1,
  kOpenOut = 2,
  kOpenApp = 4,
  kOpenTrunc = 8,
  /** For writing: only the user may read or write the file, whatever the umask; a file that
   *  exists already is made so before anything is written to it. */
  kOpenPrivate = 16,
};

/** Four-character file type and creator codes; the host stores none of them. */
constexpr std::uint32_t kAnyFileType = 0x3F3F3F3F;  // '????'
constexpr std::uint32_t kJPEGFileType = 0x4A504547; // 'JPEG'
constexpr std::uint32_t kImageCreator = 0x4C595241; // 'LYRA'

namespace StreamUtil {
/** Null when the file cannot be opened. */
LAYRA_API IPMStream* CreateFileStreamRead(const IDFile& file, std::uint32_t mode = kOpenIn,
                                          std::uint32_t fileType = kAnyFileType,
                                          std::uint32_t creator = kAnyFileType);
/** Null when the file cannot be created. Writing starts from an empty file unless the mode
 *  asks to append. */
LAYRA_API IPMStream* CreateFileStreamWrite(const IDFile& file,
                                           std::uint32_t mode = kOpenOut | kOpenTrunc,
                                           std::uint32_t fileType = kAnyFileType,
                                           std::uint32_t creator = kAnyFileType);
LAYRA_API IPMStream* CreateMemoryStreamRead(std::vector<unsigned char> bytes);
LAYRA_API IPMStream* CreateMemoryStreamWrite();
/** The bytes written so far to a stream made by CreateMemoryStreamWrite; empty otherwise. */
LAYRA_API std::vector<unsigned char> GetMemoryStreamBytes(const IPMStream* stream);
} // namespace StreamUtil
