// What a send tells and keeps around the send itself: its progress, a cancel, the line that
// says how it ended, the send history and the command line's statuses.

#include "PublishingSetup.h"
#include "TempDir.h"
#include "WholeFile.h"

#include "panel/FolivoTreeInformator.h"
#include "publish/SendHistory.h"

#include <layra/host/Alerts.h>
#include <layra/host/Progress.h>

#include <gtest/gtest.h>

#include <csignal>
#include <pty.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace folivox::test {
namespace {

/** Everything the send showed, and a cancel once it uploads file `cancelAt` (0: never). */
class Watcher : public layra::ProgressPresenter {
public:
  explicit Watcher(int cancelAt = 0)
      : fCancelAt("Uploading file " + std::to_string(cancelAt) + " of") {
    layra::SetProgressPresenter(this);
    layra::ClearResults();
  }
  ~Watcher() override { layra::SetProgressPresenter(nullptr); }
  void Begin(const layra::ProgressState& state) override { Heard(state); }
  void Update(const layra::ProgressState& state) override { Heard(state); }
  void End() override {}
  void Poll() override {
    if (fCancelAt != "Uploading file 0 of" && fLast.starts_with(fCancelAt))
      layra::CancelTask();
  }
  void Result(const layra::ResultRecord&) override {}

  std::vector<std::string> texts;
  std::vector<std::int32_t> done;

private:
  void Heard(const layra::ProgressState& state) {
    texts.push_back(state.title + " | " + state.text);
    done.push_back(state.done);
    fLast = state.text;
  }
  std::string fCancelAt;
  std::string fLast;
};

std::string Outcomes(const SendRecord& record) {
  std::string words;
  for (const SentFile& file : record.files)
    words += std::string(words.empty() ? "" : " ") + OutcomeWord(file.outcome);
  return words;
}

// One page of three variants is four files a send; the server refuses its 7th STOR, which is
// the third file of the second send.
TEST(SendRecord, SentFailedAndCancelledSendsAreToldAndKeptWithoutThePassword) {
  FtpTestServerOptions options;
  options.failStor = 7;
  PublishingSetup setup(options);
  ASSERT_TRUE(setup.Start());
  setup.OpenDocument("08_12_05_012.lyd", 1);
  const std::string password = setup.ftp().password();
  Watcher watcher;
  setup.Send();
  ASSERT_EQ(layra::Results().size(), 1u);
  EXPECT_EQ(layra::Results()[0].outcome, TaskResult::kDone);
  EXPECT_TRUE(layra::Results()[0].line.starts_with("Sent page 12: 4 files, "))
      << layra::Results()[0].line;
  EXPECT_NE(layra::Results()[0].line.find(" to ftp://folivox@127.0.0.1:"), std::string::npos);
  // The progress went forward to its end, saying each phase.
  ASSERT_FALSE(watcher.done.empty());
  EXPECT_TRUE(std::is_sorted(watcher.done.begin(), watcher.done.end()));
  EXPECT_EQ(watcher.done.back(), 3 + 1 + 4);
  const auto said = [&](const std::string& piece) {
    return std::any_of(watcher.texts.begin(), watcher.texts.end(), [&](const std::string& text) {
      return text.find(piece) != std::string::npos;
    });
  };
  EXPECT_TRUE(said("Sending page 12 of 08_12_05_012.lyd | Rendered the previews of page 12"));
  EXPECT_TRUE(said("Wrote the manifest of page 12"));
  EXPECT_TRUE(said("Uploading file 4 of 4: 08_12_05..012_"));

  setup.Send();
  ASSERT_EQ(layra::Alerts::Instance().Log().size(), 1u); // the upload's alert, as always
  EXPECT_EQ(layra::Results()[1].outcome, TaskResult::kFailed);
  EXPECT_TRUE(layra::Results()[1].line.starts_with("Send failed: page 12, file 08_12_05..012_"))
      << layra::Results()[1].line;
  EXPECT_NE(layra::Results()[1].line.find("(2 of 4 files sent)"), std::string::npos);

  Watcher cancelling(3);
  setup.Send();
  ASSERT_EQ(layra::Results().size(), 1u);
  EXPECT_EQ(layra::Results()[0].outcome, TaskResult::kCancelled);
  EXPECT_EQ(layra::Results()[0].line, "Send cancelled: 2 of 4 files sent");
  EXPECT_EQ(layra::Alerts::Instance().Log().size(), 1u) << "a cancel raises no alert";

  const std::vector<SendRecord>& history = SendHistory();
  ASSERT_EQ(history.size(), 3u);
  EXPECT_EQ(history[0].outcome, SendOutcome::kSent);
  EXPECT_EQ(Outcomes(history[0]), "sent sent sent sent");
  EXPECT_EQ(history[1].outcome, SendOutcome::kFailed);
  EXPECT_EQ(Outcomes(history[1]), "sent sent failed unsent");
  EXPECT_EQ(history[2].outcome, SendOutcome::kCancelled);
  EXPECT_EQ(Outcomes(history[2]), "sent sent unsent unsent");
  // The files a cancel did not reach stay for the next send.
  for (const SentFile& file : history[2].files)
    EXPECT_EQ(std::filesystem::exists(setup.workingFolder() / file.name),
              file.outcome == FileOutcome::kUnsent)
        << file.name;
  for (const SendRecord& record : history) {
    EXPECT_EQ(record.document, "08_12_05_012.lyd");
    EXPECT_EQ(record.firstPage, 12);
    EXPECT_TRUE(record.server.starts_with("ftp://folivox@127.0.0.1:")) << record.server;
  }
  const std::string file = ReadWholeFile(SendHistoryFile());
  EXPECT_EQ(file.find(password), std::string::npos);
  for (const std::string& text : watcher.texts)
    EXPECT_EQ(text.find(password), std::string::npos) << text;
  struct stat mode {};
  ASSERT_EQ(::stat(SendHistoryFile().c_str(), &mode), 0);
  EXPECT_EQ(mode.st_mode & 0777, 0600u);
}

// The send before a save says it belongs to the save; one that sends nothing is no fault there.
TEST(SendRecord, ASaveSaysItSentAndADocumentThatIsNoSectionSavesWithoutFault) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start());
  Watcher watcher;
  const UIDRef section = setup.OpenDocument("08_12_05_012.lyd", 1);
  ASSERT_TRUE(setup.host().SaveDocument(section, nullptr));
  const UIDRef other = setup.OpenDocument("notes.lyd", 1);
  ASSERT_TRUE(setup.host().SaveDocument(other, nullptr));
  ASSERT_EQ(layra::Results().size(), 2u);
  EXPECT_TRUE(layra::Results()[0].line.starts_with("Sent page 12 before saving: 4 files, "))
      << layra::Results()[0].line;
  EXPECT_EQ(layra::Results()[1].line,
            "Nothing sent before saving: the document name \"notes.lyd\" matches no rule of the "
            "configuration");
  EXPECT_EQ(layra::Results()[1].outcome, TaskResult::kDone);
  ASSERT_EQ(SendHistory().size(), 2u);
  EXPECT_TRUE(SendHistory()[0].beforeSave);
}

