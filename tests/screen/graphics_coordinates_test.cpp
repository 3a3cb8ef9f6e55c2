// WINDOW, VIEW, PMAP, POINT and the graphics cursor.
#include "graphics_screen.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/pixels.h"

namespace {

class Coordinates : public graphics_screen {};

TEST_F(Coordinates, WindowFlipsTheYAxisAndWindowScreenDoesNot) {
  screen(13);
  kxg_sub_window(0, 0, 10, 10, 1);
  sub_pset(0, 0, 4, 2);
  sub_pset(10, 10, 5, 2);
  EXPECT_EQ((pixel_set{{0, 199}, {319, 0}}), lit());
  EXPECT_EQ(at(0, 199), 4u);
  EXPECT_EQ(at(319, 0), 5u);
  clear();
  kxg_sub_window(0, 0, 10, 10, 1 | 2);
  sub_pset(0, 0, 4, 2);
  sub_pset(10, 10, 5, 2);
  EXPECT_EQ((pixel_set{{0, 0}, {319, 199}}), lit());
  // The bounds may come in either order.
  clear();
  kxg_sub_window(10, 10, 0, 0, 1);
  sub_pset(0, 0, 4, 2);
  EXPECT_EQ(at(0, 199), 4u);
  // Degenerate bounds, SCREEN alone, and a text destination are refused.
  kxg_sub_window(5, 5, 5, 10, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_window(0, 0, 0, 0, 2);
  EXPECT_EQ(take_error(), 5u);
  screen(0);
  kxg_sub_window(0, 0, 1, 1, 1);
  EXPECT_EQ(take_error(), 5u);
  sub_pset(1, 1, 1, 2);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Coordinates, TheCursorKeepsItsScreenPlaceAcrossWindowChanges) {
  screen(13);
  sub_pset(100, 50, 1, 0);
  kxg_sub_window(0, 0, 319, 199, 1 | 2);  // the identity: no WINDOW at all
  EXPECT_EQ(write_page->graphics.clipping_or_scaling, 0);
  kxg_sub_window(0, 0, 31.9f, 19.9f, 1 | 2);
  EXPECT_FLOAT_EQ(func_point(2, 0, 0), 10.0f);
  EXPECT_FLOAT_EQ(func_point(3, 0, 0), 5.0f);
  EXPECT_EQ(func_point(0, 0, 0), 100);
  EXPECT_EQ(func_point(1, 0, 0), 50);
  kxg_sub_window(0, 0, 0, 0, 0);
  EXPECT_FLOAT_EQ(func_point(2, 0, 0), 100.0f);
  EXPECT_EQ(write_page->graphics.clipping_or_scaling, 0);
  func_point(4, 0, 0);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Coordinates, ViewMovesTheOriginAndViewScreenOnlyClips) {
  screen(13);
  kxg_sub_view(10, 10, 100, 100, 0, 0, 1);
  sub_pset(0, 0, 7, 2);
  EXPECT_EQ((pixel_set{{10, 10}}), lit());
  // Outside the viewport nothing is drawn, and POINT gives -1.
  sub_pset(91, 0, 7, 2);
  EXPECT_EQ(lit().size(), 1u);
  sub__source(0);
  EXPECT_EQ(func_point(-1, 0, 1), -1);
  EXPECT_EQ(func_point(0, 0, 1), 7);
  clear();
  kxg_sub_view(10, 10, 100, 100, 0, 0, 1 | 2);
  sub_pset(0, 0, 7, 2);
  sub_pset(10, 10, 8, 2);
  EXPECT_EQ((pixel_set{{10, 10}}), lit());
  EXPECT_EQ(at(10, 10), 8u);
  // A WINDOW follows the viewport it is given later.
  kxg_sub_window(0, 0, 1, 1, 1);
  kxg_sub_view(20, 30, 40, 50, 0, 0, 1);
  clear();
  sub_pset(0, 0, 1, 2);
  sub_pset(1, 1, 2, 2);
  EXPECT_EQ(at(20, 50), 1u);
  EXPECT_EQ(at(40, 30), 2u);
  // VIEW with no coordinates ends the viewport.
  kxg_sub_window(0, 0, 0, 0, 0);
  kxg_sub_view(0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(write_page->graphics.clipping_or_scaling, 0);
  // Coordinates off the image, and options without coordinates, are refused.
  kxg_sub_view(0, 0, 320, 10, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_view(0, 0, 0, 0, 3, 0, 4);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Coordinates, ViewFillsTheViewportAndFramesItJustOutside) {
  screen(13);
  kxg_sub_window(-1, -1, 1, 1, 1);  // the fill covers the viewport whatever the WINDOW
  kxg_sub_view(2, 3, 5, 6, 9, 12, 1 | 4 | 8);
  pixel_set fill, frame;
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      if (at(x, y) == 9) fill.insert({x, y});
      if (at(x, y) == 12) frame.insert({x, y});
    }
  }
  pixel_set want_fill, want_frame;
  for (int32_t y = 3; y <= 6; ++y) {
    for (int32_t x = 2; x <= 5; ++x) want_fill.insert({x, y});
  }
  for (int32_t x = 1; x <= 6; ++x) want_frame.insert({x, 2}), want_frame.insert({x, 7});
  for (int32_t y = 2; y <= 7; ++y) want_frame.insert({1, y}), want_frame.insert({6, y});
  EXPECT_EQ(fill, want_fill);
  EXPECT_EQ(frame, want_frame);
  EXPECT_EQ(lit().size(), want_fill.size() + want_frame.size());
  // A frame along the image's edge skips the pixels beyond it.
  clear();
  kxg_sub_view(0, 0, 319, 199, 0, 12, 1 | 8);
  EXPECT_TRUE(lit().empty());
}

TEST_F(Coordinates, ATextPageTakesAViewportButNoFillOrBorder) {
  const std::vector<uint8_t> before(write_page->data, write_page->data + kx::image_bytes(*write_page));
  kxg_sub_view(1, 1, 10, 10, 4, 0, 1 | 4);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_view(1, 1, 10, 10, 0, 4, 1 | 8);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_view(1, 1, 10, 10, 0, 0, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(write_page->graphics.view_x2, 10);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), write_page->data));
}

