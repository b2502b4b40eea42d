// The host's widgets through the test plug-in: views from its resources, messages and
// attaches as its observers hear them, the list, dialogs, the automation service and the
// layra program's steps file.

#include "../plugin/TestPluginIDs.h"
#include "TempHome.h"
#include "WholeFile.h"

#include <layra/FolderChooser.h>
#include <layra/IApplication.h>
#include <layra/IObjectModel.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/ITreeViewMgr.h>
#include <layra/WLocaleSetting.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>
#include <layra/host/Views.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

using folivox::test::TempHome;
using Log = std::vector<std::string>;

class Widgets : public testing::Test {
protected:
  void SetUp() override {
    layra::Alerts::Instance().ClearLog();
    fHost = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                   {TEST_PLUGIN_DIR},
                                                   fLocale,
                                                   layra::AlertAnswer::Default})
                .value();
    fHost->Start();
    fUI.reset(static_cast<ITestUI*>(CreateObject(kTestLogBoss, IID_ITESTUI)));
    ASSERT_TRUE(fUI);
    fUI->TakeLog(); // the plug-in outlives each host
    fUI->TakeFilledRows();
    fUI->SetRowCount(0);
  }
  void TearDown() override {
    fUI.reset();
    fHost.reset();
  }

  IControlView* Panel() {
    InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
    InterfacePtr<IPanelMgr> panels(application->QueryPanelManager());
    return panels->GetPanelFromWidgetID(kTestPanelWidgetID);
  }
  IControlView* Find(WidgetID id) {
    InterfacePtr<IPanelControlData> children(Panel(), UseDefaultIID());
    return children ? children->FindWidget(id, 9999) : nullptr;
  }
  void Rebuild(std::int32_t rows) {
    fUI->SetRowCount(rows);
    InterfacePtr<ITreeViewMgr> tree(Find(kTestListWidgetID), UseDefaultIID());
    tree->ChangeRoot();
  }
  std::string Dump(const std::string& target = "Test panel") {
    const layra::Result<std::string> text = fAutomation.Dump(target);
    EXPECT_EQ(text.error(), "");
    return text.value_or("");
  }

  int fLocale = 1;
  TempHome fHome;
  std::unique_ptr<layra::Host> fHost;
  InterfacePtr<ITestUI> fUI;
  layra::Automation fAutomation;
};

TEST_F(Widgets, ResourcesBecomeWidgetsWithTheirIDsFramesIconsAndTips) {
  ASSERT_TRUE(Panel()); // built at start, before it is shown
  struct Expected {
    WidgetID id;
    const char* kind;
    PMRect frame;
  };
  for (const Expected& e : {Expected{kTestListWidgetID, "tree", {0, 0, 200, 100}},
                            Expected{kTestIconButtonWidgetID, "iconbutton", {0, 106, 20, 126}},
                            Expected{kTestPasswordWidgetID, "editbox", {0, 130, 100, 150}},
                            Expected{kTestComboWidgetID, "combo", {110, 130, 200, 150}},
                            Expected{kTestHiddenTextWidgetID, "text", {0, 180, 100, 195}}}) {
    IControlView* view = Find(e.id);
    ASSERT_TRUE(view) << e.kind;
    EXPECT_EQ(layra::WidgetKindName(view), e.kind);
    EXPECT_EQ(view->GetFrame(), e.frame) << e.kind;
  }
  IControlView* icon = Find(kTestIconButtonWidgetID);
  EXPECT_EQ(icon->GetRsrcID(), RsrcID{100});
  EXPECT_EQ(layra::VisibleText(icon), "Mark all");
  EXPECT_EQ(layra::FindImage(PluginID{0x900000}, RsrcID{100}).substr(0, 4), "\x89PNG");
  // An unknown class is skipped; an icon the plug-in lacks is left out.
  EXPECT_FALSE(Find(WidgetID{0x90001C}));
  EXPECT_FALSE(Find(WidgetID{0x90001D})->GetRsrcID().IsValid());
  EXPECT_FALSE(Find(kTestHiddenTextWidgetID)->IsVisible());
  InterfacePtr<IPanelControlData> rows(Find(kTestListWidgetID), UseDefaultIID());
  EXPECT_EQ(rows->FindWidget(kTestListWidgetID), Find(kTestListWidgetID)); // finds itself

  const auto menu = layra::PanelMenu(kTestPanelWidgetID);
  ASSERT_EQ(menu.size(), 4u);
  EXPECT_EQ(menu[0].text, "Hello");
  EXPECT_TRUE(menu[1].separator);
  EXPECT_EQ(menu[2].text, "Increment");
  EXPECT_EQ(menu[3].text, "Show dialog");
}

