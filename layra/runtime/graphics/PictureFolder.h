#pragma once

#include <graphics/ImageDecoder.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace layra::graphics {

// Decoded pictures on disk, one file each, named by the picture's content digest and the size
// it was decoded to. An entry is trusted only when its header names that same digest and size
// and its pixels match their checksum: anything else (a truncated or damaged file, another
// picture's) is ignored and written again. The folder is the user's alone; past its budget the
// least recently used entries go.
class PictureFolder {
public:
  // Without a place, or when the place is empty, nothing is kept on disk. The place is asked
  // at every use, so it follows the environment it is read from.
  PictureFolder() = default;
  PictureFolder(std::function<std::filesystem::path()> place, std::size_t budgetBytes)
      : fPlace(std::move(place)), fBudget(budgetBytes) {}

  std::optional<DecodedPicture> Load(const std::string& content, ImageSize size) const;
  void Save(const std::string& content, const DecodedPicture& picture) const;

  static constexpr std::size_t kDefaultBudget = 512u << 20;

private:
  void Trim(const std::filesystem::path& folder) const;

  std::function<std::filesystem::path()> fPlace;
  std::size_t fBudget = 0;
};

// The hex SHA-256 of `bytes`.
std::string ContentDigest(const std::vector<unsigned char>& bytes);

} // namespace layra::graphics
