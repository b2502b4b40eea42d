#pragma once

#include <graphics/PageScene.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace layra::graphics {

// cairo converts channels to integers without guarding against NaN, so clean them here.
inline double SafeChannel(double value) {
  return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

inline void SetSourceColor(cairo_t* cr, const Color& color) {
  cairo_set_source_rgb(cr, SafeChannel(color.r), SafeChannel(color.g), SafeChannel(color.b));
}

} // namespace layra::graphics