TEST_F(Coordinates, WindowUnderViewScreenMapsOntoTheViewport) {
  screen(13);
  pixel_set viewport;
  for (int32_t y = 50; y <= 150; ++y) {
    for (int32_t x = 100; x <= 200; ++x) viewport.insert({x, y});
  }
  kxg_sub_view(100, 50, 200, 150, 0, 0, 1 | 2);
  kxg_sub_window(0, 0, 1, 1, 1);
  EXPECT_EQ(func_pmap(0, 0), 100);
  EXPECT_EQ(func_pmap(1, 0), 200);
  EXPECT_EQ(func_pmap(0, 1), 150);  // y grows upward from the viewport's bottom
  EXPECT_EQ(func_pmap(1, 1), 50);
  EXPECT_FLOAT_EQ(func_pmap(100, 2), 0);
  sub_line(0, 0, 1, 1, 3, 2, 0, 1 | 8);
  EXPECT_EQ(lit(), viewport);
  clear();
  sub_pset(0, 0, 1, 2);
  sub_pset(1, 1, 2, 2);
  EXPECT_EQ((pixel_set{{100, 150}, {200, 50}}), lit());
  EXPECT_EQ(func_point(0, 0, 0), 200);  // the cursor, in the image's pixels here
  // The same viewport given after the WINDOW, filled by VIEW itself.
  screen(13);
  kxg_sub_window(0, 0, 1, 1, 1 | 2);
  kxg_sub_view(100, 50, 200, 150, 2, 0, 1 | 2 | 4);
  EXPECT_EQ(lit(), viewport);
  EXPECT_EQ(at(100, 50), 2u);
  EXPECT_EQ(at(200, 150), 2u);
  EXPECT_EQ(func_pmap(1, 1), 150);  // WINDOW SCREEN: y grows downward
}

TEST_F(Coordinates, PmapConvertsBothWaysWithoutTheViewOffset) {
  screen(12);  // 640 x 480
  kxg_sub_view(100, 100, 199, 199, 0, 0, 1);
  kxg_sub_window(-50, -50, 49, 49, 1);
  for (float v : {-50.0f, -10.0f, 0.0f, 17.0f, 49.0f}) {
    const float px = func_pmap(v, 0), py = func_pmap(v, 1);
    EXPECT_FLOAT_EQ(func_pmap(px, 2), v) << v;
    EXPECT_FLOAT_EQ(func_pmap(py, 3), v) << v;
  }
  EXPECT_EQ(func_pmap(-50, 0), 0);
  EXPECT_EQ(func_pmap(-50, 1), 99);  // y grows upward
  EXPECT_EQ(func_pmap(49, 1), 0);
  // Without a WINDOW it is the identity (the offset is not added).
  kxg_sub_window(0, 0, 0, 0, 0);
  EXPECT_EQ(func_pmap(12.4f, 0), 12);
  EXPECT_EQ(func_pmap(12.6f, 3), 13);
  func_pmap(1, 4);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Coordinates, PointReadsTheSourceAndPresetUsesTheBackground) {
  screen(13);
  sub_pset(5, 5, 200, 2);
  EXPECT_EQ(func_point(5, 5, 1), 200);
  write_page->background_color = 3;
  sub_preset(5, 5, 0, 0);
  EXPECT_EQ(func_point(5, 5, 1), 3);
  EXPECT_EQ(write_page->draw_color, 3u);
  // STEP is relative to the last point, which every primitive moves.
  sub_pset(2, -1, 9, 1 | 2);
  EXPECT_EQ(at(7, 4), 9u);
  // A 32-bit source gives the whole colour.
  page32(8, 8);
  sub_pset(1, 1, 0xFF112233u, 2);
  EXPECT_EQ(func_point(1, 1, 1), double(0xFF112233u));
  EXPECT_EQ(func_point(8, 1, 1), -1);
}

}  // namespace
