#pragma once
// Clipping a segment given in real pixel coordinates to the square the
// integer line code can hold (coordinates up to pixel_reach), so that a line
// whose end lies beyond the integer range keeps its direction instead of
// having that end saturate somewhere else.
#include "screen/graphics/coordinates.h"

namespace kx {

struct reach_clip {
  bool visible;    // false: no part of the segment lies within reach
  double skipped;  // pixel steps cut off the segment's start, for its style
};

// Moves a and b along the segment onto the square's edges where they lie
// outside it. An end within reach is left exactly as it was. A coordinate
// that is not finite makes the segment invisible.
reach_clip clip_to_reach(exact_point& a, exact_point& b);

}  // namespace kx
