#pragma once

#include <cairo.h>
#include <glib-object.h>
#include <pango/pango.h>
#include <pixman.h>

#include <memory>

namespace layra::graphics {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

struct CairoContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using ContextPtr = std::unique_ptr<cairo_t, CairoContextDeleter>;

struct CairoFontOptionsDeleter {
  void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, CairoFontOptionsDeleter>;

struct ScaledFontDeleter {
  void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
};
using ScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, ScaledFontDeleter>;

struct PixmanImageDeleter {
  void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImagePtr = std::unique_ptr<pixman_image_t, PixmanImageDeleter>;

struct PixmanGlyphCacheDeleter {
  void operator()(pixman_glyph_cache_t* cache) const { pixman_glyph_cache_destroy(cache); }
};
using PixmanGlyphCachePtr = std::unique_ptr<pixman_glyph_cache_t, PixmanGlyphCacheDeleter>;

struct GObjectDeleter {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct FontDescriptionDeleter {
  void operator()(PangoFontDescription* description) const {
    pango_font_description_free(description);
  }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionDeleter>;

struct ItemDeleter {
  void operator()(PangoItem* item) const { pango_item_free(item); }
};
using ItemPtr = std::unique_ptr<PangoItem, ItemDeleter>;

// For the list pango_itemize returns. Items already taken out of it are left as null.
struct ItemListDeleter {
  void operator()(GList* items) const {
    g_list_free_full(items, [](gpointer item) {
      if (item != nullptr) {
        pango_item_free(static_cast<PangoItem*>(item));
      }
    });
  }
};
using ItemListPtr = std::unique_ptr<GList, ItemListDeleter>;

struct GlyphStringDeleter {
  void operator()(PangoGlyphString* glyphs) const { pango_glyph_string_free(glyphs); }
};
using GlyphStringPtr = std::unique_ptr<PangoGlyphString, GlyphStringDeleter>;

} // namespace layra::graphics
