// The frame composer's output buffers, without a window.
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "fresh_screen.h"
#include "screen/compose/cursor_rule.h"
#include "screen/compose/text_raster.h"
#include "screen/fonts/fonts.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/palettes.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/unicode_convert.h"

namespace {

class Composer : public fresh_screen {
 protected:
  // The frame the last composition made ready, or null.
  static const display_frame_record* newest() { return kx::newest_composed_frame(); }
  // Composes once; true when a new frame became ready.
  static bool compose() {
    const int64_t before = newest() ? newest()->order.load() : 0;
    display();
    return newest() && newest()->order.load() != before;
  }
  // Hands every ready frame to a pretend renderer that shows the newest.
  static void renderer_takes() {
    display_frame_record* best = nullptr;
    for (auto& f : display_frame) {
      if (f.state == frame_state::ready && (!best || f.order > best->order)) best = &f;
    }
    if (!best) return;  // it keeps showing its frame
    for (auto& f : display_frame) {
      if (&f != best && (f.state == frame_state::ready || f.state == frame_state::shown)) f.state = frame_state::free;
    }
    if (best) best->state = frame_state::shown;
  }
  static uint32_t pixel(const display_frame_record& f, int x, int y) { return f.bgra[size_t(y) * f.w + x]; }
};

TEST_F(Composer, TextPagesRasteriseWithTheFontAndPalette) {
  kxg_sub_color(14, 1, 0, 3);
  print("A", false);
  ASSERT_TRUE(compose());
  const display_frame_record& f = *newest();
  EXPECT_EQ(f.w, 640);
  EXPECT_EQ(f.h, 400);
  const uint8_t* glyph = charset8x16 + 'A' * 128;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(pixel(f, x, y), glyph[y * 8 + x] ? palette_256[14] : palette_256[1]) << x << "," << y;
    }
  }
  EXPECT_EQ(pixel(f, 8, 0), palette_256[0]);
  EXPECT_EQ(pixel(f, 639, 399), palette_256[0]);
}

TEST_F(Composer, UnchangedPagesMakeNoFrameAndChangedCellsAreRedrawn) {
  ASSERT_TRUE(compose());
  renderer_takes();
  const int64_t order_before = last_hardware_display_frame_order.load();
  EXPECT_FALSE(compose());
  EXPECT_GT(last_hardware_display_frame_order.load(), order_before);  // a skipped composition still counts
  int free_frames = 0;
  for (auto& f : display_frame) free_frames += f.state == frame_state::free;
  EXPECT_EQ(free_frames, 2);
  kxg_sub_locate(25, 80, 0, 0, 0, 3);
  kxg_sub_color(15, 4, 0, 3);
  print("z", false);
  ASSERT_TRUE(compose());
  const display_frame_record& f = *newest();
  EXPECT_EQ(pixel(f, 79 * 8, 24 * 16), palette_256[4]);
  EXPECT_EQ(pixel(f, 0, 0), palette_256[0]);  // copied from the previous frame
  // A palette change redraws every cell.
  kxg_palette(0, 1, 3);
  ASSERT_TRUE(compose());
  EXPECT_EQ(pixel(*newest(), 0, 0), palette_64[1]);
}

TEST_F(Composer, AVisibleCursorMakesFramesOnlyWhenItsPhaseFlips) {
  kxg_sub_locate(1, 1, 1, 4, 4, 31);
  int frames = 0;
  for (int call = 0; call < 32; ++call) {
    frame = call;
    frames += compose();
    renderer_takes();
  }
  // The first composition, then flips at 8, 16 and 24.
  EXPECT_EQ(frames, 4);
  frame = 8;  // phase on
  kxg_sub_locate(2, 3, 0, 0, 0, 3);
  ASSERT_TRUE(compose());
  const display_frame_record& f = *newest();
  const uint32_t grey = palette_256[7], black = palette_256[0];
  // One line at row 14 of the 16-row cell, in the cell's foreground.
  EXPECT_EQ(pixel(f, 16, 16 + 14), grey);
  EXPECT_EQ(pixel(f, 23, 16 + 14), grey);
  EXPECT_EQ(pixel(f, 16, 16 + 13), black);
  EXPECT_EQ(pixel(f, 16, 16 + 15), black);
  // The old cursor cell was cleaned.
  EXPECT_EQ(pixel(f, 0, 14), black);
  // A held cursor in state 2 shows at the start of the next row.
  kxg_sub_locate(3, 1, 0, 0, 0, 3);
  print(std::string(80, ' '), false);
  kxg_sub_locate(0, 0, 1, 0, 0, 4);
  ASSERT_EQ(write_page->holding_cursor, 2);
  ASSERT_TRUE(compose());
  EXPECT_EQ(pixel(*newest(), 0, 3 * 16 + 14), grey);
  EXPECT_EQ(pixel(*newest(), 79 * 8, 2 * 16 + 14), black);
}