TEST_F(Widgets, ObserversHearTheMessagesInOrderAndAttachesBalance) {
  Rebuild(3);
  EXPECT_EQ(fUI->TakeLog(), Log{}); // nothing attaches while the palette is off screen
  ASSERT_EQ(fAutomation.ShowPalette("Test panel").error(), "");
  EXPECT_EQ(fUI->TakeLog(), (Log{"panel attach", "row attach", "row attach", "row attach"}));

  ASSERT_EQ(fAutomation.Press("Mark all").error(), "");
  ASSERT_EQ(fAutomation.Press("Hello").error(), "");
  ASSERT_EQ(fAutomation.Type("#0x900017", "secret").error(), "");
  ASSERT_EQ(fAutomation.ToggleRow("#0x900011", 2).error(), "");
  ASSERT_EQ(fAutomation.ToggleRow("#0x900011", 2).error(), "");
  ASSERT_EQ(fAutomation.SelectRows("#0x900011", {1, 3}).error(), "");
  ASSERT_EQ(fAutomation.ChooseMenu("Test panel", "Hello").error(), "");
  EXPECT_EQ(fUI->TakeLog(), (Log{"panel 1896 0x62b #0x900015", "panel 1896 0x62b #0x900016",
                                 "panel 1931 0x62c #0x900017", "row 2 on", "row 2 off",
                                 "panel 1642 0x66a #0x900011", "panel 1642 0x66a #0x900011"}));
  ASSERT_EQ(layra::Alerts::Instance().Log().size(), 3u); // start-up, the button, the menu
  EXPECT_EQ(layra::Alerts::Instance().Log()[1].message, "Hello");
  // A main-menu entry is chosen by its menu's name; a disabled one is refused.
  ASSERT_EQ(fAutomation.ChooseMenu("Test", "Hello").error(), "");
  EXPECT_EQ(layra::Alerts::Instance().Log().size(), 4u);
  EXPECT_EQ(fAutomation.ChooseMenu("Test:More", "Show dialog").error(),
            "the menu entry \"Show dialog\" is disabled");

  // A new front document is a change of the active selection.
  fHost->NewDocument(1, 100, 100);
  Rebuild(1);
  ASSERT_EQ(fAutomation.HidePalette("#0x900010").error(), "");
  EXPECT_EQ(fUI->TakeLog(), (Log{"selection changed", "row detach", "row detach", "row detach",
                                 "row attach", "row detach", "panel detach"}));
}

TEST_F(Widgets, ARebuildAskedForWhileARowIsFilledComesAfterTheLayoutUnderWay) {
  ASSERT_EQ(fAutomation.ShowPalette("Test panel").error(), "");
  fUI->RebuildWhenFilling(1);
  Rebuild(3);
  InterfacePtr<IPanelControlData> rows(Find(kTestListWidgetID), UseDefaultIID());
  ASSERT_EQ(rows->Length(), 3);
  for (std::int32_t i = 0; i < 3; ++i)
    EXPECT_EQ(rows->GetWidget(i)->GetFrame().top, 20.0 * i);
}

TEST_F(Widgets, ARebuildAsksTheAdapterAgainAndMakesOnlyTheRowsShown) {
  ASSERT_EQ(fAutomation.ShowPalette("Test panel").error(), "");
  Rebuild(1000);
  EXPECT_EQ(fUI->TakeFilledRows(), 5); // 100 points of 20-point rows
  ASSERT_EQ(fAutomation.ToggleRow("#0x900011", 1000).error(), "");
  EXPECT_LE(fUI->TakeFilledRows(), 5);
  Rebuild(2);
  const std::string dump = Dump();
  EXPECT_NE(dump.find("tree #0x900011 rows 2\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("row 2\n        text #0x900013 \"Row 2\""), std::string::npos) << dump;
  EXPECT_FALSE(fAutomation.ToggleRow("#0x900011", 3));
  Log log = fUI->TakeLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "row attach"),
            std::count(log.begin(), log.end(), "row detach") + 2);
}

