#include <graphics/PictureFolder.h>

#include <CHandles.h>

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace layra::graphics {
namespace {

namespace fs = std::filesystem;

constexpr std::array<char, 8> kMagic{'L', 'A', 'Y', 'R', 'A', 'P', 'I', 'C'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kDigestLength = 64;
// A temporary older than this belongs to a writer that died.
constexpr auto kStaleTemporary = std::chrono::minutes(10);

struct Header {
  std::array<char, 8> magic;
  std::uint32_t version;
  std::uint32_t width, height, stride, alpha;
  std::uint32_t unused;
  std::uint64_t checksum;
  std::array<char, kDigestLength> content;
};

// FNV-1a: enough to tell a damaged entry, which is all a checksum of the user's own cache is for.
std::uint64_t Checksum(const std::vector<unsigned char>& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char byte : bytes)
    hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

std::string EntryName(const std::string& content, ImageSize size) {
  return content + "-" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".pic";
}

bool IsHexDigest(std::string_view text) {
  return text.size() == kDigestLength && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

bool IsNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// DIGEST-WxH.pic; a folder's trim runs after every entry written, so no regular expression.
bool IsEntryName(std::string_view name) {
  constexpr std::string_view kEnding = ".pic";
  if (name.size() < kDigestLength + 1 + kEnding.size() || !name.ends_with(kEnding) ||
      name[kDigestLength] != '-' || !IsHexDigest(name.substr(0, kDigestLength)))
    return false;
  const std::string_view size =
      name.substr(kDigestLength + 1, name.size() - kDigestLength - 1 - kEnding.size());
  const std::size_t x = size.find('x');
  return x != std::string_view::npos && IsNumber(size.substr(0, x)) && IsNumber(size.substr(x + 1));
}

// Only files of these names are the cache's to delete: its entries, and their temporaries
// (an entry's name, then ".PID-SERIAL.tmp").
bool IsTemporaryName(std::string_view name) {
  constexpr std::string_view kEnding = ".tmp";
  const std::size_t entryEnd = name.find(".pic.");
  if (entryEnd == std::string_view::npos || !name.ends_with(kEnding) ||
      !IsEntryName(name.substr(0, entryEnd + 4)))
    return false;
  const std::string_view serial =
      name.substr(entryEnd + 5, name.size() - entryEnd - 5 - kEnding.size());
  const std::size_t dash = serial.find('-');
  return dash != std::string_view::npos && IsNumber(serial.substr(0, dash)) &&
         IsNumber(serial.substr(dash + 1));
}

bool HeaderFits(const Header& header, const std::string& content, ImageSize size) {
  return header.magic == kMagic && header.version == kVersion &&
         std::string(header.content.data(), kDigestLength) == content &&
         header.width == std::uint32_t(size.width) && header.height == std::uint32_t(size.height) &&
         header.stride >= header.width * 4 && header.stride <= header.width * 4 + 64 &&
         header.alpha <= 1;
}

// Each folder missing on the way is made for the user alone.
bool MakePrivateFolders(const fs::path& folder) {
  fs::path made;
  for (const fs::path& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST)
      return false;
  }
  return fs::is_directory(made);
}

bool ReadAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  while (size > 0) {
    const ssize_t got = ::read(fd, bytes, size);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool AtEnd(int fd) {
  unsigned char beyond = 0;
  ssize_t got = 0;
  do
    got = ::read(fd, &beyond, 1);
  while (got < 0 && errno == EINTR);
  return got == 0;
}

void SayIgnored(const fs::path& path, const char* why) {
  std::fprintf(stderr, "layra: picture cache entry %s ignored: %s\n", path.c_str(), why);
}

// Anyone able to write the folder could leave a link or a FIFO under an entry's name: opened
// blindly, the one would read another file and the other would block the render for good. Only
// a regular file is an entry; anything else is a miss, and said so. Returns the descriptor to
// own, or -1.
int OpenEntry(const fs::path& path) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) {
    if (errno == ELOOP)
      SayIgnored(path, "a link");
    else if (errno != ENOENT)
      SayIgnored(path, std::strerror(errno));
    return -1;
  }
  struct stat status {};
  if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    SayIgnored(path, "not a regular file");
    return -1;
  }
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
    return -1;
  return fd.Release();
}

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

} // namespace

