#pragma once

#include <graphics/PageScene.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace layra::graphics {

// Where the characters of a laid out frame stand, line by line, as the typesetter places their
// glyphs: what a window needs to put a caret between them, find the one under the pointer and
// mark a range. Offsets are bytes of the text laid out, at character starts; lengths are points
// from the frame's top-left corner.
class TextCarets {
public:
  // One cluster of glyphs: the characters it shows and the room it takes on its line.
  struct Cell {
    std::size_t start, end;
    double left, right;
    bool rightToLeft;
  };

  struct Line {
    std::size_t start, end; // with the spaces where the line wraps, which take no room
    double top, bottom;
    std::vector<Cell> cells; // left to right
  };

  struct Caret {
    double x, top, bottom;
  };

  const std::vector<Line>& Lines() const { return fLines; }

  // The offset nearest to the point: on the line at that height (the first or the last one
  // above or below them all), the edge of the character under the point or nearest to it.
  std::size_t OffsetAt(double x, double y) const;
  // Where a caret before `offset` stands; at a wrap it starts the next line. Nullopt when no
  // line holds the offset.
  std::optional<Caret> CaretAt(std::size_t offset) const;
  // The boxes that show the characters of [start, end): one for each run of neighbouring cells.
  std::vector<Rect> Areas(std::size_t start, std::size_t end) const;

private:
  friend class Typesetter;

  std::vector<Line> fLines;
};

} // namespace layra::graphics
