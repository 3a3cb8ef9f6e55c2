// A compiled program that writes numbers to a file and reads them back,
// building one long string from the lines:
//   OPEN dir + "/numbers.txt" FOR OUTPUT AS #1
//   FOR i = 1 TO 2000: PRINT #1, i * .5!: NEXT: CLOSE #1
//   OPEN dir + "/numbers.txt" FOR INPUT AS #1
//   DO UNTIL EOF(1): LINE INPUT #1, l$: s$ = s$ + l$: n = n + 1: LOOP
//   PRINT "lines"; n; "length"; LEN(s$)
//   PRINT "last "; l$
//   PRINT "third "; STR$(1# / 3)
//   img& = _NEWIMAGE(8, 8, 32): _DEST img&: PSET (1, 1), &H90FF0000
//   _SOURCE img&: _DEST 0: PRINT "blend "; HEX$(POINT(1, 1))
// then prints "done" on standard output, waits for a key and ends.
#include <cstdio>
#include <string>

#include "base/clock.h"
#include "compiled_statement.h"
#include "files/file_input.h"
#include "files/file_open_close.h"
#include "files/file_position.h"
#include "files/file_print.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "screen/graphics/pixels.h"
#include "screen/images/blend.h"
#include "screen/images/image_statements.h"
#include "screen/text/print.h"
#include "values/hex_oct.h"
#include "values/number_to_text.h"
#include "values/string_append.h"
#include "values/string_assign.h"
#include "program_text.h"
#include "values/string_create.h"

namespace {

void KXMAIN(void*) {
  const std::string name = (func_command_count > 1 ? std::string(func_command_array[1]) : std::string(".")) + "/numbers.txt";
  statement(1, [&] { sub_open(text(name), 4, 0, 0, 1, 0, 0); });
  for (int i = 1; i <= 2000; ++i) {
    statement(2, [&] { sub_file_print(1, kxs_str(static_cast<float>(i) * 0.5f), 1, 0, 1); });
  }
  statement(3, [] { sub_close(1, 1); });
  statement(4, [&] { sub_open(text(name), 3, 0, 0, 1, 0, 0); });
  kxs* line = kxs_new(0, 0);
  kxs* built = kxs_new(0, 0);
  int32_t lines = 0;
  while (!func_eof(1) && !new_error) {
    statement(5, [&] { sub_file_line_input_string(1, line); });
    statement(6, [&] { kxs_append(built, line); });
    ++lines;
  }
  statement(7, [&] {
    kxs_print(text("lines " + std::to_string(lines) + " length " + std::to_string(built->length)), 1);
  });
  statement(8, [&] { kxs_print(kxs_add(text("last "), line), 1); });
  statement(9, [] { kxs_print(kxs_add(text("third "), kxs_str(1.0 / 3.0)), 1); });
  int32_t image = 0;
  statement(10, [&] { image = func__newimage(8, 8, 32, 1); });
  statement(11, [&] {
    sub__dest(image);
    sub__source(image);
    pset(1, 1, 0x90FF0000u);
    const uint32_t pixel = point(1, 1);
    sub__dest(0);
    kxs_print(kxs_add(text("blend "), func_hex(pixel, 8)), 1);
  });
  std::printf("done\n");
  std::fflush(stdout);
  for (;;) {
    Sleep(50);
    if (kxevent) evnt(12);
    if (inkey_take_key()) break;
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
