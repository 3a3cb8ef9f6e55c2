// A test build of the boot shell whose run raises one error: its main
// routine arms the boot shell's handler (as line 2's ON ERROR GOTO does),
// raises the error named on the command line and lets the statement check
// take it, so that the handler is entered exactly as from a failing
// statement. Every later entry, the handler's, goes to the boot shell's own
// compiled routine.
#include <cstdlib>

#include "base/error.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "kxx/kxmain.h"

namespace {

int32_t error_to_raise = 5;

void raise_then_boot(void*) {
  if (error_occurred) {
    KXMAIN(nullptr);
    return;
  }
  sub_on_error_goto(1);
  error(error_to_raise);
  evnt(2);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) error_to_raise = std::atoi(argv[1]);
  const kx_program& shell = halcyonix_program();
  return kx_main(argc, argv, kx_program{raise_then_boot, shell.clear_shared_variables});
}
