// What progress, the result line and the send history cost, and how fast their palette shows:
// (1) the whole send of a 64-page section (three variants, 256 files) to a local FTP server,
// with progress drawn on a terminal line and a history record against the same send with both
// switched off, in turns in the same run (goal: ratio <= 1.03); (2) the "Send history"
// palette with 1,000 sends shown in the window against a plain QTreeWidget with the same rows
// (goal: ratio <= 1.5). The window runs on Qt's offscreen platform and really paints.

#include "Desktop.h"
#include "HostWindows.h"
#include "Look.h"
#include "LoopbackProxy.h"
#include "ProcessorTime.h"
#include "PublishingSetup.h"
#include "SampleSection.h"
#include "SilencedStdout.h"
#include "WholeFile.h"

#include "base/FolivoxIDs.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "publish/FolivoActionComponent.h"
#include "publish/SendHistory.h"

#include <layra/IApplication.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/Progress.h>
#include <platform/Files.h>

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 64;
constexpr int kRounds = 15;
constexpr int kShows = 9;
constexpr std::size_t kRecords = 1000;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Sends {
  std::vector<double> wall[2];
  std::vector<double> processor[2];
  bool allSent = true;
};

// Both sides run the plug-in's own send in this process (its static library), so that the
// switch reaches it; with progress on, the line is drawn as on a terminal, into /dev/null.
Sends MeasureSends(folivox::test::PublishingSetup& setup) {
  std::FILE* terminal = std::fopen("/dev/null", "w");
  layra::TerminalProgress line(terminal, true);
  // This copy of the plug-in learns the address's preference as the loaded one did at start.
  RegisterConfigurationAddressPreference();
  FolivoActionComponent sender(nullptr);
  sharedActionComponent = &sender; // as its first action would
  Sends sends;
  const std::size_t recordsBefore = SendHistory().size();
  std::size_t recorded = 0;
  for (int round = 0; round <= kRounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const int on = (round + turn) % 2;
      gShowAndRecordSends = on == 1;
      layra::SetProgressPresenter(on ? &line : nullptr);
      const double processor = ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID);
      const auto start = Clock::now();
      sender.SendPages();
      const double wall = std::chrono::duration<double>(Clock::now() - start).count();
      recorded += on;
      if (round == 0)
        continue; // the first round warms the caches of both
      sends.wall[on].push_back(wall);
      sends.processor[on].push_back(ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID) - processor);
    }
  }
  layra::SetProgressPresenter(nullptr);
  gShowAndRecordSends = true;
  std::fclose(terminal);
  const std::vector<layra::ResultRecord>& results = layra::Results();
  sends.allSent =
      setup.LeftInWorkingFolder().empty() && layra::Alerts::Instance().Log().empty() &&
      SendHistory().size() == recordsBefore + recorded &&
      std::all_of(results.begin(), results.end(),
                  [](const layra::ResultRecord& r) {
                    return r.outcome == TaskResult::kDone && r.line.starts_with("Sent pages 1");
                  }) &&
      results.size() == recorded;
  if (!results.empty() && !sends.allSent)
    std::fprintf(stderr, "send_history_bench: %s\n", results.back().line.c_str());
  return sends;
}

/** A thousand sends of sixteen files, written as the plug-in writes them. */
void WriteHistory() {
  std::string text;
  for (std::size_t i = 0; i < kRecords; ++i) {
    SendRecord record;
    record.when = 1796600000 + static_cast<std::int64_t>(i) * 60;
    record.outcome = i % 7 == 3 ? SendOutcome::kFailed : SendOutcome::kSent;
    record.document = "08_12_05_005-008.lyd";
    record.firstPage = 5;
    record.lastPage = 8;
    record.server = "ftp://folivox@127.0.0.1/pages";
    record.milliseconds = 400;
    for (int f = 0; f < 16; ++f)
      record.files.push_back(
          {5 + f / 4,
           "08_12_05..00" + std::to_string(5 + f / 4) + "_1796600000-" + std::to_string(f) + ".jpg",
           48000, FileOutcome::kSent});
    text += FormatSendRecord(record) + "\n";
  }
  platform::ReplaceDurably(SendHistoryFile(), text);
}

InterfacePtr<IPanelMgr> Panels() {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  return InterfacePtr<IPanelMgr>(application->QueryPanelManager());
}

double Time(const std::function<void()>& step) {
  const double start = ProcessorSeconds();
  step();
  return ProcessorSeconds() - start;
}