TEST_F(Widgets, TheDumpHidesHiddenWidgetsAndPasswords) {
  ASSERT_EQ(fAutomation.ShowPalette("Test panel").error(), "");
  ASSERT_EQ(fAutomation.Type("#0x900017", "hunter2").error(), "");
  const std::string dump = Dump();
  EXPECT_EQ(dump.find("hunter2"), std::string::npos);
  EXPECT_EQ(dump.find("Secret label"), std::string::npos);
  EXPECT_NE(dump.find("text #0x900019 hidden\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("editbox #0x900017 \"\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2"),
            std::string::npos);
  EXPECT_NE(dump.find("checkbox #0x90001b \"Keep\" off"), std::string::npos) << dump;
  // A password field is not found by what it holds; a hidden widget cannot be acted on.
  EXPECT_FALSE(fAutomation.Type("hunter2", "x"));
  EXPECT_FALSE(fAutomation.Press("Secret label"));
  ASSERT_EQ(fAutomation.SetChecked("Keep", true).error(), "");
  EXPECT_NE(Dump().find("\"Keep\" on"), std::string::npos);
}

TEST_F(Widgets, DialogStepsRunInTheHostsOrderAndCancelAppliesNothing) {
  ASSERT_EQ(fAutomation.PerformAction(kTestDialogAction).error(), "");
  ASSERT_EQ(fAutomation.Type("#0x90001a", "bad").error(), "");
  EXPECT_FALSE(fAutomation.Confirm()); // refused: the dialog stays
  ASSERT_EQ(fAutomation.Type("#0x90001a", "good").error(), "");
  ASSERT_EQ(fAutomation.Confirm().error(), "");
  EXPECT_EQ(fUI->TakeLog(), (Log{"initialize", "dialog 1896 #0x1", "validate", "dialog 1896 #0x1",
                                 "validate", "apply", "closing"}));
  EXPECT_FALSE(fAutomation.Confirm()); // nothing is open any more

  ASSERT_EQ(fAutomation.PerformAction(kTestDialogAction).error(), "");
  ASSERT_EQ(fAutomation.Cancel().error(), "");
  EXPECT_EQ(fUI->TakeLog(), (Log{"initialize", "dialog 1896 #0x2", "closing"}));

  // The preferences page is a panel the panel manager finds while its dialog is open.
  ASSERT_EQ(fAutomation.OpenPreferences("#0x900021").error(), "");
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  InterfacePtr<IPanelMgr> panels(application->QueryPanelManager());
  EXPECT_TRUE(panels->GetPanelFromWidgetID(kTestPrefsPageWidgetID));
  ASSERT_EQ(fAutomation.Cancel().error(), "");
  EXPECT_FALSE(panels->GetPanelFromWidgetID(kTestPrefsPageWidgetID));
  EXPECT_EQ(fUI->TakeLog(), (Log{"initialize", "closing"}));
}

TEST_F(Widgets, TreeRowsExpandByTheirExpanderAndClicksPassThePlugInsHandler) {
  ASSERT_EQ(fAutomation.OpenPreferences("#0x900021").error(), "");
  const auto names = [&] {
    const std::string text = fAutomation.Dump("dialog").value_or("");
    std::string rows;
    for (std::size_t at = text.find("text #0x900025 \""); at != std::string::npos;
         at = text.find("text #0x900025 \"", at + 1))
      rows += text.substr(at + 16, text.find('"', at + 16) - at - 16) + " ";
    return rows;
  };
  EXPECT_EQ(names(), "A B ");
  ASSERT_EQ(fAutomation.ExpandRow("#0x900023", 1, true).error(), "");
  EXPECT_EQ(names(), "A A1 A2 B ");
  EXPECT_FALSE(fAutomation.ExpandRow("#0x900023", 5, true)); // there is no row 5
  ASSERT_EQ(fAutomation.SelectRows("#0x900023", {3}).error(), "");
  ASSERT_EQ(fAutomation.ExpandRow("#0x900023", 1, false).error(), "");
  EXPECT_EQ(names(), "A B ");
  // The host's own row handler does nothing with a double click.
  EXPECT_FALSE(fAutomation.DoubleClickRow("#0x900023", 2));
  EXPECT_EQ(fUI->TakeLog(), (Log{"initialize", "row click", "row double click"}));
  ASSERT_EQ(fAutomation.Cancel().error(), "");
}

TEST_F(Widgets, AFrontEndHearsEveryChangeAndEveryWindow) {
  struct Recorder : layra::ViewWatcher {
    void ViewChanged(IControlView* view) override { changed.push_back(view->GetWidgetID()); }
    void WindowShown(IControlView* root, bool shown) override {
      windows.emplace_back(root->GetWidgetID(), shown);
    }
    std::vector<WidgetID> changed;
    std::vector<std::pair<WidgetID, bool>> windows;
  } recorder;
  layra::SetViewWatcher(&recorder);
  ASSERT_EQ(fAutomation.ShowPalette("Test panel").error(), "");
  ASSERT_EQ(fAutomation.Type("#0x900017", "x").error(), "");
  ASSERT_EQ(fAutomation.HidePalette("Test panel").error(), "");
  layra::SetViewWatcher(nullptr);
  // The list makes its rows when it first comes on screen.
  EXPECT_EQ(recorder.changed, (std::vector<WidgetID>{kTestListWidgetID, kTestPasswordWidgetID}));
  EXPECT_EQ(recorder.windows, (std::vector<std::pair<WidgetID, bool>>{
                                  {kTestPanelWidgetID, true}, {kTestPanelWidgetID, false}}));
}

TEST_F(Widgets, FolderChooserTakesTheQueuedAnswers) {
  fAutomation.AnswerFolderChooser("/tmp/pages");
  fAutomation.AnswerFolderChooser(std::nullopt);
  const auto chosen = FolderChooser::Choose(PMString("Choose a Folder"));
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0].GetPath(), "/tmp/pages");
  EXPECT_TRUE(FolderChooser::Choose(PMString("Choose a Folder")).empty());
  EXPECT_TRUE(FolderChooser::Choose(PMString("Choose a Folder")).empty());
}

