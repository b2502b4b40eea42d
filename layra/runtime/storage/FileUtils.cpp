#include <layra/FileUtils.h>

#include "AtomicFile.h"

#include <filesystem>

namespace FileUtils {

IDFile PMStringToIDFile(const PMString& path) {
  return IDFile(path.GetUTF8String());
}

PMString IDFileToPMString(const IDFile& file) {
  return PMString(file.GetPath().string(), PMString::kDontTranslateDuringCall);
}

PMString GetFileName(const IDFile& file) {
  return PMString(file.GetPath().filename().string(), PMString::kDontTranslateDuringCall);
}

PMString GetBaseFileName(const IDFile& file) {
  return PMString(file.GetPath().stem().string(), PMString::kDontTranslateDuringCall);
}

PMString GetExtension(const IDFile& file) {
  std::string extension = file.GetPath().extension().string();
  if (!extension.empty())
    extension.erase(0, 1);
  return PMString(extension, PMString::kDontTranslateDuringCall);
}

bool DoesFileExist(const IDFile& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file.GetPath(), error);
}

bool CopyFile(const IDFile& from, const IDFile& to) {
  std::string bytes;
  std::error_code error;
  const auto others = std::filesystem::perms::group_all | std::filesystem::perms::others_all;
  const bool alone = (std::filesystem::status(from.GetPath(), error).permissions() & others) ==
                     std::filesystem::perms::none;
  // What an earlier copy killed mid-write left beside the target goes first.
  const std::filesystem::path folder = to.GetPath().parent_path();
  layra::RemoveStaleTemporaries(folder.empty() ? "." : folder, to.GetPath().filename().string());
  return layra::ReadWholeFile(from.GetPath(), bytes, nullptr) &&
         layra::WriteFileAtomically(to.GetPath(), bytes, nullptr,
                                    alone ? layra::FileAccess::Private : layra::FileAccess::Shared);
}

} // namespace FileUtils
