// The host with a real plug-in loaded through dlopen: start-up services,
// actions, string tables, signals, and a workspace that survives a restart.

#include "../plugin/TestPluginIDs.h"
#include "CapturedOutput.h"
#include "RunCommand.h"
#include "ScopedVariable.h"
#include "TempDir.h"
#include "TempHome.h"
#include "WholeFile.h"

#include <layra/CmdUtils.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using folivox::test::TempHome;

class HostWithPlugin : public testing::Test {
protected:
  std::unique_ptr<layra::Host> StartHost(int locale = 1) {
    layra::Alerts::Instance().ClearLog();
    auto host = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                       {TEST_PLUGIN_DIR},
                                                       locale,
                                                       layra::AlertAnswer::Default})
                    .value();
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
  // A second host would clear the first one's object model; it is refused instead.
  layra::HostOptions other;
  other.home = fHome.configDir() / "other";
  EXPECT_EQ(layra::Host::Create(other).error(),
            "another layra::Host is still running in this process");
  ASSERT_TRUE(host->PerformAction(kTestGreetAction));
  host.reset();

  host = StartHost(16);
  EXPECT_TRUE(host->PerformAction(kTestGreetAction));
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
  EXPECT_EQ(host->PerformAction(ActionID{0x900099}).error(),
            "no plug-in performs the action 0x900099");
  ASSERT_TRUE(host->Shutdown());
  host.reset();

  // What a save killed mid-write leaves; the next start removes it, and only it.
  const auto home = fHome.configDir() / "layra";
  const auto temporary = home / ".workspace.lydb.layra-tmp-Zz9Yy8";
  ASSERT_TRUE(folivox::test::WriteWholeFile(temporary, "partial"));
  const char* const userFiles[] = {"doc.lyd.backup", "doc.lyd.orig01", "notes.backup",
                                   "layout.config", "workspace.lydb.before"};
  for (const char* name : userFiles)
    ASSERT_TRUE(folivox::test::WriteWholeFile(home / name, name));
  host = StartHost();
  EXPECT_EQ(Counter(*host), 2);
  EXPECT_TRUE(host->SetAsideWorkspace().empty());
  EXPECT_FALSE(std::filesystem::exists(temporary));
  for (const char* name : userFiles)
    EXPECT_EQ(folivox::test::ReadWholeFile(home / name), name);
}

TEST_F(HostWithPlugin, DocumentSignalsArriveInTheOrderOfOpenSaveSaveAsClose) {
  auto host = StartHost();
  const auto file = fHome.path() / "doc.lyd";
  ASSERT_TRUE(host->SaveDocumentAs(host->NewDocument(2, 612, 792), file));
  host->CloseDocument(host->FrontDocument());
  testing::internal::CaptureStdout();
  const layra::Result<UIDRef> opened = host->OpenDocument(file);
  ASSERT_EQ(opened.error(), "");
  const UIDRef document = opened.value();
  ASSERT_EQ(host->SaveDocument(document).error(), "");
  ASSERT_EQ(host->SaveDocumentAs(document, fHome.path() / "renamed.lyd").error(), "");
  host->CloseDocument(document);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "signal 0xe0f for object 1\n"
            "signal 0xe10 for object 1\nsignal 0xe11 for object 1\n"
            "signal 0x16301 for object 1\nsignal 0x16302 for object 1\n"
            "signal 0x503 for object 1\nsignal 0x504 for object 0\n");
  EXPECT_FALSE(host->FrontDocument().IsValid());
}

TEST_F(HostWithPlugin, DamagedWorkspaceIsSetAsideAndTheHostStartsClean) {
  const auto file = fHome.configDir() / "layra" / "workspace.lydb";
  {
    auto host = StartHost();
    EXPECT_TRUE(host->PerformAction(kTestIncrementAction));
  }
  // The workspace may hold passwords: it is for the user alone.
  EXPECT_EQ(folivox::test::PermissionBits(file), 0600u);
  EXPECT_EQ(folivox::test::PermissionBits(file.parent_path()), 0700u);
  const std::string good = folivox::test::ReadWholeFile(file);
  std::vector<std::pair<std::filesystem::path, std::string>> kept;
  for (const std::string& damaged : {good.substr(0, good.size() / 2), std::string("garbage")}) {
    ASSERT_TRUE(folivox::test::WriteWholeFile(file, damaged));
    auto host = StartHost();
    EXPECT_EQ(Counter(*host), 0);
    ASSERT_FALSE(host->SetAsideWorkspace().empty());
    kept.emplace_back(host->SetAsideWorkspace(), damaged);
    host.reset();
    EXPECT_NE(folivox::test::ReadWholeFile(file), damaged);
  }
  // Usually both within one second: neither replaces the other.
  EXPECT_NE(kept[0].first, kept[1].first);
  for (const auto& [name, damaged] : kept)
    EXPECT_EQ(folivox::test::ReadWholeFile(name), damaged);
}