TEST_F(Widgets, StepsRunInOrderAndAStepThatCannotBeDoneNamesItsLine) {
  Rebuild(4);
  std::istringstream steps("# mark two pages\n"
                           "show \"Test panel\"\n"
                           "\n"
                           "toggle row 2 in #0x900011   # the second\n"
                           "select rows 1 4 in #0x900011\n"
                           "dump \"Test panel\"\n"
                           "press \"No such button\"\n"
                           "press \"Hello\"\n");
  std::ostringstream out;
  EXPECT_EQ(layra::RunSteps(steps, "mark.steps", out).error(),
            "mark.steps:7: no shown palette has a widget \"No such button\"");
  EXPECT_NE(out.str().find("row 4 selected"), std::string::npos) << out.str();
  EXPECT_EQ(fUI->TakeLog(),
            (Log{"panel attach", "row attach", "row attach", "row attach", "row attach", "row 2 on",
                 "panel 1642 0x66a #0x900011", "panel 1642 0x66a #0x900011"}));
  for (const char* bad : {"toggle row two in #0x900011", "type \"x\" into", "say \"hi",
                          "menu \"Test panel\" \"Nothing\""}) {
    std::istringstream one(std::string("show \"Test panel\"\n") + bad + "\n");
    const layra::Result<void> done = layra::RunSteps(one, "s", out);
    EXPECT_FALSE(done) << bad;
    EXPECT_TRUE(done.error().starts_with("s:2: ")) << done.error();
  }
}

TEST(LayraProgramSteps, RunsAStepsFileAndFailsNamingTheLine) {
  TempHome home;
  const auto file = home.path() / "steps.txt";
  std::ofstream(file) << "show \"Test panel\"\nmenu \"Test panel\" \"Hello\"\ndump \"Test "
                         "panel\"\nconfirm\n";
  const std::string command = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                              " --plugins " + TEST_PLUGIN_DIR + " --steps " + file.string() +
                              " </dev/null >" + (home.path() / "out").string() + " 2>" +
                              (home.path() / "err").string();
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_NE(folivox::test::ReadWholeFile(home.path() / "out").find("palette \"Test panel\""),
            std::string::npos);
  EXPECT_NE(folivox::test::ReadWholeFile(home.path() / "err").find(":4: no dialog is open"),
            std::string::npos);
}

class PolishWidgets : public Widgets {
protected:
  PolishWidgets() { fLocale = 16; }
};

TEST_F(PolishWidgets, TitlesFollowTheLocale) {
  EXPECT_EQ(WLocaleSetting::GetLocale(), 16);
  EXPECT_EQ(fAutomation.ShowPalette("Panel testowy").error(), "");
  EXPECT_FALSE(fAutomation.ShowPalette("Test panel"));
}

} // namespace
