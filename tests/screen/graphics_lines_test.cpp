// LINE, its styles and box forms, and the line clipper.
#include <cmath>
#include <random>

#include "graphics_screen.h"
#include "screen/graphics/box_fill.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/pixels.h"

namespace {

class Lines : public graphics_screen {};

TEST_F(Lines, StyleStartsWithItsTopBitAndEachBoxSideRestartsIt) {
  screen(13);
  sub_line(0, 0, 10, 0, 1, 0, 0xF0F0, 1 | 8 | 16);
  pixel_set want;
  for (int32_t x : {0, 1, 2, 3, 8, 9, 10}) want.insert({x, 0});
  EXPECT_EQ(lit(), want);
  // The cursor is the second point: LINE -(x, y) starts there.
  sub_line(0, 0, 10, 5, 2, 0, 0, 8);
  EXPECT_EQ(at(10, 5), 2u);
  EXPECT_FLOAT_EQ(write_page->graphics.x, 10);
  sub_line(0, 0, 0, 3, 3, 0, 0, 2 | 8);  // -STEP(0, 3), 3
  for (int32_t y = 5; y <= 8; ++y) EXPECT_EQ(at(10, y), 3u) << y;
  // B: four sides, each from its own corner with the style restarted.
  clear();
  sub_line(20, 20, 25, 24, 6, 1, 0xC000, 1 | 8 | 16);
  EXPECT_EQ((pixel_set{{20, 20}, {21, 20}, {25, 20}, {25, 21}, {25, 24}, {24, 24}, {20, 24}, {20, 23}}), lit());
}

TEST_F(Lines, FilledBoxesIgnoreCornerOrderAndClampToTheViewport) {
  screen(13);
  sub_line(10, 10, 0, 0, 4, 2, 0x8000, 1 | 8 | 16);
  const pixel_set reversed = lit();
  clear();
  sub_line(0, 0, 10, 10, 4, 2, 0, 1 | 8);
  EXPECT_EQ(lit(), reversed);
  EXPECT_EQ(reversed.size(), 121u);
  clear();
  kxg_sub_view(5, 5, 8, 9, 0, 0, 1 | 2);
  sub_line(-100, -100, 1000, 1000, 4, 2, 0, 1 | 8);
  EXPECT_EQ(lit().size(), 4u * 5u);
  EXPECT_EQ(at(5, 5), 4u);
  EXPECT_EQ(at(8, 9), 4u);
  // A 32-bit page: opaque colours replace, translucent ones blend, clear
  // ones leave the pixels alone.
  page32(6, 4);
  sub_line(0, 0, 5, 3, 0xFF204060u, 2, 0, 1 | 8);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 6; ++x) ASSERT_EQ(at(x, y), 0xFF204060u);
  }
  sub_line(0, 0, 5, 3, 0x00FFFFFFu, 2, 0, 1 | 8);
  EXPECT_EQ(at(3, 2), 0xFF204060u);
  sub_line(1, 1, 1, 1, 0x80FFFFFFu, 2, 0, 1 | 8);
  EXPECT_EQ(at(1, 1), 0xFF8F9FAFu);
  EXPECT_EQ(at(2, 1), 0xFF204060u);
}

// A plain rendering of the stepping rule on an unbounded plane, to compare
// clipped lines with: the minor coordinate interpolated in single precision
// and rounded half away from zero.
graphics_screen::pixel_set plane_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t style) {
  graphics_screen::pixel_set s;
  const int32_t dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
  const int32_t n = std::max(dx, dy);
  const bool x_major = dy < dx;
  const float step = n ? float(x_major ? y2 - y1 : x2 - x1) / float(n) : 0;
  float minor = float(x_major ? y1 : x1);
  for (int32_t i = 0; i <= n; ++i, minor += step) {
    if (!(style >> (15 - i % 16) & 1)) continue;
    const int32_t m = int32_t(minor < 0 ? minor - 0.5f : minor + 0.5f);
    if (x_major) s.insert({x1 + (x2 > x1 ? i : -i), m});
    else s.insert({m, y1 + (y2 > y1 ? i : -i)});
  }
  return s;
}

