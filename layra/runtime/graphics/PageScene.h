#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace layra::graphics {

// Channels in 0..1.
struct Color {
  double r, g, b;
};

// Page coordinates in points, origin at the top-left corner of the page.
struct Rect {
  double left, top, right, bottom;
};

struct RectangleItem {
  Rect bounds;
  std::optional<Color> fill;
  std::optional<Color> stroke;
  double strokeWidth = 1;
};

struct TextItem {
  Rect bounds;
  // UTF-8; only the part of the story that this frame shows.
  std::string text;
  double fontSize = 12;
  Color color{0, 0, 0};
  std::string fontFamily = "DejaVu Sans";
};

struct ImageItem {
  Rect bounds;
  // Complete PNG or JPEG file bytes.
  std::vector<unsigned char> encoded;
};

using PageItem = std::variant<RectangleItem, TextItem, ImageItem>;

// Items are drawn in order, later ones on top.
struct PageScene {
  double width, height;
  std::vector<PageItem> items;
};

} // namespace layra::graphics