struct Palette {
  double ours = 1e9;
  double peer = 1e9;
  std::int32_t rows = 0;
};

Palette MeasurePalette(layra::Host& host) {
  WriteHistory();
  Palette figures;
  layra::gui::Desktop window(host);
  window.show();
  QCoreApplication::processEvents();
  const auto show = [&] {
    Panels()->ShowPanelByWidgetID(kFolivoHistoryPanelWidgetID, true);
    InterfacePtr<IPanelControlData> panel(
        Panels()->GetPanelFromWidgetID(kFolivoHistoryPanelWidgetID), UseDefaultIID());
    InterfacePtr<ITreeViewMgr> tree(panel->FindWidget(kFolivoHistoryListWidgetID), UseDefaultIID());
    tree->ChangeRoot();
    window.Palette(kFolivoHistoryPanelWidgetID)->repaint();
  };
  show(); // the first showing makes the palette's widgets
  Panels()->HidePanelByWidgetID(kFolivoHistoryPanelWidgetID);
  QCoreApplication::processEvents();
  for (int run = 0; run < kShows; ++run) {
    figures.ours = std::min(figures.ours, Time(show));
    Panels()->HidePanelByWidgetID(kFolivoHistoryPanelWidgetID);
    QCoreApplication::processEvents();
  }
  figures.rows = static_cast<std::int32_t>(SendHistory().size());
  // The peer: the same rows, mark and summary, in a plain tree widget of the same size.
  const QSize size = window.Palette(kFolivoHistoryPanelWidgetID)->size();
  for (int run = 0; run < kShows; ++run) {
    figures.peer =
        std::min(figures.peer, Time([&] {
                   QTreeWidget tree;
                   tree.setColumnCount(2);
                   tree.setHeaderHidden(true);
                   tree.resize(size);
                   const std::vector<SendRecord>& history = SendHistory();
                   QList<QTreeWidgetItem*> items;
                   for (auto record = history.rbegin(); record != history.rend(); ++record)
                     items.push_back(new QTreeWidgetItem(
                         QStringList{record->outcome == SendOutcome::kSent ? "\u2714" : "\u2718",
                                     QString::fromStdString(SendSummary(*record))}));
                   tree.addTopLevelItems(items);
                   tree.show();
                   tree.repaint();
                 }));
  }
  return figures;
}

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  layra::gui::ApplyLook(application);
  folivox::test::LoopbackProxy proxy;
  folivox::test::PublishingSetup setup;
  if (!proxy.Start() || !setup.Start()) {
    std::fprintf(stderr, "send_history_bench: the servers did not start\n");
    return 2;
  }
  const auto file = setup.home().path() / "08_12_05_001-064.lyd";
  folivox::test::WriteWholeFile(file, SampleSectionOf(kPages));
  if (const layra::Result<UIDRef> opened = setup.host().OpenDocument(file); !opened) {
    std::fprintf(stderr, "send_history_bench: %s\n", opened.error().c_str());
    return 2;
  }
  auto silence = std::make_unique<SilencedStdout>();
  const Sends sends = MeasureSends(setup);
  const Palette palette = MeasurePalette(setup.host());
  silence.reset();

  const double wallRatio = Median(sends.wall[1]) / Median(sends.wall[0]);
  const double processorRatio = Median(sends.processor[1]) / Median(sends.processor[0]);
  std::printf("send of %d pages x 3 variants (256 files), %d rounds each side in turns:\n"
              "  progress and history on:  median %.3f s, processor %.3f s\n"
              "  both off:                 median %.3f s, processor %.3f s\n"
              "  ratio on / off: wall %.3f, processor %.3f (goal <= 1.03)%s\n",
              kPages, kRounds, Median(sends.wall[1]), Median(sends.processor[1]),
              Median(sends.wall[0]), Median(sends.processor[0]), wallRatio, processorRatio,
              sends.allSent ? "" : " (SOME SENDS FAILED: the figures are not valid)");
  const double paletteRatio = palette.ours / palette.peer;
  std::printf("\"Send history\" palette with %d sends, shown and painted: %.2f ms; a plain "
              "QTreeWidget with the same rows: %.2f ms; ratio %.2f (goal <= 1.5)\n",
              palette.rows, palette.ours * 1e3, palette.peer * 1e3, paletteRatio);
  return sends.allSent && wallRatio <= 1.03 && paletteRatio <= 1.5 ? 0 : 1;
}