TEST_F(Lines, AClippedStyledLineKeepsThePhaseOfTheWholeLine) {
  screen(13);
  kxg_sub_view(0, 0, 319, 199, 0, 0, 1 | 2);
  for (uint32_t style : {0xF0F0u, 0xA5C3u, 0x8001u}) {
    clear();
    sub_line(-37, 10, 40, 10, 1, 0, style, 1 | 8 | 16);
    pixel_set want;
    for (const auto& p : plane_line(-37, 10, 40, 10, style)) {
      if (p.first >= 0) want.insert(p);
    }
    EXPECT_EQ(lit(), want) << std::hex << style;
    clear();
    sub_line(5, -21, 5, 30, 1, 0, style, 1 | 8 | 16);
    want.clear();
    for (const auto& p : plane_line(5, -21, 5, 30, style)) {
      if (p.second >= 0) want.insert(p);
    }
    EXPECT_EQ(lit(), want) << std::hex << style;
  }
}

TEST_F(Lines, ClippingAtEveryEdgeAndCornerStaysInsideAndOnTheLine) {
  screen(13);
  const int32_t left = 40, top = 30, right = 200, bottom = 150;
  kxg_sub_view(left, top, right, bottom, 0, 0, 1 | 2);
  std::mt19937 random(18);
  std::uniform_int_distribution<int32_t> xs(-300, 600), ys(-300, 500);
  int32_t drawn = 0;
  auto check = [&](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    clear();
    fast_line(x1, y1, x2, y2, 5);
    const pixel_set got = lit();
    drawn += !got.empty();
    for (const auto& [x, y] : got) {
      ASSERT_TRUE(x >= left && x <= right && y >= top && y <= bottom) << x << "," << y;
      // Distance from the ideal line across its major axis: half a pixel for
      // the rounded entry point and half for the stepping.
      const double dx = double(x2) - x1, dy = double(y2) - y1;
      const double off = std::fabs(dx) > std::fabs(dy) ? std::fabs(y1 + dy * (x - x1) / dx - y)
                                                       : (dy ? std::fabs(x1 + dx * (y - y1) / dy - x) : 0);
      ASSERT_LE(off, 1.5) << x1 << "," << y1 << "-" << x2 << "," << y2 << " at " << x << "," << y;
    }
    // A line with both ends inside is drawn whole, every step one pixel.
    if (x1 >= left && x1 <= right && y1 >= top && y1 <= bottom && x2 >= left && x2 <= right && y2 >= top &&
        y2 <= bottom) {
      ASSERT_EQ(got.size(), size_t(std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1));
    }
  };
  // Through each corner and along each edge.
  for (auto [cx, cy] : {std::pair{left, top}, {right, top}, {left, bottom}, {right, bottom}}) {
    check(cx - 50, cy - 50, cx + 50, cy + 50);
    check(cx + 50, cy - 50, cx - 50, cy + 50);
    check(cx - 80, cy, cx + 80, cy);
    check(cx, cy - 80, cx, cy + 80);
  }
  for (int i = 0; i < 2000; ++i) check(xs(random), ys(random), xs(random), ys(random));
  EXPECT_GT(drawn, 300);
  // Lines entirely to one side draw nothing.
  lineclip(0, 0, 30, 100, left, top, right, bottom);
  EXPECT_EQ(lineclip_draw, 0);
  lineclip(300, 0, 300, 0, left, top, right, bottom);
  EXPECT_EQ(lineclip_draw, 0);
  lineclip(50, 50, 50, 50, left, top, right, bottom);
  EXPECT_EQ(lineclip_draw, 1);
  // Coordinates far beyond the image clip without overflowing.
  check(-2000000000, 90, 2000000000, 91);
  lineclip(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, left, top, right, bottom);
  EXPECT_EQ(lineclip_draw, 1);
  EXPECT_EQ(lineclip_x1, left);
}

