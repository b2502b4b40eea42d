#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace layra {

/** Who may read a file the host writes: everyone, or the user alone (files that may hold a
 *  password). A file that already exists keeps a stricter mode than the one asked for. */
enum class FileAccess { Shared, Private };

/** Writes `bytes` to a temporary file beside `path` (".NAME.layra-tmp-XXXXXX"), syncs it and
 *  renames it over `path`, so a crash leaves either the old file or the new one. */
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error, FileAccess access = FileAccess::Shared);
/** Creates `folder` and its missing parents, each new one for the user alone (0700). */
bool CreatePrivateFolders(const std::filesystem::path& folder, std::string* error);
/** Reads a whole file; false with a reason when it cannot. */
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error);
/** Removes the temporaries that writers killed mid-write left in `folder` (all of them, or
 *  only those of the file named `target`). Only a name WriteFileAtomically gives counts, and
 *  only for a plain file of this user that no writer holds; anything else is kept. */
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& target = {});
/** Renames a damaged file out of the way, never over an earlier one, and returns its new
 *  name (empty on failure). */
std::filesystem::path SetAside(const std::filesystem::path& path);
} // namespace layra