TEST_F(HostWithPlugin, EachPluginKeepsItsStateAndAFailedOneSaysWhy) {
  const auto broken = fHome.path() / "broken-plugins";
  ASSERT_TRUE(folivox::test::WriteWholeFile(broken / "Broken.so", "not a library"));
  const auto host = layra::Host::Create(
                        layra::HostOptions{fHome.configDir() / "layra", {TEST_PLUGIN_DIR, broken}})
                        .value();
  host->Start();
  ASSERT_EQ(host->Plugins().size(), 2u);
  EXPECT_EQ(host->Plugins()[0].state, layra::PluginState::Loaded);
  EXPECT_EQ(host->Plugins()[1].state, layra::PluginState::Failed);
  EXPECT_NE(host->Plugins()[1].error.find("Broken.so"), std::string::npos);
  ASSERT_TRUE(host->Shutdown());
  EXPECT_EQ(host->Plugins()[0].state, layra::PluginState::Unloaded);
}

TEST_F(HostWithPlugin, PluginsLoadedButNeverStartedAreUnloadedWithTheHost) {
  folivox::test::CapturedOutput printed;
  {
    const auto host =
        layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra", {TEST_PLUGIN_DIR}})
            .value();
    host->Load();
  }
  EXPECT_NE(printed.Take().find("test plug-in unloaded\n"), std::string::npos);
}

// What the second plug-in takes from the first, a class or an implementation, is refused with
// one line that names it; the first plug-in keeps what it has.
TEST_F(HostWithPlugin, ClassOrImplementationTakenByAnotherPluginRefusesTheSecondPlugin) {
  const std::string first = std::string(TEST_PLUGIN_DIR) + "/TestPlugin.so";
  const struct {
    const char* folder;
    std::string error;
  } cases[] = {
      {TWIN_PLUGIN_DIR, std::string(TWIN_PLUGIN_DIR) +
                            "/TestPluginTwin.so declares the class 0x900001 (kTwinStartupBoss), "
                            "which " +
                            first + " registered already as kTestStartupBoss"},
      {COPY_PLUGIN_DIR, std::string(COPY_PLUGIN_DIR) +
                            "/TestPluginCopy.so could not register its implementations: "
                            "0x900000 is registered already by " +
                            first}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    layra::Alerts::Instance().ClearLog();
    testing::internal::CaptureStderr();
    const auto host = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                             {TEST_PLUGIN_DIR, c.folder}})
                          .value();
    host->Load();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "layra: " + c.error + "\n");
    host->Start();
    ASSERT_EQ(host->Plugins().size(), 2u);
    EXPECT_EQ(host->Plugins()[0].state, layra::PluginState::Loaded);
    EXPECT_EQ(host->Plugins()[1].state, layra::PluginState::Failed);
    EXPECT_EQ(host->Plugins()[1].error, c.error);
    // The first plug-in's start-up service is the one that ran.
    ASSERT_FALSE(layra::Alerts::Instance().Log().empty());
    EXPECT_EQ(layra::Alerts::Instance().Log()[0].message, "Test plug-in started");
    EXPECT_TRUE(host->PerformAction(kTestGreetAction));
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

