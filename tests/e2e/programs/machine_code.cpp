// A compiled program that writes a file and then runs a machine-code
// routine with CALL ABSOLUTE. The first argument names the routine, the
// second the folder for the file:
//   OPEN dir + "/text.txt" FOR OUTPUT AS #1: PRINT #1, "line"; i  (x 300)
//   DEF SEG &H2000: POKE the routine's bytes: PRINT "calling"
//   CALL ABSOLUTE(first%, second%, 0)
// "unknown": HLT, which the processor does not know; "twobyte": 0F 05;
// "zero": after DEF SEG 0: POKE 0, 42, a routine that runs into a zero
// byte; "retf": the mouse driver's reset answer written into the two
// variables, which the program then prints before SYSTEM; "endless": PUSH
// AX over a whole segment, which never ends by itself.
#include <cstdint>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/flags.h"
#include "compiled_statement.h"
#include "files/file_open_close.h"
#include "files/file_print.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "legacy/call_absolute.h"
#include "program_text.h"
#include "values/conventional_memory.h"
#include "values/def_seg.h"

namespace {

constexpr int32_t code_segment = 0x2000;

std::vector<uint8_t> routine_for(const std::string& road) {
  if (road == "unknown") return {0xF4};
  if (road == "twobyte") return {0x0F, 0x05};
  if (road == "zero") return {0xB0, 0x05, 0x00};  // MOV AL, 5, then a zero byte
  if (road == "retf") {
    return {0x55,              // PUSH BP
            0x89, 0xE5,        // MOV BP, SP
            0xB8, 0x00, 0x00,  // MOV AX, 0
            0xCD, 0x33,        // INT &H33
            0x8B, 0x76, 0x08,  // MOV SI, [BP+8]: the first variable
            0x89, 0x04,        // MOV [SI], AX
            0x8B, 0x7E, 0x06,  // MOV DI, [BP+6]: the second
            0x89, 0x1D,        // MOV [DI], BX
            0x5D,              // POP BP
            0xCA, 0x04, 0x00}; // RETF 4
  }
  return std::vector<uint8_t>(65536, 0x50);  // PUSH AX, and IP wraps
}

// A 16-bit integer variable of the data segment, read through PEEK.
int16_t variable(uint16_t offset) {
  sub_defseg(0, 0);
  return static_cast<int16_t>(func_peek(offset) | func_peek(offset + 1) << 8);
}

void KXMAIN(void*) {
  const std::string road = func_command_count > 1 ? func_command_array[1] : "";
  const std::string folder = func_command_count > 2 ? func_command_array[2] : ".";
  statement(1, [&] { sub_open(text(folder + "/text.txt"), 4, 0, 0, 1, 0, 0); });
  for (int i = 1; i <= 300; ++i) {
    statement(2, [&] { sub_file_print(1, text("line " + std::to_string(i)), 0, 0, 1); });
  }
  // Two INTEGER variables in the data segment, taken as the compiler takes
  // segment-resident data: downward from its top.
  cmem_sp -= 4;
  const auto first = static_cast<uint16_t>(cmem_sp), second = static_cast<uint16_t>(cmem_sp + 2);
  if (road == "zero") {
    statement(3, [] { sub_defseg(0, 1); });
    statement(4, [] { sub_poke(0, 42); });
  }
  const std::vector<uint8_t> routine = routine_for(road);
  statement(5, [] { sub_defseg(code_segment, 1); });
  for (size_t i = 0; i < routine.size(); ++i) {
    statement(6, [&] { sub_poke(static_cast<int32_t>(i), routine[i]); });
  }
  say("calling");
  statement(7, [&] {
    call_absolute_offsets[0] = first;
    call_absolute_offsets[1] = second;
    call_absolute(2, 0);
  });
  say(("returned " + std::to_string(variable(first)) + " " + std::to_string(variable(second))).c_str());
  sub_system();
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
