// Applying an advertisement text to 1,000 selected page items through the selection's
// suite (one undoable command) and undoing it, against setting the same texts directly on
// the items and setting the old ones back. Prints the processor time of each and their
// ratio; the goal is suite/direct <= 3. Exits with 1 when the goal is missed.

#include "ProcessorTime.h"
#include "advert/IAdvertisementAttributes.h"
#include "advert/IAdvertisementAttributesSuite.h"

#include <layra/CmdUtils.h>
#include <layra/IPage.h>
#include <layra/IPageList.h>
#include <layra/ISelectionManager.h>
#include <layra/host/Host.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kItems = 1000;
constexpr int kRuns = 15;

void WriteDocument(const std::filesystem::path& file) {
  std::ofstream out(file);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<layra-document version=\"1\">\n"
         "<page width=\"1000\" height=\"1000\">\n";
  for (int i = 0; i < kItems; ++i)
    out << "<rectangle left=\"" << i % 990 << "\" top=\"" << i / 990 << "\" right=\""
        << i % 990 + 10 << "\" bottom=\"" << i / 990 + 10 << "\"/>\n";
  out << "</page>\n</layra-document>\n";
}

double ThroughSuite(IAdvertisementAttributesSuite& suite, IDataBase* db) {
  const PMString text("Sale -20%", PMString::kDontTranslateDuringCall);
  std::fflush(stdout);
  const double start = ProcessorSeconds();
  const bool done = suite.ApplyAttributeText(text) == kSuccess && CmdUtils::UndoLast(db);
  return done ? ProcessorSeconds() - start : -1;
}

double Directly(const UIDList& items) {
  const PMString text("Sale -20%", PMString::kDontTranslateDuringCall);
  const double start = ProcessorSeconds();
  for (const PMString* value : {&text, static_cast<const PMString*>(nullptr)}) {
    for (std::int32_t i = 0; i < items.Length(); ++i) {
      InterfacePtr<IAdvertisementAttributes> attributes(static_cast<IAdvertisementAttributes*>(
          items.GetRef(i).Instantiate(IID_IADVERTISEMENTATTRIBUTES)));
      attributes->SetAttributeText(value ? *value : PMString());
    }
  }
  return ProcessorSeconds() - start;
}

} // namespace

int main() {
  const auto home = std::filesystem::temp_directory_path() / "layra-advert-bench";
  std::filesystem::create_directories(home);
  WriteDocument(home / "items.lyd");
  const auto host =
      layra::Host::Create(
          layra::HostOptions{home, {FOLIVOX_PLUGIN_DIR}, 1, layra::AlertAnswer::Default})
          .value();
  host->Start();
  const layra::Result<UIDRef> opened = host->OpenDocument(home / "items.lyd");
  const UIDRef document = opened.value_or(UIDRef());
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  InterfacePtr<IPage> page(static_cast<IPage*>(
      UIDRef(document.GetDataBase(), pages ? pages->GetNthPageUID(0) : kInvalidUID)
          .Instantiate(IID_IPAGE)));
  UIDList items(document.GetDataBase());
  for (UID item : page ? page->GetItems() : std::vector<UID>{})
    items.Append(item);
  ISelectionManager* selection = GetActiveSelection();
  if (items.Length() != kItems || !selection || !selection->SelectPageItems(items)) {
    std::fprintf(stderr, "advert_bench: cannot open and select the items: %s\n",
                 opened.error().c_str());
    return 1;
  }
  InterfacePtr<IAdvertisementAttributesSuite> suite(static_cast<IAdvertisementAttributesSuite*>(
      selection->QueryIntegratorSuite(IID_IADVERTISEMENTATTRIBUTESSUITE)));
  double viaSuite = 1e9, direct = 1e9;
  for (int run = 0; run < kRuns && suite; ++run) {
    viaSuite = std::min(viaSuite, ThroughSuite(*suite, document.GetDataBase()));
    direct = std::min(direct, Directly(items));
  }
  if (!suite || viaSuite <= 0) {
    std::fprintf(stderr, "advert_bench: the suite did not apply and undo\n");
    return 1;
  }
  const double ratio = viaSuite / direct;
  std::printf("suite, apply and undo, %d items: %8.1f us\n", kItems, viaSuite * 1e6);
  std::printf("directly, set and set back:      %8.1f us\n", direct * 1e6);
  std::printf("suite/direct = %.2f (goal <= 3)\n", ratio);
  suite.reset();
  host->CloseDocument(document);
  static_cast<void>(host->Shutdown()); // a workspace not saved says so on standard error
  std::filesystem::remove_all(home);
  return ratio <= 3 ? 0 : 1;
}
