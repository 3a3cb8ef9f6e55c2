// The graphics gallery drawn in every graphics screen mode, read back from
// the window and compared pixel for pixel, in exact colours, with a picture
// computed here: each shape by its formula, each colour through the mode's
// default palette worked out from the colour rules rather than read from
// the runtime's tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "gallery_run.h"

namespace {

using namespace e2e;

constexpr int picture_width = 320, picture_height = 200;

struct mode_info {
  const char* name;
  int mode;  // 32 for the 32-bit page
  int width, height;
  uint32_t mask;            // 0 on the 32-bit page
  uint32_t default_colour;  // COLOR's default, as a palette index or 32-bit colour
  double aspect;            // the pixel aspect CIRCLE and DRAW assume
};

bool truecolour(const mode_info& m) { return m.mode == 32; }

void PrintTo(const mode_info& m, std::ostream* out) { *out << "SCREEN " << m.name; }

// Colour k of the gallery program on its 32-bit page.
uint32_t ink32(uint32_t k) {
  return 0xFF000000u | (k * 37 & 0xFF) << 16 | ((255 - k * 23) & 0xFF) << 8 | (k * 61 & 0xFF);
}

// The sixteen colours of the colour adapter: bit 0 blue, 1 green, 2 red at
// two thirds, bit 3 adds a third to all three; colour 6 is brown, not dark
// yellow.
uint32_t cga(uint32_t n) {
  if (n == 6) return 0xAA5500;
  const uint32_t bright = n & 8 ? 0x55 : 0;
  auto channel = [&](uint32_t bit) { return (n & bit ? 0xAAu : 0u) + bright; };
  return channel(4) << 16 | channel(2) << 8 | channel(1);
}

// The 64 colours of the enhanced adapter: bits 0/3 blue, 1/4 green, 2/5 red,
// the low bit of each worth two thirds and the high bit one third.
uint32_t ega(uint32_t n) {
  auto channel = [&](int low) { return (n >> low & 1 ? 0xAAu : 0u) + (n >> (low + 3) & 1 ? 0x55u : 0u); };
  return channel(2) << 16 | channel(1) << 8 | channel(0);
}

// What the window shows for a palette index in the mode's default palette
// (SCREEN 10 in the first half of its blink cycle). An index the gallery
// never uses gives a value no pixel has.
uint32_t shown_index(int mode, uint32_t i) {
  constexpr uint32_t unknown = 0x1000000;
  switch (mode) {
    case 1: {
      constexpr uint32_t entries[] = {0, 3, 5, 7};
      return cga(entries[i]);
    }
    case 2:
    case 11:
      return i ? 0xFFFFFF : 0;
    case 9: {
      constexpr uint32_t entries[] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
      return ega(entries[i]);
    }
    case 10: {
      // Attributes 0-3 pick intensity levels 0, 4, 6 and 8 of the monochrome
      // monitor's first blink row.
      constexpr uint32_t level[] = {0x000000, 0x808080, 0xFFFFFF, 0xFFFFFF};
      return level[i];
    }
    case 13:
      if (i < 16) return cga(i);
      if (i == 43) return 0xFFBE00;  // the hue circle's orange
      return unknown;
    default:
      return i < 16 ? cga(i) : unknown;
  }
}

// One channel of a translucent colour written over an opaque pixel.
uint32_t blended(uint32_t d, uint32_t s, uint32_t alpha) {
  return uint32_t(std::nearbyint(d * (1 - alpha / 255.0) + s * (alpha / 255.0)));
}

// The picture as the program's colour values: palette indexes (masked as a
// write masks them) or 32-bit colours.
class picture {
 public:
  explicit picture(const mode_info& m) : m_(m), pixels_(picture_width * picture_height, 0) {}

  uint32_t at(int x, int y) const { return pixels_[y * picture_width + x]; }
  void set(int x, int y, uint32_t v) {
    if (x >= 0 && y >= 0 && x < picture_width && y < picture_height) pixels_[y * picture_width + x] = v;
  }
  // Colour number k as the program writes it.
  uint32_t ink(uint32_t k) const { return truecolour(m_) ? ink32(k) : k & m_.mask; }

