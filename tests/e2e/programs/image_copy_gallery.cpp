// A compiled program that draws the image copy gallery in the screen mode
// COMMAND$ names ("13", "12", or "32" for a 320 x 200 32-bit _NEWIMAGE
// screen). Colour v is v itself on palette screens and colour32(v) on the
// 32-bit one. An 8 x 6 source image holds v(x, y) = 1 + (x + 2y) MOD 15.
//   PCOPY of an image with a box (100, 50)-(109, 59) in colour 7
//   _PUTIMAGE (10, 10), src                 unscaled
//   _PUTIMAGE (30, 10)-(45, 21), src        stretched twice
//   _PUTIMAGE (57, 10)-(50, 15), src        mirrored horizontally
//   _PUTIMAGE (60, 15)-(67, 10), src        mirrored vertically
//   GET (10, 10)-(17, 15), a: boxes of colour 5 at x = 20, 30, 40
//   PUT (10, 30), a, PSET: (20, 30) XOR: (30, 30) AND: (40, 30) OR:
//   PUT (50, 30), a, PRESET
//   palette screens: _CLEARCOLOR 3, src over a box of 5 at (70, 30)
//   32-bit screen: a 4 x 1 image of alphas 0, 128, 64, 200 over colour 5
//   palette screens: PSET (10 + i, 190), i for i = 0 to 255
// then prints "ready" and waits for a key.
#include <cstdio>
#include <string>
#include <vector>

#include "compiled_statement.h"

#include "base/clock.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "screen/copy/graphics_get_put.h"
#include "screen/copy/pcopy.h"
#include "screen/copy/putimage.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/pixels.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "values/byte_element.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

bool truecolour = false;

uint32_t colour(uint32_t v) {
  if (!truecolour) return v;
  return 0xFF000000u | (v * 17 & 0xFF) << 16 | ((255 - v * 17) & 0xFF) << 8 | (v * 50 & 0xFF);
}

void box(float x1, float y1, float x2, float y2, uint32_t v) { sub_line(x1, y1, x2, y2, colour(v), 2, 0, 1 | 8); }

void KXMAIN(void*) {
  const int32_t mode = std::stoi(func_command_str);
  truecolour = mode == 32;
  if (truecolour) {
    statement(1, [] { kxg_screen(func__newimage(320, 200, 32, 1), 0, 0, 0, 1); });
  } else {
    statement(1, [&] { kxg_screen(mode, 0, 0, 0, 1); });
  }
  const int32_t screen = func__dest();
  const int32_t image_mode = truecolour ? 32 : mode;
  // PCOPY of a whole image of the screen's shape.
  statement(2, [&] {
    const int32_t copy = func__newimage(func__width(0, 0), func__height(0, 0), image_mode, 1);
    sub__dest(copy);
    box(100, 50, 109, 59, 7);
    sub__dest(screen);
    sub_pcopy(copy, screen);
    sub__freeimage(copy, 1);
  });
  const int32_t src = func__newimage(8, 6, image_mode, 1);
  statement(3, [&] {
    sub__dest(src);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) sub_pset(float(x), float(y), colour(1 + (x + 2 * y) % 15), 2);
    sub__dest(screen);
  });
  constexpr int32_t point = putimage_dest_first | putimage_source_image;
  constexpr int32_t rectangle = point | putimage_dest_second;
  statement(4, [&] { sub__putimage(10, 10, 0, 0, src, 0, 0, 0, 0, 0, point); });
  statement(5, [&] { sub__putimage(30, 10, 45, 21, src, 0, 0, 0, 0, 0, rectangle); });
  statement(6, [&] { sub__putimage(57, 10, 50, 15, src, 0, 0, 0, 0, 0, rectangle); });
  statement(7, [&] { sub__putimage(60, 15, 67, 10, src, 0, 0, 0, 0, 0, rectangle); });
  std::vector<uint8_t> array(4 + 4 * 8 * 6);
  byte_element_struct bytes{reinterpret_cast<uint64_t>(array.data()), int32_t(array.size())};
  statement(8, [&] { sub_graphics_get(&bytes, 0, 0, 10, 10, 17, 15); });
  statement(9, [] {
    box(20, 30, 27, 35, 5);
    box(30, 30, 37, 35, 5);
    box(40, 30, 47, 35, 5);
  });
  statement(10, [&] { sub_graphics_put(&bytes, 1, 0, 0, 10, 30); });
  statement(11, [&] { sub_graphics_put(&bytes, 0, 0, 0, 20, 30); });
  statement(12, [&] { sub_graphics_put(&bytes, 3, 0, 0, 30, 30); });
  statement(13, [&] { sub_graphics_put(&bytes, 4, 0, 0, 40, 30); });
  statement(14, [&] { sub_graphics_put(&bytes, 2, 0, 0, 50, 30); });
  if (truecolour) {
    statement(15, [&] {
      const int32_t glass = func__newimage(4, 1, 32, 1);
      sub__dest(glass);
      sub__dontblend(glass, 1);
      const uint32_t alphas[] = {0, 128, 64, 200};
      for (int x = 0; x < 4; ++x) sub_pset(float(x), 0, alphas[x] << 24 | 0xFF8040u, 2);
      sub__blend(glass, 1);
      sub__dest(screen);
      box(70, 30, 73, 30, 5);
      sub__putimage(70, 30, 0, 0, glass, 0, 0, 0, 0, 0, point);
    });
  } else {
    statement(15, [&] {
      sub__clearcolor(0, 3, src, 1 | 2);
      box(70, 30, 77, 35, 5);
      sub__putimage(70, 30, 0, 0, src, 0, 0, 0, 0, 0, point);
      for (int i = 0; i < 256; ++i) sub_pset(float(10 + i), 190, uint32_t(i), 2);
    });
  }
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    Sleep(100);
    if (kxevent) evnt(16);
    if (inkey_take_key()) break;
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