std::string ContentDigest(const std::vector<unsigned char>& bytes) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) != 1)
    return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 0xf];
  }
  return text;
}

std::optional<DecodedPicture> PictureFolder::Load(const std::string& content,
                                                  ImageSize size) const {
  const fs::path folder = fPlace ? fPlace() : fs::path();
  if (folder.empty() || content.size() != kDigestLength)
    return std::nullopt;
  const fs::path path = folder / EntryName(content, size);
  const Descriptor fd(OpenEntry(path));
  Header header{};
  if (fd.Get() < 0 || !ReadAll(fd.Get(), &header, sizeof header) ||
      !HeaderFits(header, content, size))
    return std::nullopt;
  DecodedPicture picture{
      Raster{size.width, size.height, int(header.stride),
             std::vector<unsigned char>(std::size_t(header.stride) * std::size_t(header.height))},
      header.alpha == 1};
  std::vector<unsigned char>& pixels = picture.raster.pixels;
  if (!ReadAll(fd.Get(), pixels.data(), pixels.size()) || !AtEnd(fd.Get()) ||
      Checksum(pixels) != header.checksum)
    return std::nullopt;
  // Its time is its last use: the trim drops the entries no render asked for longest.
  ::futimens(fd.Get(), nullptr);
  return picture;
}

void PictureFolder::Save(const std::string& content, const DecodedPicture& picture) const {
  const fs::path folder = fPlace ? fPlace() : fs::path();
  if (folder.empty() || content.size() != kDigestLength || !MakePrivateFolders(folder))
    return;
  const Raster& raster = picture.raster;
  Header header{kMagic,
                kVersion,
                std::uint32_t(raster.width),
                std::uint32_t(raster.height),
                std::uint32_t(raster.stride),
                picture.alpha ? 1u : 0u,
                0,
                Checksum(raster.pixels),
                {}};
  std::memcpy(header.content.data(), content.data(), kDigestLength);
  // Written beside and renamed over, so a reader never sees half an entry.
  static std::atomic<unsigned> serial{0};
  const fs::path path = folder / EntryName(content, {raster.width, raster.height});
  const fs::path temporary =
      path.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
  Descriptor fd(
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (fd.Get() < 0)
    return;
  const bool written = WriteAll(fd.Get(), &header, sizeof header) &&
                       WriteAll(fd.Get(), raster.pixels.data(), raster.pixels.size());
  if (!fd.Close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return;
  }
  Trim(folder);
}

void PictureFolder::Trim(const fs::path& folder) const {
  struct Found {
    fs::path path;
    fs::file_time_type time;
    std::uintmax_t size;
  };
  std::vector<Found> entries;
  std::uintmax_t total = 0;
  std::error_code error;
  const auto now = fs::file_time_type::clock::now();
  for (const fs::directory_entry& item : fs::directory_iterator(folder, error)) {
    const std::string name = item.path().filename().string();
    // What is not a regular file here (a link, a FIFO) is nothing the cache wrote.
    if (!fs::is_regular_file(item.symlink_status(error)))
      continue;
    const fs::file_time_type time = item.last_write_time(error);
    if (error)
      continue;
    if (IsTemporaryName(name) && now - time > kStaleTemporary) {
      fs::remove(item.path(), error);
      continue;
    }
    const std::uintmax_t size = item.file_size(error);
    if (!IsEntryName(name) || error)
      continue;
    entries.push_back({item.path(), time, size});
    total += size;
  }
  if (total <= fBudget)
    return;
  std::sort(entries.begin(), entries.end(),
            [](const Found& a, const Found& b) { return a.time < b.time; });
  for (const Found& entry : entries) {
    if (total <= fBudget)
      break;
    if (fs::remove(entry.path, error))
      total -= entry.size;
  }
}

} // namespace layra::graphics
