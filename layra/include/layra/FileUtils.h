#pragma once

#include <layra/Export.h>
#include <layra/IDFile.h>
#include <layra/PMString.h>

namespace FileUtils {
LAYRA_API IDFile PMStringToIDFile(const PMString& path);
LAYRA_API PMString IDFileToPMString(const IDFile& file);
/** The file's name without its folder, with its extension. */
LAYRA_API PMString GetFileName(const IDFile& file);
/** The file's name without its folder and without its extension. */
LAYRA_API PMString GetBaseFileName(const IDFile& file);
/** The extension without its dot; empty when there is none. */
LAYRA_API PMString GetExtension(const IDFile& file);
LAYRA_API bool DoesFileExist(const IDFile& file);
/** Copies `from` over `to` through a temporary file and a rename, so `to` is either the
 *  old file or the complete copy, never a part of it. The copy of a file only its owner may
 *  read is for the user alone too. */
LAYRA_API bool CopyFile(const IDFile& from, const IDFile& to);
} // namespace FileUtils