TEST_F(Composer, CursorScanLineRule) {
  struct expectation {
    int f, l, h, first, count;
  };
  const expectation cases[] = {
      {0, 0, 16, 0, 1},   {3, 0, 16, 0, 0},  {7, 2, 16, 2, 14}, {2, 2, 16, 2, 1},  {4, 4, 16, 14, 1},
      {4, 4, 8, 7, 1},    {0, 3, 16, 0, 4},  {0, 7, 16, 0, 16}, {1, 9, 8, 1, 7},   {2, 3, 16, 2, 2},
      {2, 4, 16, 12, 3},  {2, 4, 8, 5, 3},   {2, 9, 16, 2, 14}, {6, 7, 16, 13, 2}, {5, 7, 14, 11, 3},
      {3, 10, 16, 8, 8},  {3, 10, 8, 4, 4},  {9, 9, 8, 7, 1},   {20, 3, 8, 3, 5},  {8, 0, 8, 0, 0},
  };
  for (const auto& c : cases) {
    const cursor_rows r = cursor_scan_lines(c.f, c.l, c.h);
    EXPECT_EQ(r.count, c.count) << c.f << "," << c.l << " on " << c.h;
    if (c.count) {
      EXPECT_EQ(r.first, c.first) << c.f << "," << c.l << " on " << c.h;
    }
  }
}

TEST_F(Composer, BlinkingCellsBlinkOrShowABrightBackground) {
  kx::set_cell(*write_page, 0, kx::text_cell('X', 0x8F));
  frame = 0;
  ASSERT_TRUE(compose());
  const uint8_t* glyph = charset8x16 + 'X' * 128;
  int ink_x = -1, ink_y = -1;
  for (int i = 0; i < 128 && ink_x < 0; ++i) {
    if (glyph[i]) ink_x = i % 8, ink_y = i / 8;
  }
  ASSERT_GE(ink_x, 0);
  EXPECT_EQ(pixel(*newest(), ink_x, ink_y), palette_256[15]);
  renderer_takes();
  frame = 8;
  ASSERT_TRUE(compose());
  EXPECT_EQ(pixel(*newest(), ink_x, ink_y), palette_256[0]);  // drawn in its background
  renderer_takes();
  sub__blink(2);
  EXPECT_EQ(func__blink(), 0);
  ASSERT_TRUE(compose());
  EXPECT_EQ(pixel(*newest(), ink_x, ink_y), palette_256[15]);
  int background_x = -1;
  for (int i = 0; i < 8 && background_x < 0; ++i) {
    if (!glyph[ink_y * 8 + i]) background_x = i;
  }
  ASSERT_GE(background_x, 0);
  EXPECT_EQ(pixel(*newest(), background_x, ink_y), palette_256[8]);
}

TEST_F(Composer, FortyColumnScreensDoubleTheirGlyphs) {
  kxsub_width(kx_width_screen, 40, 25, 3);
  ASSERT_EQ(write_page->font, 17u);
  print("W", false);
  ASSERT_TRUE(compose());
  const display_frame_record& f = *newest();
  EXPECT_EQ(f.w, 640);
  EXPECT_EQ(f.h, 400);
  const uint8_t* glyph = charset8x16 + 'W' * 128;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(pixel(f, x, y), glyph[y * 8 + x / 2] ? palette_256[7] : palette_256[0]) << x << "," << y;
    }
  }
}

TEST_F(Composer, PalettePagesExpandThroughThePaletteAndSkipWhenUnchanged) {
  kxg_screen(13, 0, 0, 0, 1);
  write_page->data[0] = 40;
  write_page->data[321] = 255;
  ASSERT_TRUE(compose());
  renderer_takes();
  EXPECT_EQ(newest()->w, 320);
  EXPECT_EQ(pixel(*newest(), 0, 0), palette_256[40]);
  EXPECT_EQ(pixel(*newest(), 1, 1), palette_256[255]);
  EXPECT_FALSE(compose());
  write_page->pal[40] = 0xFF123456;
  ASSERT_TRUE(compose());
  EXPECT_EQ(pixel(*newest(), 0, 0), 0xFF123456u);
  // SCREEN 10 alternates the intensity rows of attributes with two values.
  kxg_screen(10, 0, 0, 0, 1);
  write_page->data[0] = 1;  // attribute 1: pair 4 = grey, then black
  ASSERT_TRUE(compose());
  const uint32_t shown = pixel(*newest(), 0, 0) & 0xFFFFFF;
  EXPECT_TRUE(shown == 0x808080 || shown == 0x000000) << std::hex << shown;
}

