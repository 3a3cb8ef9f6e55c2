// CIRCLE and DRAW.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "graphics_screen.h"
#include "screen/graphics/circle.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/draw.h"
#include "screen/graphics/pixels.h"
#include "values/conventional_memory.h"
#include "values/string_create.h"

namespace {

constexpr double pi = 3.141592653589793;

class Circle : public graphics_screen {};
class Draw : public graphics_screen {
 protected:
  static void draw(const std::string& commands) {
    sub_draw(kxs_new_txt_len(commands.data(), int32_t(commands.size())));
  }
};

TEST_F(Circle, AspectArcsAndRadiusLines) {
  screen(13);
  sub_circle(160, 100, 50, 1, 0, 0, 0, 2);
  int32_t min_x = 999, max_x = 0, min_y = 999, max_y = 0;
  for (const auto& [x, y] : lit()) {
    min_x = std::min(min_x, x), max_x = std::max(max_x, x);
    min_y = std::min(min_y, y), max_y = std::max(max_y, y);
    // Every pixel lies on the ellipse with spans 50 and 50 x 5/6.
    const double u = (x - 160) / 50.0, v = (y - 100) / (50 * 5.0 / 6);
    ASSERT_NEAR(u * u + v * v, 1.0, 0.06) << x << "," << y;
  }
  EXPECT_EQ(min_x, 110);
  EXPECT_EQ(max_x, 210);
  EXPECT_EQ(max_y - min_y, 84);
  // Negative angles ask for radius lines: a quarter arc from 90 to 180
  // degrees, closed into a pie slice.
  clear();
  sub_circle(100, 100, 50, 2, -pi / 2, -pi, 1, 2 | 4 | 8 | 16);
  // A point is plotted with the angle of the step after it, so an arc may
  // reach one pixel past its end.
  for (const auto& [x, y] : lit()) ASSERT_TRUE(x <= 101 && y <= 101) << x << "," << y;
  EXPECT_EQ(at(100, 75), 2u);  // on the line up to the start
  EXPECT_EQ(at(75, 100), 2u);  // on the line left to the end
  EXPECT_EQ(at(50, 100), 2u);
  EXPECT_EQ(at(100, 50), 2u);
  // Start above end: the arc runs through angle 0, here the right half.
  clear();
  sub_circle(100, 100, 50, 3, 3 * pi / 2, pi / 2, 1, 2 | 4 | 8 | 16);
  for (const auto& [x, y] : lit()) ASSERT_GE(x, 99) << x << "," << y;
  EXPECT_EQ(at(50, 100), 0u);
  EXPECT_EQ(at(150, 100), 3u);
  // 2 * PI in single precision is a full turn; beyond it is an error.
  clear();
  sub_circle(100, 100, 20, 4, 0, double(float(2 * pi)), 1, 2 | 4 | 8 | 16);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(at(120, 100), 4u);
  for (double bad : {6.2832, 7.0, -7.0}) {
    sub_circle(100, 100, 20, 4, bad, 0, 1, 2 | 4);
    EXPECT_EQ(take_error(), 5u) << bad;
  }
  // The centre is the new cursor even when nothing shows.
  sub_circle(-500, -500, 10, 4, 0, 0, 0, 2);
  EXPECT_FLOAT_EQ(write_page->graphics.x, -500);
}

TEST_F(Circle, HugeRadiiEndQuicklyAndDrawOnlyTheirVisibleArc) {
  screen(13);
  // The rim passes through the screen's middle row; the centre is far left.
  sub_circle(-1e9 + 160, 100, 1e9, 5, 0, 0, 1, 2 | 16);
  EXPECT_EQ(at(160, 100), 5u);
  EXPECT_GT(lit().size(), 50u);
  clear();
  sub_circle(160, -1e12, 1e12 + 100, 6, 0, 0, 1, 2 | 16);
  EXPECT_EQ(at(160, 100), 6u);
  clear();
  sub_circle(160, 100, 1e300, 6, 0, 0, 1, 2 | 16);
  sub_circle(160, 100, std::nan(""), 6, 0, 0, 1, 2 | 16);
  EXPECT_TRUE(lit().empty());
  screen(0);
  sub_circle(1, 1, 1, 1, 0, 0, 0, 0);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Circle, ATallEllipseWhoseTopAloneReachesTheScreen) {
  screen(13);
  // Centre a thousand million rows below, 50 pixels wide: only the top of
  // the ellipse reaches the screen, a column from row 100 down.
  const double r = 1e9;
  sub_circle(160, r + 100, r, 5, 0, 0, r / 50, 2 | 16);
  pixel_set column;
  for (int32_t y = 100; y < 200; ++y) column.insert({160, y});
  EXPECT_EQ(lit(), column);
  EXPECT_EQ(at(160, 150), 5u);
}

TEST_F(Circle, AViewportShowsTheSamePixelsAsTheWholeImage) {
  // The walk skips the stretch that cannot reach the viewport; the pixels
  // it keeps must be those of the whole walk. The ellipse's top lies in the
  // image's first 200 rows, its centre ten thousand rows below.
  const int32_t width = 320, height = 10200;
  const int32_t handle = func__newimage(width, height, 256, 1);
  sub__dest(handle);
  sub_circle(160, 100 + 10000, 10000, 7, 0, 0, 50, 2 | 16);
  pixel_set whole;
  for (const auto& [x, y] : lit()) {
    if (y < 200) whole.insert({x, y});
  }
  clear();
  kxg_sub_view(0, 0, width - 1, 199, 0, 0, 1 | 2);
  sub_circle(160, 100 + 10000, 10000, 7, 0, 0, 50, 2 | 16);
  EXPECT_EQ(lit(), whole);
  // The top is a curve, not a line: it widens by rows.
  EXPECT_GT(whole.size(), 150u);
  EXPECT_EQ(whole.count({160, 100}), 1u);
  EXPECT_EQ(whole.count({140, 100}), 0u);
}

TEST_F(Draw, MovesCorrectForThePixelAspect) {
  screen(13);
  sub_pset(100, 100, 1, 2);
  draw("R10");
  for (int32_t x = 100; x <= 110; ++x) EXPECT_EQ(at(x, 100), 1u) << x;
  EXPECT_EQ(lit().size(), 11u);
  draw("U10");
  EXPECT_EQ(at(110, 90), 1u);
  EXPECT_FLOAT_EQ(write_page->graphics.y, 90);
  // TA90 turns "up" into "left", by 10 x 1.2 pixels here.
  clear();
  draw("TA90U10");
  EXPECT_EQ(at(98, 90), 1u);
  EXPECT_EQ(at(97, 90), 0u);
  EXPECT_FLOAT_EQ(write_page->graphics.x, 98);
  // The angle persists; A0 puts it back. The scale persists too.
  draw("A0S8BM100,100R10");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 120);
  draw("L5");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 110);
  // VIEW resets both.
  kxg_sub_view(0, 0, 0, 0, 0, 0, 0);
  draw("BM0,0R4");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 4);
  // On a 32-bit image there is no aspect.
  page32(40, 40);
  sub_pset(20, 20, 0xFFFFFFFF, 2);
  draw("TA90U10");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 10);
}

