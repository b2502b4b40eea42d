#include "Streams.h"

#include "../CHandles.h"
#include "../model/RefCounted.h"

#include <layra/StreamUtil.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace layra {
namespace {

class FileStream final : public RefCounted<IPMStream> {
public:
  FileStream(FileHandle file, bool reading) : fFile(std::move(file)), fReading(reading) {
    if (!reading)
      return;
    std::fseek(fFile.get(), 0, SEEK_END);
    fSize = std::ftell(fFile.get());
    std::fseek(fFile.get(), 0, SEEK_SET);
  }

  bool IsReading() const override { return fReading; }
  bool IsWriting() const override { return !fReading; }

  std::size_t XferByte(unsigned char* buffer, std::size_t count) override {
    if (fState != kStreamStateGood)
      return 0;
    const std::size_t done = fReading ? std::fread(buffer, 1, count, fFile.get())
                                      : std::fwrite(buffer, 1, count, fFile.get());
    if (done < count)
      fState = fReading ? kStreamStateEOF : kStreamStateFailure;
    return done;
  }
  void Flush() override {
    if (!fReading && std::fflush(fFile.get()) != 0)
      fState = kStreamStateFailure;
  }
  StreamState GetStreamState() const override { return fState; }
  void SetStreamState(StreamState state) override { fState = state; }
  std::int64_t RemainingBytes() const override {
    if (!fReading || fSize < 0)
      return -1;
    return fSize - std::ftell(fFile.get());
  }

private:
  FileHandle fFile;
  bool fReading;
  long fSize = -1;
  StreamState fState = kStreamStateGood;
};

class MemoryStream final : public RefCounted<IPMStream> {
public:
  explicit MemoryStream(std::vector<unsigned char> bytes) : fBytes(std::move(bytes)) {}
  // Most snapshots are small: one allocation instead of one per growth step.
  MemoryStream() : fReading(false) { fBytes.reserve(64); }

  bool IsReading() const override { return fReading; }
  bool IsWriting() const override { return !fReading; }

  std::size_t XferByte(unsigned char* buffer, std::size_t count) override {
    if (fState != kStreamStateGood)
      return 0;
    if (!fReading) {
      fBytes.insert(fBytes.end(), buffer, buffer + count);
      return count;
    }
    const std::size_t done = std::min(count, fBytes.size() - fPosition);
    if (done > 0)
      std::memcpy(buffer, fBytes.data() + fPosition, done);
    fPosition += done;
    if (done < count)
      fState = kStreamStateEOF;
    return done;
  }
  void Flush() override {}
  StreamState GetStreamState() const override { return fState; }
  void SetStreamState(StreamState state) override { fState = state; }
  std::int64_t RemainingBytes() const override {
    return fReading ? static_cast<std::int64_t>(fBytes.size() - fPosition) : -1;
  }
  void ExpectBytes(std::size_t bytes) override {
    // Growing at least twofold keeps many small hints from copying the bytes each time.
    const std::size_t needed = fBytes.size() + bytes;
    if (!fReading && needed > fBytes.capacity())
      fBytes.reserve(std::max(needed, 2 * fBytes.capacity()));
  }
  const std::vector<unsigned char>& Bytes() const { return fBytes; }
  std::vector<unsigned char> TakeBytes() { return std::move(fBytes); }

private:
  std::vector<unsigned char> fBytes;
  std::size_t fPosition = 0;
  bool fReading = true;
  StreamState fState = kStreamStateGood;
};

// Created 0600, so the file is never readable by others even for a moment; an older file is
// narrowed before anything new goes into it. A private file is never written through a link,
// and a FIFO in its place is refused instead of waited on.
std::FILE* OpenPrivateFile(const std::filesystem::path& path, bool append) {
  Descriptor fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK |
                           (append ? O_APPEND : O_TRUNC),
                       0600));
  struct stat info {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      ::fcntl(fd.Get(), F_SETFL, append ? O_APPEND : 0) != 0)
    return nullptr;
  std::FILE* file =
      ::fchmod(fd.Get(), 0600) == 0 ? ::fdopen(fd.Get(), append ? "ab" : "wb") : nullptr;
  if (file)
    fd.Release();
  return file;
}

} // namespace

std::vector<unsigned char> TakeMemoryStreamBytes(IPMStream* stream) {
  auto memory = dynamic_cast<MemoryStream*>(stream);
  return memory ? memory->TakeBytes() : std::vector<unsigned char>{};
}

} // namespace layra

namespace StreamUtil {

IPMStream* CreateFileStreamRead(const IDFile& file, std::uint32_t, std::uint32_t, std::uint32_t) {
  layra::FileHandle handle(std::fopen(file.GetPath().c_str(), "rb"));
  if (!handle)
    return nullptr;
  return new layra::FileStream(std::move(handle), true);
}

IPMStream* CreateFileStreamWrite(const IDFile& file, std::uint32_t mode, std::uint32_t,
                                 std::uint32_t) {
  const bool append = (mode & kOpenApp) != 0;
  layra::FileHandle handle((mode & kOpenPrivate)
                               ? layra::OpenPrivateFile(file.GetPath(), append)
                               : std::fopen(file.GetPath().c_str(), append ? "ab" : "wb"));
  if (!handle)
    return nullptr;
  return new layra::FileStream(std::move(handle), false);
}

IPMStream* CreateMemoryStreamRead(std::vector<unsigned char> bytes) {
  return new layra::MemoryStream(std::move(bytes));
}

IPMStream* CreateMemoryStreamWrite() {
  return new layra::MemoryStream();
}

std::vector<unsigned char> GetMemoryStreamBytes(const IPMStream* stream) {
  auto memory = dynamic_cast<const layra::MemoryStream*>(stream);
  return memory ? memory->Bytes() : std::vector<unsigned char>{};
}

} // namespace StreamUtil
