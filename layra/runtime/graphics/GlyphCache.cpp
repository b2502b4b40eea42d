#include <graphics/GlyphCache.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace layra::graphics {
namespace {

// Enough for the body, headline and caption fonts of a page at each of its preview sizes.
constexpr std::size_t kMaxFonts = 32;

// Bounds the memory of one composite call and keeps its count within pixman's int.
constexpr std::size_t kBatchGlyphs = 4096;

// Far outside any raster, yet small enough that pixman adds glyph sizes to it without overflow.
constexpr double kMaxDeviceCoordinate = 1 << 28;

// No real glyph at kMaxEmPixels to the em reaches this far from its origin; a damaged font's
// extents must not decide how much memory a glyph takes.
constexpr double kMaxGlyphReach = 16 * GlyphCache::kMaxEmPixels;

std::int32_t DevicePixel(double coordinate) {
  return static_cast<std::int32_t>(
      std::floor(std::clamp(coordinate, -kMaxDeviceCoordinate, kMaxDeviceCoordinate) + 0.5));
}

int OutwardPixel(double coordinate, bool up) {
  const double clamped = std::clamp(coordinate, -kMaxGlyphReach, kMaxGlyphReach);
  return static_cast<int>(up ? std::ceil(clamped) : std::floor(clamped));
}

// The scaled font cairo itself would use for this font on a context with this scale.
ScaledFontPtr DeviceFont(PangoFont* font, double xScale, double yScale) {
  cairo_scaled_font_t* base = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(font));
  if (base == nullptr || cairo_scaled_font_status(base) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  cairo_matrix_t fontMatrix;
  cairo_scaled_font_get_font_matrix(base, &fontMatrix);
  cairo_matrix_t ctm;
  cairo_matrix_init_scale(&ctm, xScale, yScale);
  const FontOptionsPtr options(cairo_font_options_create());
  cairo_scaled_font_get_font_options(base, options.get());
  ScaledFontPtr device(cairo_scaled_font_create(cairo_scaled_font_get_font_face(base), &fontMatrix,
                                                &ctm, options.get()));
  if (cairo_scaled_font_status(device.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  return device;
}

struct InkBox {
  int left, top, right, bottom;
};

// The rows and columns of an A8 surface that are not blank.
std::optional<InkBox> FindInk(cairo_surface_t* surface) {
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::optional<InkBox> box;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      if (row[x] == 0) {
        continue;
      }
      if (!box) {
        box = InkBox{x, y, x + 1, y + 1};
      }
      box->left = std::min(box->left, x);
      box->right = std::max(box->right, x + 1);
      box->bottom = y + 1;
    }
  }
  return box;
}

// Draws the glyph with cairo at a whole-pixel position, which is where cairo's image backend puts
// every glyph, so the image is the one cairo would composite. Cropped to its ink: margins would
// be composited for nothing at every use.
PixmanImagePtr RenderGlyph(cairo_scaled_font_t* font, double xScale, double yScale,
                           unsigned long index, int& originX, int& originY) {
  cairo_glyph_t glyph{index, 0, 0};
  cairo_text_extents_t ink{};
  cairo_scaled_font_glyph_extents(font, &glyph, 1, &ink);
  // A pixel of margin absorbs any rounding between cairo's extents and its rasteriser.
  const int left = OutwardPixel(ink.x_bearing * xScale, false) - 1;
  const int top = OutwardPixel(ink.y_bearing * yScale, false) - 1;
  const int right = OutwardPixel((ink.x_bearing + ink.width) * xScale, true) + 1;
  const int bottom = OutwardPixel((ink.y_bearing + ink.height) * yScale, true) + 1;
  const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, right - left, bottom - top));
  {
    const ContextPtr cr(cairo_create(surface.get()));
    cairo_translate(cr.get(), -left, -top);
    cairo_scale(cr.get(), xScale, yScale);
    cairo_set_scaled_font(cr.get(), font);
    cairo_show_glyphs(cr.get(), &glyph, 1);
  }
  cairo_surface_flush(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return nullptr;
  }
  // A glyph without ink is cached as a transparent pixel, so that it is not drawn again.
  const InkBox box = FindInk(surface.get()).value_or(InkBox{0, 0, 1, 1});
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  PixmanImagePtr image(pixman_image_create_bits(PIXMAN_a8, width, height, nullptr, 0));
  if (!image) {
    return nullptr;
  }
  const unsigned char* from = cairo_image_surface_get_data(surface.get());
  const int fromStride = cairo_image_surface_get_stride(surface.get());
  auto* to = reinterpret_cast<unsigned char*>(pixman_image_get_data(image.get()));
  const int toStride = pixman_image_get_stride(image.get());
  for (int y = 0; y < height; ++y) {
    std::memcpy(to + static_cast<std::ptrdiff_t>(y) * toStride,
                from + static_cast<std::ptrdiff_t>(box.top + y) * fromStride + box.left,
                static_cast<std::size_t>(width));
  }
  originX = -left - box.left;
  originY = -top - box.top;
  return image;
}

