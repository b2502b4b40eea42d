// A whole "Send" of a 64-page section with the sample configuration's three variants (the
// largest a print-size raster), against its floor measured in the same run: libjpeg-turbo
// encoding the same rasters alone, plus lftp uploading the same files, on one connection, into
// the same folder tree (and, printed beside it, the same floor with lftp storing new names
// each round, as each send does). Sends with one render worker and with one per core take
// turns, so the second figure says what the other cores bring. Also prints the minor page
// faults per page and the peak memory each kind of send adds, and the load of the machine
// around the run.
// Exits with 1 when a goal is missed: one worker <= 1.35 x the floor; all workers <= 0.68 x
// one worker (on a machine with two free cores).

#include "MachineState.h"
#include "PublishingSetup.h"
#include "SampleSection.h"
#include "SilencedStdout.h"
#include "WholeFile.h"

#include "publish/PublishNames.h"

#include <layra/IPageList.h>
#include <layra/host/Alerts.h>
#include <layra/host/PageImage.h>
#include <layra/host/RenderWorkers.h>

#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using folivox::test::PublishingSetup;

constexpr int kPages = 64;
constexpr int kRounds = 3;

struct Variant {
  double scale, dpi;
  int quality;
  const char* suffix;
};
// The sample configuration's variants; JPEG qualities as the host maps its levels.
constexpr Variant kVariants[] = {
    {0.25, 72, 55, "-thumb"}, {1.0, 96, 90, "-screen"}, {2, 150, 90, "-print"}};

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Variants() {
  std::string text;
  for (const Variant& v : kVariants)
    text += "  <PREVQUALITY XSCALE=\"" + std::to_string(v.scale) + "\" YSCALE=\"" +
            std::to_string(v.scale) + "\" DPI=\"" + std::to_string(v.dpi) + "\" JPEGQUALITY=\"" +
            std::to_string(v.quality == 55 ? 1 : 3) + "\" STRING=\"" + v.suffix + "\"/>\n";
  return text;
}

struct SendFigures {
  double seconds;
  double faultsPerPage;
  double peakMegabytes;
};

SendFigures Send(PublishingSetup& setup, unsigned workers) {
  layra::SetRenderWorkerCount(workers);
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKilobytes("VmRSS:");
  rusage start{};
  ::getrusage(RUSAGE_SELF, &start);
  const auto begin = Clock::now();
  setup.Send();
  const double seconds = Seconds(begin);
  rusage end{};
  ::getrusage(RUSAGE_SELF, &end);
  return {seconds, double(end.ru_minflt - start.ru_minflt) / kPages,
          double(StatusKilobytes("VmHWM:") - before) / 1024};
}

struct Encoded {
  int page;
  std::string ending; // of its name, after the time stamp
  std::vector<unsigned char> bytes;
};

// The peer of rendering and encoding: libjpeg-turbo alone on rasters drawn beforehand, one
// reused output buffer. Returns the encoding time; the files land in `encoded`.
double EncodingAlone(const UIDRef& document, std::vector<Encoded>& encoded) {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long capacity = 0;
  double seconds = 0;
  encoded.clear();
  layra::PageImage image;
  for (int page = 0; page < kPages; ++page) {
    for (const Variant& v : kVariants) {
      static_cast<void>(layra::RenderPageImage(
          UIDRef(document.GetDataBase(), pages->GetNthPageUID(page)), v.scale * v.dpi / 72, image));
      const unsigned long needed = tjBufSize(image.width, image.height, TJSAMP_420);
      if (needed > capacity) {
        tjFree(buffer);
        buffer = tjAlloc(static_cast<int>(needed));
        capacity = needed;
      }
      unsigned long size = capacity;
      const auto start = Clock::now();
      tjCompress2(handle, image.pixels.data(), image.width, image.stride, image.height, TJPF_BGRX,
                  &buffer, &size, TJSAMP_420, v.quality, TJFLAG_NOREALLOC);
      seconds += Seconds(start);
      encoded.push_back({page + 1, std::string(v.suffix) + ".jpg",
                         std::vector<unsigned char>(buffer, buffer + size)});
    }
  }
  for (int page = 0; page < kPages; ++page)
    encoded.push_back({page + 1, ".xml", std::vector<unsigned char>(900, 'm')});
  tjFree(buffer);
  tjDestroy(handle);
  return seconds;
}

// The peer of the upload: lftp, one connection, folder by folder in our upload order (every
// preview, then every manifest), into the folders our sends use, the files named with
// `timeStamp` as a send names its own.
double LftpUpload(PublishingSetup& setup, const std::vector<Encoded>& files,
                  const std::filesystem::path& folder, std::int32_t timeStamp) {
  std::string script = "set cmd:fail-exit true\nset ftp:ssl-allow false\nset ftp:passive-mode "
                       "true\nopen -u " +
                       setup.ftp().user() + "," + setup.ftp().password() + " " + setup.ftp().url() +
                       "\n";
  std::string current;
  for (const Encoded& file : files) {
    const std::string name =
        PublishFileName({"08", "12", "05", ""}, file.page, timeStamp, file.ending);
    folivox::test::WriteWholeFile(folder / name, std::string(file.bytes.begin(), file.bytes.end()));
    const std::string target = "pages/08_12_05/" + std::to_string(file.page);
    if (target != current) {
      script += "\nmkdir -p -f " + target + "\nmput -O " + target;
      current = target;
    }
    script += " " + (folder / name).string();
  }
  folivox::test::WriteWholeFile(folder / "lftp.script", script + "\nquit\n");
  const std::string command = "lftp -f " + (folder / "lftp.script").string() + " >/dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double seconds = Seconds(start);
  return status == 0 ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

} // namespace

