// What the records kept around the sends promise against kills, a second process and files
// that are not ours: every file a send makes reaches the server once or waits in an open
// batch, and nothing the records do not prove ours is sent, deleted or written through.

#include "LayraRuns.h"
#include "PublishingSetup.h"
#include "RunCommand.h"
#include "WholeFile.h"

#include "publish/PendingBatches.h"
#include "publish/PublishNames.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"
#include "publish/WorkingFolder.h"

#include <layra/host/Alerts.h>
#include <layra/host/Automation.h>
#include <layra/host/Progress.h>

#include <gtest/gtest.h>

#include <future>
#include <map>
#include <sys/stat.h>

namespace folivox::test {
namespace {

constexpr ActionID kResend{0x122514};

// One preview a page: two files a one-page send, so that killing it at every step stays quick.
ConfigurationText OneVariant() {
  return {.variants = "  <PREVQUALITY XSCALE=\"0.25\" YSCALE=\"0.25\" DPI=\"72\" "
                      "JPEGQUALITY=\"50\" STRING=\"-small\"/>\n"};
}

// The layra program with the kill shim preloaded: it dies before its `at`th change to a file
// whose path begins with `under` (only changes of kind `only`, when given).
std::string Killed(const std::filesystem::path& under, long at, const std::string& only = {}) {
  return "env LD_PRELOAD=" FOLIVOX_KILL_SHIM " ASAN_OPTIONS=verify_asan_link_order=0 "
         "FOLIVOX_KILL_UNDER=" +
         under.string() + " FOLIVOX_KILL_AT=" + std::to_string(at) +
         (only.empty() ? "" : " FOLIVOX_KILL_ONLY=" + only) + " ";
}

std::string SendCommand(PublishingSetup& setup, const std::string& document) {
  return Layra(setup) + " --do 0x122511 " + (setup.home().path() / document).string();
}

// A one-page section for `page`, saved in the home folder.
std::string Section(PublishingSetup& setup, int page) {
  const std::string document = "08_12_05_" + std::to_string(page) + ".lyd";
  setup.OpenDocument(document, 1);
  return document;
}

// A batch of `document`'s two files, the first of which the server has though the records do
// not say so: the send died as it was about to record it (its fifth write to the records, after
// the batch, the files made empty, the preview and the manifest made).
void LeaveABatch(PublishingSetup& setup, const std::string& document) {
  const Ran died = RunCommand(Killed(setup.workingFolder() / kPendingFileName, 5, "write") +
                              SendCommand(setup, document));
  ASSERT_TRUE(died.killed) << died.err;
}

// How often the server was asked to store each file, by name, and where it put it.
struct Stores {
  explicit Stores(const FtpTestServer& ftp) {
    for (const std::string& path : ftp.storedPaths()) {
      const std::string name = path.substr(path.rfind('/') + 1);
      ++count[name];
      where[name] = path.substr(1);
    }
  }
  std::map<std::string, int> count;
  std::map<std::string, std::string> where;
};

std::optional<PendingBatch> BatchOf(const std::string& document) {
  for (const PendingBatch& batch : ReadBatches())
    if (batch.document == document)
      return batch;
  return std::nullopt;
}

// Right after a kill: no file was stored twice, and each file of the send is on the server or
// waits, unsent, in its open batch.
void ExpectNothingTwiceNorLost(PublishingSetup& setup, const std::string& document,
                               const std::string& when) {
  const Stores stores(setup.ftp());
  for (const auto& [name, count] : stores.count)
    EXPECT_EQ(count, 1) << name << ", " << when;
  const std::optional<PendingBatch> batch = BatchOf(document);
  for (const PendingFile& file : batch ? batch->files : std::vector<PendingFile>{}) {
    const bool waiting = batch->state == BatchState::kPending && file.step < FileStep::kSent;
    EXPECT_TRUE(stores.count.contains(file.name) || waiting) << file.name << ", " << when;
    EXPECT_TRUE(file.step != FileStep::kSent || stores.count.contains(file.name))
        << file.name << ", " << when;
  }
}

// After a re-send that ran to its end: every file of the send is on the server once and whole,
// unless the send died before its upload began and its batch was discarded; nothing waits and
// nothing is left in the working folder.
void ExpectDeliveredOnce(PublishingSetup& setup, const std::string& document,
                         const std::string& when) {
  const Stores stores(setup.ftp());
  for (const auto& [name, count] : stores.count)
    EXPECT_EQ(count, 1) << name << ", " << when;
  if (const std::optional<PendingBatch> batch = BatchOf(document)) {
    for (const PendingFile& file : batch->files) {
      if (batch->state != BatchState::kSent) {
        EXPECT_EQ(batch->state, BatchState::kDiscarded) << when;
        EXPECT_FALSE(stores.count.contains(file.name)) << file.name << ", " << when;
        continue;
      }
      const auto stored = stores.where.find(file.name);
      ASSERT_NE(stored, stores.where.end()) << file.name << ", " << when;
      ASSERT_TRUE(file.identity) << when;
      EXPECT_EQ(setup.ftp().ReadFile(stored->second).value_or("").size(), file.identity->size)
          << file.name << ", " << when;
    }
  }
  EXPECT_TRUE(OpenBatches().empty()) << when;
  // A copy of the configuration killed mid-write leaves the host's temporary, which the next
  // copy removes.
  std::vector<std::string> left = setup.LeftInWorkingFolder();
  std::erase_if(left, [](const std::string& name) { return name.starts_with(".FolivoPref"); });
  EXPECT_EQ(left, std::vector<std::string>{}) << when;
}

// Killed before each of its changes on the disk in turn (records, files, deletions), a send and
// then a re-send are followed by a re-send that runs to its end.
TEST(Records, AKillAtAnyStepOfASendOrAResendLosesNothingAndSendsNothingTwice) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start(OneVariant()));
  const std::string resend = Layra(setup) + " --resend";
  int page = 100;
  // What is killed, and what it works on: a send of a new section, or the re-send of the batch
  // a send that died before recording its first file left.
  for (const bool killResend : {false, true}) {
    for (long at = 1;; ++at) {
      const std::string document = Section(setup, ++page);
      const std::string when =
          std::string(killResend ? "re-send" : "send") + " killed at change " + std::to_string(at);
      if (killResend)
        LeaveABatch(setup, document);
      const Ran killed = RunCommand(Killed(setup.workingFolder(), at) +
                                    (killResend ? resend : SendCommand(setup, document)));
      ExpectNothingTwiceNorLost(setup, document, when);
      RunCommand(resend);
      ExpectDeliveredOnce(setup, document, when);
      if (!killed.killed)
        break;
      ASSERT_LT(at, 200) << when << ": it never ends";
    }
  }
}

