// What a re-send costs against the send it stands in for: the upload of a pending batch of
// 192 files (48 pages, three previews and a manifest each) by "Re-send unsent files", against
// the upload phase of a normal send of the same files, in the same order, to the same local
// FTP server, in turns in the same run (goal: ratio <= 1.1). Both report to a send session,
// record each file sent and leave a history record; the re-send also reads its batch, asks the
// server whether its first file arrived already, and closes the batch.

#include "PublishingSetup.h"
#include "SilencedStdout.h"
#include "WholeFile.h"

#include "publish/FolivoActionComponent.h"
#include "publish/FtpUpload.h"
#include "publish/PendingBatches.h"
#include "publish/PublishNames.h"
#include "publish/SendSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <numeric>

namespace {

using Clock = std::chrono::steady_clock;
using folivox::test::PublishingSetup;

constexpr int kPages = 48;
constexpr int kRounds = 25;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

/** The bytes of one page's four files, as a real send rendered them. */
std::vector<std::string> OnePageOfFiles(PublishingSetup& setup) {
  setup.OpenDocument("08_12_05_012.lyd", 1);
  setup.Send();
  std::vector<std::string> bytes;
  for (const std::string& path : setup.ftp().storedPaths())
    bytes.push_back(setup.ftp().ReadFile(path.substr(1)).value_or(""));
  return bytes;
}

/** 192 files of a send, in its upload order: every preview, then every manifest. */
std::vector<PendingFile> NameFiles(int round) {
  const char* const endings[] = {"-lowquality.jpg", "-medquality.jpg", "-highquality.jpg"};
  const IssueDate date{"26", "12", "07", "A"};
  std::vector<PendingFile> previews;
  std::vector<PendingFile> manifests;
  for (int p = 1; p <= kPages; ++p) {
    for (std::size_t k = 0; k <= 3; ++k) {
      const std::string name = PublishFileName(date, p, round, k < 3 ? endings[k] : ".xml");
      (k < 3 ? previews : manifests).push_back({p, name, RemoteLocation("", date, p, name)});
    }
  }
  previews.insert(previews.end(), manifests.begin(), manifests.end());
  return previews;
}

/** Writes each file's bytes, as the send's rendering and manifests do. */
void FillFiles(const std::vector<PendingFile>& files, const std::vector<std::string>& page) {
  for (std::size_t k = 0; k < files.size(); ++k) {
    const bool manifest = k >= files.size() * 3 / 4;
    folivox::test::WriteWholeFile(PendingFilePath(files[k]), page.at(manifest ? 3 : k % 3));
  }
}

// The upload phase of a send whose files are made and recorded, as the send leaves them.
double NormalUpload(PublishingSetup& setup, FolivoActionComponent& sender,
                    const std::vector<PendingFile>& files, const std::vector<std::string>& page) {
  const std::string ftpUrl = setup.ftp().urlWithLogin() + "/pages";
  Clock::time_point start;
  {
    SendSession session(SendOrigin::kAsked);
    UploadHandleScope transfer;
    session.SetDocument("26_12_07_001-048.lyd");
    session.SetPages(1, kPages);
    session.SetServer(ftpUrl);
    session.TakeRecordsLock();
    session.PlanFiles(files);
    FillFiles(files, page);
    std::vector<std::size_t> all(files.size());
    std::iota(all.begin(), all.end(), 0);
    session.FilesMade(all);
    start = Clock::now();
    const std::vector<UploadItem> items = session.UploadPlan();
    if (UploadItems(sender, ftpUrl, LoginOf(ftpUrl), items, &session) == items.size())
      session.Sent();
  }
  return Seconds(start);
}

double Resend(PublishingSetup& setup, FolivoActionComponent& sender, std::vector<PendingFile> files,
              const std::vector<std::string>& page) {
  FillFiles(files, page);
  for (PendingFile& file : files) {
    file.step = FileStep::kMade;
    file.identity = platform::IdentityOf(PendingFilePath(file));
  }
  const std::int64_t now = std::time(nullptr);
  const PendingBatch batch{NewBatchId(now),
                           now,
                           "26_12_07_001-048.lyd",
                           1,
                           kPages,
                           ServerShown(setup.ftp().urlWithLogin() + "/pages"),
                           files,
                           BatchState::kPending};
  RecordBatch(batch);
  RecordSteps(batch.id, files);
  const auto start = Clock::now();
  sender.ResendUnsent();
  return Seconds(start);
}

} // namespace

int main() {
  PublishingSetup setup;
  if (!setup.Start()) {
    std::fprintf(stderr, "cannot start the servers\n");
    return 1;
  }
  std::vector<double> normal;
  std::vector<double> resent;
  std::size_t stored = 0;
  {
    SilencedStdout quiet;
    const std::vector<std::string> page = OnePageOfFiles(setup);
    // The plug-in's code as this program links it, with the configuration read once, as a
    // running host has it.
    FolivoActionComponent sender(nullptr);
    sender.AcquireConfiguration();
    for (int round = 0; round < kRounds; ++round) {
      // In turns, each first every other round.
      for (int turn = 0; turn < 2; ++turn) {
        const bool resendFirst = round % 2 == 1;
        const std::vector<PendingFile> files = NameFiles(2 * round + turn);
        if ((turn == 0) == resendFirst)
          resent.push_back(Resend(setup, sender, files, page));
        else
          normal.push_back(NormalUpload(setup, sender, files, page));
      }
    }
    stored = setup.ftp().storedPaths().size();
  }
  const double ratio = Median(resent) / Median(normal);
  std::printf("files per upload              %d\n", kPages * 4);
  std::printf("files stored                  %zu (of %d)\n", stored, 4 + 2 * kRounds * kPages * 4);
  std::printf("left in the working folder    %zu\n", setup.LeftInWorkingFolder().size());
  std::printf("normal upload, median         %.3f s\n", Median(normal));
  std::printf("re-send, median               %.3f s\n", Median(resent));
  std::printf("ratio re-send / normal        %.3f (goal <= 1.1)\n", ratio);
  return 0;
}
