// The preferences dialog of the real plug-in in a real host, used through the host's automation
// as a person uses it, with the configuration served by a real HTTP server.

#include "CapturedOutput.h"
#include "TempHome.h"
#include "TestServers.h"
#include "prefs/ICommonPreferenceData.h"
#include "publish/UrlPassword.h"

#include <layra/CmdUtils.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

using folivox::test::CapturedOutput;
using folivox::test::HttpTestServer;

// Each password occurs only in its address; "czNjcmV0" is base64 of the stored one, which
// must not show either.
constexpr const char* kStoredPassword = "s3cret";
constexpr const char* kNewPassword = "n3w";

// In steps and expectations, "{old}" is the stored address, "{new}" one with a new folder and
// password, "{moved}" one with a new folder and the stored password masked as the panel shows
// it, "{moved-clear}" the same with the password in clear.
struct DialogCase {
  const char* name;
  std::vector<std::string> steps; // after the dialog is open; the last one closes it
  const char* stored;
  int undoSteps;
  int downloads;                       // -1: not asserted
  std::vector<const char*> shown = {}; // lines the dumps show
};

// A host with a Folivox library from `plugins`, a document open, and the preferences page
// reached through the host's automation.
class PreferencesPage : public testing::Test {
protected:
  void StartHost(const char* plugins) {
    fHost = layra::Host::Create(
                layra::HostOptions{
                    fHome.configDir() / "layra", {plugins}, 1, layra::AlertAnswer::First})
                .value();
    fHost->Start();
    // With a document open, closing the dialog settles a changed address at once.
    ASSERT_TRUE(fHost->NewDocument(1, 595, 842).IsValid());
  }