  // A line by its formula: the longer axis steps by one pixel, the other
  // moves by the slope and is rounded half away from zero (exact integer
  // arithmetic: every coordinate here is positive). Pixel i is drawn when
  // bit 15 - (i mod 16) of the style is set.
  void line(int x1, int y1, int x2, int y2, uint32_t v, uint32_t style = 0xFFFF) {
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int n = std::max(dx, dy);
    for (int i = 0; i <= n; ++i) {
      int x, y;
      if (dy < dx) {
        x = x1 + (x2 > x1 ? i : -i);
        y = nearest(int64_t{y1} * dx + int64_t{i} * (y2 - y1), dx);
      } else if (dy == 0) {
        x = x1, y = y1;
      } else {
        y = y1 + (y2 > y1 ? i : -i);
        x = nearest(int64_t{x1} * dy + int64_t{i} * (x2 - x1), dy);
      }
      if (style >> (15 - i % 16) & 1) set(x, y, v);
    }
  }
  // LINE ..., B: four sides, each starting the style afresh.
  void frame(int x1, int y1, int x2, int y2, uint32_t v, uint32_t style = 0xFFFF) {
    line(x1, y1, x2, y1, v, style);
    line(x2, y1, x2, y2, v, style);
    line(x2, y2, x1, y2, v, style);
    line(x1, y2, x1, y1, v, style);
  }
  void box(int x1, int y1, int x2, int y2, uint32_t v) {
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) set(x, y, v);
  }
  // PAINT: the 4-connected region around (x, y) of pixels other than the
  // border takes the fill.
  void paint(int x, int y, uint32_t fill, uint32_t border) {
    std::vector<char> seen(pixels_.size(), 0);
    std::vector<std::pair<int, int>> todo{{x, y}};
    while (!todo.empty()) {
      const auto [px, py] = todo.back();
      todo.pop_back();
      if (px < 0 || py < 0 || px >= picture_width || py >= picture_height) continue;
      char& s = seen[py * picture_width + px];
      if (s || at(px, py) == border) continue;
      s = 1;
      set(px, py, fill);
      todo.insert(todo.end(), {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}});
    }
  }
  // An ellipse arc (start to end, start <= end, in radians) by its
  // parametric form: a quarter of the circumference in steps of equal
  // angle, each step's offset rounded, a point drawn only once the walk has
  // moved on by more than a pixel, and mirrored into the four quadrants.
  void arc(int cx, int cy, double r, uint32_t v, double start, double end) {
    const double pi = std::acos(-1.0);
    double xspan = r, yspan = r;
    if (m_.aspect < 1) yspan = r * m_.aspect;
    if (m_.aspect > 1) xspan = r / m_.aspect;
    const int steps = static_cast<int>(0.5 + 2 * pi * r / 4);
    const double d = (pi / 2) / steps;
    auto in_arc = [&](double a) { return a >= start - 1e-9 && a <= end + 1e-9; };
    int last_x = -1, last_y = 0, pending_x = 0, pending_y = 0;
    double t = 0;
    auto mirror = [&](int qx, int qy) {
      if (in_arc(t)) set(cx + qx, cy + qy, v);
      if (in_arc(pi - t)) set(cx - qx, cy + qy, v);
      if (in_arc(pi + t)) set(cx - qx, cy - qy, v);
      if (in_arc(2 * pi - t)) set(cx + qx, cy - qy, v);
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

 private:
  // num / den (den > 0, num >= 0) rounded half up.
  static int nearest(int64_t num, int64_t den) { return static_cast<int>((2 * num + den) / (2 * den)); }

  const mode_info& m_;
  std::vector<uint32_t> pixels_;
};

// The gallery as its statements define it (see the program's header).
picture gallery(const mode_info& m) {
  picture p(m);
  const double pi = std::acos(-1.0);
  p.line(10, 10, 100, 10, p.ink(9));
  p.line(10, 20, 60, 70, m.default_colour);
  p.line(10, 80, 100, 100, p.ink(14));  // slope 2/9: never half a pixel off
  p.line(105, 20, 115, 95, p.ink(3));   // slope 2/15 along y
  p.frame(120, 10, 170, 40, p.ink(12));
  p.box(180, 10, 220, 40, p.ink(5));
  p.line(10, 110, 100, 110, p.ink(10), 0xF0F0);
  p.frame(120, 50, 150, 70, p.ink(13), 0xCCCC);
  // DRAW: a square, a V of diagonals, a relative move up and right, and
  // "up" turned 90 degrees, which runs left by 10 / aspect pixels.
  const uint32_t pen = p.ink(6);
  p.frame(180, 60, 200, 80, pen);
  p.line(185, 65, 190, 70, pen);
  p.line(190, 70, 195, 65, pen);
  p.line(20, 130, 50, 120, pen);
  p.line(210, 105, 210 - static_cast<int>(std::lround(10 / m.aspect)), 105, pen);
  // A triangle with steps of 7/8 pixel: its ties round away from zero.
  p.line(230, 60, 300, 60, p.ink(1));
  p.line(300, 60, 265, 100, p.ink(1));
  p.line(265, 100, 230, 60, p.ink(1));
  p.paint(265, 70, p.ink(4), p.ink(1));
  p.frame(250, 110, 300, 150, p.ink(2));
  p.paint(275, 130, p.ink(2), p.ink(2));
  // Radii chosen so that no step's offset lies within rounding error of a
  // half pixel: here each step's angle is computed afresh, where the
  // runtime rotates a vector step by step.
  p.arc(40, 160, 20, p.ink(11), 0, 2 * pi);
  p.arc(100, 160, 14, p.ink(7), 0, 1.5);
  p.arc(170, 160, 20, p.ink(3), 0, 2 * pi);
  p.paint(170, 160, p.ink(6), p.ink(3));
  p.line(10, 190, 220, 190, p.ink(43));
  if (truecolour(m)) {
    p.box(230, 165, 300, 195, p.ink(5));
    const uint32_t under = p.ink(5), over = 0xFF8000, alpha = 0x40;
    uint32_t mixed = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
      mixed |= blended(under >> shift & 0xFF, over >> shift & 0xFF, alpha) << shift;
    }
    p.box(250, 170, 290, 190, mixed);
  }
  return p;
}

