#pragma once
// The register file of the emulated 16-bit processor that runs CALL
// ABSOLUTE routines, and the tables that map the x86 register encodings
// onto it. INT &H33 and CALL INTERRUPT work on the same registers.
#include <array>
#include <cstdint>

struct cpu_registers {
  // General registers in this order; 8- and 16-bit views are their low
  // bytes (little-endian), AH..BH the second byte of EAX..EBX.
  uint32_t eax, ebx, ecx, edx, esi, edi, ebp, esp;
  // Segment registers in this order.
  uint16_t cs, ss, ds, es, fs, gs;
  uint16_t ip;
};

extern cpu_registers cpu;

// Indexed by the 3-bit register field of an instruction:
// reg8: AL CL DL BL AH CH DH BH; reg16/reg32: AX CX DX BX SP BP SI DI;
// segreg: ES CS SS DS FS GS.
extern std::array<uint8_t*, 8> reg8;
extern std::array<uint16_t*, 8> reg16;
extern std::array<uint32_t*, 8> reg32;
extern std::array<uint16_t*, 6> segreg;

// Start-up: clears the registers and builds the tables over them.
void cpu_registers_init();

// The message an unknown instruction shows; its two blanks take the
// instruction byte in hexadecimal.
inline constexpr char unknown_opcode_mess[] = "Unknown Opcode (  )";
