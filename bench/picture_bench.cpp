// The cost of sending a page that shows 64 camera-sized pictures (4000 x 3000) in small frames,
// against the same page with each picture scaled down beforehand to what its frame shows in the
// largest preview. Each send runs in a fresh process, through the real plug-in and a local FTP
// server; the figures are the best of three. Memory is what the send adds to the process at its
// peak, the document being open already. A third figure is the floor under any reader of these
// files: the 64 pictures decoded alone, at the smallest size libjpeg-turbo reaches (1/8), which
// still reads every byte of their compressed data. Exits with 1 when a goal is missed: at most
// 1.5 times the time and twice the memory of the pre-scaled page.

#include "PublishingSetup.h"

#include "publish/Base64.h"

#include <graphics/JpegCodec.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using layra::graphics::Raster;

constexpr int kColumns = 8;
constexpr int kRows = 8;
constexpr double kFrameWidth = 60;
constexpr double kFrameHeight = 45;
// The largest default preview is twice the page's size in points.
constexpr double kLargestPreviewScale = 2;
constexpr int kDistinctPictures = 4;
constexpr int kRounds = 3;

struct Figures {
  double seconds = 0;
  double megabytes = 0;
  bool sent = false;
};

// Smooth light and colour with fine texture, so the file weighs what a photograph does.
Raster Picture(int width, int height, int seed) {
  Raster raster{width, height, width * 4,
                std::vector<unsigned char>(std::size_t(width) * height * 4)};
  std::uint32_t noise = 2463534242u + static_cast<std::uint32_t>(seed);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const double u = double(x) / width;
      const double v = double(y) / height;
      const double wave = std::sin(u * (9 + seed) + std::cos(v * 7) * 3) * 40;
      unsigned char* pixel = raster.pixels.data() + std::size_t(y) * raster.stride + x * 4;
      const int grain = static_cast<int>(noise % 24) - 12;
      pixel[0] = static_cast<unsigned char>(std::clamp(int(90 + 120 * v + wave) + grain, 0, 255));
      pixel[1] = static_cast<unsigned char>(std::clamp(int(60 + 150 * u - wave) + grain, 0, 255));
      pixel[2] =
          static_cast<unsigned char>(std::clamp(int(200 - 140 * u * v + wave) + grain, 0, 255));
    }
  }
  return raster;
}

std::vector<std::vector<unsigned char>> Jpegs(int width, int height) {
  std::vector<std::vector<unsigned char>> jpegs;
  for (int i = 0; i < kDistinctPictures; ++i)
    jpegs.push_back(layra::graphics::EncodeJpeg(Picture(width, height, i), 2, nullptr).value());
  return jpegs;
}

std::string Document(const std::vector<std::vector<unsigned char>>& jpegs) {
  std::vector<std::string> pictures;
  for (const auto& jpeg : jpegs)
    pictures.push_back(
        Base64Encode(std::string_view(reinterpret_cast<const char*>(jpeg.data()), jpeg.size())));
  std::string text = "<?xml version=\"1.0\"?>\n<layra-document version=\"1\">\n"
                     "  <page width=\"612\" height=\"792\">\n";
  for (int i = 0; i < kColumns * kRows; ++i) {
    const double left = 20 + (i % kColumns) * (kFrameWidth + 12);
    const double top = 40 + (i / kColumns) * (kFrameHeight + 40);
    text += "    <image left=\"" + std::to_string(left) + "\" top=\"" + std::to_string(top) +
            "\" right=\"" + std::to_string(left + kFrameWidth) + "\" bottom=\"" +
            std::to_string(top + kFrameHeight) + "\" format=\"jpeg\">" +
            pictures[i % kDistinctPictures] + "</image>\n";
  }
  return text + "  </page>\n</layra-document>\n";
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0)
      return std::atol(line.c_str() + std::string(field).size());
  }
  return -1;
}

