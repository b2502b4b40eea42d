// The cost of one "Send" of a 16-page section with the three default preview
// variants, against a local FTP server, and of its upload phase against two
// peers that send the same 64 files, in the same order, to the same server in
// the same run: one curl process on one connection, and lftp's mput. Each side
// is measured by its median over many rounds taken in turns, on a quiet
// machine and with both processors kept busy.

#include "LoopbackProxy.h"
#include "ProcessorTime.h"
#include "PublishingSetup.h"
#include "SilencedStdout.h"
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
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using folivox::test::PublishingSetup;

constexpr int kPages = 16;
constexpr int kSends = 10;
constexpr int kRounds = 25;
constexpr int kBusyProcesses = 2;

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

/** Processor time of the children waited for so far: the peers' programs. */
double ChildrenSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int Run(const std::string& command) {
  return std::system(command.c_str());
}

/** Processes that keep every processor busy while they live. */
class BusyMachine {
public:
  explicit BusyMachine(int count) {
    for (int i = 0; i < count; ++i) {
      const pid_t child = ::fork();
      if (child == 0) {
        volatile unsigned long spin = 0;
        for (;;)
          spin = spin + 1;
      }
      if (child > 0)
        fChildren.push_back(child);
    }
  }
  ~BusyMachine() {
    for (const pid_t child : fChildren) {
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
    }
  }
  BusyMachine(const BusyMachine&) = delete;
  BusyMachine& operator=(const BusyMachine&) = delete;

private:
  std::vector<pid_t> fChildren;
};

/** Wall times of one side's rounds and the processor time it used in them. */
struct Side {
  std::vector<double> seconds;
  double processorSeconds = 0;
  int failures = 0;
  std::size_t serverCommands = 0;

  double Median() const { return Percentile(seconds, 0.5); }
  double CommandsPerRound() const {
    return static_cast<double>(serverCommands) / static_cast<double>(seconds.size());
  }
  double Share() const {
    double total = 0;
    for (const double s : seconds)
      total += s;
    return processorSeconds / total;
  }
};

struct Rounds {
  Side ours;
  Side curlLine;
  Side lftp;
};

/** The peers' commands: one curl line, and an lftp script with one mput per folder. */
struct Peers {
  std::string curlLine;
  std::string lftpScript;
};

Peers MakePeers(PublishingSetup& setup, const UploadSet& set, const std::filesystem::path& folder) {
  const std::string login = set.publication.login;
  Peers peers;
  peers.curlLine = "curl -s -S --ftp-create-dirs -u " + login;
  for (const auto& [name, url] : Destinations(set, setup.ftp().url() + "/curl"))
    peers.curlLine += " -T " + (folder / name).string() + " '" + url + "'";
  peers.curlLine += " >/dev/null";

  std::string script =
      "set cmd:fail-exit true\nset ftp:ssl-allow false\nset ftp:passive-mode true\n"
      "open -u " +
      setup.ftp().user() + "," + setup.ftp().password() + " " + setup.ftp().url() + "\n";
  // Consecutive files of one folder go in one mput, in upload order.
  std::string currentFolder;
  for (std::size_t k = 0; k < set.files.size(); ++k) {
    const int page = k < 48 ? static_cast<int>(k / 3) + 1 : static_cast<int>(k - 48) + 1;
    const std::string target = "lftp/08_12_05/" + std::to_string(page);
    if (target != currentFolder) {
      script += "\nmkdir -p -f " + target + "\nmput -O " + target;
      currentFolder = target;
    }
    script += " " + (folder / set.files[k].first).string();
  }
  const auto scriptFile = folder / "lftp.script";
  folivox::test::WriteWholeFile(scriptFile, script + "\nquit\n");
  peers.lftpScript = "lftp -f " + scriptFile.string() + " >/dev/null";
  return peers;
}

/** One round of each side, starting with a different side each round so that none is
 *  always the one that follows another. */
void MeasureRounds(PublishingSetup& setup, UploadSet& set, const Peers& peers, Rounds& rounds) {
  FolivoActionComponent sender(nullptr);
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 3; ++turn) {
      const int side = (round + turn) % 3;
      const std::size_t commandsBefore = setup.ftp().commands().size();
      Side& measured = side == 0 ? rounds.ours : side == 1 ? rounds.curlLine : rounds.lftp;
      if (side == 0) {
        WriteFiles(set, setup.workingFolder());
        const double processor = ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto start = Clock::now();
        if (!UploadPublication(sender, set.publication))
          ++rounds.ours.failures;
        ReleaseUploadHandle();
        rounds.ours.seconds.push_back(Seconds(start));
        rounds.ours.processorSeconds += ProcessorSeconds(CLOCK_PROCESS_CPUTIME_ID) - processor;
      } else {
        const double processor = ChildrenSeconds();
        const auto start = Clock::now();
        if (Run(side == 1 ? peers.curlLine : peers.lftpScript) != 0)
          ++measured.failures;
        measured.seconds.push_back(Seconds(start));
        measured.processorSeconds += ChildrenSeconds() - processor;
      }
      measured.serverCommands += setup.ftp().commands().size() - commandsBefore;
    }
  }
}