// Two re-sends and a send of another section at once, twenty times: the records' lock lets one
// process at a time at the batches, so each file goes once.
TEST(Records, SendsAndResendsOfThreeProcessesAtOnceLoseNothingAndSendNothingTwice) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start(OneVariant()));
  const std::string resend = Layra(setup) + " --resend";
  for (int round = 0; round < 20; ++round) {
    const std::string pending = Section(setup, 200 + round);
    const std::string other = Section(setup, 300 + round);
    LeaveABatch(setup, pending);
    std::vector<std::future<Ran>> runs;
    for (const std::string& command : {resend, resend, SendCommand(setup, other)})
      runs.push_back(std::async(std::launch::async, RunCommand, command));
    for (std::future<Ran>& run : runs)
      EXPECT_FALSE(run.get().killed);
    for (const std::string& document : {pending, other})
      ExpectDeliveredOnce(setup, document, "round " + std::to_string(round));
  }
  EXPECT_EQ(DamagedBatchLines(), 0u);
}

// Records that name what no send made (hand-edited, damaged, or from an earlier version): no
// re-send or discard uploads or deletes the user's file or the configuration.
TEST(Records, OnlyFilesTheRecordsProveOursAreSentOrDeleted) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start());
  const auto folder = setup.workingFolder();
  ASSERT_TRUE(WriteWholeFile(folder / "notes.txt", "private notes"));
  const auto notes = platform::IdentityOf((folder / "notes.txt").string());
  ASSERT_TRUE(notes);
  const std::string batch = "b\t1\t08_12_05_012.lyd\t12\t12\t" +
                            ServerShown(setup.ftp().urlWithLogin() + "/pages") + "\t1\t12\t";
  const std::string made = "\tmade\t" + std::to_string(notes->device) + "\t" +
                           std::to_string(notes->inode) + "\t" + std::to_string(notes->size + 1) +
                           "\t" + std::to_string(notes->modified) + "\n";
  const std::string nul("FolivoPref.xml\0.jpg", 19);
  for (const auto& [what, lines] : std::vector<std::pair<std::string, std::string>>{
           {"planned only", "plan\t" + batch + "notes.txt\t/08_12_05//12/notes.txt\n"},
           {"made, but another file now",
            "plan\t" + batch + "notes.txt\t/08_12_05//12/notes.txt\nstep\tb\tnotes.txt" + made},
           {"a NUL in the name", "plan\t" + batch + nul + "\t/08_12_05//12/x.jpg\n"},
           {"an earlier version's batch",
            "batch\t" + batch + "notes.txt\t/08_12_05//12/notes.txt\n"}}) {
    ASSERT_TRUE(WriteWholeFile(folder / kPendingFileName, lines));
    RunCommand(Layra(setup) + " --resend");
    RunCommand(Layra(setup) + " --discard-pending");
    EXPECT_EQ(ReadWholeFile(folder / "notes.txt"), "private notes") << what;
    EXPECT_TRUE(std::filesystem::exists(folder / kConfigurationFileName)) << what;
    EXPECT_EQ(setup.ftp().storedPaths(), std::vector<std::string>{}) << what;
  }
}

