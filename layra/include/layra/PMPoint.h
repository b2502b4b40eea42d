#pragma once

/** A point on the screen; kInvalidMousePoint stands for "no mouse position". */
struct GSysPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(GSysPoint, GSysPoint) = default;
};

constexpr GSysPoint kInvalidMousePoint{-32767, -32767};
