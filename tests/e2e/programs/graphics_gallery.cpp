// A compiled program that draws the graphics gallery in the screen mode
// COMMAND$ names ("13", or "32" for a 320 x 200 32-bit _NEWIMAGE screen),
// all in the mode's default colour:
//   LINE (10, 10)-(100, 10)          LINE (10, 20)-(60, 70)
//   LINE (120, 10)-(170, 40), , B    LINE (180, 10)-(220, 40), , BF
//   LINE (10, 90)-(100, 90), , , &HF0F0
//   DRAW "BM120,60 R20 D20 L20 U20"
//   LINE (150, 60)-(170, 80), , B: PAINT (160, 70)
//   CIRCLE (260, 40), 20             CIRCLE (270, 80), 14, , 0, 1.5
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

void KXMAIN(void*) {
  const int32_t mode = std::stoi(func_command_str);
  if (mode == 32) {
    statement(1, [] { kxg_screen(func__newimage(320, 200, 32, 1), 0, 0, 0, 1); });
  } else {
    statement(1, [&] { kxg_screen(mode, 0, 0, 0, 1); });
  }
  statement(2, [] { sub_line(10, 10, 100, 10, 0, 0, 0, 1); });
  statement(3, [] { sub_line(10, 20, 60, 70, 0, 0, 0, 1); });
  statement(4, [] { sub_line(120, 10, 170, 40, 0, 1, 0, 1); });
  statement(5, [] { sub_line(180, 10, 220, 40, 0, 2, 0, 1); });
  statement(6, [] { sub_line(10, 90, 100, 90, 0, 0, 0xF0F0, 1 | 16); });
  statement(7, [] { sub_draw(kxs_new_txt("BM120,60 R20 D20 L20 U20")); });
  statement(8, [] { sub_line(150, 60, 170, 80, 0, 1, 0, 1); });
  statement(9, [] { sub_paint(160, 70, 0u, 0u, nullptr, 0); });
  statement(10, [] { sub_circle(260, 40, 20, 0, 0, 0, 0, 0); });
  statement(11, [] { sub_circle(270, 80, 14, 0, 0, 1.5, 0, 4 | 8); });
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    Sleep(100);
    if (kxevent) evnt(12);
    if (inkey_take_key()) break;
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
