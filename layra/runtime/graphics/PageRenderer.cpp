#include <CHandles.h>
#include <graphics/ErrorText.h>
#include <graphics/PageRenderer.h>
#include <graphics/PictureCache.h>
#include <graphics/SourceColor.h>
#include <graphics/TextEngine.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>

namespace layra::graphics {
namespace {

constexpr double kPointsPerInch = 72;
// Beyond this an item is off any page, and close to where cairo's fixed-point device
// coordinates wrap around at high resolutions.
constexpr double kCoordinateLimit = 1e6;
// Smaller images cannot show, and scaling a picture down to them makes a singular matrix.
constexpr double kMinImageExtent = 1e-3;

constexpr Color kPlaceholderFill{0.85, 0.85, 0.85};
constexpr Color kPlaceholderCross{0.55, 0.55, 0.55};

template <typename... Visitors> struct Overloaded : Visitors... { using Visitors::operator()...; };
template <typename... Visitors> Overloaded(Visitors...) -> Overloaded<Visitors...>;

bool IsPositive(double value) {
  return std::isfinite(value) && value > 0;
}

std::optional<int> PixelExtent(double points, double scale, double resolution) {
  if (!IsPositive(points) || !IsPositive(scale) || !IsPositive(resolution)) {
    return std::nullopt;
  }
  const double pixels = std::round(points * scale * resolution / kPointsPerInch);
  if (!(pixels >= 1 && pixels <= kMaxRasterDimension)) {
    return std::nullopt;
  }
  return static_cast<int>(pixels);
}

std::string DescribeRefusedSize(const PageScene& scene, double xScale, double yScale,
                                double xResolution, double yResolution) {
  std::ostringstream text;
  text << "cannot render a page of " << scene.width << " x " << scene.height << " pt at scale "
       << xScale << " x " << yScale << " and " << xResolution << " x " << yResolution
       << " dpi: page size, scales and resolutions must be positive, and each side of the "
          "raster between 1 and "
       << kMaxRasterDimension << " pixels";
  return text.str();
}

bool IsWithinLimits(double coordinate) {
  return std::isfinite(coordinate) && std::abs(coordinate) <= kCoordinateLimit;
}

bool IsDrawable(const Rect& bounds) {
  return IsWithinLimits(bounds.left) && IsWithinLimits(bounds.top) &&
         IsWithinLimits(bounds.right) && IsWithinLimits(bounds.bottom);
}

bool HasArea(const Rect& bounds, double minExtent) {
  return IsDrawable(bounds) && bounds.right - bounds.left >= minExtent &&
         bounds.bottom - bounds.top >= minExtent;
}

void AddRectanglePath(cairo_t* cr, const Rect& bounds) {
  cairo_rectangle(cr, bounds.left, bounds.top, bounds.right - bounds.left,
                  bounds.bottom - bounds.top);
}

// Clears the buffer to white in place: assign keeps the capacity a larger page left.
void Whiten(Raster& target, int width, int height) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
  const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  target.width = width;
  target.height = height;
  target.stride = stride;
  target.pixels.assign(size, 0xff);
}

void DrawRectangle(cairo_t* cr, const RectangleItem& item) {
  if (!IsDrawable(item.bounds)) {
    return;
  }
  AddRectanglePath(cr, item.bounds);
  if (item.fill) {
    SetSourceColor(cr, *item.fill);
    cairo_fill_preserve(cr);
  }
  if (item.stroke && IsPositive(item.strokeWidth) && item.strokeWidth <= kCoordinateLimit) {
    SetSourceColor(cr, *item.stroke);
    cairo_set_line_width(cr, item.strokeWidth);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
}

// Shown where a picture cannot be decoded, so a broken link is visible instead of silently
// missing.
void DrawPlaceholder(cairo_t* cr, const Rect& bounds) {
  cairo_save(cr);
  AddRectanglePath(cr, bounds);
  SetSourceColor(cr, kPlaceholderFill);
  cairo_fill_preserve(cr);
  cairo_clip(cr);
  cairo_move_to(cr, bounds.left, bounds.top);
  cairo_line_to(cr, bounds.right, bounds.bottom);
  cairo_move_to(cr, bounds.right, bounds.top);
  cairo_line_to(cr, bounds.left, bounds.bottom);
  SetSourceColor(cr, kPlaceholderCross);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// The frame's size in device pixels, which is all of a picture the page can show.
ImageSize FramePixels(const Rect& bounds, const Canvas& canvas) {
  auto pixels = [](double extent) {
    return static_cast<int>(std::min<double>(std::ceil(extent), kMaxRasterDimension));
  };
  return ImageSize{pixels((bounds.right - bounds.left) * canvas.xScale),
                   pixels((bounds.bottom - bounds.top) * canvas.yScale)};
}

void DrawImage(cairo_t* cr, const Canvas& canvas, const ImageItem& item, PictureCache& pictures) {
  const Rect& bounds = item.bounds;
  if (!HasArea(bounds, kMinImageExtent)) {
    return;
  }
  const std::shared_ptr<const DecodedPicture> picture =
      pictures.Get(item.encoded, FramePixels(bounds, canvas));
  const SurfacePtr surface = picture ? SurfaceOf(*picture) : nullptr;
  if (!surface) {
    DrawPlaceholder(cr, bounds);
    return;
  }
  const int imageWidth = picture->raster.width;
  const int imageHeight = picture->raster.height;
  // The frame is filled with the picture, not clipped to and painted: a clip off the pixel grid
  // is copied into a clip object that cairo recycles between threads through a lock-free list
  // of its own, which ThreadSanitizer cannot see into, so every worker's paint showed as a race
  // with another's. A filled frame takes no clip and gives the same pixels.
  cairo_save(cr);
  AddRectanglePath(cr, bounds);
  cairo_translate(cr, bounds.left, bounds.top);
  cairo_scale(cr, (bounds.right - bounds.left) / imageWidth,
              (bounds.bottom - bounds.top) / imageHeight);
  cairo_set_source_surface(cr, surface.get(), 0, 0);
  // Padding keeps the picture's edge pixels from fading into the page when scaled.
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_fill(cr);
  cairo_restore(cr);
}

// Returns cairo's status so a broken or exhausted drawing context is reported, not ignored.
cairo_status_t DrawScene(const PageScene& scene, double xPixelsPerPoint, double yPixelsPerPoint,
                         TextEngine& text, PictureCache& pictures, Raster& target) {
  const SurfacePtr surface(cairo_image_surface_create_for_data(
      target.pixels.data(), CAIRO_FORMAT_RGB24, target.width, target.height, target.stride));
  // cairo's RGB24 is pixman's x8r8g8b8.
  const PixmanImagePtr pixels(pixman_image_create_bits(
      PIXMAN_x8r8g8b8, target.width, target.height,
      reinterpret_cast<std::uint32_t*>(target.pixels.data()), target.stride));
  if (!pixels) {
    return CAIRO_STATUS_NO_MEMORY;
  }
  const ContextPtr cr(cairo_create(surface.get()));
  cairo_scale(cr.get(), xPixelsPerPoint, yPixelsPerPoint);
  const Canvas canvas{cr.get(), pixels.get(), xPixelsPerPoint, yPixelsPerPoint};
  const auto draw = Overloaded{
      [&](const RectangleItem& item) { DrawRectangle(cr.get(), item); },
      [&](const TextItem& item) {
        if (IsDrawable(item.bounds)) {
          text.Draw(canvas, item);
        }
      },
      [&](const ImageItem& item) { DrawImage(cr.get(), canvas, item, pictures); },
  };
  for (const PageItem& item : scene.items) {
    std::visit(draw, item);
  }
  cairo_surface_flush(surface.get());
  return cairo_status(cr.get());
}

} // namespace

PageRenderer::PageRenderer(PictureCache* pictures)
    : fText(std::make_unique<TextEngine>()),
      fOwnPictures(pictures ? nullptr : std::make_unique<PictureCache>()),
      fPictures(pictures ? pictures : fOwnPictures.get()) {}

PageRenderer::~PageRenderer() = default;

std::optional<Raster> PageRenderer::RenderPage(const PageScene& scene, double xScale, double yScale,
                                               double xResolution, double yResolution,
                                               std::string* error) {
  Raster raster{0, 0, 0, {}};
  if (!RenderInto(scene, xScale, yScale, xResolution, yResolution, raster, error))
    return std::nullopt;
  return raster;
}

bool PageRenderer::RenderInto(const PageScene& scene, double xScale, double yScale,
                              double xResolution, double yResolution, Raster& target,
                              std::string* error) {
  const std::optional<int> width = PixelExtent(scene.width, xScale, xResolution);
  const std::optional<int> height = PixelExtent(scene.height, yScale, yResolution);
  if (!width || !height) {
    SetError(error, DescribeRefusedSize(scene, xScale, yScale, xResolution, yResolution));
    return false;
  }
  const long long bytes =
      static_cast<long long>(cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, *width)) * *height;
  if (bytes > kMaxRasterBytes) {
    SetError(error, "cannot render a page of " + std::to_string(*width) + " x " +
                        std::to_string(*height) + " pixels: a page raster may take at most " +
                        std::to_string(kMaxRasterBytes >> 20) + " MiB");
    return false;
  }
  Whiten(target, *width, *height);
  const cairo_status_t status =
      DrawScene(scene, xScale * xResolution / kPointsPerInch, yScale * yResolution / kPointsPerInch,
                *fText, *fPictures, target);
  if (status != CAIRO_STATUS_SUCCESS) {
    SetError(error, std::string("page rendering failed: ") + cairo_status_to_string(status));
    return false;
  }
  return true;
}

std::size_t PageRenderer::FitText(std::string_view text, const std::string& fontFamily,
                                  double fontSize, double width, double height) {
  return fText->FitText(text, fontFamily, fontSize, width, height);
}

TextCarets PageRenderer::Carets(const TextItem& item) {
  return fText->Carets(item);
}

} // namespace layra::graphics
