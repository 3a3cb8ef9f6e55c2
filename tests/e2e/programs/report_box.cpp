// A compiled program without an error handler: line 18 fails with "File not
// found"; if the box is answered Yes it says so and ends with SYSTEM.
#include <cstdio>

#include "base/error.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"

namespace {

void KXMAIN(void*) {
  do {
    error(53);  // OPEN "missing.txt" FOR INPUT AS #1
    if (!kxevent) break;
    evnt(18);
  } while (r);
  do {
    std::printf("continued\n");
    std::fflush(stdout);
    if (!kxevent) break;
    evnt(19);
  } while (r);
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