// Pixels from (x1, y) to (x2, y), both included.
graphics_screen::pixel_set row(int32_t x1, int32_t x2, int32_t y) {
  graphics_screen::pixel_set s;
  for (int32_t x = x1; x <= x2; ++x) s.insert({x, y});
  return s;
}

TEST_F(Lines, FarEndsBeyondTheIntegerRangeKeepTheLinesDirection) {
  screen(13);
  sub_line(160, 100, 3e9f, 100, 1, 0, 0, 1 | 8);
  EXPECT_EQ(lit(), row(160, 319, 100));
  clear();
  sub_line(3e9f, 100, 160, 100, 1, 0, 0, 1 | 8);
  EXPECT_EQ(lit(), row(160, 319, 100));
  clear();
  sub_line(160, 50, -3e9f, 50, 1, 0, 0, 1 | 8);
  EXPECT_EQ(lit(), row(0, 160, 50));
  // Both ends far out: the diagonal through the origin crosses the screen.
  clear();
  sub_line(-3e9f, -3e9f, 3e9f, 3e9f, 1, 0, 0, 1 | 8);
  pixel_set diagonal;
  for (int32_t i = 0; i < 200; ++i) diagonal.insert({i, i});
  EXPECT_EQ(lit(), diagonal);
  // A filled box clamps each far corner to the viewport.
  clear();
  sub_line(0, 0, 3e9f, 3e9f, 4, 2, 0, 1 | 8);
  EXPECT_EQ(lit().size(), 320u * 200u);
  clear();
  sub_line(-1e30f, 10, 1e30f, 12, 4, 2, 0, 1 | 8);
  pixel_set band = row(0, 319, 10);
  band.merge(row(0, 319, 11));
  band.merge(row(0, 319, 12));
  EXPECT_EQ(lit(), band);
  // B: the sides along the screen's edges that the far corners imply.
  clear();
  sub_line(100, 20, 4e9f, 5e9f, 2, 1, 0, 1 | 8);
  pixel_set sides = row(100, 319, 20);
  for (int32_t y = 20; y < 200; ++y) sides.insert({100, y});
  EXPECT_EQ(lit(), sides);
  // A far point is off the viewport, and moves the cursor all the same.
  clear();
  sub_pset(3e9f, 100, 1, 2);
  sub_pset(-3e9f, 100, 1, 2);
  EXPECT_TRUE(lit().empty());
  EXPECT_FLOAT_EQ(write_page->graphics.x, -3e9f);
  // A WINDOW that scales ordinary coordinates past the range: 1e8 maps to
  // pixel 3.19e10, and the line still goes right from the screen's middle.
  kxg_sub_window(0, 0, 1, 1, 1 | 2);
  sub_line(.5f, .5f, 1e8f, .5f, 3, 0, 0, 1 | 8);
  EXPECT_EQ(lit(), row(160, 319, 100));
  // Under a viewport with an origin the far end lands on its right edge.
  kxg_sub_window(0, 0, 0, 0, 0);
  kxg_sub_view(10, 10, 100, 100, 0, 0, 1);
  clear();
  sub_line(0, 0, 3e9f, 0, 5, 0, 0, 1 | 8);
  EXPECT_EQ(lit(), row(10, 100, 10));
}

TEST_F(Lines, LinesOnAThirtyTwoBitPageBlendAndStayInside) {
  page32(50, 40);
  sub_line(-10, -10, 100, 100, 0xFF0000FFu, 0, 0, 1 | 8);
  EXPECT_EQ(at(0, 0), 0xFF0000FFu);
  sub_line(0, 39, 49, 39, 0x80FF0000u, 0, 0, 1 | 8);
  EXPECT_EQ(at(10, 39), 0x807F0000u);
  for (const auto& [x, y] : lit()) ASSERT_TRUE(x < 50 && y < 40);
}

}  // namespace
