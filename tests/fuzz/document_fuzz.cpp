// Arbitrary bytes as a document file. A document that opens has every page rendered, is saved,
// opened again and saved again: the two saved files must be the same, or a save changed it.

#include <layra/IPageList.h>
#include <layra/SnapshotUtils.h>
#include <layra/host/Host.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::filesystem::path gFolder;

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RenderEveryPage(const UIDRef& document) {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  for (std::int32_t i = 0; pages && i < pages->GetPageCount(); ++i) {
    const UIDRef page(document.GetDataBase(), pages->GetNthPageUID(i));
    SnapshotUtils(page, 0.1, 0.1, 72, 72, 0, 0, false, false, false, 2, 0, true, false);
  }
}

std::string SavedAs(layra::Host& host, const UIDRef& document, const char* name) {
  const std::filesystem::path file = gFolder / name;
  if (!host.SaveDocumentAs(document, file))
    __builtin_trap();
  host.CloseDocument(document);
  return Contents(file);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/document_fuzz.XXXXXX";
  if (!::mkdtemp(folder))
    std::abort();
  gFolder = folder;
  static layra::Host* host = layra::Host::Create(layra::HostOptions{}).value().release();
  (void)host;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  layra::Host& host = *layra::Host::Current();
  const std::filesystem::path input = gFolder / "input.lyd";
  std::ofstream(input, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const UIDRef document = host.OpenDocument(input).value_or(UIDRef());
  if (!document.IsValid())
    return 0;
  RenderEveryPage(document);
  const std::string first = SavedAs(host, document, "first.lyd");
  const UIDRef reopened = host.OpenDocument(gFolder / "first.lyd").value_or(UIDRef());
  if (!reopened.IsValid())
    __builtin_trap();
  if (SavedAs(host, reopened, "second.lyd") != first)
    __builtin_trap();
  return 0;
}
