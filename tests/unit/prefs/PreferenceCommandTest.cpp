// Changing preferences through the command: what it replaces, what it refuses,
// who hears about it, undo, and a restart of the host.

#include "PreferenceHost.h"
#include "PrefsTestSupport.h"
#include "TempHome.h"

#include "prefs/PreferenceAccess.h"

#include <layra/CObserver.h>
#include <layra/CmdUtils.h>
#include <layra/ErrorUtils.h>
#include <layra/IObjectModel.h>
#include <layra/ISubject.h>

#include <gtest/gtest.h>

#include <optional>

namespace {

using folivox::test::PreferenceHost;
using folivox::test::TextOf;
using folivox::test::Texts;
using folivox::test::WritePreference;

constexpr ClassID kRecorderBoss{0x7F0001};
constexpr ImplementationID kRecorderImpl{0x7F0001};

struct Heard {
  ClassID change;
  PMIID protocol;
  void* changedBy;
};
std::vector<Heard> gHeard;

class RecordingObserver : public CObserver {
public:
  explicit RecordingObserver(IPMUnknown* boss) : CObserver(boss) {}
  void Update(const ClassID& change, ISubject*, const PMIID& protocol, void* changedBy) override {
    gHeard.push_back({change, protocol, changedBy});
  }
};

class PreferenceCommand : public testing::Test {
protected:
  void SetUp() override {
    fHost.emplace(Home());
    ASSERT_TRUE(fHost->Assembled());
    gHeard.clear();
  }

  std::filesystem::path Home() const { return fHome.configDir() / "layra"; }
  // A command whose store holds just `key`, aimed at `items`.
  InterfacePtr<ICommand> CommandSetting(const char* key, const UIDList& items) {
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kQuorPreferenceCommandBoss));
    InterfacePtr<ICommonPreferenceData> data(command, UseDefaultIID());
    data->SetValue(key, "http://example.org/config.xml");
    command->SetItemList(items);
    return command;
  }

  folivox::test::TempHome fHome;
  std::optional<PreferenceHost> fHost;
};

TEST_F(PreferenceCommand, ItsDataReplaceTheWholeStore) {
  fHost->WorkspaceStore()->SetValue("a", "1");
  fHost->WorkspaceStore()->SetValue("b", "2");
  auto command = CommandSetting("FolivoHTTP:", UIDList(fHost->Host().Workspace()));
  ASSERT_EQ(CmdUtils::ProcessCommand(command), kSuccess);
  EXPECT_EQ(fHost->StoredKeys(), Texts({"FolivoHTTP:"}));
  EXPECT_EQ(TextOf(fHost->WorkspaceStore()->GetValue("FolivoHTTP")),
            "http://example.org/config.xml");
}

TEST_F(PreferenceCommand, AnEmptyItemListFailsAndChangesNothing) {
  fHost->WorkspaceStore()->SetValue("a", "1");
  auto command = CommandSetting("FolivoHTTP:", UIDList());
  EXPECT_EQ(CmdUtils::ProcessCommand(command), kFailure);
  EXPECT_EQ(ErrorUtils::PMGetGlobalErrorCode(), 1);
  EXPECT_EQ(fHost->StoredKeys(), Texts({"a:"}));
  EXPECT_FALSE(CmdUtils::CanUndo(fHost->Defaults()));
}

TEST_F(PreferenceCommand, ItemsWithoutAStoreAreSkipped) {
  IDataBase* db = fHost->Defaults();
  UIDList items(db);
  items.Append(db->NewUID(kDialogBoss));
  items.Append(fHost->Host().Workspace().GetUID());
  ASSERT_EQ(CmdUtils::ProcessCommand(CommandSetting("FolivoHTTP:", items)), kSuccess);
  EXPECT_EQ(fHost->StoredKeys(), Texts({"FolivoHTTP:"}));
}

