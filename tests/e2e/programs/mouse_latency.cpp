// A compiled program that polls the mouse as a BASIC loop does, on a
// SCREEN 12 page so positions are pixels, and writes each new pointer x
// with the monotonic time it saw it:
//   DO: WHILE _MOUSEINPUT: IF _MOUSEX <> last THEN PRINT _MOUSEX; time
//   WEND: LOOP UNTIL INKEY$ = CHR$(27)
// The mouse-latency benchmark compares these times with its send times.
#include <cstdio>

#include "frame/shutdown.h"
#include "monotonic_us.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "input/mouse_position.h"
#include "input/mouse_queues.h"
#include "screen/images/screen_modes.h"
#include "values/string_release.h"

namespace {

void KXMAIN(void*) {
  kxg_screen(12, 0, 0, 0, 1);
  std::printf("ready\n");
  std::fflush(stdout);
  float last = -1;
  for (;;) {
    while (func__mouseinput(0, 0)) {
      const float x = func__mousex(0, 0);
      if (x != last) {
        last = x;
        std::printf("move %g %lld\n", x, monotonic_us());
        std::fflush(stdout);
      }
    }
    kxs* k = kxs_inkey();
    const bool escape = k->length == 1 && k->chars[0] == 27;
    kxs_free(k);
    if (escape) sub_system();
    if (kxevent) evnt(2);
  }
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
