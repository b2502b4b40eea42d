// The cost of one "Send" of a 16-page section with the three default preview
// variants, against a local FTP server, and of its upload phase against two
// peers that upload the same 64 files: one curl process per file, and one
// curl command line that reuses its connection for all of them.

#include "PublishingSetup.h"
#include "WholeFile.h"

#include "publish/FolivoActionComponent.h"
#include "publish/FtpUpload.h"
#include "publish/PublishNames.h"

#include <layra/FileUtils.h>
#include <layra/IPageList.h>
#include <layra/SnapshotUtils.h>
#include <layra/StreamUtil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using folivox::test::PublishingSetup;

constexpr int kPages = 16;
constexpr int kSends = 40;
constexpr int kPeerRounds = 10;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index =
      static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

/** A 16-page section made of the sample's pages. */
std::string SixteenPageDocument() {
  const std::string sample = folivox::test::ReadWholeFile(SAMPLES_DIR "/08_12_05_005-008.lyd");
  const auto firstPage = sample.find("  <page ");
  const auto end = sample.find("</layra-document>");
  const std::string pages = sample.substr(firstPage, end - firstPage);
  return sample.substr(0, firstPage) + pages + pages + pages + pages + "</layra-document>\n";
}

struct UploadSet {
  Publication publication;
  std::vector<std::pair<std::string, std::string>> files; // name, bytes
};

/** The 64 files of one send, rendered once, with the places they go. */
UploadSet PrepareUploadSet(PublishingSetup& setup, const UIDRef& document) {
  UploadSet set;
  Publication& p = set.publication;
  p.ftpUrl = setup.ftp().urlWithLogin() + "/pages";
  p.login = setup.ftp().user() + ":" + setup.ftp().password();
  p.workingFolder = PMString(setup.workingFolder().string());
  p.date = IssueDate{"08", "12", "05", ""};
  p.first = 1;
  p.pageCount = kPages;
  p.variantCount = 3;
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  const double scales[] = {0.5, 1.0, 2.0};
  const char* suffixes[] = {"-lowquality.jpg", "-medquality.jpg", "-highquality.jpg"};
  for (int page = 0; page < kPages; ++page) {
    for (int v = 0; v < 3; ++v) {
      SnapshotUtils snapshot(UIDRef(document.GetDataBase(), pages->GetNthPageUID(page)), scales[v],
                             scales[v], 72, 72, 0, 0x1000, false, false, false, 2, 0, true, false);
      InterfacePtr<IPMStream> out(StreamUtil::CreateMemoryStreamWrite());
      snapshot.ExportImageToJPEG(out, kSSJPEGBaseline, v);
      const auto bytes = StreamUtil::GetMemoryStreamBytes(out);
      const std::string name = PublishFileName(p.date, page + 1, 1228435200, suffixes[v]);
      set.files.emplace_back(name, std::string(bytes.begin(), bytes.end()));
      p.previews.push_back({name, snapshot.GetWidth(), snapshot.GetHeight()});
    }
  }
  for (int page = 0; page < kPages; ++page) {
    const std::string name = PublishFileName(p.date, page + 1, 1228435200, ".xml");
    set.files.emplace_back(name, std::string(900, 'm'));
    p.manifests.push_back(IDFile(setup.workingFolder() / name));
  }
  return set;
}

void WriteFiles(const UploadSet& set, const std::filesystem::path& folder) {
  for (const auto& [name, bytes] : set.files)
    folivox::test::WriteWholeFile(folder / name, bytes);
}

/** Where each file goes, in upload order, as a URL without the login. */
std::vector<std::pair<std::string, std::string>> Destinations(const UploadSet& set,
                                                              const std::string& base) {
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t k = 0; k < set.files.size(); ++k) {
    const int page = k < 48 ? static_cast<int>(k / 3) + 1 : static_cast<int>(k - 48) + 1;
    out.emplace_back(set.files[k].first,
                     RemoteLocation(base, set.publication.date, page, set.files[k].first));
  }
  return out;
}

/** The processor time a process has used so far, in seconds; 0 when it cannot be read. */
double ProcessorSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // After the command name, which is in parentheses and may hold spaces, come the state
  // and ten more fields; the user and system times follow, in clock ticks.
  std::istringstream fields(line.substr(line.rfind(')') + 1));
  std::string skipped;
  for (int k = 0; k < 11; ++k)
    fields >> skipped;
  double user = 0, system = 0;
  fields >> user >> system;
  return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

int Run(const std::string& command) {
  return std::system(command.c_str());
}

/** The plug-in's traces would drown the figures; they go nowhere while this lives. */
class SilencedStdout {
public:
  SilencedStdout() : fSaved(::dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
  }
  ~SilencedStdout() {
    std::fflush(stdout);
    ::dup2(fSaved, STDOUT_FILENO);
    ::close(fSaved);
  }
  SilencedStdout(const SilencedStdout&) = delete;
  SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
  int fSaved;
};

} // namespace

