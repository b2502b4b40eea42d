// The store on a real workspace, the ways of reaching it, and the list of
// preferences the panel offers.

#include "PreferenceHost.h"
#include "PrefsTestSupport.h"
#include "TempHome.h"

#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferenceAccess.h"

#include <layra/CmdUtils.h>

#include <gtest/gtest.h>

namespace {

using folivox::test::TextOf;
using folivox::test::Texts;

const std::string kNil = "QUORPreferenceDialogObserver::ButtonClicked exception => ";

class PreferenceStore : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(fHost.Assembled());
    ASSERT_TRUE(fStore);
  }

  folivox::test::TempHome fHome;
  folivox::test::PreferenceHost fHost{fHome.configDir() / "layra"};
  InterfacePtr<ICommonPreferenceData> fStore = fHost.WorkspaceStore();
};

TEST_F(PreferenceStore, BothKeyFormsFindTheValueAndTheStoredKeyHasTheColon) {
  fStore->SetValue("FolivoHTTP", "http://example.org/a.xml");
  fStore->SetValue("Ready:", "true");
  fStore->SetValue("", "empty");
  EXPECT_EQ(fHost.StoredKeys(), Texts({"FolivoHTTP:", "Ready:", ":"}));
  for (const char* key : {"FolivoHTTP", "FolivoHTTP:"})
    EXPECT_EQ(TextOf(fStore->GetValue(key)), "http://example.org/a.xml") << key;
  EXPECT_EQ(TextOf(fStore->GetValue("")), "empty");
  EXPECT_EQ(fStore->GetValue("Absent"), nullptr);
}

TEST_F(PreferenceStore, CopyFromDropsKeysOnlyTheOldStoreHad) {
  fStore->SetValue("old", "1");
  fStore->SetValue("both", "2");
  // A command boss carries a second, independent store.
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
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            kNil +
                "InterfacePtr<IPreferenceData> bpiData(bpiSetDataCmd, UseDefaultIID()); == nil!\n");
  EXPECT_EQ(data.get(), fStore.get());
  EXPECT_FALSE(command);
}

TEST(PreferenceAccessWithoutHost, ReportsTheMissingApplication) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(KCommonPreferenceTypesList::GetPreference("FolivoHTTP"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            kNil + "InterfacePtr<IApplication> app(gSession->QueryApplication()) == nil!\n" +
                "KCommonPreferenceTypesList::GetPreference: GetPrefrenceData returned nil!\n");
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
  EXPECT_TRUE(types.HasIdentifier("Send"));
  EXPECT_EQ(types.GetDisplayChoices("Send:"), shown);
  EXPECT_EQ(types.GetValueChoices("Send"), stored);
  for (const char* identifier : {"Half", "Unregistered"}) {
    EXPECT_TRUE(types.GetDisplayChoices(identifier).empty()) << identifier;
    EXPECT_TRUE(types.GetValueChoices(identifier).empty()) << identifier;
  }
  EXPECT_FALSE(types.HasIdentifier("Unregistered"));
}

} // namespace