TEST_F(Composer, ThirtyTwoBitPagesAreCopiedAndSkippedWhenTheSame) {
  const int32_t image = func__newimage(50, 20, 32, 1);
  kxg_screen(image, 0, 0, 0, 1);
  kx::pixels32(img[-image])[51] = 0x80FF00FF;
  ASSERT_TRUE(compose());
  renderer_takes();
  EXPECT_EQ(newest()->w, 50);
  EXPECT_EQ(pixel(*newest(), 1, 1), 0x80FF00FFu);
  // Drawing the same pixels again makes no frame.
  kx::pixels32(img[-image])[51] = 0x80FF00FF;
  EXPECT_FALSE(compose());
  kx::pixels32(img[-image])[52] = 1;
  EXPECT_TRUE(compose());
  force_display_update = 1;
  renderer_takes();
  EXPECT_TRUE(compose());
  EXPECT_EQ(force_display_update.load(), 0);
  // A page of another shape with the same byte count and the same (blank)
  // pixels is still a new frame: the window must follow its size.
  const int32_t wide = func__newimage(40, 30, 32, 1), tall = func__newimage(30, 40, 32, 1);
  kxg_screen(wide, 0, 0, 0, 1);
  ASSERT_TRUE(compose());
  renderer_takes();
  kxg_screen(tall, 0, 0, 0, 1);
  screen_last_valid = 1;  // as if nothing had asked for a full recomposition
  ASSERT_TRUE(compose());
  EXPECT_EQ(newest()->w, 30);
  EXPECT_EQ(newest()->h, 40);
}

TEST_F(Composer, WithoutARendererTheOldestReadyFrameIsRecycled) {
  std::set<int64_t> orders;
  for (int i = 0; i < 20; ++i) {
    kx::set_cell(*write_page, 0, kx::text_cell(static_cast<uint8_t>('a' + i), 7));
    ASSERT_TRUE(compose()) << i;
    int ready = 0;
    for (auto& f : display_frame) ready += f.state == frame_state::ready;
    EXPECT_EQ(ready, i < 3 ? i + 1 : 3);
  }
  // Each recycled frame still starts from the newest one: only cell 0 changed.
  const display_frame_record& f = *newest();
  const uint8_t* glyph = charset8x16 + ('a' + 19) * 128;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(f, x, y), glyph[y * 8 + x] ? palette_256[7] : palette_256[0]);
  // The display lock keeps the composer out.
  lock_display = 1;
  EXPECT_FALSE(compose());
  EXPECT_EQ(lock_display.load(), 2);
  lock_display = 0;
}

// Up to below - 1 random cells of the page get random characters, a quarter
// of them blinking bright white.
void change_random_cells(std::mt19937& random, int below) {
  const int changes = random() % below;
  for (int k = 0; k < changes; ++k) {
    const uint8_t attribute = static_cast<uint8_t>(random() % 4 == 0 ? 0x8F : random() % 128);
    kx::set_cell(*write_page, random() % 2000, kx::text_cell(static_cast<uint8_t>(random()), attribute));
  }
}

TEST_F(Composer, IncrementalFramesEqualFramesDrawnFromScratch) {
  std::mt19937 random(7);
  kxg_sub_locate(1, 1, 1, 0, 7, 31);
  std::vector<uint32_t> expected(640 * 400);
  for (int step = 0; step < 300; ++step) {
    frame = step;
    change_random_cells(random, 4);
    if (random() % 5 == 0) kxg_sub_locate(1 + random() % 25, 1 + random() % 80, 0, 0, 0, 3);
    if (random() % 40 == 0) sub__blink(H3C0_blink_enable ? 2 : 1);
    const bool made = compose();
    if (random() % 3) renderer_takes();
    if (!made) continue;
    const display_frame_record& f = *newest();
    const bool phase = (step & 8) != 0;
    const bool blink = H3C0_blink_enable != 0;
    const kx::text_cell_style style{write_page->pal, blink, blink && phase};
    const cursor_rows shape = cursor_scan_lines(0, 7, 16);
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 80; ++x) {
        const bool cursor = phase && x == write_page->cursor_x - 1 && y == write_page->cursor_y - 1;
        kx::draw_text_cell(expected.data(), 640, x, y, 16, cell(y + 1, x + 1), style, cursor ? shape : cursor_rows{});
      }
    ASSERT_EQ(std::memcmp(expected.data(), f.bgra, expected.size() * 4), 0) << "step " << step;
  }
}

