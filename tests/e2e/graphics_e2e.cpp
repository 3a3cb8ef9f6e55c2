// The graphics gallery drawn in every graphics screen mode, read back from
// the window and compared pixel for pixel with pictures computed here.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "gallery_run.h"

namespace {

using namespace e2e;
using pixel_set = std::set<std::pair<int, int>>;

// The pixel aspect a circle gets in each mode: pixels are taller than
// wide in the 200- and 350-line modes.
double aspect_of(const std::string& mode) {
  if (mode == "1" || mode == "7" || mode == "13") return 5.0 / 6.0;
  if (mode == "2" || mode == "8") return 5.0 / 12.0;
  if (mode == "9" || mode == "10") return 0.7291666666666666;
  return 1;
}

// An ellipse arc (start to end, start <= end, in radians) by its
// parametric form: a quarter of the circumference in steps of equal angle,
// each step's offset rounded, a point drawn only once the walk has moved on
// by more than a pixel, and mirrored into the four quadrants.
void ellipse_arc(pixel_set& s, int cx, int cy, double r, double aspect, double start, double end) {
  const double pi = std::acos(-1.0);
  double xspan = r, yspan = r;
  if (aspect < 1) yspan = r * aspect;
  if (aspect > 1) xspan = r / aspect;
  const int steps = static_cast<int>(0.5 + 2 * pi * r / 4);
  const double d = (pi / 2) / steps;
  auto in_arc = [&](double a) { return a >= start - 1e-9 && a <= end + 1e-9; };
  int last_x = -1, last_y = 0, pending_x = 0, pending_y = 0;
  double t = 0;
  auto mirror = [&](int qx, int qy) {
    if (in_arc(t)) s.insert({cx + qx, cy + qy});
    if (in_arc(pi - t)) s.insert({cx - qx, cy + qy});
    if (in_arc(pi + t)) s.insert({cx - qx, cy - qy});
    if (in_arc(2 * pi - t)) s.insert({cx + qx, cy - qy});
  };
  for (int i = 0; i <= steps; ++i) {
    t = i * d;
    const int ox = static_cast<int>(std::trunc(0.5 + std::cos(t) * xspan));
    const int oy = static_cast<int>(std::trunc(-std::sin(t) * yspan - 0.5));
    if (i == 0) pending_x = ox, pending_y = oy;
    if (i == 0 || std::abs(ox - last_x) > 1 || std::abs(oy - last_y) >= 2) {
      mirror(pending_x, pending_y);
      last_x = pending_x, last_y = pending_y;
    }
    pending_x = ox, pending_y = oy;
  }
  mirror(pending_x, pending_y);
}

// The gallery as its statements define it, each shape by its formula.
pixel_set gallery(const std::string& mode) {
  pixel_set s;
  auto row = [&](int x1, int x2, int y) {
    for (int x = x1; x <= x2; ++x) s.insert({x, y});
  };
  auto column = [&](int x, int y1, int y2) {
    for (int y = y1; y <= y2; ++y) s.insert({x, y});
  };
  auto frame = [&](int x1, int y1, int x2, int y2) {
    row(x1, x2, y1), row(x1, x2, y2), column(x1, y1, y2), column(x2, y1, y2);
  };
  row(10, 100, 10);
  for (int i = 0; i <= 50; ++i) s.insert({10 + i, 20 + i});
  frame(120, 10, 170, 40);
  for (int y = 10; y <= 40; ++y) row(180, 220, y);
  for (int x = 10; x <= 100; ++x) {
    if ((x - 10) % 8 < 4) s.insert({x, 90});  // &HF0F0: four on, four off
  }
  frame(120, 60, 140, 80);
  for (int y = 60; y <= 80; ++y) row(150, 170, y);
  // Radii chosen so that no step's offset lies within rounding error of a
  // half pixel: here each step's angle is computed afresh, where the
  // runtime rotates a vector step by step.
  const double pi = std::acos(-1.0);
  ellipse_arc(s, 260, 40, 20, aspect_of(mode), 0, 2 * pi);
  ellipse_arc(s, 270, 80, 14, aspect_of(mode), 0, 1.5);
  return s;
}

struct mode_size {
  const char* mode;
  int width, height;
};

class Graphics : public ::testing::TestWithParam<mode_size> {};

TEST_P(Graphics, GalleryMatchesItsFormulas) {
  const mode_size m = GetParam();
  const pixel_set want = gallery(m.mode);
  run_gallery("graphics_gallery", m.mode, m.width, m.height, [&](const page_pixel& at, std::string& report) {
    int wrong = 0;
    for (int y = 0; y < 100; ++y) {
      for (int x = 0; x < 300; ++x) {
        if ((at(x, y) != 0) != (want.count({x, y}) != 0) && ++wrong <= 5) report += pixel_name(x, y);
      }
    }
    return wrong;
  });
}

INSTANTIATE_TEST_SUITE_P(EveryGraphicsMode, Graphics,
                         ::testing::Values(mode_size{"1", 320, 200}, mode_size{"2", 640, 200},
                                           mode_size{"7", 320, 200}, mode_size{"8", 640, 200},
                                           mode_size{"9", 640, 350}, mode_size{"10", 640, 350},
                                           mode_size{"11", 640, 480}, mode_size{"12", 640, 480},
                                           mode_size{"13", 320, 200}, mode_size{"32", 320, 200}),
                         [](const auto& info) { return std::string("mode_") + info.param.mode; });

}  // namespace
