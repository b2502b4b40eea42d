#include "DataBaseFile.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace layra {
namespace {

constexpr char kMagic[4] = {'L', 'Y', 'D', 'B'};
constexpr std::uint32_t kVersion = 1;

std::uint32_t Crc32(std::string_view bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes)
    crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void PutWord(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

class Reader {
public:
  explicit Reader(std::string_view bytes) : fBytes(bytes) {}
  bool Word(std::uint32_t& value) {
    if (fBytes.size() - fPosition < 4)
      return false;
    value = 0;
    for (int i = 0; i < 4; ++i)
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(fBytes[fPosition + i]))
               << (8 * i);
    fPosition += 4;
    return true;
  }
  bool Bytes(std::uint32_t count, std::vector<unsigned char>& out) {
    if (fBytes.size() - fPosition < count)
      return false;
    out.assign(fBytes.begin() + static_cast<std::ptrdiff_t>(fPosition),
               fBytes.begin() + static_cast<std::ptrdiff_t>(fPosition + count));
    fPosition += count;
    return true;
  }
  bool AtEnd() const { return fPosition == fBytes.size(); }

private:
  std::string_view fBytes;
  std::size_t fPosition = 0;
};

} // namespace

std::string EncodeDataBase(const DataBase& db) {
  std::string out(kMagic, sizeof kMagic);
  PutWord(out, kVersion);
  PutWord(out, db.GetRootUID());
  const std::vector<StoredObject> objects = db.Export();
  PutWord(out, static_cast<std::uint32_t>(objects.size()));
  for (const StoredObject& object : objects) {
    PutWord(out, object.uid);
    PutWord(out, object.classID.Get());
    PutWord(out, static_cast<std::uint32_t>(object.data.size()));
    for (const auto& [implementation, bytes] : object.data) {
      PutWord(out, implementation.Get());
      PutWord(out, static_cast<std::uint32_t>(bytes.size()));
      out.append(bytes.begin(), bytes.end());
    }
  }
  PutWord(out, Crc32(out));
  return out;
}

bool DecodeDataBase(std::string_view bytes, UID& root, std::vector<StoredObject>& objects,
                    std::string& reason) {
  if (bytes.size() < sizeof kMagic + 16 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    reason = "not a database file";
    return false;
  }
  const std::string_view body = bytes.substr(0, bytes.size() - 4);
  std::uint32_t storedCrc = 0;
  Reader trailer(bytes.substr(bytes.size() - 4));
  trailer.Word(storedCrc);
  if (Crc32(body) != storedCrc) {
    reason = "the file is damaged or cut short (checksum mismatch)";
    return false;
  }
  Reader in(body.substr(sizeof kMagic));
  std::uint32_t version = 0, count = 0;
  if (!in.Word(version) || version != kVersion) {
    reason = "unsupported version " + std::to_string(version);
    return false;
  }
  if (!in.Word(root) || !in.Word(count)) {
    reason = "the header is incomplete";
    return false;
  }
  objects.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    StoredObject object;
    std::uint32_t classID = 0, implementations = 0;
    if (!in.Word(object.uid) || !in.Word(classID) || !in.Word(implementations)) {
      reason = "an object record is incomplete";
      return false;
    }
    object.classID = ClassID{classID};
    for (std::uint32_t k = 0; k < implementations; ++k) {
      std::uint32_t id = 0, length = 0;
      std::vector<unsigned char> data;
      if (!in.Word(id) || !in.Word(length) || !in.Bytes(length, data)) {
        reason = "an implementation record is incomplete";
        return false;
      }
      object.data[ImplementationID{id}] = std::move(data);
    }
    objects.push_back(std::move(object));
  }
  if (!in.AtEnd()) {
    reason = "unexpected bytes after the last object";
    return false;
  }
  return true;
}

} // namespace layra