// The renderer uploads only the rows a frame says it changed, so outside
// them it must equal the composition it was measured against.
TEST_F(Composer, FramesTellTheRowsInWhichTheyDifferFromTheLastOne) {
  std::vector<uint32_t> last;
  int64_t last_order = 0;
  int measured = 0;
  // Checks the newest frame against the one composed before it, then keeps it.
  const auto check_band = [&](const char* what, int step) {
    const display_frame_record& f = *newest();
    if (f.changed_since != 0) {
      ASSERT_EQ(f.changed_since, last_order) << what << " " << step;
      ASSERT_EQ(last.size(), size_t(f.w) * f.h) << what << " " << step;
      ++measured;
      for (int32_t y = 0; y < f.h; ++y) {
        if (y >= f.changed_first && y <= f.changed_last) continue;
        ASSERT_EQ(std::memcmp(&last[size_t(y) * f.w], f.bgra + size_t(y) * f.w, size_t(f.w) * 4), 0)
            << what << " step " << step << " row " << y << " band " << f.changed_first << "-" << f.changed_last;
      }
    } else {
      EXPECT_EQ(f.changed_first, 0);
      EXPECT_EQ(f.changed_last, f.h - 1);
    }
    last.assign(f.bgra, f.bgra + size_t(f.w) * f.h);
    last_order = f.order;
  };

  std::mt19937 random(11);
  kxg_sub_locate(1, 1, 1, 0, 7, 31);
  for (int step = 0; step < 400; ++step) {
    frame = step;
    change_random_cells(random, 3);
    if (random() % 6 == 0) kxg_sub_locate(1 + random() % 25, 1 + random() % 80, 0, 0, 0, 3);
    if (random() % 9 == 0) kxg_sub_locate(0, 0, 0, random() % 8, random() % 8, 24);  // a new cursor shape
    if (random() % 50 == 0) sub__blink(H3C0_blink_enable ? 2 : 1);
    if (random() % 3) renderer_takes();
    if (compose()) check_band("text", step);
  }
  EXPECT_GT(measured, 100);
  // One changed cell on row 10 of 80 x 25 with the cursor off: that cell row.
  kxg_sub_locate(0, 0, 0, 0, 0, 4);
  renderer_takes();
  compose();
  renderer_takes();
  check_band("cursor off", 0);
  kx::set_cell(*write_page, 10 * 80 + 5, kx::text_cell('Q', 0x1E));
  ASSERT_TRUE(compose());
  EXPECT_EQ(newest()->changed_first, 160);
  EXPECT_EQ(newest()->changed_last, 175);
  check_band("one cell", 0);

  // A palette page: the pixel rows that changed.
  kxg_screen(13, 0, 0, 0, 1);
  ASSERT_TRUE(compose());
  check_band("screen 13", 0);
  EXPECT_EQ(newest()->changed_since, 0);  // a new page is new throughout
  write_page->data[50 * 320 + 7] = 4;
  write_page->data[52 * 320 + 300] = 9;
  ASSERT_TRUE(compose());
  EXPECT_EQ(newest()->changed_first, 50);
  EXPECT_EQ(newest()->changed_last, 52);
  check_band("screen 13", 1);
  write_page->pal[0] = 0xFF102030;  // a palette change redraws everything
  ASSERT_TRUE(compose());
  EXPECT_EQ(newest()->changed_since, 0);
  check_band("screen 13", 2);

  // A 32-bit page.
  const int32_t image = func__newimage(40, 30, 32, 1);
  kxg_screen(image, 0, 0, 0, 1);
  ASSERT_TRUE(compose());
  check_band("32-bit", 0);
  for (int step = 1; step < 30; ++step) {
    kx::pixels32(img[-image])[random() % 1200] = random();
    if (random() % 2) renderer_takes();
    if (compose()) check_band("32-bit", step);
  }
}

TEST_F(Composer, ConvertsCodePageAndUnicodeText) {
  const uint8_t cp437[] = {'A', 1, 0xE1};
  uint16_t utf16[8];
  EXPECT_EQ(convert_unicode(1, cp437, 3, 16, utf16), 6);
  EXPECT_EQ(utf16[0], u'A');
  EXPECT_EQ(utf16[1], 0x263A);
  EXPECT_EQ(utf16[2], 0x00DF);
  EXPECT_EQ(utf16[3], 0);
  const uint16_t pair[] = {0xD83D, 0xDE00, 0x41};
  uint32_t utf32[8];
  EXPECT_EQ(convert_unicode(16, pair, 5, 32, utf32), 4);  // the odd byte and last unit are cut
  EXPECT_EQ(utf32[0], 0x1F600u);
  EXPECT_EQ(convert_unicode(16, pair, 6, 32, utf32), 8);
  EXPECT_EQ(utf32[1], 0x41u);
  EXPECT_EQ(convert_unicode(32, utf32, 4, 16, utf16), 4);
  EXPECT_EQ(utf16[0], 0xD83D);
  EXPECT_EQ(utf16[1], 0xDE00);
}

}  // namespace
