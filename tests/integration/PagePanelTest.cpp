// The page panel of the real Folivox.so in a real host, used as a person uses it: flags read
// from the store by row position, buttons and rows ticked through the automation service,
// the store afterwards, cache clearing, rebuilds and subscriptions.

#include "CapturedOutput.h"
#include "TempHome.h"
#include "base/PanelWidgets.h"
#include "prefs/ICommonPreferenceData.h"

#include <layra/IApplication.h>
#include <layra/IDocument.h>
#include <layra/IObserver.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/ISubject.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/Alerts.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <optional>
#include <sstream>

namespace {

using folivox::test::TempHome;
using Flags = std::vector<bool>;

constexpr ActionID kClearCache{0x12250F};
constexpr ActionID kInternal{0x12250E};
constexpr WidgetID kPanel{0x122500};
const std::string kList = "#0x12250c";

class PagePanel : public testing::Test {
protected:
  void SetUp() override {
    layra::Alerts::Instance().ClearLog();
    fHost = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                   {FOLIVOX_PLUGIN_DIR},
                                                   1,
                                                   layra::AlertAnswer::First,
                                                   true})
                .value();
    fHost->Start();
    ASSERT_EQ(fAutomation.ShowPalette("Folivox").error(), "");
  }

  InterfacePtr<ICommonPreferenceData> Store() {
    return InterfacePtr<ICommonPreferenceData>(static_cast<ICommonPreferenceData*>(
        fHost->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
  }
  std::optional<std::string> Stored(const std::string& key) {
    std::unique_ptr<PMString> value = Store()->GetValue(PMString(key));
    return value ? std::optional(value->GetUTF8String()) : std::nullopt;
  }
  std::string StatusKey(const UIDRef& document, int page) {
    InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
    PMString name;
    doc->GetName(name);
    return "FolivoxPageStatus_" + name.GetUTF8String() + "_" + std::to_string(page) + "_status";
  }
  /** The stored flags of the document's first `pages` pages, "-" where none is stored. */
  std::string StoredFlags(const UIDRef& document, int pages) {
    std::string flags;
    for (int i = 0; i < pages; ++i) {
      const auto value = Stored(StatusKey(document, i));
      flags += !value ? '-' : *value == "true" ? 'T' : 'F';
    }
    return flags;
  }
  /** The check boxes of the rows as the palette shows them. */
  Flags Shown() {
    const layra::Result<std::string> text = fAutomation.Dump("Folivox");
    EXPECT_EQ(text.error(), "");
    std::istringstream lines(text.value_or(""));
    Flags flags;
    for (std::string line; std::getline(lines, line);) {
      if (line.find("checkbox #0x12250f") != std::string::npos)
        flags.push_back(line.ends_with(" on"));
    }
    return flags;
  }
  void ClearSelection() {
    InterfacePtr<IPanelControlData> widgets(PanelView(), UseDefaultIID());
    InterfacePtr<ITreeViewController> list(widgets->FindWidget(WidgetID{0x12250C}, 9999),
                                           UseDefaultIID());
    list->DeselectAll(kTrue);
  }
  IControlView* PanelView() {
    InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
    InterfacePtr<IPanelMgr> panels(application->QueryPanelManager());
    return panels->GetPanelFromWidgetID(kPanel);
  }

  TempHome fHome;
  std::unique_ptr<layra::Host> fHost;
  layra::Automation fAutomation;
};

TEST_F(PagePanel, StoredFlagsAreReadByRowPositionAndOnlyTrueIsReady) {
  const UIDRef document = fHost->NewDocument(5, 612, 792);
  const char* stored[] = {"true", "True", "1", "false"}; // page 4 has nothing stored
  for (int i = 0; i < 4; ++i)
    Store()->SetValue(PMString(StatusKey(document, i)), PMString(stored[i]));
  fHost->SendDocumentSignal(kAfterSaveAsDocSignalResponderService, document);
  EXPECT_EQ(Shown(), (Flags{true, false, false, false, false}));
}

TEST_F(PagePanel, PanelWidgetIsFoundThroughTheChainAndAMissingPanelIsNamed) {
  constexpr WidgetID kPageList{0x12250C};
  InterfacePtr<IPanelControlData> widgets(PanelView(), UseDefaultIID());
  IControlView* list = folivox::FindPanelWidget(kPanel, kPageList);
  EXPECT_TRUE(list);
  EXPECT_EQ(list, widgets->FindWidget(kPageList, 9999));
  EXPECT_FALSE(folivox::FindPanelWidget(kPanel, WidgetID{0x1}));
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  EXPECT_FALSE(folivox::QueryPanelWidgets(WidgetID{0x1}, missing));
  EXPECT_EQ(missing, folivox::PanelLink::kPanel);
  EXPECT_TRUE(folivox::QueryPanelWidgets(kPanel, missing));
  EXPECT_EQ(missing, folivox::PanelLink::kNone);
}

TEST_F(PagePanel, EveryIconButtonSaysWhatItDoes) {
  const layra::Result<std::string> shown = fAutomation.Dump("Folivox");
  ASSERT_EQ(shown.error(), "");
  std::istringstream lines(shown.value());
  int buttons = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find("iconbutton") == std::string::npos)
      continue;
    ++buttons;
    EXPECT_NE(line.find(" tip \""), std::string::npos) << line;
  }
  EXPECT_EQ(buttons, 4);
}

