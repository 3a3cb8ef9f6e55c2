// A compiled program that handles the close button itself:
//   DO: x = _EXIT: IF x THEN PRINT x: SYSTEM
//   _DELAY 0.05: LOOP
#include <cstdio>

#include "base/clock.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"

namespace {

void KXMAIN(void*) {
  // With the argument "end" the program goes straight to END's key wait.
  if (func_command_str == "end") sub_end();
  std::printf("polling\n");
  std::fflush(stdout);
  for (;;) {
    const int32_t x = func__exit();
    if (x) {
      std::printf("exit request %d\n", x);
      std::fflush(stdout);
      // The next call no longer sees it.
      std::printf("then %d\n", func__exit());
      std::fflush(stdout);
      sub_system();
    }
    Sleep(50);
    if (kxevent) evnt(2);
  }
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
