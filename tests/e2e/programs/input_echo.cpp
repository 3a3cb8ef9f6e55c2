// A compiled program that echoes what the keyboard gives it, one line per
// event, until it reads "q":
//   DO: k$ = INKEY$: IF LEN(k$) THEN PRINT "inkey"; ASC codes
//       h = _KEYHIT: IF h THEN PRINT "hit"; h
//       IF the held state of a, A, left Shift or Up changed THEN PRINT "down";
//           _KEYDOWN(97); _KEYDOWN(65); _KEYDOWN(100304); _KEYDOWN(&H4800)
//       IF locks changed THEN PRINT "locks"; _CAPSLOCK; _NUMLOCK; _SCROLLLOCK
//   LOOP UNTIL k$ = "q"
// With the argument "hold", it first waits until the window has had time to
// collect keys without reading them (the type-ahead test).
#include <cstdio>
#include <string>

#include "program_text.h"

#include "base/clock.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "input/key_rings.h"
#include "input/lock_keys.h"
#include "values/string_release.h"

namespace {

void KXMAIN(void*) {
  std::printf("ready\n");
  std::fflush(stdout);
  if (func_command_str == "hold") {
    // Reads nothing until the test's 30 keys have all gone down and up (60
    // _KEYHIT entries), a minute at most, however slowly they arrive.
    const int64_t start = GetTicks();
    while (keyhit.size() < 60 && GetTicks() - start < 60000) Sleep(10);
  }
  std::string locks, held;
  for (;;) {
    std::string down;
    for (int32_t code : {97, 65, 100304, 0x4800}) down += " " + std::to_string(func__keydown(code));
    if (down != held) {
      held = down;
      std::printf("down%s\n", held.c_str());
    }
    const std::string now = std::to_string(func__capslock()) + " " + std::to_string(func__numlock()) + " " +
                            std::to_string(func__scrolllock());
    if (now != locks) {
      locks = now;
      std::printf("locks %s\n", locks.c_str());
    }
    const std::string text = take_key();
    if (!text.empty()) {
      std::printf("inkey");
      for (unsigned char c : text) std::printf(" %u", c);
      std::printf("\n");
    }
    while (const int32_t hit = func__keyhit()) std::printf("hit %d\n", hit);
    std::fflush(stdout);
    if (text == "q") sub_system();
    if (text.empty()) Sleep(5);
    if (kxevent) evnt(1);
  }
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