TEST_F(PagePanel, ButtonsChangeTheSelectedRowsOrAllAndStoreEveryPage) {
  struct Case {
    const char* button; // a tip, or an entry of the panel menu
    bool menu;
    std::vector<std::int32_t> selected;
    Flags before;
    Flags after;
  };
  const Case cases[] = {
      {"Check all pages", false, {1, 3}, {false, false, false, false}, {true, false, true, false}},
      {"Check all pages", false, {}, {false, true, false, false}, {true, true, true, true}},
      {"Uncheck all pages", false, {2}, {true, true, true, false}, {true, false, true, false}},
      {"Invert all page statuses",
       false,
       {},
       {true, false, false, true},
       {false, true, true, false}},
      {"Make pages ready", true, {4}, {false, false, false, false}, {false, false, false, true}},
      {"Make pages not ready", true, {}, {true, true, false, true}, {false, false, false, false}},
      {"Invert page statuses",
       true,
       {1, 2},
       {true, false, false, false},
       {false, true, false, false}},
  };
  for (const Case& c : cases) {
    const UIDRef document = fHost->NewDocument(4, 612, 792);
    ClearSelection();
    for (std::int32_t row = 0; row < 4; ++row) {
      if (c.before[static_cast<std::size_t>(row)]) {
        ASSERT_EQ(fAutomation.ToggleRow(kList, row + 1).error(), "");
      }
    }
    if (!c.selected.empty()) {
      ASSERT_EQ(fAutomation.SelectRows(kList, c.selected).error(), "");
    }
    ASSERT_EQ(c.menu ? fAutomation.ChooseMenu("Folivox", c.button).error()
                     : fAutomation.Press(c.button).error(),
              "");
    EXPECT_EQ(Shown(), c.after) << c.button;
    std::string expected;
    for (bool ready : c.after)
      expected += ready ? 'T' : 'F';
    EXPECT_EQ(StoredFlags(document, 4), expected) << c.button;
    fHost->CloseDocument(document);
  }
}

TEST_F(PagePanel, TickingStoresAllPagesAndKeepsOtherDocumentsAndBookkeeping) {
  Store()->SetValue(PMString("FolivoxPageStatus_Other.lyd_0_status"), PMString("true"));
  Store()->SetValue(PMString("FolivoHTTP"), PMString("http://127.0.0.1:1/FolivoPref.xml"));
  const UIDRef document = fHost->NewDocument(3, 612, 792);
  ASSERT_EQ(fAutomation.ToggleRow(kList, 2).error(), "");
  EXPECT_EQ(StoredFlags(document, 3), "FTF");
  ASSERT_EQ(fAutomation.ToggleRow(kList, 2).error(), "");
  EXPECT_EQ(StoredFlags(document, 3), "FFF");
  EXPECT_EQ(Stored("FolivoxPageStatus_Other.lyd_0_status"), "true");
  EXPECT_EQ(Stored("FolivoHTTP"), "http://127.0.0.1:1/FolivoPref.xml");
  EXPECT_TRUE(Stored("FolivoCacheDate"));
}