// Glyph pointers from pixman's cache stay valid only while it is frozen.
class FrozenCache {
public:
  explicit FrozenCache(pixman_glyph_cache_t* cache) : fCache(cache) {
    pixman_glyph_cache_freeze(fCache);
  }
  ~FrozenCache() { pixman_glyph_cache_thaw(fCache); }
  FrozenCache(const FrozenCache&) = delete;
  FrozenCache& operator=(const FrozenCache&) = delete;

  // Lets pixman evict what it has to.
  void Thaw() {
    pixman_glyph_cache_thaw(fCache);
    pixman_glyph_cache_freeze(fCache);
  }

private:
  pixman_glyph_cache_t* fCache;
};

class ClipRegion {
public:
  ClipRegion(pixman_image_t* image, const pixman_box32_t& box) : fImage(image) {
    pixman_region32_init_rect(&fRegion, box.x1, box.y1, static_cast<unsigned>(box.x2 - box.x1),
                              static_cast<unsigned>(box.y2 - box.y1));
    pixman_image_set_clip_region32(fImage, &fRegion);
  }
  ~ClipRegion() {
    pixman_image_set_clip_region32(fImage, nullptr);
    pixman_region32_fini(&fRegion);
  }
  ClipRegion(const ClipRegion&) = delete;
  ClipRegion& operator=(const ClipRegion&) = delete;

private:
  pixman_image_t* fImage;
  pixman_region32_t fRegion;
};

} // namespace

GlyphCache::GlyphCache() : fCache(pixman_glyph_cache_create()) {}

void GlyphCache::Composite(pixman_image_t* canvas, const TextLayout& layout,
                           const GlyphPlacement& placement, const pixman_color_t& color) {
  const pixman_box32_t& clip = placement.clip;
  if (!fCache || clip.x1 >= clip.x2 || clip.y1 >= clip.y2) {
    return;
  }
  const ClipRegion clipped(canvas, clip);
  const PixmanImagePtr source(pixman_image_create_solid_fill(&color));
  if (!source) {
    return;
  }
  // Left over only if an earlier call threw, and pointing at glyphs pixman may have dropped.
  fBatch.clear();
  FrozenCache frozen(fCache.get());
  const std::vector<cairo_glyph_t>& glyphs = layout.Glyphs();
  std::size_t begin = 0;
  for (const TextLayout::FontRun& run : layout.Runs()) {
    const SizedFont& sized = Sized(run.font.get(), placement.xScale, placement.yScale);
    for (std::size_t i = begin; sized.device && i < run.end; ++i) {
      const void* image = Image(sized, glyphs[i].index);
      if (image == nullptr) {
        Flush(canvas, source.get());
        frozen.Thaw();
        image = Image(sized, glyphs[i].index);
      }
      if (image == nullptr) {
        continue;
      }
      fBatch.push_back(
          pixman_glyph_t{DevicePixel(placement.originX + glyphs[i].x * placement.xScale),
                         DevicePixel(placement.originY + glyphs[i].y * placement.yScale), image});
      if (fBatch.size() == kBatchGlyphs) {
        Flush(canvas, source.get());
      }
    }
    begin = run.end;
  }
  Flush(canvas, source.get());
}

const GlyphCache::SizedFont& GlyphCache::Sized(PangoFont* font, double xScale, double yScale) {
  const auto found = std::find_if(fFonts.begin(), fFonts.end(), [&](const SizedFont& sized) {
    return sized.font.get() == font && sized.xScale == xScale && sized.yScale == yScale;
  });
  if (found != fFonts.end()) {
    std::rotate(found, found + 1, fFonts.end());
    return fFonts.back();
  }
  if (fFonts.size() == kMaxFonts) {
    fFonts.erase(fFonts.begin());
  }
  fFonts.push_back(SizedFont{GObjectPtr<PangoFont>(static_cast<PangoFont*>(g_object_ref(font))),
                             xScale, yScale, DeviceFont(font, xScale, yScale), fNextKey++});
  return fFonts.back();
}

const void* GlyphCache::Image(const SizedFont& sized, unsigned long glyph) {
  void* fontKey = reinterpret_cast<void*>(sized.key);
  void* glyphKey = reinterpret_cast<void*>(static_cast<std::uintptr_t>(glyph));
  if (const void* cached = pixman_glyph_cache_lookup(fCache.get(), fontKey, glyphKey)) {
    return cached;
  }
  int originX = 0;
  int originY = 0;
  const PixmanImagePtr image =
      RenderGlyph(sized.device.get(), sized.xScale, sized.yScale, glyph, originX, originY);
  if (!image) {
    return nullptr;
  }
  return pixman_glyph_cache_insert(fCache.get(), fontKey, glyphKey, originX, originY, image.get());
}

void GlyphCache::Flush(pixman_image_t* canvas, pixman_image_t* source) {
  pixman_composite_glyphs_no_mask(PIXMAN_OP_OVER, source, canvas, 0, 0, 0, 0, fCache.get(),
                                  static_cast<int>(fBatch.size()), fBatch.data());
  fBatch.clear();
}

} // namespace layra::graphics
