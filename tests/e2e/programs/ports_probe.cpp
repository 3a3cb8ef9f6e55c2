// A compiled program that drives the emulated ports and the mouse driver,
// chosen by its arguments:
//   palette 12|13  SCREEN 12 or 13 with a box LINE (20, 20)-(60, 60), 4, BF
//                  on the background; "o" reprograms the colour registers
//                  (entry 0 to green, entry 4 to blue) and prints "changed".
//   wait           30 times WAIT &H3DA, 8, 8: WAIT &H3DA, 8, then prints
//                  "waited <frames composed meanwhile>", then WAIT &H3DA, 0,
//                  which only the end of the process can end.
//   keys           prints "scan <n>" each time INP(&H60) reads a new value;
//                  the make code of "q" ends it.
//   mouse text|13  CALL INTERRUPT &H33 functions 0, 1, 2 and 1 on SCREEN 0
//                  or 13, prints "reset <AX> <BX>", then "pos <BX> <CX> <DX>"
//                  whenever function 3 answers something new.
// Every mode prints "ready" once it is set up; "q" ends the program.
#include <cstdint>
#include <cstdio>
#include <string>

#include "compiled_statement.h"
#include "program_text.h"

#include "base/clock.h"
#include "base/flags.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "input/inkey.h"
#include "legacy/interrupts.h"
#include "legacy/ports.h"
#include "screen/graphics/lines.h"
#include "screen/images/screen_modes.h"
#include "values/byte_element.h"

namespace {

std::string mode, variant;

void wait_for_key(const std::string& wanted) {
  while (take_key() != wanted) Sleep(5);
}

void palette() {
  statement(1, [] { kxg_screen(std::stoi(variant), 0, 0, 0, 1); });
  statement(2, [] { sub_line(20, 20, 60, 60, 4, 2, 0, 1 | 8); });
  say("ready");
  wait_for_key("o");
  statement(3, [] { sub_out(0x3C8, 0); });
  for (const int32_t level : {0, 63, 0}) statement(4, [=] { sub_out(0x3C9, level); });
  statement(5, [] { sub_out(0x3C8, 4); });
  for (const int32_t level : {0, 0, 63}) statement(6, [=] { sub_out(0x3C9, level); });
  say("changed");
  wait_for_key("q");
}

void waits() {
  say("ready");
  const int64_t first = frame.load();
  for (int i = 0; i < 30; ++i) {
    statement(1, [] { sub_wait(0x3DA, 8, 8, 1); });
    statement(2, [] { sub_wait(0x3DA, 8, 0, 0); });
  }
  std::printf("waited %lld\n", static_cast<long long>(frame.load() - first));
  std::fflush(stdout);
  statement(3, [] { sub_wait(0x3DA, 0, 0, 0); });
  say("not reached");
}

void keys() {
  int32_t last = -1;
  say("ready");
  for (;;) {
    int32_t value = 0;
    statement(1, [&] { value = func_inp(0x60); });
    if (value != last) {
      std::printf("scan %d\n", value);
      std::fflush(stdout);
      last = value;
    }
    if (value == 16) return;
    Sleep(1);
  }
}

// The register record of CALL INTERRUPT: AX BX CX DX BP SI DI FLAGS.
struct reg_type {
  uint16_t ax, bx, cx, dx, bp, si, di, flags;
};

reg_type mouse_driver(uint16_t function) {
  reg_type in{}, out{};
  in.ax = function;
  byte_element_struct in_view{reinterpret_cast<uint64_t>(&in), sizeof in};
  byte_element_struct out_view{reinterpret_cast<uint64_t>(&out), sizeof out};
  statement(1, [&] { call_interrupt(0x33, &in_view, &out_view); });
  return out;
}

void mouse() {
  if (variant == "13") statement(1, [] { kxg_screen(13, 0, 0, 0, 1); });
  while (!window_exists.load()) Sleep(10);
  const reg_type reset = mouse_driver(0);
  std::printf("reset %d %d\n", static_cast<int16_t>(reset.ax), reset.bx);
  mouse_driver(1);
  mouse_driver(2);
  mouse_driver(1);
  say("ready");
  std::string last;
  while (take_key() != "q") {
    const reg_type r = mouse_driver(3);
    const std::string now = "pos " + std::to_string(r.bx) + " " + std::to_string(r.cx) + " " + std::to_string(r.dx);
    if (now != last) say(now.c_str());
    last = now;
    Sleep(2);
  }
}

void KXMAIN(void*) {
  if (mode == "palette") palette();
  if (mode == "wait") waits();
  if (mode == "keys") keys();
  if (mode == "mouse") mouse();
  sub_system();
}

}  // namespace

int main(int argc, char** argv) {
  mode = argc > 1 ? argv[1] : "";
  variant = argc > 2 ? argv[2] : "";
  return kx_main(argc, argv, kx_program{KXMAIN});
}
