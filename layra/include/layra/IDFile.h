#pragma once

#include <filesystem>

/** The host's file object: a path to a file that may or may not exist. */
class IDFile {
public:
  IDFile() = default;
  explicit IDFile(std::filesystem::path path) : fPath(std::move(path)) {}

  const std::filesystem::path& GetPath() const { return fPath; }
  bool IsEmpty() const { return fPath.empty(); }

  friend bool operator==(const IDFile&, const IDFile&) = default;

private:
  std::filesystem::path fPath;
};