// In a child process: start the host, open the document, then send with the peak reset.
Figures SendOnce(const std::string& document) {
  folivox::test::PublishingSetup setup;
  if (!setup.Start())
    return {};
  const auto file = setup.home().path() / "08_12_05_001.lyd";
  std::ofstream(file) << document;
  if (!setup.host().OpenDocument(file, nullptr).IsValid())
    return {};
  // What reading the document freed goes back to the system, so that reusing it does not
  // hide what the send needs.
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKilobytes("VmRSS:");
  const auto start = Clock::now();
  setup.Send();
  Figures figures;
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  figures.megabytes = double(StatusKilobytes("VmHWM:") - before) / 1024;
  figures.sent = layra::Alerts::Instance().Log().empty() && setup.ftp().storedPaths().size() >= 3;
  return figures;
}

Figures InChild(const std::string& document) {
  int channel[2];
  if (::pipe(channel) != 0)
    return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const Figures figures = SendOnce(document);
    const ssize_t written = ::write(channel[1], &figures, sizeof figures);
    std::_Exit(written == sizeof figures ? 0 : 1);
  }
  ::close(channel[1]);
  Figures figures;
  const bool read = ::read(channel[0], &figures, sizeof figures) == sizeof figures;
  ::close(channel[0]);
  ::waitpid(child, nullptr, 0);
  return read ? figures : Figures{};
}

double DecodingFloor(const std::vector<std::vector<unsigned char>>& jpegs) {
  const layra::graphics::ImageSize frame{static_cast<int>(kFrameWidth / 2),
                                         static_cast<int>(kFrameHeight / 2)};
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    for (int i = 0; i < kColumns * kRows; ++i) {
      const auto& jpeg = jpegs[i % kDistinctPictures];
      layra::graphics::DecodeJpeg(jpeg.data(), jpeg.size(), nullptr, frame);
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

} // namespace

int main() {
  const auto cameraJpegs = Jpegs(4000, 3000);
  const std::string camera = Document(cameraJpegs);
  const std::string scaled = Document(Jpegs(static_cast<int>(kFrameWidth * kLargestPreviewScale),
                                            static_cast<int>(kFrameHeight * kLargestPreviewScale)));
  const double floor = DecodingFloor(cameraJpegs);
  std::printf("documents: %.1f MB with the camera pictures, %.2f MB pre-scaled\n",
              camera.size() / 1e6, scaled.size() / 1e6);
  Figures best[2] = {{1e9, 1e9, true}, {1e9, 1e9, true}};
  for (int round = 0; round < kRounds; ++round) {
    for (int kind = 0; kind < 2; ++kind) {
      const Figures figures = InChild(kind == 0 ? camera : scaled);
      best[kind].sent = best[kind].sent && figures.sent;
      best[kind].seconds = std::min(best[kind].seconds, figures.seconds);
      best[kind].megabytes = std::min(best[kind].megabytes, figures.megabytes);
    }
  }
  if (!best[0].sent || !best[1].sent) {
    std::printf("the figures are not valid: a send failed\n");
    return 1;
  }
  const double timeRatio = best[0].seconds / best[1].seconds;
  const double memoryRatio = best[0].megabytes / best[1].megabytes;
  std::printf("send, 64 pictures of 4000 x 3000 in %g x %g pt frames: %.3f s, peak +%.1f MB\n",
              kFrameWidth, kFrameHeight, best[0].seconds, best[0].megabytes);
  std::printf("send, the same pictures pre-scaled to %g x %g pixels:   %.3f s, peak +%.1f MB\n",
              kFrameWidth * kLargestPreviewScale, kFrameHeight * kLargestPreviewScale,
              best[1].seconds, best[1].megabytes);
  std::printf("the 64 pictures decoded alone at 1/8:                  %.3f s\n", floor);
  std::printf("time ratio %.2f (goal <= 1.5), memory ratio %.2f (goal <= 2); the send takes "
              "%.2f times the decoding floor\n",
              timeRatio, memoryRatio, best[0].seconds / floor);
  return timeRatio <= 1.5 && memoryRatio <= 2 ? 0 : 1;
}
