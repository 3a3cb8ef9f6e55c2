#pragma once
// The rectangles of a _PUTIMAGE: which corners the program gave, and the
// source and destination rectangles the missing ones imply.
#include <cstdint>
#include <optional>

namespace kx {

struct corner_pair {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  bool first = false, second = false;  // which corners were given
};

struct copy_plan {
  double dx1, dy1, dx2, dy2;  // destination pixels, in the given order
  double sx1, sy1, sx2, sy2;  // source pixels, in the given order
  bool stretch;
};

// Fills the missing corners from the images' sizes; nothing (error 5 for
// the caller) for a first source corner with neither a second source
// corner nor a second destination corner.
std::optional<copy_plan> plan_copy(const corner_pair& dst, const corner_pair& src, double dst_w, double dst_h,
                                   double src_w, double src_h);

}  // namespace kx
