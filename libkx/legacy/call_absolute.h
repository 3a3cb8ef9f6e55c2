#pragma once
// CALL ABSOLUTE: a machine-code routine at an offset of the current DEF SEG
// segment runs on the emulated processor until it returns with RETF. An
// instruction the processor does not know ends the program after an
// "X86 Error" box (status 86); a routine that runs into a zero byte ends it
// with the byte at linear address 0 as the status. Both go out through the
// runtime's orderly exit, so every file is flushed and closed.
#include <array>
#include <cstdint>

// The most arguments one CALL ABSOLUTE passes.
inline constexpr int32_t call_absolute_max_arguments = 256;

// One 16-bit offset per argument (where the argument lives in the data
// segment), filled by compiled code before the call.
extern std::array<uint16_t, call_absolute_max_arguments> call_absolute_offsets;

// Runs the routine at offset (its low 16 bits) of the DEF SEG segment with
// the first argcount offsets of call_absolute_offsets on its stack. An
// argument count outside 0 ... call_absolute_max_arguments raises error 5
// and runs nothing.
void call_absolute(int32_t argcount, int32_t offset);

// The instruction loop from CS:IP as call_absolute set them. Returns when
// the routine returns; the other endings never return. While the routine
// runs, a program that is being stopped (the close button) parks here.
void cpu_call();

namespace kx {
// The set-up before the loop: the register file cleared; CS = the DEF SEG
// segment, IP = offset, SS:SP = FFFF:0000, DS = &H50; each argument's
// offset pushed in order, then the far return address FFFF:FFFF. False
// (with error 5) for a bad argument count.
bool call_absolute_setup(int32_t argcount, int32_t offset);
}  // namespace kx
