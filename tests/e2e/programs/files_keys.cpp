// A compiled program that reads keys with INPUT$ from the keyboard and
// reports the codes of what each call returned:
//   PRINT "ready": a$ = INPUT$(5): PRINT codes of a$
//   b$ = INPUT$(2): PRINT codes of b$: SYSTEM
// An extended key gives INPUT$ only its 0 byte.
#include <cstdio>

#include "files/file_input.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "values/string_descriptor.h"
#include "values/string_release.h"

namespace {

void report(kxs* keys) {
  std::printf("got");
  for (int32_t i = 0; i < keys->length; ++i) std::printf(" %u", keys->chars[i]);
  std::printf("\n");
  std::fflush(stdout);
  kxs_free(keys);
}

void KXMAIN(void*) {
  if (error_occurred) return;  // no handler
  std::printf("ready\n");
  std::fflush(stdout);
  report(func_input(5, 0, 0));
  report(func_input(2, 0, 0));
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