// Links planted at the names the next sends will take are not written through, and a FIFO in
// place of a record is refused at once instead of waited on.
TEST(Records, LinksAndFifosInPlaceOfOurFilesAreNeitherFollowedNorWaitedOn) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start(OneVariant()));
  setup.OpenDocument("08_12_05_012.lyd", 1);
  const auto folder = setup.workingFolder();
  const auto target = setup.home().path() / "elsewhere.txt";
  ASSERT_TRUE(WriteWholeFile(target, "precious"));
  ::chmod(target.c_str(), 0644);
  const std::int32_t now = CurrentTimeStamp();
  for (std::int32_t second = now; second <= now + 1; ++second)
    for (const char* ending : {"-small.jpg", ".xml"})
      std::filesystem::create_symlink(
          target, folder / PublishFileName({"08", "12", "05", ""}, 12, second, ending));
  layra::ClearResults();
  setup.Send();
  ASSERT_EQ(layra::Results().size(), 1u);
  EXPECT_EQ(layra::Results()[0].outcome, TaskResult::kDone) << layra::Results()[0].line;
  EXPECT_EQ(ReadWholeFile(target), "precious");
  struct stat mode {};
  ASSERT_EQ(::stat(target.c_str(), &mode), 0);
  EXPECT_EQ(mode.st_mode & 0777, 0644u);

  const std::size_t stored = setup.ftp().storedPaths().size();
  for (const char* record : {kPendingFileName, kSendHistoryFileName}) {
    std::filesystem::remove(folder / record);
    ASSERT_EQ(::mkfifo((folder / record).c_str(), 0600), 0);
    layra::ClearResults();
    setup.Send();
    ASSERT_EQ(layra::Results().size(), 1u) << record;
    std::filesystem::remove(folder / record);
  }
  // Without its record of unsent files a send does not begin; without its history it goes.
  EXPECT_EQ(setup.ftp().storedPaths().size(), stored + 2);
}

// A batch that cannot go (its server is no longer the configuration's) is said and passed over,
// the next one still goes, and the person may discard the first.
TEST(Records, ABatchThatCannotGoIsPassedOverAndCanBeDiscarded) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start(OneVariant()));
  const std::string stale = Section(setup, 5);
  const std::string fresh = Section(setup, 7);
  LeaveABatch(setup, stale);
  LeaveABatch(setup, fresh);
  const std::string server = ServerShown(setup.ftp().urlWithLogin() + "/pages");
  std::string records = ReadWholeFile(setup.workingFolder() / kPendingFileName);
  records.replace(records.find(server), server.size(), "ftp://folivox@elsewhere.invalid/pages");
  ASSERT_TRUE(WriteWholeFile(setup.workingFolder() / kPendingFileName, records));

  const Ran resent = RunCommand(Layra(setup) + " --resend");
  EXPECT_EQ(resent.status, 3) << resent.err;
  EXPECT_NE(resent.err.find("the configuration no longer sends to "
                            "ftp://folivox@elsewhere.invalid/pages"),
            std::string::npos)
      << resent.err;
  EXPECT_NE(resent.err.find("Re-sent 2 of 2 unsent files of " + fresh), std::string::npos)
      << resent.err;
  ASSERT_EQ(OpenBatches().size(), 1u);
  EXPECT_EQ(OpenBatches()[0].document, stale);

  const Ran discarded = RunCommand(Layra(setup) + " --discard-pending");
  EXPECT_EQ(discarded.status, 0) << discarded.err;
  EXPECT_NE(discarded.err.find("Discarded 2 unsent files of " + stale), std::string::npos)
      << discarded.err;
  EXPECT_TRUE(OpenBatches().empty());
  EXPECT_EQ(setup.LeftInWorkingFolder(), std::vector<std::string>{});

  // The history palette's button discards too, after asking.
  LeaveABatch(setup, Section(setup, 9));
  layra::Automation automation;
  layra::ClearResults();
  ASSERT_EQ(automation.ShowPalette("Send history").error(), "");
  ASSERT_EQ(automation.Press("Discard unsent files").error(), "");
  ASSERT_FALSE(layra::Results().empty());
  EXPECT_EQ(layra::Results().back().line, "Discarded 2 unsent files of 08_12_05_9.lyd");
  EXPECT_TRUE(OpenBatches().empty());
  EXPECT_EQ(setup.LeftInWorkingFolder(), std::vector<std::string>{});
}

