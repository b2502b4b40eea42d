// The cost of the undo history on preference writes: 1,000 writes on a store of 10,000
// pairs with undo on, against the same writes with undo off, in alternating rounds so
// that both meet the same load. Exits with 1 when a goal is missed: a write with undo at
// most 1.2 times one without, and the history's bytes never above its bound.

#include "PreferenceHost.h"
#include "ProcessorTime.h"
#include "TempDir.h"

#include <layra/CmdUtils.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

constexpr int kStored = 10000;
constexpr int kWrites = 1000;
constexpr int kRounds = 4;
constexpr layra::UndoLimits kUndoOn{};
constexpr layra::UndoLimits kUndoOff{0, 0};

PMString Key(int index) {
  return PMString("FolivoxPageStatus_" + std::to_string(index) + ":",
                  PMString::kDontTranslateDuringCall);
}

struct Round {
  double seconds = 0;
  std::size_t mostBytes = 0;
};

Round Write(folivox::test::PreferenceHost& host, int first, int count) {
  Round round;
  for (int i = first; i < first + count; ++i) {
    const double start = ProcessorSeconds();
    folivox::test::WritePreference(Key(i % kStored), PMString(i % 2 ? "true" : "false"));
    round.seconds += ProcessorSeconds() - start;
    round.mostBytes = std::max(round.mostBytes, host.Host().UndoHistoryBytes(host.Defaults()));
  }
  return round;
}

} // namespace

int main() {
  folivox::test::TempDir home;
  folivox::test::PreferenceHost host(home.path());
  InterfacePtr<ICommonPreferenceData> store = host.WorkspaceStore();
  if (!host.Assembled() || !store) {
    std::fprintf(stderr, "the preference classes are missing\n");
    return 1;
  }
  for (int i = 0; i < kStored; ++i)
    store->SetValue(Key(i), PMString("true"));

  double on = 0, off = 0;
  std::size_t mostBytes = 0;
  const int perRound = kWrites / kRounds;
  for (int round = 0; round < kRounds; ++round) {
    host.Host().SetUndoLimits(kUndoOff);
    off += Write(host, round * perRound, perRound).seconds;
    host.Host().SetUndoLimits(kUndoOn);
    const Round withUndo = Write(host, round * perRound, perRound);
    on += withUndo.seconds;
    mostBytes = std::max(mostBytes, withUndo.mostBytes);
  }
  host.Host().SetUndoLimits(kUndoOn);
  const bool undoable = CmdUtils::CanUndo(host.Defaults());

  std::printf("%d preference writes on a store of %d pairs, processor time\n", kWrites, kStored);
  std::printf("  undo off: %8.1f us a write\n", off / kWrites * 1e6);
  std::printf("  undo on:  %8.1f us a write\n", on / kWrites * 1e6);
  std::printf("  ratio on/off: %.2f\n", on / off);
  std::printf("  history: at most %.1f MB held, bound %.1f MB, %zu steps\n", mostBytes / 1048576.0,
              kUndoOn.bytes / 1048576.0, kUndoOn.steps);
  const bool fastEnough = on / off <= 1.2;
  const bool bounded = mostBytes <= kUndoOn.bytes && undoable;
  std::printf("goals: ratio at most 1.2: %s; history within its bound: %s\n",
              fastEnough ? "met" : "MISSED", bounded ? "met" : "MISSED");
  return fastEnough && bounded ? 0 : 1;
}
