// A compiled program that reports the mouse and uses the clipboard, chosen
// by its first argument:
//   text | graphics | stretched   print "m x y left right middle wheel" for
//                                  every mouse message (SCREEN 0, SCREEN 12,
//                                  or SCREEN 0 scaled into a resized window);
//   copy                           put a text on the clipboard;
//   copybig                        put 600,000 bytes ("a" and a box line
//                                  character, alternately) on the clipboard;
//   paste                          on each "p" key print the pasted text's
//                                  length, byte sum, first bytes and time;
//                                  on "k" copy "kx copy" and print "copied"
//                                  with the time the copy took in
//                                  microseconds.
// "w" moves the pointer with _MOUSEMOVE: to column 1, row 1 on a text
// screen, to pixel (100, 50) on a graphics screen. "c" centres the window
// on the desktop with _SCREENMOVE _MIDDLE. "q" ends the program.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "program_text.h"

#include "base/clock.h"
#include "base/flags.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "input/inkey.h"
#include "input/mouse_position.h"
#include "input/mouse_queues.h"
#include "platform/clipboard.h"
#include "screen/compose/presentation_statements.h"
#include "screen/compose/window_statements.h"
#include "screen/images/screen_modes.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"

namespace {

std::string mode;

void report_messages() {
  while (func__mouseinput(0, 0)) {
    std::printf("m %g %g %d %d %d %d\n", func__mousex(0, 0), func__mousey(0, 0), func__mousebutton(1, 0, 0),
                func__mousebutton(2, 0, 0), func__mousebutton(3, 0, 0), func__mousewheel(0, 0));
  }
  std::fflush(stdout);
}

void paste() {
  const uint32_t mark = kxs_tmp_list_nexti;
  const int64_t start = GetTicks();
  kxs* text = func__clipboard();
  const int64_t elapsed = GetTicks() - start;
  uint64_t sum = 0;
  for (int32_t i = 0; i < text->length; ++i) sum += text->chars[i];
  std::string head;
  char hex[4];
  for (int32_t i = 0; i < text->length && i < 16; ++i) {
    std::snprintf(hex, sizeof hex, "%02X", text->chars[i]);
    head += hex;
  }
  std::printf("paste %d %llu %s %lld\n", text->length, static_cast<unsigned long long>(sum), head.c_str(),
              static_cast<long long>(elapsed));
  std::fflush(stdout);
  kxs_cleanup(mark, 0);
}

void copy_timed() {
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* text = kxs_new_txt("kx copy");
  const auto start = std::chrono::steady_clock::now();
  sub__clipboard(text);
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  std::printf("copied %lld\n", static_cast<long long>(took.count()));
  std::fflush(stdout);
  kxs_cleanup(mark, 0);
}

void KXMAIN(void*) {
  if (mode == "graphics") kxg_screen(12, 0, 0, 0, 1);
  if (mode == "stretched") sub__resize(1, 1, 3);
  while (!window_exists.load()) Sleep(10);
  if (mode == "copy") {
    // Box drawing, accented letters, a Greek letter and plain text.
    static const char text[] = "\xC9\xCD\xBB caf\x82 na\x8B" "ve \xE0=1 \x81" "ber\r\nline 2";
    const uint32_t mark = kxs_tmp_list_nexti;
    sub__clipboard(kxs_new_txt(text));
    kxs_cleanup(mark, 0);
  }
  if (mode == "copybig") {
    std::string text;
    for (int i = 0; i < 300000; ++i) text += "a\xC4";
    const uint32_t mark = kxs_tmp_list_nexti;
    sub__clipboard(kxs_new_txt(text.c_str()));
    kxs_cleanup(mark, 0);
  }
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    const std::string key = take_key();
    if (key == "q") break;
    if (key == "p") paste();
    if (key == "k") copy_timed();
    if (key == "c") sub__screenmove(0, 0, 1);
    if (key == "w") mode == "graphics" ? sub__mousemove(100, 50) : sub__mousemove(1, 1);
    report_messages();
    Sleep(1);
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) {
  mode = argc > 1 ? argv[1] : "text";
  return kx_main(argc, argv, kx_program{KXMAIN});
}