bool Report(const char* machine, const Rounds& r) {
  const double median = r.ours.Median();
  const double p99 = Percentile(r.ours.seconds, 0.99);
  const double curlLine = r.curlLine.Median();
  const double lftp = r.lftp.Median();
  std::printf(
      "upload phase of 64 files, %d rounds each, %s:\n"
      "  ours:                               median %.4f s, 99th percentile %.4f s (%.2f x "
      "median); processor %.0f %% of the phase\n"
      "  (b) curl, one process, one connection: median %.4f s, processor %.0f %%; ours / (b) = "
      "%.3f\n"
      "  (c) lftp mput:                      median %.4f s, processor %.0f %%; ours / (c) = %.3f\n"
      "  FTP commands the server answered per round: ours %.0f, (b) %.0f, (c) %.0f\n"
      "  goals: ours <= 1.0 x (b): %s; ours <= 1.0 x (c): %s; p99 <= 3 x median: %s\n",
      kRounds, machine, median, p99, p99 / median, 100 * r.ours.Share(), curlLine,
      100 * r.curlLine.Share(), median / curlLine, lftp, 100 * r.lftp.Share(), median / lftp,
      r.ours.CommandsPerRound(), r.curlLine.CommandsPerRound(), r.lftp.CommandsPerRound(),
      median <= curlLine ? "met" : "MISSED", median <= lftp ? "met" : "MISSED",
      p99 <= 3 * median ? "met" : "MISSED");
  // The same spread for the peers, on the same server in the same run: a stall that hits
  // them as well lies with the server or the machine, not with our client.
  std::printf("  spread, 99th percentile / median: ours %.2f, (b) %.2f, (c) %.2f\n", p99 / median,
              Percentile(r.curlLine.seconds, 0.99) / curlLine,
              Percentile(r.lftp.seconds, 0.99) / lftp);
  const int failures = r.ours.failures + r.curlLine.failures + r.lftp.failures;
  if (failures > 0)
    std::printf("  the figures are not valid: %d uploads failed (ours %d, curl %d, lftp %d)\n",
                failures, r.ours.failures, r.curlLine.failures, r.lftp.failures);
  return failures == 0;
}

} // namespace

int main() {
  // The plug-in's update check goes to a local proxy, never to the network.
  folivox::test::LoopbackProxy proxy;
  PublishingSetup setup;
  if (!proxy.Start() || !setup.Start()) {
    std::fprintf(stderr, "send_bench: the servers did not start\n");
    return 2;
  }
  const auto file = setup.home().path() / "08_12_05_001-016.lyd";
  folivox::test::WriteWholeFile(file, SixteenPageDocument());
  const UIDRef document = setup.host().OpenDocument(file).value_or(UIDRef());
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

  // The upload phase alone, on the same 64 files each round, against the peers.
  UploadSet set = PrepareUploadSet(setup, document);
  const auto peerFolder = setup.home().path() / "peer";
  std::filesystem::create_directories(peerFolder);
  WriteFiles(set, peerFolder);
  const Peers peers = MakePeers(setup, set, peerFolder);
  Rounds quiet, busy;
  MeasureRounds(setup, set, peers, quiet);
  {
    BusyMachine load(kBusyProcesses);
    MeasureRounds(setup, set, peers, busy);
  }
  silence.reset();

  std::printf("send of %d pages x 3 variants, %d times: median %.3f s, %.1f pages/s; FTP logins "
              "per send %.2f (goal 1: %s)%s\n",
              kPages, kSends, Percentile(sends, 0.5), kPages / Percentile(sends, 0.5),
              static_cast<double>(logins) / kSends, logins == kSends ? "met" : "MISSED",
              allSent ? "" : " (SOME SENDS FAILED)");
  const bool quietValid = Report("quiet machine", quiet);
  const bool busyValid = Report("both processors kept busy", busy);
  return allSent && quietValid && busyValid ? 0 : 1;
}
