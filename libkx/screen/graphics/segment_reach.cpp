#include "screen/graphics/segment_reach.h"

#include <algorithm>
#include <cmath>

namespace {

bool within_reach(const kx::exact_point& p) {
  return std::fabs(p.x) <= kx::pixel_reach && std::fabs(p.y) <= kx::pixel_reach;
}

}  // namespace

kx::reach_clip kx::clip_to_reach(exact_point& a, exact_point& b) {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return {false, 0};
  const bool a_in = within_reach(a), b_in = within_reach(b);
  if (a_in && b_in) return {true, 0};
  // Parametric clipping: the segment is a + t (b - a) for t in [enter, leave],
  // narrowed by each of the square's four sides.
  const double dx = b.x - a.x, dy = b.y - a.y;
  if (!std::isfinite(dx) || !std::isfinite(dy)) return {false, 0};
  double enter = 0, leave = 1;
  auto narrow = [&](double toward, double room) {
    if (toward == 0) return room >= 0;
    const double t = room / toward;
    if (toward < 0) {
      if (t > leave) return false;
      enter = std::max(enter, t);
    } else {
      if (t < enter) return false;
      leave = std::min(leave, t);
    }
    return true;
  };
  const double reach = pixel_reach;
  if (!narrow(-dx, a.x + reach) || !narrow(dx, reach - a.x) || !narrow(-dy, a.y + reach) ||
      !narrow(dy, reach - a.y)) {
    return {false, 0};
  }
  const exact_point start = a;
  // Rounding may leave a moved end a hair outside: it is put on the side.
  auto on_segment = [&](double t) {
    return exact_point{std::clamp(start.x + t * dx, -reach, reach), std::clamp(start.y + t * dy, -reach, reach)};
  };
  if (!a_in) a = on_segment(enter);
  if (!b_in) b = on_segment(leave);
  return {true, enter * std::max(std::fabs(dx), std::fabs(dy))};
}
