// The image table, screen pages, SCREEN and WIDTH, and the image statements.
#include <cstring>

#include "fresh_screen.h"
#include "screen/fonts/fonts.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/palettes.h"
#include "screen/images/rgb_functions.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/screen_read.h"
#include "values/conventional_memory.h"

namespace {

constexpr uint32_t text_memory = 0xB8000;

class ImageModel : public fresh_screen {};

TEST_F(ImageModel, StartScreenIsEightTextPagesOverVideoMemory) {
  EXPECT_EQ(width8050switch, 1);
  ASSERT_GE(pages, 8);
  const img_struct& first = img[page[0]];
  EXPECT_EQ(first.width, 80);
  EXPECT_EQ(first.height, 25);
  EXPECT_EQ(first.font, 16u);
  EXPECT_EQ(first.data, &cmem[text_memory]);
  EXPECT_EQ(img[page[1]].data, &cmem[text_memory + 4096]);
  EXPECT_EQ(img[page[1]].pal, first.pal);
  for (int n = 0; n < 8; ++n) EXPECT_TRUE(img[page[n]].flags & img_screen_page) << n;
  EXPECT_EQ(write_page, &first);
  EXPECT_EQ(display_page.load(), &first);
  EXPECT_EQ(cell(1, 1), blank_text_cell);
  EXPECT_EQ(first.bottom_row, 24);
  EXPECT_EQ(first.color, 7u);
  EXPECT_EQ(first.cursor_show, 0);
  // A POKE into the text window is what SCREEN() reads back.
  cmem[text_memory + 2 * 81] = 'Z';
  cmem[text_memory + 2 * 81 + 1] = 0x1E;
  EXPECT_EQ(func_screen(2, 2, 0, 0), uint32_t('Z'));
  EXPECT_EQ(func_screen(2, 2, 1, 1), 0x1Eu);
  // Indexes 0 and 1 are never handed out.
  EXPECT_FALSE(img[0].valid);
  EXPECT_FALSE(img[1].valid);
}

TEST_F(ImageModel, HandlesAreStableAndFreedIndexesReusedMostRecentFirst) {
  const int32_t a = func__newimage(10, 10, 32, 1);
  const int32_t b = func__newimage(20, 10, 13, 1);
  ASSERT_LT(a, -1);
  ASSERT_LT(b, a);
  EXPECT_EQ(func__width(b, 1), 20);
  sub__freeimage(a, 1);
  sub__freeimage(b, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func__newimage(5, 5, 32, 1), b);
  EXPECT_EQ(func__newimage(5, 5, 32, 1), a);
  // Images made while the table grows keep their records in place.
  const img_struct* kept = &img[-a];
  for (int i = 0; i < 5000; ++i) ASSERT_LT(func__newimage(1, 1, 13, 1), 0);
  EXPECT_EQ(kept, &img[-a]);
  EXPECT_EQ(kept->width, 5);
}

TEST_F(ImageModel, BadHandlesAndArgumentsLeaveEveryImageIntact) {
  const int32_t image = func__newimage(8, 8, 32, 1);
  const int32_t before = valid_images();
  const struct {
    const char* what;
    void (*call)(int32_t image);
    uint32_t error;
  } cases[] = {
      {"free -1", [](int32_t) { sub__freeimage(-1, 1); }, 258},
      {"free unknown", [](int32_t) { sub__freeimage(-4000, 1); }, 258},
      {"free page number", [](int32_t) { sub__freeimage(3, 1); }, 5},
      {"free screen page", [](int32_t) { sub__freeimage(-page[0], 1); }, 5},
      {"dest unknown", [](int32_t) { sub__dest(-4000); }, 258},
      {"width of unknown", [](int32_t) { func__width(-77, 1); }, 258},
      {"new size 0", [](int32_t) { func__newimage(0, 5, 32, 1); }, 5},
      {"new size too wide", [](int32_t) { func__newimage(65536, 1, 13, 1); }, 5},
      {"new mode 3", [](int32_t) { func__newimage(5, 5, 3, 1); }, 5},
      {"copy to other mode", [](int32_t i) { func__copyimage(i, 13, 3); }, 5},
      {"screen mode 4", [](int32_t) { kxg_screen(4, 0, 0, 0, 1); }, 5},
      {"screen mode 14", [](int32_t) { kxg_screen(14, 0, 0, 0, 1); }, 5},
      {"screen unknown image", [](int32_t) { kxg_screen(-4000, 0, 0, 0, 1); }, 258},
      {"screen negative page", [](int32_t) { kxg_screen(0, 0, -1, 0, 5); }, 5},
      {"width 0", [](int32_t) { kxsub_width(kx_width_screen, 0, 25, 3); }, 5},
      {"width too large", [](int32_t) { kxsub_width(kx_width_screen, 70000, 25, 3); }, 5},
      {"width lprint 256", [](int32_t) { kxsub_width(kx_width_lprint, 256, 0, 1); }, 5},
      {"width device", [](int32_t) { kxsub_width(kx_width_device, 80, 0, 1); }, 5},
      {"setalpha on text", [](int32_t) { sub__setalpha(10, 0, 0, 0, 0); }, 5},
      {"setalpha 256", [](int32_t i) { sub__setalpha(256, 0, 0, i, 4); }, 5},
      {"blend on text", [](int32_t) { sub__blend(0, 0); }, 5},
      {"clearcolor on text", [](int32_t) { sub__clearcolor(0, 3, 0, 1); }, 5},
      {"palettecolor 256", [](int32_t) { func__palettecolor(256, 0, 0); }, 5},
      {"palettecolor of 32-bit", [](int32_t i) { func__palettecolor(1, i, 1); }, 5},
      {"copypalette to 32-bit", [](int32_t i) { sub__copypalette(0, i, 3); }, 5},
  };
  const uint8_t* screen_data = img[page[0]].data;
  for (const auto& c : cases) {
    c.call(image);
    EXPECT_EQ(take_error(), c.error) << c.what;
    EXPECT_EQ(valid_images(), before) << c.what;
    EXPECT_EQ(img[page[0]].data, screen_data) << c.what;
    EXPECT_EQ(img[page[0]].width, 80) << c.what;
    EXPECT_EQ(func__width(image, 1), 8) << c.what;
  }
}

TEST_F(ImageModel, NewImagesStartBlankWithTheirModesDefaults) {
  const int32_t text = func__newimage(80, 25, 0, 1);
  const img_struct& t = img[-text];
  EXPECT_TRUE(t.text);
  EXPECT_EQ(kx::cell_at(t, 0), blank_text_cell);
  EXPECT_EQ(kx::cell_at(t, 80 * 25 - 1), blank_text_cell);
  EXPECT_EQ(func__pixelsize(text, 1), 0);
  const int32_t rgba = func__newimage(100, 100, 32, 1);
  const img_struct& r = img[-rgba];
  EXPECT_EQ(kx::pixels32(r)[0], 0u);
  EXPECT_EQ(kx::pixels32(r)[9999], 0u);
  EXPECT_EQ(r.color, 0xFFFFFFFFu);
  EXPECT_EQ(r.background_color, 0xFF000000u);
  EXPECT_EQ(r.pal, nullptr);
  EXPECT_EQ(func__pixelsize(rgba, 1), 4);
  EXPECT_EQ(func__blend(rgba, 1), -1);
  // Without a mode the image copies the destination's kind and colours.
  kxg_sub_color(14, 1, 0, 3);
  const int32_t like = func__newimage(10, 4, 0, 0);
  EXPECT_EQ(img[-like].mode, 0);
  EXPECT_EQ(img[-like].color, 14u);
  EXPECT_EQ(img[-like].background_color, 1u);
  // _COPYIMAGE duplicates buffer and palette.
  kx::set_cell(img[-like], 0, 0x1F41);
  const int32_t copy = func__copyimage(like, 0, 1);
  EXPECT_NE(img[-copy].data, img[-like].data);
  EXPECT_NE(img[-copy].pal, img[-like].pal);
  EXPECT_EQ(kx::cell_at(img[-copy], 0), 0x1F41);
  EXPECT_FALSE(img[-copy].flags & img_screen_page);
}

TEST_F(ImageModel, FreeingTheDestinationOrSourceFallsBackToTheDisplay) {
  const int32_t image = func__newimage(16, 16, 13, 1);
  sub__dest(image);
  sub__source(image);
  EXPECT_EQ(func__dest(), image);
  sub__freeimage(image, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func__dest(), func__display());
  EXPECT_EQ(func__source(), func__display());
  // CLEAR frees the program's images but no screen page.
  func__newimage(4, 4, 32, 1);
  func__newimage(4, 4, 13, 1);
  const int32_t screen_pages_and_images = valid_images();
  freeallimages();
  EXPECT_EQ(valid_images(), screen_pages_and_images - 2);
  EXPECT_TRUE(img[page[0]].valid);
}

TEST_F(ImageModel, ScreenModesBuildTheirPages) {
  kxg_screen(12, 0, 0, 0, 1);
  const img_struct* p0 = write_page;
  EXPECT_EQ(p0->width, 640);
  EXPECT_EQ(p0->height, 480);
  EXPECT_EQ(p0->font, 16u);
  EXPECT_EQ(p0->bottom_row, 29);
  EXPECT_EQ(width8050switch, 0);
  EXPECT_EQ(page[1], 0);
  // The same mode again rebuilds nothing.
  const uint8_t* data = p0->data;
  kxg_screen(12, 0, 0, 0, 1);
  EXPECT_EQ(write_page->data, data);
  // An active page alone creates that page and shows it.
  kxg_screen(0, 0, 3, 0, 4);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(page[1], 0);
  EXPECT_EQ(page[2], 0);
  ASSERT_NE(page[3], 0);
  EXPECT_EQ(write_page, &img[page[3]]);
  EXPECT_EQ(display_page.load(), &img[page[3]]);
  EXPECT_EQ(img[page[3]].pal, img[page[0]].pal);
  // SCREEN 13 lies over the graphics video memory.
  kxg_screen(13, 0, 0, 0, 1);
  EXPECT_EQ(write_page->data, &cmem[0xA0000]);
  EXPECT_EQ(write_page->width, 320);
  EXPECT_EQ(write_page->font, 8u);
  EXPECT_EQ(write_page->pal[9], palette_256[9]);
  // Modes 9 and 10 at 640 x 350 with the 14-line font.
  kxg_screen(9, 0, 0, 0, 1);
  EXPECT_EQ(write_page->height, 350);
  EXPECT_EQ(write_page->font, 14u);
  EXPECT_EQ(write_page->pal[6], palette_64[20]);
}

TEST_F(ImageModel, ChangingTheActivePageResetsColourAndViewPrint) {
  kxg_screen(0, 0, 1, 0, 12);
  EXPECT_EQ(take_error(), 0u);
  kxg_sub_color(14, 0, 0, 1);
  kxg_sub_view_print(3, 10, 1);
  kxg_screen(0, 0, 0, 0, 12);
  kxg_screen(0, 0, 1, 0, 12);
  EXPECT_EQ(write_page->color, 7u);
  EXPECT_EQ(write_page->top_row, 1);
  EXPECT_EQ(write_page->bottom_row, 24);
}

TEST_F(ImageModel, WidthResizesTextScreensAndPicksFonts) {
  kxsub_width(kx_width_screen, 100, 30, 3);
  EXPECT_EQ(write_page->width, 100);
  EXPECT_EQ(write_page->height, 30);
  EXPECT_EQ(write_page->font, 16u);
  EXPECT_EQ(width8050switch, 0);
  EXPECT_NE(page[7], 0);

  kxg_screen(12, 0, 0, 0, 1);
  kxsub_width(kx_width_screen, 80, 30, 3);  // the page already has font 16
  EXPECT_EQ(write_page->mode, 12);
  kxsub_width(kx_width_screen, 80, 60, 3);
  EXPECT_EQ(write_page->mode, 12);
  EXPECT_EQ(write_page->font, 8u);
  kxsub_width(kx_width_screen, 80, 25, 3);
  EXPECT_EQ(write_page->mode, 0);
  EXPECT_EQ(write_page->width, 80);
  EXPECT_EQ(write_page->height, 25);

  kxg_screen(12, 0, 0, 0, 1);
  kxsub_width(kx_width_screen, 40, 0, 1);
  EXPECT_EQ(write_page->mode, 0);
  EXPECT_EQ(write_page->width, 40);
  EXPECT_EQ(write_page->font, 17u);

  // A text screen of 60 rows makes the next SCREEN 12 use the 8x8 font.
  kxsub_width(kx_width_screen, 80, 60, 3);
  EXPECT_EQ(write_page->font, 8u);
  kxg_screen(12, 0, 0, 0, 1);
  EXPECT_EQ(write_page->font, 8u);
  EXPECT_EQ(write_page->bottom_row, 59);

  // 32-bit images take the counts in cells of their font.
  const int32_t image = func__newimage(64, 64, 32, 1);
  sub__dest(image);
  kxsub_width(kx_width_screen, 10, 2, 3);
  EXPECT_EQ(func__width(image, 1), 80);
  EXPECT_EQ(func__height(image, 1), 32);
  kxsub_width(kx_width_lprint, 132, 0, 1);
  EXPECT_EQ(width_lprint, 132);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(ImageModel, ScreenOfAnImageMakesItPageZeroAndGivesItBack) {
  const int32_t image = func__newimage(200, 100, 32, 1);
  kxg_screen(image, 0, 0, 0, 1);
  EXPECT_EQ(func__display(), image);
  EXPECT_TRUE(img[-image].flags & img_screen_page);
  sub__freeimage(image, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_screen(0, 0, 0, 0, 1);
  EXPECT_TRUE(img[-image].valid);
  EXPECT_FALSE(img[-image].flags & img_screen_page);
  sub__freeimage(image, 1);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(ImageModel, ColorChecksEachModesRanges) {
  kxg_sub_color(20, 1, 9, 7);  // the border is ignored in mode 0
  EXPECT_EQ(take_error(), 0u);
  print("x", false);
  EXPECT_EQ(cell(1, 1), 0x9400 | 'x');
  kxg_sub_color(32, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(write_page->color, 20u);
  kxg_sub_color(1, 16, 0, 3);
  EXPECT_EQ(take_error(), 5u);

  kxg_screen(12, 0, 0, 0, 1);
  kxg_sub_color(1, 0, 5, 7);
  EXPECT_EQ(take_error(), 5u);  // a border outside mode 0
  kxg_sub_color(16, 0, 0, 1);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_color(9, 3, 0, 3);
  EXPECT_EQ(write_page->color, 9u);
  EXPECT_EQ(write_page->background_color, 3u);

  kxg_screen(1, 0, 0, 0, 1);
  kxg_sub_color(4, 2, 0, 3);
  EXPECT_EQ(write_page->pal[0], palette_256[4]);
  EXPECT_EQ(write_page->pal[1], palette_256[2]);
  kxg_screen(10, 0, 0, 0, 1);
  kxg_sub_color(3, 9, 0, 3);
  EXPECT_EQ(take_error(), 5u);
  kxg_sub_color(3, 8, 0, 3);
  EXPECT_EQ(write_page->pal[4], 8u);
  const int32_t rgba = func__newimage(2, 2, 32, 1);
  sub__dest(rgba);
  kxg_sub_color(0x12345678, 0x80808080, 0, 3);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(write_page->color, 0x12345678u);
}

TEST_F(ImageModel, PaletteConvertsVgaColoursAndChecksRanges) {
  kxg_palette(1, 63, 3);
  EXPECT_EQ(write_page->pal[1], palette_64[63]);
  kxg_palette(16, 1, 3);
  EXPECT_EQ(take_error(), 5u);
  kxg_palette(2, 64, 3);
  EXPECT_EQ(take_error(), 5u);
  kxg_palette(0, 0, 0);
  EXPECT_EQ(write_page->pal[1], palette_256[1]);

  kxg_screen(12, 0, 0, 0, 1);
  kxg_palette(1, 63, 3);
  EXPECT_EQ(write_page->pal[1], 0x00FF0000u);
  kxg_palette(2, 63 << 16 | 32 << 8, 3);
  EXPECT_EQ(write_page->pal[2], 0x000082FFu);
  kxg_palette(3, 64, 3);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(write_page->pal[3], palette_256[3]);
  // PALETTE USING applies each element; -1 keeps an entry.
  int32_t values[16];
  for (int i = 0; i < 16; ++i) values[i] = -1;
  values[4] = 21;
  sub_paletteusing(values, 16, 32);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(write_page->pal[4], 0x00550000u);  // 21 is red 21 of 63
  EXPECT_EQ(write_page->pal[5], palette_256[5]);
  sub_paletteusing(values, 15, 32);
  EXPECT_EQ(take_error(), 5u);
  int16_t shorts[16] = {};
  sub_paletteusing(shorts, 16, 16);
  EXPECT_EQ(take_error(), 5u);
  values[0] = -2;
  sub_paletteusing(values, 16, 32);
  EXPECT_EQ(take_error(), 5u);
  const int32_t rgba = func__newimage(2, 2, 32, 1);
  sub__dest(rgba);
  kxg_palette(1, 1, 3);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(ImageModel, ColourNumbersAndComponents) {
  const int32_t rgba = func__newimage(2, 2, 32, 1);
  EXPECT_EQ(func__rgb(300, -5, 128, rgba, 1), 0xFFFF0080u);
  EXPECT_EQ(func__rgba(1, 2, 3, 4, rgba, 1), 0x04010203u);
  EXPECT_EQ(func__red(0x11223344, rgba, 1), 0x22);
  EXPECT_EQ(func__alpha(0x11223344, rgba, 1), 0x11);
  kxg_screen(12, 0, 0, 0, 1);
  EXPECT_EQ(func__rgb(0xAA, 0, 0, 0, 0), 4u);
  EXPECT_EQ(func__rgb(255, 255, 255, 0, 0), 15u);
  // As far from entry 0 (black) as from entry 1 (blue): the lower index wins.
  EXPECT_EQ(func__rgb(0, 0, 0x55, 0, 0), 0u);
  EXPECT_EQ(func__rgb(0, 0, 0x56, 0, 0), 1u);
  EXPECT_EQ(func__blue(1, 0, 0), 0xAA);
  func__red(16, 0, 0);
  EXPECT_EQ(take_error(), 5u);
  sub__clearcolor(0, 4, 0, 1);
  EXPECT_EQ(func__clearcolor(0, 0), 4);
  EXPECT_EQ(func__rgba(9, 9, 9, 0, 0, 0), 4u);
  EXPECT_EQ(func__alpha(4, 0, 0), 0);
  EXPECT_EQ(func__alpha(5, 0, 0), 255);
  sub__clearcolor(1, 0, 0, 0);
  EXPECT_EQ(func__clearcolor(0, 0), -1);
  EXPECT_EQ(func__palettecolor(1, 0, 0), 0xFF0000AAu);
  sub__palettecolor(1, 0x00123456, 0, 0);
  EXPECT_EQ(write_page->pal[1], 0x00123456u);
  const int32_t other = func__newimage(4, 4, 12, 1);
  sub__copypalette(0, other, 3);
  EXPECT_EQ(img[-other].pal[1], 0x00123456u);
}

}  // namespace
