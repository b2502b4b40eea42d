// Ticking one page's check box in the Folivox panel on a 400-page document, with the real
// host and Folivox.so: the row observer stores the flag of every page through the undoable
// preference command. Its peer, measured in the same run, writes the same 400 entries
// straight into the store. Prints the median time of each, their ratio (goal <= 5) and how
// many undo steps the ticks left behind. Exits with 1 when the goal is missed.

#include "prefs/ICommonPreferenceData.h"

#include <layra/CmdUtils.h>
#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 400;
constexpr int kTicks = 200;

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

struct Times {
  double tick = 0;
  double direct = 0;
};

/** Each tick is followed by its peer, so that both see the same load on a shared machine. */
std::optional<Times> Measure(layra::Automation& user, ICommonPreferenceData& store,
                             const std::vector<PMString>& keys) {
  std::vector<double> ticks, directs;
  for (int i = 0; i < kTicks; ++i) {
    auto start = Clock::now();
    if (!user.ToggleRow("#0x12250c", 1).ok())
      return std::nullopt;
    ticks.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    for (std::size_t page = 0; page < keys.size(); ++page)
      store.SetValue(keys[page], PMString(page == 0 && i % 2 == 0 ? "true" : "false"));
    directs.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  return Times{Median(ticks), Median(directs)};
}

/** Undoes every step the workspace's history holds; their number. */
int UndoSteps(IDataBase* workspace) {
  int steps = 0;
  while (CmdUtils::UndoLast(workspace))
    ++steps;
  return steps;
}

} // namespace

int main() {
  const auto home = std::filesystem::temp_directory_path() / "layra-panel-bench";
  const auto host =
      layra::Host::Create(
          layra::HostOptions{home, {FOLIVOX_PLUGIN_DIR}, 1, layra::AlertAnswer::First})
          .value();
  std::fflush(stdout);
  host->Start();
  layra::Automation user;
  const UIDRef document = host->NewDocument(kPages, 612, 792);
  InterfacePtr<ICommonPreferenceData> store(static_cast<ICommonPreferenceData*>(
      host->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  if (!store || !doc || !user.ShowPalette("Folivox").ok()) {
    std::fprintf(stderr, "panel_bench: the Folivox palette or the store is missing\n");
    return 1;
  }
  PMString name;
  doc->GetName(name);
  std::vector<PMString> keys;
  for (int page = 0; page < kPages; ++page)
    keys.emplace_back("FolivoxPageStatus_" + name.GetUTF8String() + "_" + std::to_string(page) +
                          "_status:",
                      PMString::kDontTranslateDuringCall);

  UndoSteps(host->Workspace().GetDataBase()); // start from an empty history
  const std::optional<Times> times = Measure(user, *store, keys);
  const int steps = UndoSteps(host->Workspace().GetDataBase());
  if (!times) {
    std::fprintf(stderr, "panel_bench: a tick could not be done\n");
    return 1;
  }
  const double ratio = times->tick / times->direct;
  std::printf("tick of one box, %d pages stored by command: %8.1f us (median)\n", kPages,
              times->tick * 1e6);
  std::printf("the same %d entries written into the store:   %8.1f us (median)\n", kPages,
              times->direct * 1e6);
  std::printf("tick/direct = %.2f (goal <= 5)\n", ratio);
  std::printf("undo steps kept after %d ticks: %d\n", kTicks, steps);
  store.reset();
  doc.reset();
  host->CloseDocument(document);
  static_cast<void>(host->Shutdown()); // a workspace not saved says so on standard error
  std::filesystem::remove_all(home);
  return ratio <= 5 ? 0 : 1;
}
