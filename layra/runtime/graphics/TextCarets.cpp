#include <graphics/TextCarets.h>

#include <algorithm>

namespace layra::graphics {
namespace {

// The logically last character of a line: where a caret after all of it stands.
const TextCarets::Cell* LastCell(const TextCarets::Line& line) {
  const auto last =
      std::max_element(line.cells.begin(), line.cells.end(),
                       [](const auto& a, const auto& b) { return a.start < b.start; });
  return last == line.cells.end() ? nullptr : &*last;
}

} // namespace

std::size_t TextCarets::OffsetAt(double x, double y) const {
  if (fLines.empty()) {
    return 0;
  }
  const auto below =
      std::find_if(fLines.begin(), fLines.end(), [y](const Line& line) { return y < line.bottom; });
  const Line& line = below == fLines.end() ? fLines.back() : *below;
  if (line.cells.empty()) {
    return line.start;
  }
  const auto under = std::find_if(line.cells.begin(), line.cells.end(),
                                  [x](const Cell& cell) { return x < cell.right; });
  const Cell& cell = under == line.cells.end() ? line.cells.back() : *under;
  const bool leftHalf = x < (cell.left + cell.right) / 2;
  return leftHalf != cell.rightToLeft ? cell.start : cell.end;
}

std::optional<TextCarets::Caret> TextCarets::CaretAt(std::size_t offset) const {
  const Line* holder = nullptr;
  for (const Line& line : fLines) {
    if (line.start <= offset && offset <= line.end) {
      holder = &line;
    }
  }
  if (holder == nullptr) {
    return std::nullopt;
  }
  const auto cell = std::find_if(holder->cells.begin(), holder->cells.end(), [&](const Cell& c) {
    return c.start <= offset && offset < c.end;
  });
  if (cell != holder->cells.end()) {
    return Caret{cell->rightToLeft ? cell->right : cell->left, holder->top, holder->bottom};
  }
  const Cell* last = LastCell(*holder);
  const double x = last == nullptr ? 0 : last->rightToLeft ? last->left : last->right;
  return Caret{x, holder->top, holder->bottom};
}

std::vector<Rect> TextCarets::Areas(std::size_t start, std::size_t end) const {
  std::vector<Rect> areas;
  for (const Line& line : fLines) {
    bool open = false;
    for (const Cell& cell : line.cells) {
      const bool inside = cell.start < end && start < cell.end;
      if (inside && open) {
        areas.back().right = std::max(areas.back().right, cell.right);
      } else if (inside) {
        areas.push_back(Rect{cell.left, line.top, cell.right, line.bottom});
      }
      open = inside;
    }
  }
  return areas;
}

} // namespace layra::graphics
