#include "screen/graphics/circle.h"

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "screen/graphics/aspect.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/lines.h"
#include "screen/images/blend.h"
#include "screen/images/image_table.h"

namespace {

constexpr double pi = 3.141592653589793;
constexpr double two_pi = 6.283185307179586;
// Programs pass 2 * PI computed in single precision (6.2831855), a hair
// above 2·pi in double: angles up to that value count as a full turn.
constexpr double two_pi_single = static_cast<double>(static_cast<float>(two_pi));
// Walks longer than this many steps skip the stretch of the quarter arc
// where no mirrored point can reach the viewport.
constexpr double skip_threshold = 4096;
constexpr double steps_max = 9007199254740992.0;  // 2^53: every step count exact

double round_half_away(double v) { return v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5); }

// Takes an angle's magnitude, noting whether it asked for a radius line.
// False for magnitudes beyond a full turn.
bool read_angle(double& angle, bool& radius_line) {
  radius_line = angle < 0;
  angle = std::fabs(angle);
  if (angle > two_pi) {
    if (!(angle <= two_pi_single)) return false;
    angle = two_pi;
  }
  return true;
}

struct ellipse {
  double cx, cy, xspan, yspan;
  uint32_t colour;
};

// A radius line from the centre to the ellipse point at the angle. Ends far
// outside the image are clipped along the line, keeping its direction.
void radius_line(const ellipse& e, double angle) {
  const double dx = std::trunc(0.5 + std::cos(angle) * e.xspan);
  const double dy = -std::trunc(e.yspan * std::sin(angle) - 0.5);
  kx::fast_line_exact({e.cx, e.cy}, {e.cx + dx, e.cy + dy}, e.colour);
}

void plot(const kx::graphics_state& g, double x, double y, uint32_t colour) {
  if (x >= g.view_x1 && x <= g.view_x2 && y >= g.view_y1 && y <= g.view_y2) {
    pset(static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
  }
}

// The quarter arc, computed once by rotating a unit vector and mirrored
// into the four quadrants. A point is plotted only when the walk moves on by
// more than a pixel, so the ellipse has no doubled pixels.
void walk(const kx::graphics_state& g, const ellipse& e, double r, double start, double end, bool exclusive) {
  const double steps = std::min(std::trunc(0.5 + two_pi * r / 4), steps_max);
  const double d = (pi / 2) / steps;
  const double sin_d = std::sin(d), cos_d = std::cos(d);
  double px = 1, py = 0;
  double arc1 = 0, arc2 = pi, arc3 = pi, arc4 = two_pi;
  double first = 0;
  // Offsets beyond these reach no pixel of the viewport in any quadrant.
  const double x_reach = std::max(std::fabs(g.view_x1 - e.cx), std::fabs(g.view_x2 - e.cx)) + 2;
  const double y_reach = std::max(std::fabs(g.view_y1 - e.cy), std::fabs(g.view_y2 - e.cy)) + 2;
  // y offsets below this reach no row of the viewport either: the walk
  // starts on the ellipse's widest row, and a centre far above or below the
  // viewport leaves a long first stretch that only sweeps rows outside it.
  const double y_near = e.cy < g.view_y1 || e.cy > g.view_y2
                            ? std::min(std::fabs(g.view_y1 - e.cy), std::fabs(g.view_y2 - e.cy)) - 2
                            : 0;
  if (steps > skip_threshold && (e.xspan > x_reach || (y_near > 0 && e.yspan > y_near))) {
    // The walk's angle grows with i: x offsets shrink from xspan, y offsets
    // grow from 0. Skip to whichever of the two comes into reach last.
    double skip = 0;
    if (e.xspan > x_reach) skip = std::floor(std::acos(x_reach / e.xspan) / d) - 2;
    if (y_near > 0 && e.yspan > y_near) skip = std::max(skip, std::floor(std::asin(y_near / e.yspan) / d) - 2);
    if (skip > skip_threshold) {
      first = skip;
      px = std::cos(first * d);
      py = -std::sin(first * d);
      arc1 = first * d;
      arc2 = pi - first * d;
      arc3 = pi + first * d;
      arc4 = two_pi - first * d;
    }
  }
  auto passes = [&](double arc) { return exclusive ? (arc <= start || arc >= end) : (arc >= start && arc <= end); };
  auto plot_four = [&](double qx, double qy) {
    if (passes(arc1)) plot(g, e.cx + qx, e.cy + qy, e.colour);
    if (passes(arc2)) plot(g, e.cx - qx, e.cy + qy, e.colour);
    if (passes(arc3)) plot(g, e.cx - qx, e.cy - qy, e.colour);
    if (passes(arc4)) plot(g, e.cx + qx, e.cy - qy, e.colour);
  };
  double last_x = -1, last_y = 0, pending_x = 0, pending_y = 0;
  for (double i = first;;) {
    const double ox = std::trunc(0.5 + px * e.xspan), oy = std::trunc(e.yspan * py - 0.5);
    if (i == first) {
      pending_x = ox;
      pending_y = oy;
    }
    if (i == first || !(std::fabs(ox - last_x) <= 1 && std::fabs(oy - last_y) < 2)) {
      plot_four(pending_x, pending_y);
      last_x = pending_x;
      last_y = pending_y;
    }
    // y offsets only grow: once the pending point is out of reach, so is
    // everything after it.
    if (-pending_y > y_reach && -oy > y_reach) return;
    pending_x = ox;
    pending_y = oy;
    if (++i > steps) {
      plot_four(pending_x, pending_y);
      return;
    }
    const double npx = sin_d * py + cos_d * px;
    py = cos_d * py - sin_d * px;
    px = npx;
    arc1 += d;
    arc2 -= d;
    arc3 += d;
    arc4 -= d;
  }
}

}  // namespace

