// The store on a real workspace, the ways of reaching it, and the list of
// preferences the panel offers.

#include "PreferenceHost.h"
#include "TempHome.h"
#include "TestText.h"

#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferenceAccess.h"

#include <layra/CmdUtils.h>

#include <gtest/gtest.h>

namespace {

using folivox::test::PreferenceHost;
using folivox::test::TextOf;
using folivox::test::Texts;

class PreferenceStore : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(fHost.Assembled());
    ASSERT_TRUE(fStore);
  }

  folivox::test::TempHome fHome;
  PreferenceHost fHost{fHome.configDir() / "layra"};
  InterfacePtr<ICommonPreferenceData> fStore = fHost.WorkspaceStore();
};

TEST_F(PreferenceStore, BothKeyFormsFindTheValueAndTheStoredKeyHasTheColon) {
  fStore->SetValue("FolivoHTTP", "http://example.org/a.xml");
  fStore->SetValue("Ready:", "true");
  EXPECT_EQ(fHost.StoredKeys(), Texts({"FolivoHTTP:", "Ready:"}));
  for (const char* key : {"FolivoHTTP", "FolivoHTTP:"})
    EXPECT_EQ(TextOf(fStore->GetValue(key)), "http://example.org/a.xml") << key;
  EXPECT_FALSE(fStore->GetDictionary()->Keys().front().GetTranslatable());
}

TEST_F(PreferenceStore, TheEmptyKeyIsStoredAsAColonAndAbsentKeysGiveNull) {
  fStore->SetValue("", "x");
  EXPECT_EQ(fHost.StoredKeys(), Texts({":"}));
  EXPECT_EQ(TextOf(fStore->GetValue("")), "x");
  EXPECT_EQ(fStore->GetValue("FolivoHTTP"), nullptr);
}

TEST_F(PreferenceStore, GetValueHandsOutACopy) {
  fStore->SetValue("a", "1");
  std::unique_ptr<PMString> value = fStore->GetValue("a");
  fStore->SetValue("a", "2");
  EXPECT_EQ(TextOf(value), "1");
}

TEST_F(PreferenceStore, CopyFromDropsKeysOnlyTheOldStoreHad) {
  fStore->SetValue("old", "1");
  fStore->SetValue("both", "2");
  // A command boss's store is a second, independent store; the reference is handed over.
  InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kQuorPreferenceCommandBoss));
  InterfacePtr<ICommonPreferenceData> other(command, UseDefaultIID());
  other->SetValue("both", "3");
  other->SetValue("new", "4");
  fStore->CopyFrom(InterfacePtr<ICommonPreferenceData>(other).forget());
  EXPECT_EQ(fHost.StoredKeys(), Texts({"both:", "new:"}));
  EXPECT_EQ(TextOf(fStore->GetValue("both")), "3");
}

TEST_F(PreferenceStore, ReadersReachTheWorkspaceStore) {
  fStore->SetValue("FolivoHTTP", "http://example.org/a.xml");
  InterfacePtr<ICommonPreferenceData> data(GetPrefrenceData());
  EXPECT_EQ(data.get(), fStore.get());
  EXPECT_EQ(TextOf(KCommonPreferenceTypesList::GetPreference("FolivoHTTP")),
            "http://example.org/a.xml");
}

TEST_F(PreferenceStore, WritersGetACommandAimedAtTheWorkspaceCarryingItsOwnStore) {
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  ASSERT_TRUE(GetPreferecesForWritting(data, command));
  InterfacePtr<ICommonPreferenceData> commandStore(command, UseDefaultIID());
  EXPECT_EQ(data.get(), commandStore.get());
  EXPECT_NE(data.get(), fStore.get());
  EXPECT_EQ(command->GetItemList()->GetRef(0), fHost.Host().Workspace());
  EXPECT_EQ(command->GetItemList()->Length(), 1);
}