// Cancels the task once it says it waits for another.
class CancelWhileWaiting : public layra::ProgressPresenter {
public:
  CancelWhileWaiting() { layra::SetProgressPresenter(this); }
  ~CancelWhileWaiting() override { layra::SetProgressPresenter(nullptr); }
  void Begin(const layra::ProgressState& state) override { Update(state); }
  void Update(const layra::ProgressState& state) override {
    waited = waited || state.text.starts_with("Waiting for another send");
  }
  void End() override {}
  void Poll() override {
    if (waited)
      layra::CancelTask();
  }
  void Result(const layra::ResultRecord&) override {}
  bool waited = false;
};

// While another process holds the records, a send waits, says why, and a cancel ends the wait
// before anything is made.
TEST(Records, ASendWaitsForAnotherAndACancelEndsTheWait) {
  PublishingSetup setup;
  ASSERT_TRUE(setup.Start(OneVariant()));
  setup.OpenDocument("08_12_05_012.lyd", 1);
  const std::optional<RecordsLock> other = RecordsLock::TryTake();
  ASSERT_TRUE(other);
  CancelWhileWaiting presenter;
  layra::ClearResults();
  setup.Send();
  EXPECT_TRUE(presenter.waited);
  ASSERT_EQ(layra::Results().size(), 1u);
  EXPECT_EQ(layra::Results()[0].outcome, TaskResult::kCancelled);
  EXPECT_TRUE(setup.ftp().storedPaths().empty());
  EXPECT_EQ(setup.LeftInWorkingFolder(), std::vector<std::string>{});
}

// An older batch keeps only the pages no newer send of its document delivered whole.
TEST(Records, PagesANewerSendDeliveredAreNeverSentFromAnOlderBatch) {
  TempHome home;
  const auto record = [](const std::string& id, std::vector<PendingFile> files) {
    PendingBatch batch{id, 1, "08_12_05_005-006.lyd", 5, 6, "ftp://u@host/pages", {}};
    for (PendingFile& file : files) {
      file.identity = platform::CreateExclusively(PendingFilePath(file));
      file.identity = platform::IdentityOf(PendingFilePath(file));
    }
    batch.files = files;
    EXPECT_TRUE(RecordBatch(batch));
    EXPECT_TRUE(RecordSteps(id, files));
    return batch;
  };
  const PendingFile older5{5, "a5.jpg", "/a5", FileStep::kMade};
  const PendingFile older6{6, "a6.jpg", "/a6", FileStep::kMade};
  record("older", {older5, older6});
  const PendingBatch newer = record(
      "newer", {{5, "b5.jpg", "/b5", FileStep::kSent}, {6, "b6.jpg", "/b6", FileStep::kMade}});
  EXPECT_EQ(SupersedeOlder(newer), 1u);
  const std::vector<PendingBatch> open = OpenBatches();
  ASSERT_EQ(open.size(), 2u);
  ASSERT_EQ(UnsentFiles(open[0]).size(), 1u);
  EXPECT_EQ(UnsentFiles(open[0])[0].name, "a6.jpg");
  EXPECT_FALSE(std::filesystem::exists(PendingFilePath(older5)));
  EXPECT_TRUE(std::filesystem::exists(PendingFilePath(older6)));
}

} // namespace
} // namespace folivox::test
