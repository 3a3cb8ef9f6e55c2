#pragma once
// The pixel aspect of each legacy screen mode: the height of a pixel over
// its width on the old machine's display, as CIRCLE and DRAW correct for.
#include <cstdint>

namespace kx {

constexpr double pixel_aspect(int32_t mode) {
  switch (mode) {
    case 1:
    case 7:
    case 13:
      return 0.8333333333333334;
    case 2:
    case 8:
      return 0.4166666666666667;
    case 9:
    case 10:
      return 0.7291666666666666;
    default:
      return 1;
  }
}

}  // namespace kx
