// A compiled program whose integer division by zero traps in the processor:
// the runtime turns the signal into critical error 11.
#include <cstdio>

#include "base/arithmetic_fault.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"

namespace {

volatile int divisor = 0;

void KXMAIN(void*) {
  install_division_by_zero_handler();
  do {
    const int quotient = 100 / divisor;  // PRINT 100 \ d
    std::printf("%d\n", quotient);
    if (!kxevent) break;
    evnt(3);
  } while (r);
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