TEST_F(PreferenceCommand, WorkspaceObserversHearTheChangeFromTheCommand) {
  auto& model = layra::ObjectModel::Instance();
  ASSERT_TRUE(model.RegisterImplementation(
      PluginID{0x7F}, {kRecorderImpl, &layra::CreateImplementation<RecordingObserver>,
                       &layra::DestroyImplementation<RecordingObserver>,
                       &layra::SizeOfImplementation<RecordingObserver>}));
  model.AddClass({kRecorderBoss,
                  kInvalidClass,
                  "kRecorderBoss",
                  PluginID{0x7F},
                  {{IID_IOBSERVER, kRecorderImpl}}});
  InterfacePtr<IObserver> observer(
      static_cast<IObserver*>(CreateObject(kRecorderBoss, IID_IOBSERVER)));
  InterfacePtr<ISubject> subject(
      static_cast<ISubject*>(fHost->Host().Workspace().Instantiate(IID_ISUBJECT)));
  subject->AttachObserver(observer, IID_ICOMMONPREFERENCEDATA);

  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  ASSERT_TRUE(GetPreferecesForWritting(data, command));
  data->SetValue("FolivoHTTP", "http://example.org/config.xml");
  ASSERT_EQ(CmdUtils::ProcessCommand(command), kSuccess);
  subject->DetachObserver(observer, IID_ICOMMONPREFERENCEDATA);

  ASSERT_EQ(gHeard.size(), 1u);
  EXPECT_EQ(gHeard[0].change, ClassID{0x122508});
  EXPECT_EQ(gHeard[0].protocol, PMIID{0x122500});
  EXPECT_EQ(gHeard[0].changedBy, static_cast<void*>(command.get()));
}

TEST_F(PreferenceCommand, UndoRestoresThePreviousStoreAndRedoReappliesTheChange) {
  ASSERT_EQ(WritePreference("a", "1"), kSuccess);
  ASSERT_EQ(WritePreference("b", "2"), kSuccess);
  ASSERT_TRUE(CmdUtils::UndoLast(fHost->Defaults()));
  EXPECT_EQ(fHost->StoredKeys(), Texts({"a:"}));
  ASSERT_TRUE(CmdUtils::RedoLast(fHost->Defaults()));
  EXPECT_EQ(fHost->StoredKeys(), Texts({"a:", "b:"}));
  EXPECT_EQ(TextOf(fHost->WorkspaceStore()->GetValue("b")), "2");
}

// The history keeps the store's pairs shared with the store: a later write must not reach them.
TEST_F(PreferenceCommand, UndoAndRedoBringBackExactStatesAfterDirectWrites) {
  fHost->WorkspaceStore()->SetValue("a", "1");
  ASSERT_EQ(WritePreference("b", "2"), kSuccess);
  fHost->WorkspaceStore()->SetValue("a", "changed");
  ASSERT_TRUE(CmdUtils::UndoLast(fHost->Defaults()));
  EXPECT_EQ(fHost->StoredKeys(), Texts({"a:"}));
  EXPECT_EQ(TextOf(fHost->WorkspaceStore()->GetValue("a")), "1");
  ASSERT_TRUE(CmdUtils::RedoLast(fHost->Defaults()));
  EXPECT_EQ(fHost->StoredKeys(), Texts({"b:", "a:"}));
  EXPECT_EQ(TextOf(fHost->WorkspaceStore()->GetValue("a")), "changed");
}

TEST_F(PreferenceCommand, TheStoreSurvivesARestartOfTheHost) {
  ASSERT_EQ(WritePreference("FolivoHTTP", "http://example.org/config.xml"), kSuccess);
  ASSERT_EQ(WritePreference("FolivoxPageStatus_08_12_05_005-008.lyd_3", "true"), kSuccess);
  ASSERT_EQ(WritePreference("FolivoHTTP", "http://example.org/moved.xml"), kSuccess);
  ASSERT_TRUE(fHost->Host().Shutdown());
  fHost.reset();

  fHost.emplace(Home());
  EXPECT_TRUE(fHost->Host().SetAsideWorkspace().empty());
  EXPECT_EQ(fHost->StoredKeys(),
            Texts({"FolivoxPageStatus_08_12_05_005-008.lyd_3:", "FolivoHTTP:"}));
  EXPECT_EQ(TextOf(fHost->WorkspaceStore()->GetValue("FolivoHTTP")),
            "http://example.org/moved.xml");
}

} // namespace
