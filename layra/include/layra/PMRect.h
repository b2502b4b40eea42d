#pragma once

/** A rectangle in points, origin at the top-left corner of the page. */
struct PMRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
  friend bool operator==(const PMRect&, const PMRect&) = default;
};
