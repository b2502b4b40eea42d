// The stored streams the host and the plug-in read back at start: the workspace file (the first
// byte even) and the preference dictionary inside it (odd). What loads must save and load again
// to the same contents.

#include "prefs/KDictionary.h"

#include <layra/StreamUtil.h>
#include <layra/host/Host.h>
#include <storage/DataBaseFile.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Workspace(std::string_view bytes) {
  UID root = kInvalidUID;
  std::vector<layra::StoredObject> objects;
  std::string reason;
  if (!layra::DecodeDataBase(bytes, root, objects, reason))
    return;
  layra::DataBase db;
  if (!db.Import(objects))
    return;
  std::vector<layra::StoredObject> again;
  if (!layra::DecodeDataBase(layra::EncodeDataBase(db), root, again, reason))
    __builtin_trap();
}

std::vector<unsigned char> Saved(KDictionary& dictionary) {
  InterfacePtr<IPMStream> out(StreamUtil::CreateMemoryStreamWrite());
  dictionary.ReadWrite(out);
  return StreamUtil::GetMemoryStreamBytes(out);
}

void Preferences(const std::uint8_t* data, std::size_t size) {
  KDictionary dictionary;
  InterfacePtr<IPMStream> in(
      StreamUtil::CreateMemoryStreamRead(std::vector<unsigned char>(data, data + size)));
  dictionary.ReadWrite(in);
  if (!in->IsGood())
    return;
  const std::vector<unsigned char> saved = Saved(dictionary);
  KDictionary reloaded;
  InterfacePtr<IPMStream> again(StreamUtil::CreateMemoryStreamRead(saved));
  reloaded.ReadWrite(again);
  if (!again->IsGood() || reloaded.Keys() != dictionary.Keys() ||
      reloaded.Values() != dictionary.Values())
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The workspace's classes are the host's; a host that never starts registers them.
  static layra::Host* host = layra::Host::Create(layra::HostOptions{}).value().release();
  (void)host;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return 0;
  if (data[0] % 2 == 0)
    Workspace(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  else
    Preferences(data + 1, size - 1);
  return 0;
}
