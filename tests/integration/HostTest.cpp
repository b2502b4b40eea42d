// The host with a real plug-in loaded through dlopen: start-up services,
// actions, string tables, signals, and a workspace that survives a restart.

#include "../plugin/TestPluginIDs.h"
#include "TempHome.h"
#include "WholeFile.h"

#include <layra/CmdUtils.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

using folivox::test::TempHome;

class HostWithPlugin : public testing::Test {
protected:
  std::unique_ptr<layra::Host> StartHost(int locale = 1) {
    layra::Alerts::Instance().ClearLog();
    auto host = std::make_unique<layra::Host>(layra::HostOptions{
        fHome.configDir() / "layra", {TEST_PLUGIN_DIR}, locale, layra::AlertAnswer::Default});
    host->Start();
    return host;
  }

  std::int32_t Counter(layra::Host& host) {
    InterfacePtr<ITestCounter> counter(
        static_cast<ITestCounter*>(host.Workspace().Instantiate(IID_ITESTCOUNTER)));
    return counter ? counter->Get() : -1;
  }

  TempHome fHome;
};

TEST_F(HostWithPlugin, StartupServiceRunsAndStringsFollowTheLocale) {
  auto host = StartHost();
  ASSERT_EQ(host->Plugins().size(), 1u);
  ASSERT_GE(layra::Alerts::Instance().Log().size(), 1u);
  EXPECT_EQ(layra::Alerts::Instance().Log()[0].message, "Test plug-in started");
  ASSERT_TRUE(host->PerformAction(kTestGreetAction));
  EXPECT_EQ(layra::Alerts::Instance().Log().back().message, "Hello");
  host.reset();

  host = StartHost(16);
  host->PerformAction(kTestGreetAction);
  EXPECT_EQ(layra::Alerts::Instance().Log().back().message, "Dzień dobry");
  // A key the Polish table lacks shows as the key itself.
  EXPECT_EQ(layra::Alerts::Instance().Log()[0].message, "0x900000kStartedKey");
}

TEST_F(HostWithPlugin, ActionChangesWorkspaceUndoablyAndTheChangeSurvivesARestart) {
  auto host = StartHost();
  ASSERT_TRUE(host->PerformAction(kTestIncrementAction));
  ASSERT_TRUE(host->PerformAction(kTestIncrementAction));
  EXPECT_EQ(Counter(*host), 2);
  ASSERT_TRUE(CmdUtils::UndoLast(host->Workspace().GetDataBase()));
  EXPECT_EQ(Counter(*host), 1);
  ASSERT_TRUE(CmdUtils::RedoLast(host->Workspace().GetDataBase()));
  EXPECT_FALSE(host->PerformAction(ActionID{0x900099}));
  ASSERT_TRUE(host->Shutdown());
  host.reset();

  host = StartHost();
  EXPECT_EQ(Counter(*host), 2);
  EXPECT_TRUE(host->SetAsideWorkspace().empty());
}

TEST_F(HostWithPlugin, ResponderHearsTheSignalsItRegisteredFor) {
  auto host = StartHost();
  testing::internal::CaptureStdout();
  host->SendDocumentSignal(ServiceID{0xe0f}, host->Workspace());
  host->SendDocumentSignal(ServiceID{0xe10}, host->Workspace());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "signal 0xe0f for object 1\n");
}

TEST_F(HostWithPlugin, DamagedWorkspaceIsSetAsideAndTheHostStartsClean) {
  const auto file = fHome.configDir() / "layra" / "workspace.lydb";
  {
    auto host = StartHost();
    host->PerformAction(kTestIncrementAction);
  }
  const std::string good = folivox::test::ReadWholeFile(file);
  for (const std::string& damaged : {good.substr(0, good.size() / 2), std::string("garbage")}) {
    ASSERT_TRUE(folivox::test::WriteWholeFile(file, damaged));
    auto host = StartHost();
    EXPECT_EQ(Counter(*host), 0);
    ASSERT_FALSE(host->SetAsideWorkspace().empty());
    EXPECT_EQ(folivox::test::ReadWholeFile(host->SetAsideWorkspace()), damaged);
    host.reset();
    EXPECT_NE(folivox::test::ReadWholeFile(file), damaged);
  }
}

TEST(PluginLibrary, ExportsOnlyGetPlugIn) {
  const std::string command =
      std::string("nm -D --defined-only ") + TEST_PLUGIN_DIR + "/TestPlugin.so";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  ASSERT_TRUE(pipe);
  std::string functions;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::string entry(line);
    if (entry.find(" T ") != std::string::npos)
      functions += entry.substr(entry.find(" T ") + 3);
  }
  EXPECT_EQ(functions, "GetPlugIn\n");
}

TEST(LayraProgram, RunsActionsAndRefusesUnknownOnes) {
  TempHome home;
  const std::string base = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                           " --plugins " + TEST_PLUGIN_DIR + " --answer first";
  EXPECT_EQ(std::system((base + " --do 0x900001 0x900002 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((base + " --do 0x123 2>/dev/null").c_str()), 0);
  EXPECT_NE(
      std::system((std::string(LAYRA_PROGRAM) + " --plugins /nonexistent 2>/dev/null").c_str()), 0);
}

} // namespace
