// A compiled program that polls INKEY$ as fast as a BASIC loop does and
// writes each key it gets with the monotonic time it got it:
//   DO: k$ = INKEY$: IF LEN(k$) THEN PRINT ASC(k$); time
//   LOOP UNTIL k$ = CHR$(27)
// The key-latency benchmark compares these times with its send times.
#include <cstdio>

#include "frame/shutdown.h"
#include "monotonic_us.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "values/string_release.h"

namespace {

void KXMAIN(void*) {
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    kxs* k = kxs_inkey();
    const int length = k->length;
    const unsigned char first = length ? k->chars[0] : 0;
    kxs_free(k);
    if (length) {
      const long long at = monotonic_us();
      std::printf("key %u %lld\n", first, at);
      std::fflush(stdout);
      if (first == 27) sub_system();
    }
    if (kxevent) evnt(2);
  }
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