TEST_F(PagePanel, ClearCacheKeepsOnlyTheAddressAndTheFirstRunMarker) {
  Store()->SetValue(PMString("FolivoHTTP"), PMString("http://127.0.0.1:1/FolivoPref.xml"));
  const UIDRef document = fHost->NewDocument(2, 612, 792);
  ASSERT_EQ(fAutomation.ToggleRow(kList, 1).error(), "");
  EXPECT_TRUE(fHost->PerformAction(kInternal));
  ASSERT_TRUE(Stored("FolivoCacheDate"));

  testing::internal::CaptureStdout();
  EXPECT_TRUE(fHost->PerformAction(kClearCache));
  EXPECT_EQ(folivox::test::WithoutUpdateCheckLines(testing::internal::GetCapturedStdout())
                .ends_with("Clearing cache...\nClear cache completed.\n"),
            true);
  const layra::AlertRecord& question = layra::Alerts::Instance().Log().back();
  EXPECT_EQ(question.message,
            "Are you sure you want to remove your page status cache?\nThis function removes page "
            "statuses (ready/not ready) from Layra preferences thus freeing space.");
  EXPECT_EQ(question.buttons, (std::vector<std::string>{"OK", "No"}));
  EXPECT_EQ(Store()->GetDictionary()->count(), 2);
  EXPECT_EQ(Stored("FolivoHTTP"), "http://127.0.0.1:1/FolivoPref.xml");
  EXPECT_EQ(Stored("FolivoAlreadySetPreferences"), "kPreferencesTrueValue");
  EXPECT_EQ(Shown(), (Flags{true, false})); // the rows keep their flags until rebuilt

  // The next action writes a new cache date: today's.
  EXPECT_TRUE(fHost->PerformAction(kInternal));
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  char date[40];
  std::snprintf(date, sizeof date, "%.2d_%.2d_%.4d", today.tm_mday, today.tm_mon + 1,
                today.tm_year + 1900);
  EXPECT_EQ(Stored("FolivoCacheDate"), date);
  EXPECT_EQ(StoredFlags(document, 2), "--");
}

TEST_F(PagePanel, ClearCacheAnsweredNoWritesNothing) {
  fHost.reset();
  fHost = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                 {FOLIVOX_PLUGIN_DIR},
                                                 1,
                                                 layra::AlertAnswer::Second,
                                                 true})
              .value();
  fHost->Start();
  Store()->SetValue(PMString("FolivoxPageStatus_Other.lyd_0_status"), PMString("true"));
  EXPECT_TRUE(fHost->PerformAction(kClearCache));
  EXPECT_EQ(Stored("FolivoxPageStatus_Other.lyd_0_status"), "true");
  EXPECT_TRUE(Stored("FolivoCacheDate"));
  EXPECT_TRUE(Stored("FolivoAlreadySetPreferences"));
}

TEST_F(PagePanel, CacheDateIsWrittenOnlyWhenMissingOrEmpty) {
  const std::string today = *Stored("FolivoCacheDate"); // the start-up action wrote it
  const std::pair<const char*, std::string> cases[] = {
      {"", today}, {"01_01_1999", "01_01_1999"}, {"no date", "no date"}};
  for (const auto& [stored, expected] : cases) {
    Store()->SetValue(PMString("FolivoCacheDate"), PMString(stored));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(fHost->PerformAction(kInternal));
    const std::string printed =
        folivox::test::WithoutUpdateCheckLines(testing::internal::GetCapturedStdout());
    EXPECT_EQ(Stored("FolivoCacheDate"), expected) << stored;
    EXPECT_EQ(printed.empty(), *stored == '\0') << printed;
  }
}

TEST_F(PagePanel, FirstRunMarkerIsWrittenOnceAndNeverBesideAnAddress) {
  EXPECT_EQ(Stored("FolivoAlreadySetPreferences"), "kPreferencesTrueValue");
  Store()->GetDictionary()->Clear();
  EXPECT_TRUE(fHost->PerformAction(kInternal)); // checked once per run
  EXPECT_FALSE(Stored("FolivoAlreadySetPreferences"));

  Store()->SetValue(PMString("FolivoHTTP"), PMString("http://127.0.0.1:1/FolivoPref.xml"));
  ASSERT_TRUE(fHost->Shutdown());
  fHost.reset();
  fHost = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                 {FOLIVOX_PLUGIN_DIR},
                                                 1,
                                                 layra::AlertAnswer::First,
                                                 true})
              .value();
  fHost->Start();
  EXPECT_FALSE(Stored("FolivoAlreadySetPreferences"));
  EXPECT_TRUE(Stored("FolivoCacheDate"));
}