void sub_circle(double x, double y, double radius, uint32_t colour, double start, double end, double aspect,
                int32_t passed) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  if (!(passed & 4)) start = 0;
  if (!(passed & 8)) end = two_pi;
  bool line_to_start, line_to_end;
  if (!read_angle(start, line_to_start) || !read_angle(end, line_to_end)) {
    error(err::illegal_function_call);
    return;
  }
  bool exclusive = false;
  if (start > end) {
    std::swap(start, end);
    std::swap(line_to_start, line_to_end);
    exclusive = true;
  }
  auto& g = image->graphics;
  if (passed & 1) {
    x += g.x;
    y += g.y;
  }
  g.x = static_cast<float>(x);
  g.y = static_cast<float>(y);
  const auto centre = kx::to_pixel_exact(g, x, y);
  const auto rim = kx::to_pixel_exact(g, x + radius, y);
  const double r = std::fabs(rim.x - centre.x);
  if (!std::isfinite(r) || !std::isfinite(centre.x) || !std::isfinite(centre.y)) return;
  ellipse e{round_half_away(centre.x), round_half_away(centre.y), r, r, 0};
  if (!(passed & 16)) aspect = kx::pixel_aspect(image->mode);
  if (aspect >= 0) {
    if (aspect < 1) e.yspan = r * aspect;
    if (aspect > 1) e.xspan = r / aspect;
  } else if (aspect > -1) {
    e.yspan = r * (aspect + 1);
  }
  if (e.cx + (e.xspan + 0.5) < g.view_x1 || e.cx - (e.xspan + 0.5) > g.view_x2 ||
      e.cy + (e.yspan + 0.5) < g.view_y1 || e.cy - (e.yspan + 0.5) > g.view_y2) {
    return;
  }
  e.colour = (passed & 2) ? colour : image->color;
  image->draw_color = e.colour;
  if (line_to_start) radius_line(e, start);
  walk(g, e, r, start, end, exclusive);
  if (line_to_end) radius_line(e, end);
}