TEST_F(PreferenceStore, WritersGetNothingWhenTheCommandLacksItsStore) {
  layra::ObjectModel::Instance().AddClass({kQuorPreferenceCommandBoss,
                                           kInvalidClass,
                                           "kQuorPreferenceCommandBoss",
                                           kFolivoPluginID,
                                           {{IID_ICOMMAND, kCommonPreferenceCommandImpl}}});
  InterfacePtr<ICommonPreferenceData> data = fStore;
  InterfacePtr<ICommand> command;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(GetPreferecesForWritting(data, command));
  EXPECT_EQ(
      testing::internal::GetCapturedStdout(),
      "QUORPreferenceDialogObserver::ButtonClicked exception => InterfacePtr<IPreferenceData> "
      "bpiData(bpiSetDataCmd, UseDefaultIID()); == nil!\n");
  EXPECT_EQ(data.get(), fStore.get());
  EXPECT_FALSE(command);
}

TEST(PreferenceAccessWithoutHost, NothingIsReachedAndTheOutputsStayUntouched) {
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(GetPreferecesForWritting(data, command));
  EXPECT_EQ(KCommonPreferenceTypesList::GetPreference("FolivoHTTP"), nullptr);
  const std::string application = "QUORPreferenceDialogObserver::ButtonClicked exception => "
                                  "InterfacePtr<IApplication> app(gSession->QueryApplication()) "
                                  "== nil!\n";
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            application + application +
                "KCommonPreferenceTypesList::GetPreference: GetPrefrenceData returned nil!\n");
  EXPECT_FALSE(data);
  EXPECT_FALSE(command);
}

TEST(PreferenceTypes, IdentifiersGetTheColonAndChoicesNeedBothLists) {
  KCommonPreferenceTypesList types;
  const std::vector<PMString> shown = Texts({"Yes", "No"});
  const std::vector<PMString> stored = Texts({kPreferencesTrueValue, kPreferencesFalseValue});
  types.AddPreference("Send", "SendKey", "Upload", kPreferenceTypeChoice, &shown, &stored);
  types.AddPreference("Half", "HalfKey", "Upload", kPreferenceTypeChoice, &shown, nullptr);
  types.AddPreference("", "EmptyKey", "", kPreferenceTypeText, nullptr, nullptr);
  EXPECT_EQ(types.GetIdentifiers(), Texts({"Send:", "Half:", ":"}));
  EXPECT_EQ(types.GetTypes(), (std::vector<std::int32_t>{4, 4, 1}));
  EXPECT_EQ(types.GetGroups(), Texts({"Upload", "Upload", ""}));
  EXPECT_TRUE(types.HasIdentifier("Send"));
  EXPECT_TRUE(types.HasIdentifier("Send:"));
  EXPECT_EQ(types.GetDisplayChoices("Send:"), shown);
  EXPECT_EQ(types.GetValueChoices("Send"), stored);
  EXPECT_TRUE(types.GetDisplayChoices("Half").empty());
  EXPECT_TRUE(types.GetValueChoices("Half").empty());
}

TEST(PreferenceTypes, AnUnregisteredIdentifierHasNoChoices) {
  KCommonPreferenceTypesList types;
  EXPECT_FALSE(types.HasIdentifier("Missing"));
  EXPECT_TRUE(types.GetDisplayChoices("Missing").empty());
  EXPECT_TRUE(types.GetValueChoices("Missing").empty());
}

TEST(PreferenceTypes, TheConfigurationAddressIsATextPreference) {
  ASSERT_NE(gPreferenceTypes, nullptr);
  RegisterConfigurationAddressPreference();
  EXPECT_TRUE(gPreferenceTypes->HasIdentifier("FolivoHTTP:"));
  EXPECT_EQ(gPreferenceTypes->GetTypes().back(), kPreferenceTypeText);
  EXPECT_EQ(gPreferenceTypes->GetGroups().back(), PMString(""));
  EXPECT_EQ(gPreferenceTypes->GetLabels().back(), PMString("0x122500kFolivoHTTPPreferenceKey"));
}

} // namespace