  InterfacePtr<ICommonPreferenceData> Store() const {
    return InterfacePtr<ICommonPreferenceData>(static_cast<ICommonPreferenceData*>(
        fHost->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
  }

  std::string Stored(const char* key = "FolivoHTTP") const {
    std::unique_ptr<PMString> value = Store()->GetValue(PMString(key));
    return value ? value->GetUTF8String() : "(none)";
  }

  // Runs steps; what they dump is appended to fShown.
  testing::AssertionResult Run(const std::vector<std::string>& steps) {
    std::string text;
    for (const std::string& step : steps)
      text += step + "\n";
    std::istringstream file(text);
    std::ostringstream dumps;
    const layra::Result<void> done = layra::RunSteps(file, "steps", dumps);
    fShown += dumps.str();
    return done ? testing::AssertionSuccess() : testing::AssertionFailure() << done.error();
  }

  // The number of the tree row that shows `text`; 0 when none does.
  static std::string RowOf(const std::string& text) {
    std::istringstream lines(layra::Automation().Dump("dialog").value_or(""));
    std::string line, row = "0";
    while (std::getline(lines, line)) {
      if (const auto at = line.find("row ");
          at != std::string::npos && line.find('#') == std::string::npos)
        row = line.substr(at + 4, line.find(' ', at + 4) - at - 4);
      if (line.find("\"" + text + "\"") != std::string::npos)
        return row;
    }
    return "0";
  }

  // The steps that can be undone, counted by undoing them; `redo` puts them back.
  int UndoSteps(bool redo = false) {
    IDataBase* db = fHost->Workspace().GetDataBase();
    int steps = 0;
    while (steps < 20 && CmdUtils::UndoLast(db))
      ++steps;
    for (int i = 0; redo && i < steps; ++i)
      CmdUtils::RedoLast(db);
    return steps;
  }

  folivox::test::TempHome fHome;
  std::unique_ptr<layra::Host> fHost;
  std::string fShown;
};

class PreferencesDialog : public PreferencesPage {
protected:
  void SetUp() override {
    for (const char* folder : {"old", "new"})
      ASSERT_TRUE(
          fServer.PutFile(std::string(folder) + "/FolivoPref.xml", "<CONFIG><GRABURL/></CONFIG>"));
    ASSERT_TRUE(fServer.Start());
    // No address yet: the start-up's download fails and is not tried again in this run.
    ASSERT_NO_FATAL_FAILURE(StartHost(FOLIVOX_PLUGIN_DIR));
    fOldAddress = Address("old", kStoredPassword);
    Store()->SetValue(PMString("FolivoHTTP"), PMString(fOldAddress));
    // Every action first keeps the plug-in's cache bookkeeping, with commands of its own.
    ASSERT_TRUE(Run({"action 0x12250E"}));
    fBookkeeping = UndoSteps(true);
  }

  std::string Address(const char* folder, const char* password) const {
    return "http://folivox:" + std::string(password) +
           "@127.0.0.1:" + std::to_string(fServer.port()) + "/" + folder + "/FolivoPref.xml";
  }

  std::string Expanded(std::string text) const {
    const std::pair<const char*, std::string> names[] = {
        {"{old}", fOldAddress},
        {"{new}", Address("new", kNewPassword)},
        {"{moved}", Address("new", kMaskedUrlPassword)},
        {"{moved-clear}", Address("new", kStoredPassword)},
        {"{old-masked}", Address("old", kMaskedUrlPassword)}};
    for (const auto& [name, value] : names) {
      if (const auto at = text.find(name); at != std::string::npos)
        text.replace(at, std::string(name).size(), value);
    }
    return text;
  }

  HttpTestServer fServer;
  std::string fOldAddress;
  int fBookkeeping = 0;
};

class PreferencesDialogCases : public PreferencesDialog,
                               public testing::WithParamInterface<DialogCase> {};

TEST_P(PreferencesDialogCases, WritesOnlyOnOkWhatTheVisitedRowHoldsAndNeverShowsAPassword) {
  const DialogCase& c = GetParam();
  std::vector<std::string> steps = {"action 0x12250D", "dump dialog"};
  for (const std::string& step : c.steps)
    steps.push_back(Expanded(step));
  const std::string closing = steps.back();
  steps.back() = "dump dialog";

  CapturedOutput output;
  ASSERT_TRUE(Run(steps));
  EXPECT_EQ(Stored(), fOldAddress) << "nothing reaches the store before OK";
  ASSERT_TRUE(Run({closing}));
  const std::string printed = output.Take();

  EXPECT_EQ(Stored(), Expanded(c.stored));
  EXPECT_EQ(UndoSteps() - fBookkeeping, c.undoSteps);
  if (c.downloads >= 0) {
    EXPECT_EQ(fServer.requestCount(), c.downloads);
  }
  for (const char* line : c.shown)
    EXPECT_NE(fShown.find(Expanded(line)), std::string::npos) << line << "\n" << fShown;
  EXPECT_NE(fShown.find("\"http://folivox:" + std::string(kMaskedUrlPassword) + "@127.0.0.1:"),
            std::string::npos)
      << fShown;
  for (const char* password : {kStoredPassword, kNewPassword, "czNjcmV0"}) {
    EXPECT_EQ(fShown.find(password), std::string::npos) << fShown;
    EXPECT_EQ(printed.find(password), std::string::npos) << printed;
  }
}

const DialogCase kDialogCases[] = {
    {"ConfirmWithoutSelecting", {"confirm"}, "{old}", 0, 0},
    {"CancelAfterTyping",
     {"select rows 1 in #0x122503", "type \"{new}\" into #0x122507", "cancel"},
     "{old}",
     0,
     0},
    // The row and the editor show the password as bullets, the editor in clear so that the
    // address can be read; the hook turns the bullets back into the stored password, so nothing
    // changed and nothing is downloaded.
    {"SameRowThriceUnchanged",
     {"select rows 1 in #0x122503", "select rows 1 in #0x122503", "select rows 1 in #0x122503",
      "confirm"},
     "{old}",
     1,
     0,
     {"editbox #0x122507 \"{old-masked}\""}},
    // The hook stores nothing for an address typed as it is stored.
    {"RetypedAsStored",
     {"select rows 1 in #0x122503", "type \"{old}\" into #0x122507", "confirm"},
     "{old}",
     1,
     -1},
    {"NewAddress",
     {"select rows 1 in #0x122503", "type \"{new}\" into #0x122507", "dump dialog",
      "select rows 1 in #0x122503", "confirm"},
     "{new}",
     1,
     1},
    // Another folder typed into the shown address: the password stays bullets in the editor and
    // the row, and the stored one is kept.
    {"NewFolderKeepsThePassword",
     {"select rows 1 in #0x122503", "type \"{moved}\" into #0x122507", "dump dialog", "confirm"},
     "{moved-clear}",
     1,
     1,
     {"text #0x122508 \"{moved}\"", "editbox #0x122507 \"{moved}\""}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PreferencesDialogCases, testing::ValuesIn(kDialogCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferencesDialog, TypingShowsTheNewAddressMaskedInTheRowAtOnce) {
  // A host started again in the same process loads the plug-in again.
  ASSERT_TRUE(fHost->Shutdown());
  fHost.reset();
  ASSERT_NO_FATAL_FAILURE(StartHost(FOLIVOX_PLUGIN_DIR));
  ASSERT_TRUE(Run({"action 0x12250D", "select rows 1 in #0x122503",
                   "type \"" + Address("new", kNewPassword) + "\" into #0x122507", "dump dialog",
                   "confirm"}));
  EXPECT_NE(fShown.find("text #0x122508 \"http://folivox:" + std::string(kMaskedUrlPassword) +
                        "@127.0.0.1:"),
            std::string::npos)
      << fShown;
  EXPECT_NE(fShown.find("editbox #0x122507 \"•••"), std::string::npos) << fShown;
  EXPECT_EQ(fServer.requestLines().back(), "GET /new/FolivoPref.xml HTTP/1.1");
  // One row for the address however often the plug-in started: the row's label and the
  // editor's.
  std::size_t labels = 0;
  for (auto at = fShown.find("\"HTTP location of the config file:\""); at != std::string::npos;
       at = fShown.find("\"HTTP location of the config file:\"", at + 1))
    ++labels;
  EXPECT_EQ(labels, 2u) << fShown;
}

// Folivox with a group of a choice and a folder preference besides the address.
class ProbePage : public PreferencesPage {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StartHost(PROBE_PLUGIN_DIR));
    Store()->SetValue(PMString("ProbeMode"), PMString("x"));
    Store()->SetValue(PMString("ProbeFolder"), PMString("/old"));
  }

  testing::AssertionResult Open() {
    testing::AssertionResult opened = Run({"action 0x12250D"});
    return opened ? Run({"expand row " + RowOf("Probe group") + " in #0x122503"}) : opened;
  }
  testing::AssertionResult Select(const char* label) {
    return Run({"select rows " + RowOf(label) + " in #0x122503", "dump dialog"});
  }
  bool Shows(const std::string& text) {
    const bool shown = fShown.find(text) != std::string::npos;
    fShown.clear();
    return shown;
  }
};

TEST_F(ProbePage, GroupChoiceAndFolderRows) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Select("Probe group"));
  EXPECT_TRUE(Shows("text #0x122504\n    editbox #0x122507 hidden\n    combo #0x122506 hidden\n "
                    "   button #0x12250a hidden"));
  // "x" is no value of the choice: the row shows nothing and confirming stores nothing. The
  // label over the editors names the row they edit.
  ASSERT_TRUE(Select("Mode"));
  EXPECT_TRUE(Shows("text #0x122504 \"Mode\"\n    editbox #0x122507 hidden\n    combo #0x122506 "
                    "[\"Fast\", \"Slow\"]"));
  ASSERT_TRUE(Run({"confirm"}));
  EXPECT_EQ(Stored("ProbeMode"), "x");

