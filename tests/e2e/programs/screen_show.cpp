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
//   resize smooth  the same, built with smooth stretching
//   square     _FULLSCREEN _SQUAREPIXELS: COLOR 15, 1: CLS: (the key wait)
//   hardware   hardware images: a 4 x 4 red image put into the left half of
//              an 8 x 8 blue one (hardware to hardware), that one put at
//              (100, 100)-(163, 163) of the window, and a red triangle
//              (300, 100), (363, 100), (300, 163); all between two _DISPLAYs
//   hide       _TITLE "Hide Me": waits for the window: _SCREENHIDE, prints
//              "hidden", _SCREENSHOW once the test has made /tmp/kx_show_<pid>,
//              prints "shown", then the key wait
//   queries    built with the resizable-window option: prints
//              "exists <_SCREENEXISTS> desktop <_DESKTOPWIDTH>x<_DESKTOPHEIGHT>",
//              waits for _RESIZE to another size than 640 x 400, prints "resized <_RESIZEWIDTH>x<_RESIZEHEIGHT>
//              scaled <_SCALEDWIDTH>x<_SCALEDHEIGHT> again <_RESIZE>", then
//              _SCREENICON and "icon <_SCREENICON>", then the key wait
// Each prints "ready" on standard output once its screen is drawn.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/clock.h"
#include "compiled_statement.h"
#include "files/console_switches.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "screen/compose/presentation_state.h"
#include "screen/compose/presentation_statements.h"
#include "screen/images/color_statements.h"
#include "screen/images/hardware_images.h"
#include "screen/images/image_statements.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cls.h"
#include "screen/text/cursor.h"
#include "screen/text/print.h"
#include "screen/text/text_switches.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {


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
  if (scene == "resize" || scene == "resize smooth") {
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
  if (scene == "hardware") {
    int32_t red = 0, blue = 0, hardware_red = 0, hardware_blue = 0;
    statement(1, [&] { red = func__newimage(4, 4, 32, 1); });
    statement(2, [&] { sub__dest(red); });
    statement(3, [] { sub_cls(0, 0xFFFF0000u, 3); });
    statement(4, [&] { blue = func__newimage(8, 8, 32, 1); });
    statement(5, [&] { sub__dest(blue); });
    statement(6, [] { sub_cls(0, 0xFF0000FFu, 3); });
    statement(7, [] { sub__dest(0); });
    statement(8, [&] { hardware_red = func__copyimage(red, 33, 3); });
    statement(9, [&] { hardware_blue = func__copyimage(blue, 33, 3); });
    statement(10, [] { sub__display(); });
    statement(11, [&] { kx::hardware_put(hardware_red, hardware_blue, 0, 0, 3, 7, 0, 0, 3, 3, false, false); });
    statement(12, [&] { kx::hardware_put(hardware_blue, 0, 100, 100, 163, 163, 0, 0, 7, 7, false, false); });
    statement(13, [&] {
      const float corners[9] = {300, 100, 0, 364, 100, 0, 300, 164, 0};
      const float source[6] = {0, 0, 3, 0, 0, 3};
      kx::hardware_triangle(hardware_red, 0, corners, source, false, false, false);
    });
    statement(14, [] { sub__display(); });
    ready();
    wait_for_key_then_system();
  }
  if (scene == "hide") {
    statement(1, [] { sub__title(kxs_new_txt("Hide Me")); });
    while (!func_windowexists()) Sleep(10);
    statement(2, [] { sub__screenhide(); });
    std::printf("hidden\n");
    std::fflush(stdout);
    // Hidden until the test has seen the window unmapped and says so by
    // making the file /tmp/kx_show_<pid> (a minute at most).
    const std::string seen = "/tmp/kx_show_" + std::to_string(getpid());
    const int64_t hidden_at = GetTicks();
    while (access(seen.c_str(), F_OK) != 0 && GetTicks() - hidden_at < 60000) Sleep(10);
    statement(3, [] { sub__screenshow(); });
    std::printf("shown\n");
    std::fflush(stdout);
    ready();
    wait_for_key_then_system();
  }
  if (scene == "queries") {
    std::printf("exists %d desktop %dx%d\n", func_windowexists(), func_screenwidth(), func_screenheight());
    ready();
    // The window's first reshape, at its creation size, counts too: wait for
    // one to another size.
    while (!(func__resize() == -1 && (func__resizewidth() != 640 || func__resizeheight() != 400))) Sleep(10);
    // The placement follows with the frame drawn at the new size.
    while (func__scaledwidth() != func__resizewidth()) Sleep(10);
    std::printf("resized %dx%d scaled %dx%d again %d\n", func__resizewidth(), func__resizeheight(),
                func__scaledwidth(), func__scaledheight(), func__resize());
    std::fflush(stdout);
    statement(1, [] { sub_screenicon(); });
    std::printf("icon %d\n", func_screenicon());
    std::fflush(stdout);
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
  if (argc > 1 && (std::string(argv[1]) == "resize" || std::string(argv[1]) == "queries")) {
    ScreenResize = 1;
    ScreenResizeScale = argc > 2 && std::string(argv[2]) == "smooth" ? 2 : 1;
  }
  return kx_main(argc, argv, kx_program{KXMAIN});
}