int main() {
  PublishingSetup setup;
  folivox::test::ConfigurationText configuration;
  configuration.variants = Variants();
  if (!setup.Start(configuration)) {
    std::fprintf(stderr, "whole_send_bench: the servers did not start\n");
    return 2;
  }
  const auto file = setup.home().path() / "08_12_05_001-064.lyd";
  folivox::test::WriteWholeFile(file, SampleSectionOf(kPages));
  const UIDRef document = setup.host().OpenDocument(file).value_or(UIDRef());
  const auto peerFolder = setup.home().path() / "peer";
  std::filesystem::create_directories(peerFolder);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("load before: %s; %u cores\n", MachineLoad().c_str(), cores);

  auto silence = std::make_unique<SilencedStdout>();
  const long residentBefore = StatusKilobytes("VmRSS:");
  // The first sends make the folders and the workers' rasters, which every later send finds.
  Send(setup, 1);
  Send(setup, 0);
  const long residentAfter = StatusKilobytes("VmRSS:");
  const long firstPeak = StatusKilobytes("VmHWM:");
  // The floor's lftp stores the same names every round, which the server overwrites; each
  // send's names carry its time, so the server creates every file. A peer that creates them
  // too is measured beside it.
  constexpr std::int32_t kPeerTimeStamp = 1228435200;
  std::vector<double> one, all, encoding, upload, freshUpload;
  SendFigures oneFigures{}, allFigures{};
  std::vector<Encoded> files;
  for (int round = 0; round < kRounds; ++round) {
    // Each round starts with another side, so none always follows the same one.
    for (int turn = 0; turn < 3; ++turn) {
      switch ((round + turn) % 3) {
      case 0:
        oneFigures = Send(setup, 1);
        one.push_back(oneFigures.seconds);
        break;
      case 1:
        allFigures = Send(setup, 0);
        all.push_back(allFigures.seconds);
        break;
      default:
        encoding.push_back(EncodingAlone(document, files));
        upload.push_back(LftpUpload(setup, files, peerFolder, kPeerTimeStamp));
        freshUpload.push_back(LftpUpload(setup, files, peerFolder, kPeerTimeStamp + 1 + round));
      }
    }
  }
  // lftp keeps its history in the same data folder.
  std::vector<std::string> leftNames = setup.LeftInWorkingFolder();
  std::erase(leftNames, "lftp");
  const std::size_t left = leftNames.size();
  const std::size_t alerts = layra::Alerts::Instance().Log().size();
  const bool uploaded = *std::min_element(upload.begin(), upload.end()) > 0 &&
                        *std::min_element(freshUpload.begin(), freshUpload.end()) > 0;
  silence.reset();
  const bool sent = left == 0 && alerts == 0 && uploaded;
  if (!sent)
    std::printf("the figures are not valid: %zu files left behind, %zu alerts, lftp %s\n", left,
                alerts, uploaded ? "uploaded" : "failed");

  const double floor = Median(encoding) + Median(upload);
  const double freshFloor = Median(encoding) + Median(freshUpload);
  const double oneRatio = Median(one) / floor;
  const double allRatio = Median(all) / Median(one);
  std::printf("send of %d pages x 3 variants (largest %d x %d pixels), median of %d:\n", kPages,
              int(612 * 2 * 150 / 72.0 + 0.5), int(792 * 2 * 150 / 72.0 + 0.5), kRounds);
  std::printf("  one worker:        %.3f s, %.0f minor faults per page, peak +%.1f MB\n",
              Median(one), oneFigures.faultsPerPage, oneFigures.peakMegabytes);
  std::printf("  %u workers:         %.3f s, %.0f minor faults per page, peak +%.1f MB\n", cores,
              Median(all), allFigures.faultsPerPage, allFigures.peakMegabytes);
  std::printf("  memory: resident %.0f MB with the document open, %.0f MB after the first sends "
              "(peak %.0f MB); what the workers keep is reused, not grown, by later sends\n",
              residentBefore / 1024.0, residentAfter / 1024.0, firstPeak / 1024.0);
  std::printf("  floor: encoding alone %.3f s + lftp upload %.3f s = %.3f s\n", Median(encoding),
              Median(upload), floor);
  std::printf("  the same with lftp storing new names, as each send does: upload %.3f s, floor "
              "%.3f s; one worker / that floor = %.2f\n",
              Median(freshUpload), freshFloor, Median(one) / freshFloor);
  std::printf("one worker / floor = %.2f (goal <= 1.35: %s); all workers / one worker = %.2f "
              "(goal <= 0.68 with free cores: %s)\n",
              oneRatio, oneRatio <= 1.35 ? "met" : "MISSED", allRatio,
              allRatio <= 0.68 ? "met" : "MISSED");
  std::printf("load after: %s\n", MachineLoad().c_str());
  return sent && oneRatio <= 1.35 && allRatio <= 0.68 ? 0 : 1;
}
