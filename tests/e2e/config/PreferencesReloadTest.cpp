// A changed configuration address takes effect when the preferences panel closes: the hooks the
// controller installs, against a real HTTP server.

#include "InProcessController.h"
#include "TempHome.h"
#include "TestServers.h"
#include "prefs/PreferenceHooks.h"
#include "publish/ConfigTree.h"
#include "publish/ConfigurationAddress.h"

#include <gtest/gtest.h>

namespace {

using folivox::test::HttpTestServer;

constexpr ActionID kAcquireConfiguration{0x122506};

std::string WithRule(const char* name) {
  return std::string("<CONFIG><DOCNAME><REGEX>") + name + "</REGEX></DOCNAME><GRABURL/></CONFIG>";
}

class PreferencesReload : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(fController.Controller());
    ASSERT_TRUE(fServer.PutFile("first/FolivoPref.xml", WithRule("first")));
    ASSERT_TRUE(fServer.PutFile("second/FolivoPref.xml", WithRule("second")));
    ASSERT_TRUE(fServer.Start());
    ASSERT_EQ(StoreAddress(fServer.url("/first/FolivoPref.xml")), kSuccess);
    gConfigurationAddressChanged = false;
  }

  static ErrorCode StoreAddress(const std::string& address) {
    return folivox::test::WritePreference(PMString("FolivoHTTP"), PMString(address));
  }

  // The REGEX text of the loaded configuration's rule.
  std::string LoadedRule() const {
    const ConfigNode* tree = fController.Controller()->Configuration();
    const ConfigNode* rule = tree ? FindChild(*tree, WideString("DOCNAME")) : nullptr;
    return rule ? rule->children.at(0).text.ToUTF8() : "(none)";
  }

  folivox::test::TempHome fHome;
  folivox::test::InProcessController fController{fHome.configDir()};
  HttpTestServer fServer;
};

TEST_F(PreferencesReload, ClosingDownloadsAgainOnlyAfterTheAddressChanged) {
  fController.Perform(kAcquireConfiguration);
  EXPECT_EQ(LoadedRule(), "first");

  gPreferencesClosedHook(nullptr);
  EXPECT_EQ(fServer.requestCount(), 1);

  const PMString stored(fServer.url("/first/FolivoPref.xml"));
  const PMString edited(fServer.url("/second/FolivoPref.xml"));
  PMString output;
  ASSERT_EQ(gPreferenceApplyHook(PMString("FolivoHTTP:"), stored, edited, &output),
            kPreferenceHookKeepValue);
  ASSERT_EQ(StoreAddress(edited.GetUTF8String()), kSuccess);
  EXPECT_TRUE(gConfigurationAddressChanged);

  gPreferencesClosedHook(nullptr);
  EXPECT_EQ(fServer.requestLines().back(), "GET /second/FolivoPref.xml HTTP/1.1");
  EXPECT_EQ(LoadedRule(), "second");
  // No document is open whose page statuses would follow the new configuration, so the change
  // stays noted for the next closing.
  EXPECT_TRUE(gConfigurationAddressChanged);

  ASSERT_TRUE(fController.Host().NewDocument(1, 595, 842).IsValid());
  gPreferencesClosedHook(nullptr);
  EXPECT_EQ(fServer.requestCount(), 3);
  EXPECT_FALSE(gConfigurationAddressChanged);
}

} // namespace