TEST(LayraProgram, NewDocumentSavesAgainAndTheSamplesOpen) {
  TempHome home;
  const std::string file = (home.path() / "blank.lyd").string();
  const std::string layra = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                            " --plugins " + TEST_PLUGIN_DIR + " --answer first ";
  ASSERT_EQ(std::system((std::string(LAYRA_PROGRAM) + " new " + file +
                         " --pages 3 --size 500x700 </dev/null")
                            .c_str()),
            0);
  const std::string written = folivox::test::ReadWholeFile(file);
  EXPECT_NE(written.find("<page width=\"500\" height=\"700\">"), std::string::npos);
  EXPECT_EQ(std::system((layra + file + " --save </dev/null >/dev/null 2>&1").c_str()), 0);
  EXPECT_EQ(folivox::test::ReadWholeFile(file), written);
  for (const char* sample : {"08_12_05_005-008.lyd", "08_12_05_012.lyd"})
    EXPECT_EQ(
        std::system((layra + SAMPLES_DIR + "/" + sample + " </dev/null >/dev/null 2>&1").c_str()),
        0)
        << sample;
}

struct Outcome {
  int status;
  std::string output;
};

Outcome RunLayra(const std::string& arguments) {
  const std::string command = std::string(LAYRA_PROGRAM) + " " + arguments + " </dev/null 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  char chunk[512];
  while (std::size_t count = std::fread(chunk, 1, sizeof chunk, pipe.get()))
    output.append(chunk, count);
  const int status = ::pclose(pipe.release());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Each mistake gets one line naming it, before the plug-ins start (no start-up alert), and a
// non-zero exit; nothing on disk changes.
TEST(LayraProgram, RefusesBadArgumentsWithOneLineBeforeStartUp) {
  TempHome home;
  const std::string folder = home.path().string();
  const std::string session = "--home " + folder + " --plugins " + TEST_PLUGIN_DIR + " ";
  const std::string existing = folder + "/kept.lyd";
  ASSERT_TRUE(folivox::test::WriteWholeFile(existing, "not blank"));
  std::filesystem::create_directories(home.path() / "broken" / "workspace.lydb");
  const struct {
    std::string arguments;
    std::string message;
  } cases[] = {
      {session + folder, folder + " is a folder, not a file"},
      {session + folder + "/missing.lyd", "cannot open " + folder + "/missing.lyd: No such file"},
      {"--home " + folder + "/broken --plugins " + TEST_PLUGIN_DIR,
       "the workspace " + folder + "/broken/workspace.lydb is a folder"},
      {session + "--do 0x123", "unknown action 0x123"},
      {"--bogus", "unknown option --bogus"},
      {"--home", "--home needs a value"},
      {"--pages 3", "--pages is for layra new only"},
      {"new " + existing, existing + " already exists; give --force to replace it"},
      {"new " + folder + "/a.lyd " + existing, "layra new writes one file and takes no other"},
      {"new " + folder + "/a.lyd --do 0x900001", "layra new does not take --do"},
      {"new " + folder + "/a.lyd --history", "layra new does not take --history"},
      {"--history abc", "--history takes a count of sends, not abc"},
      {"--history 0 --answer first", "--history takes a count of sends, not 0"},
      {"--history 3 --resend", "two commands at once: --history and --resend; give one"},
      {"--discard-pending --check-connection",
       "two commands at once: --discard-pending and --check-connection; give one"},
      {"--resend --resend", "--resend is given twice"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunLayra(c.arguments);
    EXPECT_EQ(outcome.status, 2) << c.arguments;
    EXPECT_EQ(outcome.output.find("layra: " + c.message), 0u) << outcome.output;
    // Plug-ins loaded before the refusal are still unloaded, and the test plug-in says so.
    std::string said = outcome.output;
    if (const std::size_t unloaded = said.find("test plug-in unloaded\n"); unloaded != said.npos)
      said.erase(unloaded, std::strlen("test plug-in unloaded\n"));
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << outcome.output;
  }
  EXPECT_EQ(folivox::test::ReadWholeFile(existing), "not blank");
  EXPECT_FALSE(std::filesystem::exists(folder + "/a.lyd"));
  EXPECT_EQ(RunLayra("new " + existing + " --force").status, 0);
  EXPECT_NE(folivox::test::ReadWholeFile(existing).find("<page"), std::string::npos);
}

TEST(LayraProgram, RunsActionsAndNeedsItsPluginFolder) {
  TempHome home;
  const std::string base = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                           " --plugins " + TEST_PLUGIN_DIR + " --answer first";
  EXPECT_EQ(std::system((base + " --do 0x900001 0x900002 </dev/null 2>/dev/null").c_str()), 0);
  EXPECT_NE(
      std::system(
          (std::string(LAYRA_PROGRAM) + " --plugins /nonexistent </dev/null 2>/dev/null").c_str()),
      0);
}

// An alert is asked on the terminal only where the question is seen and can be answered;
// anywhere else its default button is taken at once, so that no run waits on a terminal.
TEST(LayraProgram, AsksOnATerminalOnlyWhereTheQuestionIsSeen) {
  TempHome home;
  const std::string layra = std::string(LAYRA_PROGRAM) + " --home " + home.path().string() +
                            " --plugins " + TEST_PLUGIN_DIR;
  const struct {
    std::string command;
    bool asked;
  } cases[] = {
      {layra, true},
      {layra + " 2>/dev/null", false},
      {"env QT_QPA_PLATFORM=offscreen " + layra + " --gui --screenshot " +
           (home.path() / "window.png").string(),
       false},
  };
  for (const auto& c : cases) {
    const folivox::test::Ran ran = folivox::test::RunOnTerminal(
        c.command,
        "Choose [1]: ", [](pid_t, int terminal) { EXPECT_EQ(::write(terminal, "\n", 1), 1); },
        std::chrono::seconds(60));
    EXPECT_EQ(ran.status, 0) << c.command << "\n" << ran.err;
    EXPECT_EQ(ran.err.find("Choose [1]: ") != std::string::npos, c.asked) << c.command;
  }
}

// Both programs, headless and with the window, answer a command line alike: the same
// sentence for the same fault, before any start-up service runs, and the same status.
TEST(LayraProgram, BothProgramsRefuseAndAnswerAlike) {
  TempHome home;
  folivox::test::TempDir folder;
  const auto bad = folder.path() / "bad.lyd";
  ASSERT_TRUE(folivox::test::WriteWholeFile(
      bad, "<layra-document version=\"1\">\n<page width=\"5\" height=\"5\"/>\n<story id=\"s\">\n"
           "Hello\n"));
  const auto broken = folder.path() / "broken";
  ASSERT_TRUE(folivox::test::WriteWholeFile(broken / "Broken.so", "not a library"));
  const folivox::test::ScopedVariable offscreen("QT_QPA_PLATFORM", "offscreen");
  const std::string plugins = std::string(" --plugins ") + TEST_PLUGIN_DIR;
  struct Case {
    std::string arguments;
    int status;
    std::string printed;  // how standard output begins
    std::string reported; // how standard error ends
    bool started = false; // whether the start-up services ran
  };
  const Case cases[] = {
      {"-h", 0, "usage: layra", ""},
      {"--help", 0, "usage: layra", ""},
      {"--version", 0, "layra 6.0\n", ""},
      {"--home ''", 2, "",
       "layra: --home needs a name; it was given an empty one (layra --help shows the "
       "usage)\n"},
      {plugins + " " + (folder.path() / "missing.lyd").string(), 2, "",
       "layra: cannot open " + (folder.path() / "missing.lyd").string() +
           ": No such file or directory\n"},
      {plugins + " " + bad.string(), 2, "",
       "layra: " + bad.string() +
           ": XML error on line 5: Premature end of data in tag story begun on line 3\n",
       true},
      {" --plugins " + broken.string(), 2, "",
       "layra: no plug-in of the 1 found in " + broken.string() + " could be loaded\n"}};
  for (const char* window : {"", " --gui"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(window + (" " + c.arguments));
      const auto out = folder.path() / "out";
      const auto err = folder.path() / "err";
      const std::string command = std::string(LAYRA_PROGRAM) + window + " --answer first --home " +
                                  home.path().string() + " " + c.arguments + " </dev/null >" +
                                  out.string() + " 2>" + err.string();
      EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), c.status);
      EXPECT_TRUE(folivox::test::ReadWholeFile(out).starts_with(c.printed));
      const std::string reported = folivox::test::ReadWholeFile(err);
      EXPECT_TRUE(reported.ends_with(c.reported)) << reported;
      EXPECT_EQ(reported.find("Test plug-in started") != std::string::npos, c.started);
    }
  }
}

} // namespace