  ASSERT_TRUE(Open());
  ASSERT_TRUE(Select("Mode"));
  ASSERT_TRUE(Run({"choose \"Slow\" in #0x122506", "dump dialog"}));
  EXPECT_TRUE(Shows("text #0x122508 \"Slow\""));
  // The browse button's label has no text in the tables: it shows its key.
  ASSERT_TRUE(Select("Folder"));
  EXPECT_TRUE(Shows("editbox #0x122507 \"/old\"\n    combo #0x122506 hidden\n    button "
                    "#0x12250a \"0x122500kGPSPChangeKey\""));
  ASSERT_TRUE(Run({"folder cancel", "press #0x12250a", "dump dialog"}));
  EXPECT_TRUE(Shows("text #0x122508 \"/old\""));
  ASSERT_TRUE(Run({"folder \"/tmp/chosen\"", "press #0x12250a", "dump dialog", "confirm"}));
  EXPECT_TRUE(Shows("text #0x122508 \"/tmp/chosen\""));
  EXPECT_EQ(Stored("ProbeMode"), "s");
  EXPECT_EQ(Stored("ProbeFolder"), "/tmp/chosen");
}

// Typing goes to the selected row; with none selected the editor takes nothing.
TEST_F(ProbePage, TheEditorIsDisabledWhileNoRowIsSelected) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"dump dialog"}));
  EXPECT_TRUE(Shows("editbox #0x122507 disabled\n"));
  EXPECT_FALSE(Run({"type \"/typed\" into #0x122507"}));
  ASSERT_TRUE(Select("Folder"));
  EXPECT_TRUE(Shows("editbox #0x122507 \"/old\"\n"));
  // The same row clicked again with the Command key: none is selected.
  const std::string folder = RowOf("Folder");
  ASSERT_TRUE(Run({"select rows " + folder + " " + folder + " in #0x122503", "dump dialog"}));
  EXPECT_TRUE(Shows("editbox #0x122507 disabled\n"));
  EXPECT_FALSE(Run({"type \"/typed\" into #0x122507"}));
  ASSERT_TRUE(Run({"confirm"}));
  EXPECT_EQ(Stored("ProbeFolder"), "/old");
}

