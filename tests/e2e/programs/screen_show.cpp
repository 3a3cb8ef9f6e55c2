// A compiled program that shows one screen for the screen tests; COMMAND$
// names it:
//   colours    _TITLE "Screen Colours": COLOR 14, 1: PRINT "Yellow on blue"
//              COLOR 12: PRINT "Red text": LOCATE 10, 30: COLOR 15, 2
//              PRINT "White on green";: COLOR 7, 0: END
//   mode N     SCREEN N: PRINT "mode": END
//   forty      WIDTH 40: COLOR 11: PRINT "FORTY COLUMNS": END
//   cursor     LOCATE 5, 10, 1: DO: _LIMIT 10: LOOP UNTIL LEN(INKEY$): SYSTEM
//   blink on   COLOR 31, 0: PRINT "BLINK": (the same key wait): SYSTEM
//   blink off  as blink on, after _BLINK OFF
//   resize     built with the resizable-window option and stretching:
//              COLOR 14, 1: PRINT "SCALED": (the key wait): SYSTEM
//   square     _FULLSCREEN _SQUAREPIXELS: COLOR 15, 1: CLS: (the key wait)
//   hide       _TITLE "Hide Me": waits for the window: _SCREENHIDE, prints
//              "hidden", 2 seconds later _SCREENSHOW, prints "shown", then
//              the key wait
// Each prints "ready" on standard output once its screen is drawn.
#include <cstdio>
#include <string>

#include "files/launch_info.h"
#include "files/console_switches.h"
#include "frame/clock.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "screen/cls.h"
#include "screen/colors.h"
#include "screen/cursor.h"
#include "screen/presentation_state.h"
#include "screen/presentation_statements.h"
#include "screen/print.h"
#include "screen/screen_modes.h"
#include "screen/text_switches.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

// One statement as the compiler emits it: the call, the temporaries swept,
// then the check, repeated while the check asks for it.
template <typename Statement>
void statement(uint32_t line, Statement run) {
  do {
    const uint32_t mark = kxs_tmp_list_nexti;
    run();
    kxs_cleanup(mark, 0);
    if (!kxevent) break;
    evnt(line);
  } while (r);
}

void print_line(uint32_t line, const char* text, uint8_t end_line = 1) {
  statement(line, [&] { kxs_print(kxs_new_txt(text), end_line); });
}

void ready() {
  std::printf("ready\n");
  std::fflush(stdout);
}

void wait_for_key_then_system() {
  for (;;) {
    Sleep(100);  // as END's key wait polls
    if (kxevent) evnt(90);
    if (inkey_take_key()) break;
  }
  sub_system();
}

void KXMAIN(void*) {
  const std::string scene = func_command_str;
  if (scene == "colours") {
    statement(1, [] { sub__title(kxs_new_txt("Screen Colours")); });
    statement(2, [] { kxg_sub_color(14, 1, 0, 3); });
    print_line(3, "Yellow on blue");
    statement(4, [] { kxg_sub_color(12, 0, 0, 1); });
    print_line(5, "Red text");
    statement(6, [] { kxg_sub_locate(10, 30, 0, 0, 0, 3); });
    statement(7, [] { kxg_sub_color(15, 2, 0, 3); });
    print_line(8, "White on green", 0);
    statement(9, [] { kxg_sub_color(7, 0, 0, 3); });
    ready();
    sub_end();
  }
  if (scene.rfind("mode ", 0) == 0) {
    const int32_t mode = std::stoi(scene.substr(5));
    statement(1, [&] { kxg_screen(mode, 0, 0, 0, 1); });
    print_line(2, "mode");
    ready();
    sub_end();
  }
  if (scene == "forty") {
    statement(1, [] { kxsub_width(kx_width_screen, 40, 0, 1); });
    statement(2, [] { kxg_sub_color(11, 0, 0, 1); });
    print_line(3, "FORTY COLUMNS");
    ready();
    sub_end();
  }
  if (scene == "cursor") {
    statement(1, [] { kxg_sub_locate(5, 10, 1, 0, 0, 7); });
    ready();
    wait_for_key_then_system();
  }
  if (scene == "blink on" || scene == "blink off") {
    if (scene == "blink off") statement(1, [] { sub__blink(2); });
    statement(2, [] { kxg_sub_color(31, 0, 0, 3); });
    print_line(3, "BLINK");
    ready();
    wait_for_key_then_system();
  }
  if (scene == "resize") {
    statement(1, [] { kxg_sub_color(14, 1, 0, 3); });
    print_line(2, "SCALED");
    ready();
    wait_for_key_then_system();
  }
  if (scene == "square") {
    statement(1, [] { sub__fullscreen(3, 0, 1); });
    statement(2, [] { kxg_sub_color(15, 1, 0, 3); });
    statement(3, [] { sub_cls(0, 0, 0); });
    ready();
    wait_for_key_then_system();
  }
  if (scene == "hide") {
    statement(1, [] { sub__title(kxs_new_txt("Hide Me")); });
    while (!func_windowexists()) Sleep(10);
    statement(2, [] { sub__screenhide(); });
    std::printf("hidden\n");
    std::fflush(stdout);
    Sleep(2000);
    statement(3, [] { sub__screenshow(); });
    std::printf("shown\n");
    std::fflush(stdout);
    ready();
    wait_for_key_then_system();
  }
  std::printf("unknown scene [%s]\n", scene.c_str());
  std::fflush(stdout);
  sub_system();
}

}  // namespace

int main(int argc, char** argv) {
  // The resizable-window options are the compiled program's, in force from
  // start-up.
  if (argc > 1 && std::string(argv[1]) == "resize") {
    ScreenResize = 1;
    ScreenResizeScale = 1;
  }
  return kx_main(argc, argv, kx_program{KXMAIN});
}
