// PAINT with colours and tiles, and the flood under it.
#include <algorithm>
#include <random>
#include <vector>

#include "graphics_screen.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/flood_fill.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/paint.h"
#include "screen/images/blend.h"
#include "values/string_create.h"

namespace {

class Paint : public graphics_screen {};

TEST_F(Paint, FillsInsideTheBorderAndNeverCrossesTheViewport) {
  screen(13);
  sub_line(10, 10, 30, 20, 4, 1, 0, 1 | 8);  // a box outline in colour 4
  sub_paint(20, 15, 2, 4, nullptr, 2 | 4);
  EXPECT_EQ(write_page->draw_color, 2u);
  int32_t filled = 0;
  for (const auto& [x, y] : lit()) {
    if (at(x, y) == 2) {
      ++filled;
      ASSERT_TRUE(x > 10 && x < 30 && y > 10 && y < 20);
    }
  }
  EXPECT_EQ(filled, 19 * 9);
  // On a border pixel nothing happens; without a border the fill colour is it.
  const pixel_set before = lit();
  sub_paint(10, 10, 7, 4, nullptr, 2 | 4);
  EXPECT_EQ(lit(), before);
  sub_paint(0, 0, 4, 0, nullptr, 2);
  EXPECT_EQ(at(319, 199), 4u);
  EXPECT_EQ(at(20, 15), 2u);  // the box's inside is walled off by colour 4
  // Inside a viewport the fill stops at its edge.
  clear();
  kxg_sub_view(50, 50, 59, 54, 0, 0, 1 | 2);
  sub_paint(55, 52, 9, 0, nullptr, 2);
  EXPECT_EQ(lit().size(), 50u);
  EXPECT_EQ(at(49, 52), 0u);
  EXPECT_EQ(at(60, 52), 0u);
  // A start point outside the viewport fills nothing.
  clear();
  sub_paint(0, 0, 9, 0, nullptr, 2);
  EXPECT_TRUE(lit().empty());
  // A background string with a numeric fill, and text pages, are refused.
  kxs* background = kxs_new_txt("x");
  sub_paint(55, 52, 9, 0, background, 2 | 8);
  EXPECT_EQ(take_error(), 5u);
  screen(0);
  sub_paint(1, 1, 9, 0, nullptr, 2);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Paint, ThirtyTwoBitFillsCompareWholeColoursAndATranslucentFillEnds) {
  page32(20, 10);
  sub_line(5, 0, 5, 9, 0xFF00FF00u, 0, 0, 1 | 8);
  sub_paint(1, 1, 0x80FF0000u, 0xFF00FF00u, nullptr, 2 | 4);
  EXPECT_EQ(at(0, 0), 0x807F0000u);   // blended once, not again and again
  EXPECT_EQ(at(4, 9), 0x807F0000u);
  EXPECT_EQ(at(6, 0), 0u);
  // The border's alpha counts: a pixel of the same colour but another alpha
  // is not a border.
  sub__dontblend(0, 0);
  sub_paint(10, 5, 0xFF0000FFu, 0x0000FF00u, nullptr, 2 | 4);
  EXPECT_EQ(at(0, 0), 0xFF0000FFu);
  EXPECT_EQ(at(5, 3), 0xFF0000FFu);
}

TEST_F(Paint, TilesRepeatOverTheRegionAndStopAtTheBorder) {
  screen(13);
  sub_line(0, 0, 9, 9, 15, 1, 0, 1 | 8);
  kxs* tile = kxs_new_txt_len("\x01\x02\x03", 3);
  sub_paint(5, 5, tile, 15, nullptr, 4);
  for (int32_t y = 1; y <= 8; ++y) {
    for (int32_t x = 1; x <= 8; ++x) ASSERT_EQ(at(x, y), uint32_t(1 + y % 3)) << x << "," << y;
  }
  EXPECT_EQ(at(10, 5), 0u);
  // One bit per pixel: eight columns per byte, most significant bit first.
  screen(2);
  sub_line(0, 0, 17, 3, 1, 1, 0, 1 | 8);
  kxs* stripes = kxs_new_txt_len("\xAA", 1);
  sub_paint(4, 2, stripes, 1, nullptr, 4);
  EXPECT_EQ(at(2, 1), 1u);
  EXPECT_EQ(at(3, 1), 0u);
  EXPECT_EQ(at(16, 2), 1u);
  // Four planes per row: bits 0-3 of each pixel.
  screen(12);
  sub_line(0, 0, 9, 9, 15, 1, 0, 1 | 8);
  kxs* planes = kxs_new_txt_len("\xF0\x0F\xFF\x00", 4);
  sub_paint(5, 5, planes, 15, nullptr, 4);
  EXPECT_EQ(at(1, 1), 1u | 4u);
  EXPECT_EQ(at(4, 1), 2u | 4u);
  // Too long a tile is refused.
  kxs* long_tile = kxs_new_txt(std::string(257, 'a').c_str());
  sub_paint(5, 5, long_tile, 15, nullptr, 4);
  EXPECT_EQ(take_error(), 5u);
}

// The flood over plain buffers wider than any image record and with
// frontiers beyond 65,536 pixels.
TEST(Flood, WideBuffersAndLongWavefrontsFillCompletely) {
  const int32_t width = 70000, height = 3;
  std::vector<uint8_t> wide(size_t(width) * height, 0);
  for (int32_t y = 0; y < height; ++y) wide[size_t(y) * width + 66000] = 1;  // a wall past 65,535
  kx::flood_fill(width, {0, 0, width - 1, height - 1}, 69999, 1,
                 [&](int32_t x, int32_t y) { return wide[size_t(y) * width + x] != 0; },
                 [&](int32_t x, int32_t y) { wide[size_t(y) * width + x] = 2; });
  EXPECT_EQ(wide[66001], 2);
  EXPECT_EQ(wide[size_t(2) * width + 69999], 2);
  EXPECT_EQ(wide[65999], 0);
  EXPECT_EQ(wide[size_t(1) * width + 464], 0);  // where wrapped 16-bit columns would land
  // An H-tree maze: its 65,536 last corridors lie at the same distance from
  // the centre, so passes of the flood hold 131,072 pixels, one at each end
  // of each of them.
  const int32_t side = 2060;
  std::vector<uint8_t> tree(size_t(side) * side, 1);
  auto carve = [&](auto&& self, int32_t x, int32_t y, int32_t level) -> void {
    if (level == 17) return;
    const int32_t h = 1 << (9 - level / 2);
    const bool horizontal = level % 2 == 0;
    for (int32_t i = -h; i <= h; ++i) tree[size_t(horizontal ? y : y + i) * side + (horizontal ? x + i : x)] = 0;
    self(self, horizontal ? x - h : x, horizontal ? y : y - h, level + 1);
    self(self, horizontal ? x + h : x, horizontal ? y : y + h, level + 1);
  };
  carve(carve, side / 2, side / 2, 0);
  int64_t corridor = 0, reached = 0;
  for (uint8_t c : tree) corridor += c == 0;
  kx::flood_fill(side, {0, 0, side - 1, side - 1}, side / 2, side / 2,
                 [&](int32_t x, int32_t y) { return tree[size_t(y) * side + x] != 0; },
                 [&](int32_t x, int32_t y) {
                   tree[size_t(y) * side + x] = 2;
                   ++reached;
                 });
  EXPECT_EQ(reached, corridor);
  EXPECT_GT(std::max(kx::paint_work().queue[0].capacity(), kx::paint_work().queue[1].capacity()), 65536u);
  // A comb maze: every passage is reached, none twice.
  const int32_t mw = 401, mh = 301;
  std::vector<uint8_t> maze(size_t(mw) * mh, 0);
  for (int32_t x = 1; x < mw; x += 2) {
    for (int32_t y = 0; y < mh - 1; ++y) maze[size_t(x % 4 == 1 ? y : y + 1) * mw + x] = 1;
  }
  int64_t open_cells = 0, visits = 0;
  for (uint8_t c : maze) open_cells += c == 0;
  kx::flood_fill(mw, {0, 0, mw - 1, mh - 1}, 0, 0, [&](int32_t x, int32_t y) { return maze[size_t(y) * mw + x] != 0; },
                 [&](int32_t x, int32_t y) {
                   ASSERT_EQ(maze[size_t(y) * mw + x], 0);
                   maze[size_t(y) * mw + x] = 2;
                   ++visits;
                 });
  EXPECT_EQ(visits, open_cells);
}

TEST_F(Paint, TheWidestImageFillsToItsLastColumn) {
  const int32_t handle = func__newimage(65535, 2, 13, 1);
  ASSERT_LT(handle, -1);
  sub__dest(handle);
  sub_paint(0, 0, 7, 0, nullptr, 2);
  EXPECT_EQ(at(65534, 1), 7u);
  EXPECT_EQ(at(0, 1), 7u);
}


// The numeric PAINTs fill by runs of a row; the picture they leave must be
// the one the breadth-first flood leaves: random walls of the border
// colour, islands already of the fill colour (the fill passes through
// them), a viewport that cuts the region, translucent 32-bit fills.
TEST_F(Paint, RunsOfARowLeaveThePictureTheBreadthFirstFloodLeaves) {
  std::mt19937 random(77);
  const int32_t w = 97, h = 61;
  for (int round = 0; round < 12; ++round) {
    const bool wide = round % 3 == 2;
    if (wide) {
      page32(w, h);
    } else {
      const int32_t handle = func__newimage(w, h, 13, 1);
      sub__dest(handle);
      sub__source(handle);
    }
    const uint32_t border = wide ? 0xFF0000FFu : 3, fill = wide ? 0x80FF0000u : 2;
    const uint32_t colours[4] = {wide ? 0xFF000000u : 0, wide ? 0xFF00FF00u : 1, wide ? 0x80FF0000u : 2, border};
    std::vector<uint32_t> before(size_t(w) * h);
    for (auto& c : before) c = colours[random() % 100 < 40 ? 3 : random() % 3];
    for (size_t p = 0; p < before.size(); ++p) {
      if (wide) {
        kx::pixels32(*write_page)[p] = before[p];
      } else {
        write_page->data[p] = uint8_t(before[p]);
      }
    }
    if (round % 4 == 1) kxg_sub_view(9, 5, 80, 50, 0, 0, 1 | 2);
    int32_t sx = 0, sy = 0;
    do {
      sx = 10 + int32_t(random() % 70), sy = 6 + int32_t(random() % 44);
    } while (before[size_t(sy) * w + sx] == border);
    // The reference: the breadth-first flood over a copy.
    std::vector<uint32_t> expected = before;
    const auto& g = write_page->graphics;
    kx::flood_fill(
        w, {g.view_x1, g.view_y1, g.view_x2, g.view_y2}, sx, sy,
        [&](int32_t x, int32_t y) { return expected[size_t(y) * w + x] == border; },
        [&](int32_t x, int32_t y) {
          uint32_t& c = expected[size_t(y) * w + x];
          c = wide ? kx::blend_pixel(c, fill) : fill;
        });
    sub_paint(float(sx), float(sy), fill, border, nullptr, 2 | 4);
    ASSERT_EQ(take_error(), 0u);
    int32_t changed = 0;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        ASSERT_EQ(at(x, y), expected[size_t(y) * w + x]) << "round " << round << " at " << x << ", " << y;
        changed += at(x, y) != before[size_t(y) * w + x];
      }
    }
    EXPECT_GT(changed, 0);
  }
}

}  // namespace