// What a row holds is kept with the row, not with its widget, which goes while its group is
// collapsed: the row shows it again when the group opens, and OK stores it either way.
TEST_F(ProbePage, EditsOfRowsInACollapsedGroupAreShownAgainAndStored) {
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Select("Mode"));
  ASSERT_TRUE(Run({"choose \"Slow\" in #0x122506"}));
  ASSERT_TRUE(Select("Folder"));
  const std::string group = RowOf("Probe group");
  ASSERT_TRUE(Run({"type \"/typed\" into #0x122507", "collapse row " + group + " in #0x122503",
                   "expand row " + group + " in #0x122503", "dump dialog"}));
  EXPECT_NE(fShown.find("text #0x122508 \"Slow\""), std::string::npos) << fShown;
  EXPECT_TRUE(Shows("text #0x122508 \"/typed\""));
  ASSERT_TRUE(Run({"collapse row " + group + " in #0x122503", "confirm"}));
  EXPECT_EQ(Stored("ProbeMode"), "s");
  EXPECT_EQ(Stored("ProbeFolder"), "/typed");
  // What was entered before a cancel is gone: shown again, the page starts from the store.
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Select("Folder"));
  ASSERT_TRUE(Run({"type \"/cancelled\" into #0x122507", "cancel"}));
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Run({"dump dialog"}));
  EXPECT_TRUE(Shows("text #0x122508 \"/typed\""));
}

// A double click on a selected row turns it over and is handled, so no handler behind the
// tree acts on it; with no row selected there is nothing to turn and it is not handled.
TEST_F(ProbePage, ADoubleClickTurnsTheSelectedRowOverAndIsHandled) {
  ASSERT_TRUE(Open());
  const std::string group = RowOf("Probe group");
  EXPECT_FALSE(Run({"double-click row " + group + " in #0x122503"}));
  for (const char* shown : {"selected\n", "selected expanded\n"}) {
    ASSERT_TRUE(Run({"select rows " + group + " in #0x122503",
                     "double-click row " + group + " in #0x122503", "dump dialog"}));
    EXPECT_TRUE(Shows("row " + group + " " + shown)) << shown;
  }
}

} // namespace
