// Preview throughput: how much page rendering adds on top of the JPEG encoding that every
// preview needs anyway. Usage: render_bench [pages]
#include <graphics/JpegCodec.h>
#include <graphics/PageRenderer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using layra::graphics::Color;
using layra::graphics::EncodeJpeg;
using layra::graphics::PageRenderer;
using layra::graphics::PageScene;
using layra::graphics::Raster;
using layra::graphics::Rect;
using layra::graphics::RectangleItem;
using layra::graphics::TextItem;

struct Variant {
  double scale;
  int qualityLevel;
};

constexpr Variant kPreviewVariants[] = {{0.5, 0}, {1.0, 1}, {2.0, 2}};
constexpr double kResolution = 72;

// Numbered so that every page has text of its own: nothing laid out for one page can be reused
// for the next, only between the previews of the same page.
std::string Paragraphs(int count, int page) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "Page " + std::to_string(page) + ", paragraph " + std::to_string(i) + ". ";
    text += "Quarterly figures rose across every region, with the northern office reporting its "
            "strongest season in a decade. Analysts credit the new distribution agreements and a "
            "mild winter, though several warn that freight costs remain volatile.\n";
  }
  return text;
}

// A newspaper-like US letter page: a headline, one story flowed through two columns of three
// frames each (each frame holds only its share, as the host passes it), a sidebar and a few rules
// and boxes.
PageScene TextHeavyPage(PageRenderer& renderer, int page) {
  constexpr double kBodySize = 9.5;
  PageScene scene{612, 792, {}};
  scene.items.push_back(RectangleItem{Rect{36, 36, 576, 96}, Color{0.9, 0.92, 0.95}, {}});
  scene.items.push_back(TextItem{Rect{44, 44, 568, 92}, "Regional Economy Outlook", 32});
  const std::string story = Paragraphs(40, page);
  std::size_t shown = 0;
  for (int column = 0; column < 2; ++column) {
    const double left = 36 + column * 276;
    for (int row = 0; row < 3; ++row) {
      const double top = 110 + row * 220;
      const std::string rest = story.substr(shown);
      const std::size_t fit = renderer.FitText(rest, "DejaVu Sans", kBodySize, 264, 206);
      shown += fit;
      scene.items.push_back(
          TextItem{Rect{left, top, left + 264, top + 206}, rest.substr(0, fit), kBodySize});
      scene.items.push_back(
          RectangleItem{Rect{left, top + 210, left + 264, top + 211}, Color{0, 0, 0}, {}});
    }
  }
  scene.items.push_back(
      RectangleItem{Rect{400, 700, 570, 770}, Color{1, 0.95, 0.8}, Color{0.6, 0.4, 0}, 2});
  scene.items.push_back(
      TextItem{Rect{408, 706, 562, 764}, Paragraphs(1, page), 8, Color{0.3, 0.2, 0}});
  return scene;
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

bool Encode(const Raster& raster, int qualityLevel, std::size_t& totalBytes) {
  std::string error;
  const auto jpeg = EncodeJpeg(raster, qualityLevel, &error);
  if (!jpeg) {
    std::fprintf(stderr, "encode failed: %s\n", error.c_str());
    return false;
  }
  totalBytes += jpeg->size();
  return true;
}

bool RenderAndEncode(PageRenderer& renderer, const PageScene& scene, std::size_t& totalBytes) {
  for (const Variant& variant : kPreviewVariants) {
    std::string error;
    const auto raster =
        renderer.RenderPage(scene, variant.scale, variant.scale, kResolution, kResolution, &error);
    if (!raster) {
      std::fprintf(stderr, "render failed: %s\n", error.c_str());
      return false;
    }
    if (!Encode(*raster, variant.qualityLevel, totalBytes)) {
      return false;
    }
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::atoi(argv[1]) : 40;
  if (pages < 1) {
    std::fprintf(stderr, "usage: render_bench [pages >= 1]\n");
    return 2;
  }
  PageRenderer renderer;
  std::vector<PageScene> scenes;
  for (int page = 0; page < pages; ++page) {
    scenes.push_back(TextHeavyPage(renderer, page));
  }
  // Rendered apart, so that none of the measured pages is laid out ahead of time.
  PageRenderer prerenderer;
  const PageScene encodedScene = TextHeavyPage(prerenderer, pages);
  std::vector<Raster> rasters;
  for (const Variant& variant : kPreviewVariants) {
    std::string error;
    auto raster = prerenderer.RenderPage(encodedScene, variant.scale, variant.scale, kResolution,
                                         kResolution, &error);
    if (!raster) {
      std::fprintf(stderr, "render failed: %s\n", error.c_str());
      return 1;
    }
    rasters.push_back(std::move(*raster));
  }

  // The two measurements alternate page by page, so that a machine shared with other work slows
  // both alike and the ratio stays meaningful.
  std::size_t bytes = 0;
  double full = 0;
  double encodeOnly = 0;
  for (int page = 0; page < pages; ++page) {
    const Clock::time_point fullStart = Clock::now();
    if (!RenderAndEncode(renderer, scenes[page], bytes)) {
      return 1;
    }
    const Clock::time_point encodeStart = Clock::now();
    for (std::size_t i = 0; i < rasters.size(); ++i) {
      if (!Encode(rasters[i], kPreviewVariants[i].qualityLevel, bytes)) {
        return 1;
      }
    }
    const Clock::time_point end = Clock::now();
    full += Seconds(encodeStart - fullStart);
    encodeOnly += Seconds(end - encodeStart);
  }

  std::printf("pages: %d (3 previews each: scales 0.5/1/2 at 72 dpi, quality levels 0/1/2)\n",
              pages);
  std::printf("render + encode: %8.2f pages/s  (%.2f ms/page)\n", pages / full,
              1000 * full / pages);
  std::printf("encode alone:    %8.2f pages/s  (%.2f ms/page)\n", pages / encodeOnly,
              1000 * encodeOnly / pages);
  std::printf("ratio (render + encode) / encode: %.2f  (goal <= 1.50)\n", full / encodeOnly);
  return 0;
}
