// A compiled program that draws the graphics gallery in the screen mode
// COMMAND$ names ("13", or "32" for a 320 x 200 32-bit _NEWIMAGE screen).
// Colour k is k itself on palette screens (masked there to the mode's
// colours) and ink32(k) on the 32-bit one:
//   LINE (10, 10)-(100, 10), 9       LINE (10, 20)-(60, 70)   (default colour)
//   LINE (10, 80)-(100, 100), 14     LINE (105, 20)-(115, 95), 3
//   LINE (120, 10)-(170, 40), 12, B  LINE (180, 10)-(220, 40), 5, BF
//   LINE (10, 110)-(100, 110), 10, , &HF0F0
//   LINE (120, 50)-(150, 70), 13, B, &HCCCC
//   DRAW "C6 BM180,60 R20 D20 L20 U20 BM185,65 F5 E5 BM20,130 M+30,-10
//         TA90 BM210,105 U10"
//   the triangle (230, 60)-(300, 60)-(265, 100) in 1, PAINT (265, 70), 4, 1
//   LINE (250, 110)-(300, 150), 2, B: PAINT (275, 130), 2
//   CIRCLE (40, 160), 20, 11         CIRCLE (100, 160), 14, 7, 0, 1.5
//   CIRCLE (170, 160), 20, 3: PAINT (170, 160), 6, 3
//   LINE (10, 190)-(220, 190), 43
//   32-bit screen only: LINE (230, 165)-(300, 195), 5, BF, then a box of
//   &H40FF8000 (alpha 64) over it: LINE (250, 170)-(290, 190), , BF
// then prints "ready" and waits for a key.
#include <cstdio>
#include <string>

#include "compiled_statement.h"

#include "base/clock.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "screen/graphics/circle.h"
#include "screen/graphics/draw.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/paint.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

bool truecolour = false;

// An opaque 32-bit colour for each colour number, all different.
uint32_t ink(uint32_t k) {
  if (!truecolour) return k;
  return 0xFF000000u | (k * 37 & 0xFF) << 16 | ((255 - k * 23) & 0xFF) << 8 | (k * 61 & 0xFF);
}

constexpr int32_t colour_given = 8, style_given = 16, first_point = 1;

void line(float x1, float y1, float x2, float y2, uint32_t k, int32_t box = 0) {
  sub_line(x1, y1, x2, y2, ink(k), box, 0, first_point | colour_given);
}

void KXMAIN(void*) {
  const int32_t mode = std::stoi(func_command_str);
  truecolour = mode == 32;
  if (truecolour) {
    statement(1, [] { kxg_screen(func__newimage(320, 200, 32, 1), 0, 0, 0, 1); });
  } else {
    statement(1, [&] { kxg_screen(mode, 0, 0, 0, 1); });
  }
  statement(2, [] { line(10, 10, 100, 10, 9); });
  statement(3, [] { sub_line(10, 20, 60, 70, 0, 0, 0, first_point); });
  statement(4, [] { line(10, 80, 100, 100, 14); });
  statement(5, [] { line(105, 20, 115, 95, 3); });
  statement(6, [] { line(120, 10, 170, 40, 12, 1); });
  statement(7, [] { line(180, 10, 220, 40, 5, 2); });
  statement(8, [] { sub_line(10, 110, 100, 110, ink(10), 0, 0xF0F0, first_point | colour_given | style_given); });
  statement(9, [] { sub_line(120, 50, 150, 70, ink(13), 1, 0xCCCC, first_point | colour_given | style_given); });
  statement(10, [] {
    const std::string commands = "C" + std::to_string(ink(6)) +
                                 " BM180,60 R20 D20 L20 U20 BM185,65 F5 E5 BM20,130 M+30,-10 TA90 BM210,105 U10";
    sub_draw(kxs_new_txt(commands.c_str()));
  });
  statement(11, [] { line(230, 60, 300, 60, 1); });
  statement(12, [] { line(300, 60, 265, 100, 1); });
  statement(13, [] { line(265, 100, 230, 60, 1); });
  statement(14, [] { sub_paint(265, 70, ink(4), ink(1), nullptr, 2 | 4); });
  statement(15, [] { line(250, 110, 300, 150, 2, 1); });
  statement(16, [] { sub_paint(275, 130, ink(2), 0, nullptr, 2); });
  statement(17, [] { sub_circle(40, 160, 20, ink(11), 0, 0, 0, 2); });
  statement(18, [] { sub_circle(100, 160, 14, ink(7), 0, 1.5, 0, 2 | 4 | 8); });
  statement(19, [] { sub_circle(170, 160, 20, ink(3), 0, 0, 0, 2); });
  statement(20, [] { sub_paint(170, 160, ink(6), ink(3), nullptr, 2 | 4); });
  statement(21, [] { line(10, 190, 220, 190, 43); });
  if (truecolour) {
    statement(22, [] { line(230, 165, 300, 195, 5, 2); });
    statement(23, [] { sub_line(250, 170, 290, 190, 0x40FF8000u, 2, 0, first_point | colour_given); });
  }
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    Sleep(100);
    if (kxevent) evnt(24);
    if (inkey_take_key()) break;
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
