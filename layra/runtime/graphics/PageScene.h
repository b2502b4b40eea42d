#pragma once

#include <memory>
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

// Complete PNG or JPEG file bytes, shared and never changed once made, so that a renderer can
// keep what it decoded for as long as the bytes live.
using EncodedImage = std::shared_ptr<const std::vector<unsigned char>>;

struct ImageItem {
  ImageItem(Rect bounds, EncodedImage encoded) : bounds(bounds), encoded(std::move(encoded)) {}
  ImageItem(Rect bounds, std::vector<unsigned char> bytes)
      : ImageItem(bounds, std::make_shared<const std::vector<unsigned char>>(std::move(bytes))) {}

  Rect bounds;
  EncodedImage encoded;
};

using PageItem = std::variant<RectangleItem, TextItem, ImageItem>;

// Items are drawn in order, later ones on top.
struct PageScene {
  double width, height;
  std::vector<PageItem> items;
};

} // namespace layra::graphics