TEST_F(PagePanel, ListFollowsTheFrontDocument) {
  EXPECT_EQ(Shown().size(), 0u);
  const UIDRef three = fHost->NewDocument(3, 612, 792);
  ASSERT_EQ(fAutomation.ToggleRow(kList, 1).error(), "");
  const UIDRef five = fHost->NewDocument(5, 612, 792);
  EXPECT_EQ(Shown(), Flags(5, false));
  // Another document of the same size shows, and keeps, flags of its own.
  const UIDRef alsoThree = fHost->NewDocument(3, 612, 792);
  EXPECT_EQ(Shown(), Flags(3, false));
  EXPECT_EQ(StoredFlags(alsoThree, 3).find('T'), std::string::npos);
  fHost->CloseDocument(alsoThree);
  fHost->CloseDocument(five);
  EXPECT_EQ(Shown(), (Flags{true, false, false}));
  fHost->CloseDocument(three);
  EXPECT_EQ(Shown().size(), 0u);
}

TEST_F(PagePanel, BeforeSaveStoresWhatTheRowsShow) {
  const std::filesystem::path file = fHome.path() / "Morning.lyd";
  UIDRef document = fHost->NewDocument(3, 612, 792);
  ASSERT_TRUE(fHost->SaveDocumentAs(document, file));
  ASSERT_EQ(fAutomation.ToggleRow(kList, 3).error(), "");
  EXPECT_TRUE(fHost->PerformAction(kClearCache));
  EXPECT_EQ(StoredFlags(document, 3), "---");
  ASSERT_TRUE(fHost->SaveDocument(document));
  EXPECT_EQ(StoredFlags(document, 3), "FFT");

  // Statuses are kept by name: under a new name the document starts with none.
  ASSERT_TRUE(fHost->SaveDocumentAs(document, fHome.path() / "Evening.lyd"));
  EXPECT_EQ(Shown(), (Flags{false, false, false}));
  fHost->CloseDocument(document);
  document = fHost->OpenDocument(file).value_or(UIDRef());
  EXPECT_EQ(Shown(), (Flags{false, false, true}));
}

TEST_F(PagePanel, DialogActionOpensAPlainDialogThatOkCloses) {
  ASSERT_TRUE(fHost->PerformAction(ActionID{0x122504}));
  const layra::Result<std::string> dialog = fAutomation.Dump("dialog");
  ASSERT_EQ(dialog.error(), "");
  EXPECT_NE(dialog.value().find("\"OK\""), std::string::npos) << dialog.value();
  EXPECT_NE(dialog.value().find("\"Cancel\""), std::string::npos) << dialog.value();
  EXPECT_EQ(fAutomation.Confirm().error(), "");
  EXPECT_FALSE(fAutomation.Dump("dialog"));
}

TEST_F(PagePanel, HidingThePaletteLeavesNoSubscriptionBehind) {
  InterfacePtr<IObserver> observer(PanelView(), UseDefaultIID());
  InterfacePtr<IPanelControlData> widgets(PanelView(), UseDefaultIID());
  ASSERT_TRUE(observer && widgets);
  const std::pair<std::uint32_t, PMIID> subscriptions[] = {
      {0x122510, IID_IBOOLEANCONTROLDATA}, {0x122525, IID_IBOOLEANCONTROLDATA},
      {0x122526, IID_IBOOLEANCONTROLDATA}, {0x122527, IID_IBOOLEANCONTROLDATA},
      {0x12250C, IID_ITREEVIEWMGR},        {0x12250C, IID_ITREEVIEWCONTROLLER}};
  for (bool shown : {true, false, true, false}) {
    ASSERT_EQ(shown ? fAutomation.ShowPalette("Folivox").error()
                    : fAutomation.HidePalette("Folivox").error(),
              "");
    for (const auto& [widget, protocol] : subscriptions) {
      InterfacePtr<ISubject> subject(widgets->FindWidget(WidgetID{widget}, 9999), UseDefaultIID());
      ASSERT_TRUE(subject);
      EXPECT_EQ(subject->IsAttached(observer, protocol), shown) << std::hex << widget;
    }
  }
}

} // namespace
