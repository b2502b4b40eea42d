// The window against the headless host, doing the same steps over the same host objects:
// opening a 64-page document and showing its first page, and showing the test plug-in's
// palette with a 400-row list made anew (as many rows made as fit the list). The window runs on
// Qt's offscreen platform and really paints. Prints the processor time of each step both ways and
// their ratios; the goal is window/headless <= 3 for each. Exits with 1 when missed.

#include "../tests/plugin/TestPluginIDs.h"
#include "Desktop.h"
#include "DocumentView.h"
#include "HostWindows.h"
#include "Look.h"
#include "ProcessorTime.h"

#include <layra/IApplication.h>
#include <layra/IObjectModel.h>
#include <layra/IPageList.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/Host.h>
#include <layra/host/PageImage.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>

namespace {

constexpr int kRuns = 9;
constexpr std::int32_t kPages = 64;
constexpr std::int32_t kRows = 400;

// Processor time of this thread, where Qt's offscreen platform paints too.
double Time(const std::function<void()>& step) {
  const double start = ProcessorSeconds();
  step();
  return ProcessorSeconds() - start;
}

IControlView* List();

InterfacePtr<IPanelMgr> Panels() {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  return InterfacePtr<IPanelMgr>(application->QueryPanelManager());
}

/** The palette comes on screen and its list is made anew, as the plug-in does on a change. */
void ShowPalette() {
  Panels()->ShowPanelByWidgetID(kTestPanelWidgetID, true);
  InterfacePtr<ITreeViewMgr> tree(List(), UseDefaultIID());
  tree->ChangeRoot();
}

IControlView* List() {
  InterfacePtr<IPanelControlData> panel(Panels()->GetPanelFromWidgetID(kTestPanelWidgetID),
                                        UseDefaultIID());
  return panel ? panel->FindWidget(kTestListWidgetID) : nullptr;
}

struct Figures {
  double headless = 1e9;
  double window = 1e9;
};

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  layra::gui::ApplyLook(application);
  const auto home = std::filesystem::temp_directory_path() / "layra-window-bench";
  const auto file = home / "pages.lyd";
  layra::Host host(layra::HostOptions{home, {TEST_PLUGIN_DIR}, 1, layra::AlertAnswer::Default});
  host.Start();
  std::filesystem::create_directories(home);
  std::string error;
  const UIDRef blank = host.NewDocument(kPages, 612, 792);
  if (!host.SaveDocumentAs(blank, file, &error)) {
    std::fprintf(stderr, "window_bench: %s\n", error.c_str());
    return 1;
  }
  host.CloseDocument(blank);
  InterfacePtr<ITestUI> ui(static_cast<ITestUI*>(CreateObject(kTestLogBoss, IID_ITESTUI)));
  if (!ui || !List()) {
    std::fprintf(stderr, "window_bench: the test plug-in's list is missing\n");
    return 1;
  }
  ui->SetRowCount(kRows);

  // A first window sets the scale of the page and the height of the list; it is let go
  // before the headless runs, which the window would otherwise follow.
  double pageScale = 1, listHeight = 0;
  std::int32_t rowsShown = 0;
  {
    layra::gui::Desktop probe(host);
    probe.show();
    QCoreApplication::processEvents();
    probe.OpenFile(file, &error);
    probe.FrontView()->repaint();
    pageScale = probe.FrontView()->PageImageShown().width() / 612.0;
    probe.CloseFront();
    ShowPalette();
    QCoreApplication::processEvents();
    listHeight = List()->GetFrame().Height();
    InterfacePtr<IPanelControlData> rows(List(), UseDefaultIID());
    rowsShown = rows->Length();
    Panels()->HidePanelByWidgetID(kTestPanelWidgetID);
  }

  // Headless: the same document drawn at the same scale, the same list as tall.
  Figures open, palette;
  for (int run = 0; run < kRuns; ++run) {
    open.headless =
        std::min(open.headless, Time([&] {
                   const UIDRef document = host.OpenDocument(file, &error);
                   InterfacePtr<IPageList> pages(
                       static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
                   layra::PageImage image;
                   layra::RenderPageImage(UIDRef(document.GetDataBase(), pages->GetNthPageUID(0)),
                                          pageScale, image, &error);
                   host.CloseDocument(document);
                 }));
    const PMRect frame = List()->GetFrame();
    List()->SetFrame(PMRect{frame.left, frame.top, frame.right, frame.top + listHeight}, kFalse);
    palette.headless = std::min(palette.headless, Time(ShowPalette));
    Panels()->HidePanelByWidgetID(kTestPanelWidgetID);
  }

  // The window: a tab whose view draws the first page to fit, then the palette's dock, each
  // drawn at once. The palette's first showing makes its widgets; later ones show them again.
  // Each step is timed once more with the event loop run to its end: it adds what the main
  // window does as a tab or a dock comes (laying itself out again, painting what moved).
  auto window = std::make_unique<layra::gui::Desktop>(host);
  window->show();
  QCoreApplication::processEvents();
  const auto openDocument = [&] {
    window->OpenFile(file, &error);
    window->FrontView()->repaint();
  };
  const auto showPalette = [&] {
    ShowPalette();
    window->Palette(kTestPanelWidgetID)->repaint();
  };
  const auto settled = [](const std::function<void()>& step) {
    return [step] {
      step();
      QCoreApplication::processEvents();
    };
  };
  const auto hidePalette = [] {
    Panels()->HidePanelByWidgetID(kTestPanelWidgetID);
    QCoreApplication::processEvents();
  };
  // Without a running event loop what the window lets go of waits for the next one: it is
  // deleted here, as a running loop would.
  const auto closeDocument = [&] {
    window->CloseFront();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  const double firstShow = Time(settled(showPalette));
  hidePalette();
  Figures settledOpen, settledPalette;
  for (int run = 0; run < kRuns; ++run) {
    open.window = std::min(open.window, Time(openDocument));
    closeDocument();
    settledOpen.window = std::min(settledOpen.window, Time(settled(openDocument)));
    closeDocument();
    palette.window = std::min(palette.window, Time(showPalette));
    hidePalette();
    settledPalette.window = std::min(settledPalette.window, Time(settled(showPalette)));
    hidePalette();
  }
  window.reset();
  ui.reset();
  host.Shutdown();
  std::filesystem::remove_all(home);

  const double openRatio = open.window / open.headless;
  const double paletteRatio = palette.window / palette.headless;
  std::printf("open a %d-page document, show page 1: headless %8.2f ms, window %8.2f ms, "
              "ratio %.2f (goal <= 3)\n",
              kPages, open.headless * 1e3, open.window * 1e3, openRatio);
  std::printf("show a palette, %d-row list (%d rows on screen): headless %8.2f ms, window %8.2f "
              "ms, ratio %.2f (goal <= 3)\n",
              kRows, rowsShown, palette.headless * 1e3, palette.window * 1e3, paletteRatio);
  std::printf("with the event loop run to its end: open %8.2f ms, ratio %.2f; palette %8.2f ms, "
              "ratio %.2f; the palette's first showing %8.2f ms, ratio %.2f\n",
              settledOpen.window * 1e3, settledOpen.window / open.headless,
              settledPalette.window * 1e3, settledPalette.window / palette.headless,
              firstShow * 1e3, firstShow / palette.headless);
  return openRatio <= 3 && paletteRatio <= 3 ? 0 : 1;
}
