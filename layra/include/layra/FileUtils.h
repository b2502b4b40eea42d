#pragma once

#include <layra/IDFile.h>
#include <layra/PMString.h>

namespace FileUtils {
IDFile PMStringToIDFile(const PMString& path);
PMString IDFileToPMString(const IDFile& file);
/** The file's name without its folder, with its extension. */
PMString GetFileName(const IDFile& file);
/** The file's name without its folder and without its extension. */
PMString GetBaseFileName(const IDFile& file);
/** The extension without its dot; empty when there is none. */
PMString GetExtension(const IDFile& file);
bool DoesFileExist(const IDFile& file);
/** Copies `from` over `to` through a temporary file and a rename, so `to` is either the
 *  old file or the complete copy, never a part of it. */
bool CopyFile(const IDFile& from, const IDFile& to);
} // namespace FileUtils
