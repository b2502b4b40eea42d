#pragma once
// The host's owners for the handles of the C libraries it uses, so that every way out of a
// function gives them back: the C library's from the platform's owners, the rest here.

#include <cairo.h>
#include <glib-object.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pango/pango.h>
#include <pixman.h>
#include <platform/CHandles.h>
#include <turbojpeg.h>

namespace layra {

using platform::CFree;
using platform::CHandle;
using platform::Descriptor;
using platform::FileHandle;

// libxml2 frees its strings through a function pointer it may swap, so that one is read late.
inline void FreeXmlString(xmlChar* text) {
  xmlFree(text);
}
using XmlStringHandle = CHandle<xmlChar, FreeXmlString>;
using XmlParserContextHandle = CHandle<xmlParserCtxt, xmlFreeParserCtxt>;

using TjHandle = CHandle<void, tjDestroy>;
using TjBuffer = CHandle<unsigned char, tjFree>;

namespace graphics {

using SurfacePtr = CHandle<cairo_surface_t, cairo_surface_destroy>;
using ContextPtr = CHandle<cairo_t, cairo_destroy>;
using FontOptionsPtr = CHandle<cairo_font_options_t, cairo_font_options_destroy>;
using ScaledFontPtr = CHandle<cairo_scaled_font_t, cairo_scaled_font_destroy>;
using PixmanImagePtr = CHandle<pixman_image_t, pixman_image_unref>;
using PixmanGlyphCachePtr = CHandle<pixman_glyph_cache_t, pixman_glyph_cache_destroy>;
template <typename T> using GObjectPtr = CHandle<T, g_object_unref>;
using FontDescriptionPtr = CHandle<PangoFontDescription, pango_font_description_free>;
using ItemPtr = CHandle<PangoItem, pango_item_free>;
// For the list pango_itemize returns. Items already taken out of it are left as null.
inline void FreeItemList(GList* items) {
  g_list_free_full(items, [](gpointer item) {
    if (item != nullptr)
      pango_item_free(static_cast<PangoItem*>(item));
  });
}
using ItemListPtr = CHandle<GList, FreeItemList>;
using GlyphStringPtr = CHandle<PangoGlyphString, pango_glyph_string_free>;

} // namespace graphics
} // namespace layra
