// A compiled program for the soft keys and positioned text. COMMAND$ picks
// the scene; each prints "ready" once its screen is drawn.
//  "keys 80", "keys 40", "keys 12": SCREEN 0 (WIDTH 40) or SCREEN 12,
//      KEY 1, "HELLO": KEY 2, "RUN" + CHR$(13): KEY ON, then
//      DO: k$ = INKEY$
//        "l": KEY LIST   "o": KEY OFF   "q": SYSTEM
//        anything else is collected and printed to stdout as "typed ..."
//  "trap": KEY 15, CHR$(0) + CHR$(30): ON KEY(15) GOSUB t: KEY(15) ON
//      (t prints "key15"); "q" ends
//  "print 12", "print 13", "print 32": SCREEN 12, 13 or a 640 x 480 32-bit
//      page; a red and a green band, and _PRINTSTRING in the three print
//      modes at pixel positions on whole cells: "FILL" at cell (1, 1),
//      "KEEP" over red at (2, 2), "BACK" over green at (3, 3)
//  "print 0": LOCATE 3, 4: _PRINTSTRING (10, 5), "AT": PRINT "X"
#include <cstdio>
#include <string>

#include "program_text.h"

#include "base/clock.h"
#include "compiled_statement.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "input/soft_keys.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/lines.h"
#include "screen/images/color_statements.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/positioned_text.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

constexpr int32_t key15_handler = 1;

bool on_key(int32_t id, int64_t) {
  if (id != key15_handler) return false;
  say("key15");
  return true;
}

// The next key INKEY$ gives, waiting for one with statement checks.
std::string next_key() {
  for (;;) {
    std::string s = take_key();
    if (!s.empty()) return s;
    Sleep(5);
    if (kxevent) evnt(100);
  }
}

void keys_scene(const std::string& kind) {
  if (kind == "40") statement(1, [] { kxsub_width(kx_width_screen, 40, 0, 1); });
  if (kind == "12") statement(1, [] { kxg_screen(12, 0, 0, 0, 1); });
  statement(2, [] { key_assign(1, text("HELLO")); });
  statement(3, [] { key_assign(2, text("RUN\r")); });
  statement(4, [] { key_on(); });
  say("ready");
  std::string typed;
  for (;;) {
    const std::string k = next_key();
    if (k == "q") break;
    if (k == "l") {
      statement(5, [] { key_list(); });
      say("listed");
    } else if (k == "o") {
      statement(6, [] { key_off(); });
      say("off");
    } else {
      typed += k;
      say("typed " + typed);
    }
  }
}

void trap_scene() {
  statement(1, [] { key_assign(15, text(std::string("\0\x1E", 2))); });
  statement(2, [] { onkey_setup(15, key15_handler, 0); });
  statement(3, [] { sub_key(15, 1); });
  say("ready");
  while (next_key() != "q") {
  }
}

void print_scene(const std::string& kind) {
  if (kind == "0") {
    statement(1, [] { kxg_sub_locate(3, 4, 0, 0, 0, 3); });
    statement(2, [] { sub__printstring(10, 5, text("AT"), 0, 0); });
    statement(3, [] { kxs_print(text("X"), 1); });
    say("ready");
    while (next_key() != "q") {
    }
    return;
  }
  if (kind == "12") statement(1, [] { kxg_screen(12, 0, 0, 0, 1); });
  if (kind == "13") statement(1, [] { kxg_screen(13, 0, 0, 0, 1); });
  if (kind == "32") statement(1, [] { kxg_screen(func__newimage(640, 480, 32, 1), 0, 0, 0, 1); });
  const bool deep = kind == "32";
  const uint32_t yellow = deep ? 0xFFFFFF55u : 14, blue = deep ? 0xFF0000AAu : 1;
  const uint32_t red = deep ? 0xFFAA0000u : 4, green = deep ? 0xFF00AA00u : 2;
  const int32_t w = 8, h = kind == "13" ? 8 : 16;
  statement(2, [&] { kxg_sub_color(yellow, blue, 0, 3); });
  statement(3, [&] { sub_line(0, 2 * h, 200, 3 * h - 1, red, 2, 0, 1 | 8); });
  statement(4, [&] { sub_line(0, 3 * h, 200, 4 * h - 1, green, 2, 0, 1 | 8); });
  statement(5, [&] { sub__printstring(w, h, text("FILL"), 0, 0); });
  statement(6, [] { sub__printmode(2, 0, 0); });
  statement(7, [&] { sub__printstring(2 * w, 2 * h, text("KEEP"), 0, 0); });
  statement(8, [] { sub__printmode(3, 0, 0); });
  statement(9, [&] { sub__printstring(3 * w, 3 * h, text("BACK"), 0, 0); });
  say("ready");
  while (next_key() != "q") {
  }
}

void KXMAIN(void*) {
  const std::string scene = func_command_str;
  const auto blank = scene.find(' ');
  const std::string name = scene.substr(0, blank), kind = blank == std::string::npos ? "" : scene.substr(blank + 1);
  if (name == "keys") keys_scene(kind);
  if (name == "trap") trap_scene();
  if (name == "print") print_scene(kind);
  say("done");
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{.main_routine = KXMAIN, .on_key = on_key}); }
