#pragma once
// The instruction loop of the emulated processor, without its endings:
// it says why it stopped and leaves the message box and the process exit
// to CALL ABSOLUTE, so that tests and the fuzzer can run routines.
#include <cstdint>

namespace kx::x86 {

enum class stop {
  retf,            // RETF or RETF imm16: back to the program
  zero_byte,       // the next instruction byte is 0; byte = the byte at linear address 0
  unknown_opcode,  // byte = the unrecognised opcode (after &H0F, the byte after it)
  budget,          // the given number of instructions ran without an ending
};

struct outcome {
  x86::stop stop = stop::budget;
  uint8_t byte = 0;
};

// Runs at most budget instructions from code_seg:IP on the register file
// `cpu`. The code segment is fixed for the run: MOV CS loads the register
// but the routine goes on where it is.
outcome run_instructions(uint16_t code_seg, uint64_t budget);

}  // namespace kx::x86
