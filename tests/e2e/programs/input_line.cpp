// A compiled program that reads three lines with INPUT and LINE INPUT:
//   [SCREEN 12]
//   PRINT "? ";: INPUT a%, d#, s$
//   PRINT "? ";: INPUT h&
//   LINE INPUT l$
//   (the values on standard output), then waits for a key and ends.
// With the argument "graphics" it reads on a SCREEN 12 page.
#include <cstdio>
#include <string>

#include "base/clock.h"
#include "compiled_statement.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "input/inkey.h"
#include "input/input_statement.h"
#include "screen/images/screen_modes.h"
#include "screen/text/print.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;


std::string text(const kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)); }

void KXMAIN(void*) {
  if (func_command_str == "graphics") statement(1, [] { kxg_screen(12, 0, 0, 0, 1); });
  int16_t a = 0;
  double d = 0;
  int32_t h = 0;
  kxs* s = kxs_new(0, 0);
  kxs* l = kxs_new(0, 0);
  std::printf("ready\n");
  std::fflush(stdout);
  statement(2, [] { kxs_print(kxs_new_txt("? "), 0); });
  statement(2, [&] {
    kxs_input_variabletypes[1] = 16;
    kxs_input_variableoffsets[1] = &a;
    kxs_input_variabletypes[2] = 64 | tc::is_floating;
    kxs_input_variableoffsets[2] = &d;
    kxs_input_variabletypes[3] = tc::is_string;
    kxs_input_variableoffsets[3] = s;
    kxs_input(3, 1);
  });
  std::printf("first %d %g %s\n", a, d, text(s).c_str());
  std::fflush(stdout);
  statement(3, [] { kxs_print(kxs_new_txt("? "), 0); });
  statement(3, [&] {
    kxs_input_variabletypes[1] = 32;
    kxs_input_variableoffsets[1] = &h;
    kxs_input(1, 1);
  });
  std::printf("second %d\n", h);
  std::fflush(stdout);
  statement(4, [&] {
    kxs_input_variabletypes[1] = tc::is_string | tc::line_input;
    kxs_input_variableoffsets[1] = l;
    kxs_input(1, 1);
  });
  std::printf("line %s\n", text(l).c_str());
  std::fflush(stdout);
  for (;;) {
    Sleep(50);
    if (kxevent) evnt(5);
    if (inkey_take_key()) break;
  }
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
