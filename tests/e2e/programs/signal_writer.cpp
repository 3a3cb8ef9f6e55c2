// A compiled program for the termination signals. The first argument names
// what it does, the second the folder for its file:
//   "write": OPEN dir + "/lines.txt" FOR OUTPUT AS #1, then
//            FOR i = 1 TO 2000000: PRINT #1, "line"; i: NEXT, then idles;
//   "stuck": spins in a loop that never reaches a statement check, as a
//            program blocked outside the runtime would.
#include <cstdio>
#include <string>

#include "base/arithmetic_fault.h"
#include "base/clock.h"
#include "compiled_statement.h"
#include "files/file_open_close.h"
#include "files/file_print.h"
#include "files/launch_info.h"
#include "frame/startup.h"
#include "program_text.h"
#include "values/string_create.h"

namespace {

void KXMAIN(void*) {
  if (error_occurred) return;  // no handler
  install_division_by_zero_handler();  // as every compiled main routine does
  const std::string road = func_command_count > 1 ? func_command_array[1] : "";
  const std::string folder = func_command_count > 2 ? func_command_array[2] : ".";
  if (road == "stuck") {
    say("stuck");
    for (;;) Sleep(10);
  }
  statement(1, [&] { sub_open(text(folder + "/lines.txt"), 4, 0, 0, 1, 0, 0); });
  say("writing");
  for (int i = 1; i <= 2000000; ++i) {
    statement(2, [&] { sub_file_print(1, text("line " + std::to_string(i)), 0, 0, 1); });
  }
  say("written");
  for (;;) statement(3, [] { Sleep(20); });
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