TEST_F(Draw, AMoveFarBeyondTheIntegerRangeDrawsTowardItsTarget) {
  screen(13);
  draw("BM160,100 S255 R99999999");
  pixel_set want;
  for (int32_t x = 160; x < 320; ++x) want.insert({x, 100});
  EXPECT_EQ(lit(), want);
  clear();
  draw("BM160,100 S255 L99999999");
  want.clear();
  for (int32_t x = 0; x <= 160; ++x) want.insert({x, 100});
  EXPECT_EQ(lit(), want);
  // A slanted far move keeps its slope: one pixel down for every two across.
  clear();
  draw("S4 BM0,0 M+4000000000,2000000000");
  const pixel_set slanted = lit();
  for (const auto& [x, y] : slanted) EXPECT_EQ(y, (x + 1) / 2) << x;
  EXPECT_EQ(slanted.size(), 320u);
}

TEST_F(Draw, PrefixesMovesColoursAndPaint) {
  screen(13);
  sub_pset(50, 50, 3, 2);
  draw("NR20");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 50);
  EXPECT_EQ(at(70, 50), 3u);
  draw("BM100,100");
  EXPECT_EQ(at(100, 100), 0u);
  draw("M+10,-5");
  EXPECT_FLOAT_EQ(write_page->graphics.x, 110);
  EXPECT_FLOAT_EQ(write_page->graphics.y, 95);
  // Absolute M ignores WINDOW and VIEW.
  kxg_sub_view(10, 10, 300, 190, 0, 0, 1);
  draw("C9 M20,25");
  EXPECT_EQ(at(20, 25), 9u);
  kxg_sub_view(0, 0, 0, 0, 0, 0, 0);
  // A box, then P fills it and becomes the drawing colour.
  clear();
  draw("C4 BM200,100 R20D20L20U20 BM+5,5 P2,4 BM0,0 R5");
  EXPECT_EQ(at(210, 110), 2u);
  EXPECT_EQ(at(199, 110), 0u);
  EXPECT_EQ(at(3, 0), 2u);
  // Lower-case letters, blanks and semicolons.
  draw("bm 10 , 10 ; c 7 ; d 3");
  EXPECT_EQ(at(10, 13), 7u);
}