class Graphics : public ::testing::TestWithParam<mode_info> {};

TEST_P(Graphics, GalleryMatchesItsFormulas) {
  const mode_info m = GetParam();
  const picture want = gallery(m);
  run_gallery("graphics_gallery", m.name, m.width, m.height, [&](const page_pixel& at, std::string& report) {
    int wrong = 0;
    for (int y = 0; y < picture_height; ++y) {
      for (int x = 0; x < picture_width; ++x) {
        const uint32_t v = want.at(x, y);
        const uint32_t expected = truecolour(m) ? v & 0xFFFFFF : shown_index(m.mode, v);
        const uint32_t got = at(x, y);
        if (got != expected && ++wrong <= 5) {
          char colours[40];
          std::snprintf(colours, sizeof colours, "%06X not %06X ", got, expected);
          report += pixel_name(x, y) + colours;
        }
      }
    }
    return wrong;
  });
}

constexpr double aspect_200_lines = 5.0 / 6, aspect_narrow = 0.4166666666666667, aspect_350 = 0.7291666666666666;

INSTANTIATE_TEST_SUITE_P(EveryGraphicsMode, Graphics,
                         ::testing::Values(mode_info{"1", 1, 320, 200, 3, 3, aspect_200_lines},
                                           mode_info{"2", 2, 640, 200, 1, 1, aspect_narrow},
                                           mode_info{"7", 7, 320, 200, 15, 15, aspect_200_lines},
                                           mode_info{"8", 8, 640, 200, 15, 15, aspect_narrow},
                                           mode_info{"9", 9, 640, 350, 15, 15, aspect_350},
                                           mode_info{"10", 10, 640, 350, 3, 3, aspect_350},
                                           mode_info{"11", 11, 640, 480, 1, 1, 1},
                                           mode_info{"12", 12, 640, 480, 15, 15, 1},
                                           mode_info{"13", 13, 320, 200, 255, 15, aspect_200_lines},
                                           mode_info{"32", 32, 320, 200, 0, 0xFFFFFFFF, 1}),
                         [](const auto& info) { return std::string("mode_") + info.param.name; });

}  // namespace