int main() {
  PublishingSetup setup;
  if (!setup.Start()) {
    std::fprintf(stderr, "send_bench: the servers did not start\n");
    return 2;
  }
  const auto file = setup.home().path() / "08_12_05_001-016.lyd";
  folivox::test::WriteWholeFile(file, SixteenPageDocument());
  const UIDRef document = setup.host().OpenDocument(file, nullptr);
  auto silence = std::make_unique<SilencedStdout>();

  // Whole sends through the host and the plug-in.
  const int loginsBefore = setup.ftp().loginCount();
  std::vector<double> sends;
  for (int i = 0; i < kSends; ++i) {
    const auto start = Clock::now();
    setup.Send();
    sends.push_back(Seconds(start));
  }
  const int logins = setup.ftp().loginCount() - loginsBefore;
  const bool allSent =
      setup.LeftInWorkingFolder().empty() && layra::Alerts::Instance().Log().empty();

  // Our upload phase alone, on the same 64 files each time, and in the same rounds the
  // peers, which upload the same files to the same places with the curl program. Taking
  // turns keeps a busy machine from favouring either side.
  UploadSet set = PrepareUploadSet(setup, document);
  FolivoActionComponent sender(nullptr);
  const auto peerFolder = setup.home().path() / "peer";
  std::filesystem::create_directories(peerFolder);
  WriteFiles(set, peerFolder);
  const auto destinations = Destinations(set, setup.ftp().url() + "/peer");
  const std::string curl = "curl -s -S --ftp-create-dirs -u " + set.publication.login;
  std::string oneCommand = curl;
  for (const auto& [name, url] : destinations)
    oneCommand += " -T " + (peerFolder / name).string() + " '" + url + "'";
  std::vector<double> ours, perFile, oneLine;
  int failedUploads = 0;
  double serverSeconds = 0;
  for (int i = 0; i < kSends; ++i) {
    WriteFiles(set, setup.workingFolder());
    const double serverBefore = ProcessorSeconds(setup.ftp().pid());
    auto start = Clock::now();
    if (!UploadPublication(sender, set.publication))
      ++failedUploads;
    ReleaseUploadHandle();
    ours.push_back(Seconds(start));
    serverSeconds += ProcessorSeconds(setup.ftp().pid()) - serverBefore;
    if (i % (kSends / kPeerRounds) != 0)
      continue;
    start = Clock::now();
    for (const auto& [name, url] : destinations)
      Run(curl + " -T " + (peerFolder / name).string() + " '" + url + "'");
    perFile.push_back(Seconds(start));
    start = Clock::now();
    Run(oneCommand);
    oneLine.push_back(Seconds(start));
  }
  silence.reset();

  const double median = Percentile(ours, 0.5);
  const double p99 = Percentile(ours, 0.99);
  const double peerA = Percentile(perFile, 0.5);
  const double peerB = Percentile(oneLine, 0.5);
  const double serverPerPhase = serverSeconds / kSends;
  std::printf(
      "send of %d pages x 3 variants, %d times\n"
      "  whole send: median %.3f s, %.1f pages/s; FTP logins per send %.2f%s\n"
      "  our upload phase (64 files): median %.4f s, 99th percentile %.4f s (%.2f x median)\n"
      "  (a) one curl process per file:     median %.4f s, fastest %.4f s over %d rounds; "
      "ours / (a) = %.3f\n"
      "  (b) one curl line, one connection: median %.4f s, fastest %.4f s over %d rounds; "
      "ours / (b) = %.3f\n"
      "  the FTP server's own processor time in our upload phase: mean %.4f s, %.3f x (b);\n"
      "  with one command at a time on one connection, no client gets under it\n"
      "goals: ours <= 0.6 x (b): %s; ours <= 0.15 x (a): %s; p99 <= 3 x median: %s; "
      "one login per send: %s\n",
      kPages, kSends, Percentile(sends, 0.5), kPages / Percentile(sends, 0.5),
      static_cast<double>(logins) / kSends, allSent ? "" : " (SOME SENDS FAILED)", median, p99,
      p99 / median, peerA, Percentile(perFile, 0), kPeerRounds, median / peerA, peerB,
      Percentile(oneLine, 0), kPeerRounds, median / peerB, serverPerPhase, serverPerPhase / peerB,
      median <= 0.6 * peerB ? "met" : "MISSED", median <= 0.15 * peerA ? "met" : "MISSED",
      p99 <= 3 * median ? "met" : "MISSED", logins == kSends ? "met" : "MISSED");
  if (!allSent || failedUploads > 0) {
    std::printf("the figures are not valid: %d upload phases failed%s\n", failedUploads,
                allSent ? "" : ", and some sends failed");
    return 1;
  }
  return 0;
}