TEST(SendRecord, ADamagedOrCutLineIsSkippedAndTheFileIsBoundedToTheLastThousand) {
  TempHome home;
  SendRecord record;
  record.document = "tab\there\nand a line feed\\";
  record.files = {{5, "a\tb.jpg", 12, FileOutcome::kSent}};
  for (std::size_t i = 0; i < kSendHistoryLimit + kSendHistoryLimit / 10; ++i) {
    record.when = static_cast<std::int64_t>(i);
    ASSERT_TRUE(AppendSendRecord(record));
  }
  EXPECT_EQ(SendHistory().size(), kSendHistoryLimit + kSendHistoryLimit / 10);
  record.when = 5000;
  ASSERT_TRUE(AppendSendRecord(record));
  // One past the slack: cut back in one step to the last thousand, newest last.
  ASSERT_EQ(SendHistory().size(), kSendHistoryLimit);
  EXPECT_EQ(SendHistory().back().when, 5000);
  EXPECT_EQ(SendHistory().back().document, record.document);
  EXPECT_EQ(SendHistory().back().files[0].name, "a\tb.jpg");
  // A line in the middle damaged, and a last line a crash cut short: both left out.
  std::string text = ReadWholeFile(SendHistoryFile());
  text.replace(text.find("\tnothing\t"), 9, "\tnothnig\t");
  WriteWholeFile(SendHistoryFile(), text + "1\t7\tsent\t0\tcut");
  EXPECT_EQ(SendHistory().size(), kSendHistoryLimit - 1);
}

/** Runs the layra program; its standard error, and its exit status. */
struct Ran {
  std::string err;
  int status = -1;
};

std::string Layra(PublishingSetup& setup) {
  return std::string(LAYRA_PROGRAM) + " --home " + (setup.home().configDir() / "layra").string() +
         " --plugins " FOLIVOX_PLUGIN_DIR " --answer first";
}

Ran RunLayra(const std::string& arguments) {
  TempDir folder;
  const auto err = folder.path() / "err";
  const int status = std::system((arguments + " >/dev/null 2>" + err.string()).c_str());
  return {ReadWholeFile(err), WEXITSTATUS(status)};
}

/** Runs the layra program with its standard error on a pseudo-terminal; what it wrote there
 *  and its exit status. `interrupt` sends it a Ctrl+C once it wrote that text. */