TEST_F(Draw, VariablesSubstringsAndErrors) {
  screen(13);
  // "=" reads a variable through a type byte and a data segment offset.
  const int16_t eight = 8;
  std::memcpy(dblock + 100, &eight, 2);
  const double half = 2.5;
  std::memcpy(dblock + 110, &half, 8);
  sub_pset(0, 0, 1, 2);
  draw(std::string("BR=") + char(2) + char(100) + char(0) + "BD=" + char(8) + char(110) + char(0));
  EXPECT_FLOAT_EQ(write_page->graphics.x, 8);
  EXPECT_FLOAT_EQ(write_page->graphics.y, 2.5);
  // X runs a string through its legacy descriptor: length, text offset.
  const char sub[] = "C6R4";
  std::memcpy(dblock + 300, sub, 4);
  const uint16_t descriptor[2] = {4, 300};
  std::memcpy(dblock + 200, descriptor, 4);
  const std::string x = std::string("X") + char(3) + char(200) + char(0);
  draw("BM10,50" + x + "D2" + x);
  EXPECT_EQ(at(14, 50), 6u);
  EXPECT_EQ(at(18, 52), 6u);
  EXPECT_FLOAT_EQ(write_page->graphics.x, 18);
  // A string calling itself runs out of depth.
  const std::string self = std::string("X") + char(3) + char(0x40) + char(1);  // descriptor at 320
  std::memcpy(dblock + 400, self.data(), 4);
  const uint16_t self_descriptor[2] = {4, 400};
  std::memcpy(dblock + 320, self_descriptor, 4);
  draw(self);
  EXPECT_EQ(take_error(), 6u);
  // Each of these stops with error 5 and leaves the cursor alone.
  sub_pset(30, 30, 1, 2);
  for (const std::string& bad : std::vector<std::string>{"Q", "R5M", "T", "TB5", "S-1", "A4", "C1.5", "P1", "M10", "U-", "U5.",
                                std::string("X") + char(4) + "ab", "X\x03", "U=\x63"}) {
    draw(bad);
    EXPECT_EQ(take_error(), 5u) << bad;
    EXPECT_FLOAT_EQ(write_page->graphics.x, 30) << bad;
  }
  // An empty string still sets the cursor to the pen.
  draw("");
  EXPECT_EQ(take_error(), 0u);
  EXPECT_FLOAT_EQ(write_page->graphics.x, 30);
  screen(0);
  draw("R1");
  EXPECT_EQ(take_error(), 5u);
}

}  // namespace
