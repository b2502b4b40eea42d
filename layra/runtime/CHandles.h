#pragma once
// The host's owners for the handles of the C libraries it uses, so that every way out of a
// function gives them back. A plug-in sees only the SDK and keeps its own.

#include <cairo.h>
#include <glib-object.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <pango/pango.h>
#include <pixman.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

namespace layra {

/** Gives a handle back with the C function that frees it. */
template <auto Free> struct CFree {
  template <typename T> void operator()(T* handle) const { Free(handle); }
};
template <typename T, auto Free> using CHandle = std::unique_ptr<T, CFree<Free>>;

inline void CloseFile(std::FILE* file) {
  std::fclose(file);
}
using FileHandle = CHandle<std::FILE, CloseFile>;

/** Closes a file descriptor on every way out; a negative one is no descriptor. */
class Descriptor {
public:
  explicit Descriptor(int fd) : fFD(fd) {}
  ~Descriptor() {
    if (fFD >= 0)
      ::close(fFD);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fFD; }
  int Release() { return std::exchange(fFD, -1); }
  // Closes now, for callers to whom a failed close means lost data.
  bool Close() { return ::close(Release()) == 0; }

private:
  int fFD;
};

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
