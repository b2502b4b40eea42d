// The real Folivox.so loaded by the host: its texts, its start-up and its
// answers to document signals.

#include "CapturedOutput.h"
#include "ExpectedTexts.h"
#include "LoopbackProxy.h"
#include "TempHome.h"
#include "prefs/ICommonPreferenceData.h"

#include <layra/PMString.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace {

using folivox::test::TempHome;

constexpr ImplementationID kPreferenceDataImpl{0x122505};

// What the signal handlers printed, without the update check's lines (see
// WithoutUpdateCheckLines).
std::string CapturedSignalOutput() {
  return folivox::test::WithoutUpdateCheckLines(testing::internal::GetCapturedStdout());
}

class FolivoxLoaded : public testing::Test {
protected:
  std::unique_ptr<layra::Host> StartHost(int locale = 1, bool activeContext = true) {
    auto host = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                       {FOLIVOX_PLUGIN_DIR},
                                                       locale,
                                                       layra::AlertAnswer::First,
                                                       activeContext})
                    .value();
    host->Start();
    return host;
  }

  static std::string Shown(const char* key) {
    PMString text(key);
    text.Translate();
    return text.GetUTF8String();
  }

  TempHome fHome;
};

TEST_F(FolivoxLoaded, EveryTextStandsInBothTables) {
  for (int locale : {1, 16}) {
    auto host = StartHost(locale);
    ASSERT_EQ(host->Plugins().size(), 1u);
    for (const ExpectedText& text : kExpectedTexts) {
      const char* expected = locale == 1 ? text.english : text.polish;
      EXPECT_EQ(Shown(text.key), expected ? expected : text.key) << text.key << " in " << locale;
    }
    // The pop-up menu's name is never translated.
    EXPECT_EQ(Shown("0x122500kFolivoInternalPopupMenuNameKey"),
              "0x122500kFolivoInternalPopupMenuNameKey");
  }
}

TEST_F(FolivoxLoaded, StartupPerformsTheConfigurationActionOnlyWithAContext) {
  auto host = StartHost();
  ASSERT_FALSE(host->ResidentMarks().empty());
  EXPECT_EQ(host->ResidentMarks().back().implementation, kPreferenceDataImpl);
  EXPECT_TRUE(host->ResidentMarks().back().resident);
  host.reset();

  host = StartHost(1, false);
  EXPECT_TRUE(host->ResidentMarks().empty());
}

TEST_F(FolivoxLoaded, SignalsBeforeThePageListExistOnlyReportIt) {
  auto host = StartHost(1, false);
  const UIDRef document = host->Workspace();
  for (ServiceID handled : {ServiceID{0xe10}, ServiceID{0x16302}}) {
    testing::internal::CaptureStdout();
    host->SendDocumentSignal(handled, document);
    EXPECT_EQ(CapturedSignalOutput(), "sharedActionComponent has not been initialized.\n");
  }
  for (ServiceID ignored : {ServiceID{0x503}, ServiceID{0x16301}, ServiceID{0xe11}}) {
    testing::internal::CaptureStdout();
    host->SendDocumentSignal(ignored, document);
    EXPECT_EQ(CapturedSignalOutput(), "");
  }
  EXPECT_FALSE(host->ApplicationDefaults().IsModified());
}

TEST_F(FolivoxLoaded, OpenSignalRunsThePrologueFirst) {
  auto host = StartHost(1, false);
  host->SetActiveContextAvailable(true);
  testing::internal::CaptureStdout();
  host->SendDocumentSignal(ServiceID{0xe0f}, host->Workspace());
  EXPECT_EQ(CapturedSignalOutput(), "sharedActionComponent has not been initialized.\n");
  EXPECT_EQ(host->ResidentMarks().size(), 2u); // construction and the internal action
}

TEST_F(FolivoxLoaded, MenuIsOrderedWithItsTwoSeparators) {
  auto host = StartHost();
  std::vector<std::uint32_t> order;
  int separators = 0;
  for (const layra::MenuDeclaration& entry : host->Menus()) {
    order.push_back(entry.action.Get());
    separators += entry.IsSeparator() ? 1 : 0;
  }
  EXPECT_EQ(order,
            (std::vector<std::uint32_t>{0x12250D, 0x122515, 0x12250F, 0x122502, 0x122511, 0x122510,
                                        0x122514, 0x122512, 0x12250B, 0x12250C, 0x12250A}));
  EXPECT_EQ(separators, 2);
}

TEST_F(FolivoxLoaded, PreferenceStoreRidesOnTheWorkspaceAcrossRestarts) {
  auto host = StartHost();
  {
    InterfacePtr<ICommonPreferenceData> store(static_cast<ICommonPreferenceData*>(
        host->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
    ASSERT_TRUE(store);
    store->SetValue(PMString("FolivoHTTP"), PMString("http://127.0.0.1:1/FolivoPref.xml"));
  }
  ASSERT_TRUE(host->Shutdown());
  host.reset(); // one host at a time: a new one starts from an empty object model
  host = StartHost();
  InterfacePtr<ICommonPreferenceData> store(static_cast<ICommonPreferenceData*>(
      host->Workspace().Instantiate(IID_ICOMMONPREFERENCEDATA)));
  ASSERT_TRUE(store);
  auto value = store->GetValue(PMString("FolivoHTTP:"));
  ASSERT_TRUE(value);
  EXPECT_EQ(value->GetUTF8String(), "http://127.0.0.1:1/FolivoPref.xml");
}

TEST(FolivoxLibrary, ExportsOnlyGetPlugInAndRunsFromTheCommandLine) {
  const std::string nm =
      std::string("nm -D --defined-only ") + FOLIVOX_PLUGIN_DIR + "/Folivox.so | grep ' T '";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(nm.c_str(), "r"), ::pclose);
  char line[256] = {};
  ASSERT_TRUE(std::fgets(line, sizeof line, pipe.get()));
  EXPECT_TRUE(std::string(line).ends_with(" T GetPlugIn\n")) << line;
  EXPECT_FALSE(std::fgets(line, sizeof line, pipe.get()));

  TempHome home;
  const std::string layra = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                            " --plugins " + FOLIVOX_PLUGIN_DIR + " --answer first";
  // With no configuration address the start-up's download ends in an error alert, which the
  // exit status tells a script about.
  const int status = std::system(
      (layra + " --do 0x12250E 0x12250B 0x12250C 0x12250A </dev/null >/dev/null 2>&1").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(WEXITSTATUS(std::system((layra + " --do 0x122599 </dev/null >/dev/null 2>&1").c_str())),
            2);
  // The window program tells it alike.
  const std::string window = "QT_QPA_PLATFORM=offscreen " + layra + " --gui --screenshot " +
                             (home.path() / "window.png").string() + " </dev/null >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(window.c_str())), 3);
}

TEST_F(FolivoxLoaded, UpdateQueryGoesOnlyToTheLoopbackProxy) {
  folivox::test::LoopbackProxy* proxy = folivox::test::TestProgramProxy();
  ASSERT_TRUE(proxy);
  auto host = StartHost();
  const auto asked = [proxy] {
    for (const std::string& line : proxy->server().requestLines()) {
      if (line.find("APP_NAME=Folivox&DOMAIN=LayraWin&APP_VER=1.0.2&") != std::string::npos)
        return line;
    }
    return std::string();
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (asked().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(asked().starts_with("GET http://" FOLIVOX_UPDATE_HOST "/")) << asked();
}

} // namespace