Ran RunOnTerminal(const std::string& arguments, const std::string& interrupt = {}) {
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    // exec: the program itself gets the Ctrl+C, not a shell in front of it.
    ::execl("/bin/sh", "sh", "-c", ("exec " + arguments + " </dev/null >/dev/null").c_str(),
            nullptr);
    ::_exit(127);
  }
  Ran run;
  char buffer[4096];
  bool interrupted = false;
  for (;;) {
    const ssize_t n = ::read(terminal, buffer, sizeof buffer);
    if (n <= 0)
      break;
    run.err.append(buffer, static_cast<std::size_t>(n));
    if (!interrupt.empty() && !interrupted && run.err.find(interrupt) != std::string::npos) {
      interrupted = true;
      ::kill(child, SIGINT); // what Ctrl+C on the terminal does to its foreground program
    }
  }
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TEST(SendRecord, TheCommandLineShowsProgressOnlyOnATerminalAndExitsWithItsOwnStatuses) {
  FtpTestServerOptions options;
  options.stallStor = 6; // the second send's second file
  PublishingSetup setup(options);
  ASSERT_TRUE(setup.Start());
  setup.OpenDocument("08_12_05_012.lyd", 1);
  setup.OpenDocument("notasection.lyd", 1);
  const std::string section = (setup.home().path() / "08_12_05_012.lyd").string();
  const std::string send = Layra(setup) + " --do 0x122511 ";

  const Ran piped = RunLayra(send + section);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(piped.err.find('\r'), std::string::npos) << "no progress off a terminal";
  EXPECT_NE(piped.err.find("Sent page 12: 4 files, "), std::string::npos) << piped.err;

  const Ran shown = RunOnTerminal(send + section, "Uploading file 2 of 4");
  EXPECT_EQ(shown.status, 4) << shown.err;
  EXPECT_NE(shown.err.find("\rSending page 12 of 08_12_05_012.lyd [5/8] Uploading file 2 of 4: "),
            std::string::npos)
      << shown.err;
  EXPECT_NE(shown.err.find("Send cancelled: 1 of 4 files sent"), std::string::npos) << shown.err;
  EXPECT_EQ(shown.err.find(setup.ftp().password()), std::string::npos);

  const Ran nothing = RunLayra(send + (setup.home().path() / "notasection.lyd").string());
  EXPECT_EQ(nothing.status, 5) << nothing.err;
  EXPECT_NE(nothing.err.find("Nothing sent: the document name \"notasection.lyd\" matches no "
                             "rule of the configuration"),
            std::string::npos)
      << nothing.err;

  TempDir folder;
  const int listed = std::system(
      (Layra(setup) + " --history 2 >" + (folder.path() / "out").string() + " 2>/dev/null")
          .c_str());
  EXPECT_EQ(WEXITSTATUS(listed), 0);
  const std::string history = ReadWholeFile(folder.path() / "out");
  EXPECT_NE(history.find("  nothing  notasection.lyd  0 of 0 files"), std::string::npos) << history;
  EXPECT_EQ(history.find("  sent  08_12_05_012.lyd"), std::string::npos) << "only the last two";
  EXPECT_NE(history.find("  cancelled  08_12_05_012.lyd  page 12  1 of 4 files"), std::string::npos)
      << history;
  // The plug-in's own traces may come between (its update check reports when it is done).
  std::istringstream lines(history);
  int records = 0;
  for (std::string line; std::getline(lines, line);)
    records += line.starts_with("20") && line.find("  08_12_05_") != std::string::npos ? 1 : 0;
  EXPECT_EQ(records, 1) << history;
}

TEST(SendRecord, AKillDuringASendLeavesTheEarlierRecordsReadable) {
  FtpTestServerOptions options;
  options.stallStor = 5; // the first file of the second send
  PublishingSetup setup(options);
  ASSERT_TRUE(setup.Start());
  setup.OpenDocument("08_12_05_012.lyd", 1);
  setup.Send();
  ASSERT_EQ(SendHistory().size(), 1u);
  const std::string before = ReadWholeFile(SendHistoryFile());

  const pid_t child = ::fork();
  if (child == 0) {
    const std::string command = Layra(setup) + " --do 0x122511 " +
                                (setup.home().path() / "08_12_05_012.lyd").string() +
                                " >/dev/null 2>&1";
    ::execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
    ::_exit(127);
  }
  // Killed while it waits for the server, in the middle of its send.
  while (setup.ftp().storedPaths().size() < 5)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(ReadWholeFile(SendHistoryFile()), before);
  ASSERT_EQ(SendHistory().size(), 1u);
  EXPECT_EQ(SendHistory()[0].outcome, SendOutcome::kSent);
}

} // namespace
} // namespace folivox::test
