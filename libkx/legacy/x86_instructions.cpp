#include "legacy/x86_instructions.h"

#include "legacy/cpu.h"
#include "legacy/interrupts.h"
#include "legacy/x86_decode.h"

namespace kx::x86 {

namespace {

// What one instruction did: the routine goes on, or it ended.
struct step {
  bool ended = false;
  outcome result;
};

constexpr step go_on{};
constexpr step ended(x86::stop s, uint8_t b = 0) { return {true, {s, b}}; }

constexpr uint8_t accumulator = 0;  // AL, AX, EAX
constexpr int segment_registers = 6;

uint16_t low16(uint32_t v) { return static_cast<uint16_t>(v); }

// PUSH and POP of FS and GS, the only instructions after &H0F.
step two_byte(instruction_reader& in) {
  const uint8_t b = in.byte();
  const int bits = in.operand_bits();
  switch (b) {
    case 0xA0: push(segment_value(segment::fs), bits); return go_on;
    case 0xA8: push(segment_value(segment::gs), bits); return go_on;
    case 0xA1: set_segment(segment::fs, low16(pop(bits))); return go_on;
    case 0xA9: set_segment(segment::gs, low16(pop(bits))); return go_on;
    default: return ended(stop::unknown_opcode, b);
  }
}

// RETF and RETF imm16 take the far return address off the stack (and then
// imm16 bytes of arguments) and end the routine.
step far_return(instruction_reader& in, bool with_count, int bits) {
  const uint16_t release = with_count ? low16(in.immediate(16)) : 0;
  cpu.ip = low16(pop(bits));
  cpu.cs = low16(pop(bits));
  *reg16[4] = static_cast<uint16_t>(*reg16[4] + release);
  return ended(stop::retf);
}

step execute(instruction_reader& in) {
  const uint8_t op = in.opcode();
  const int bits = in.operand_bits();
  switch (op) {
    case 0x88: {  // MOV r/m8, r8
      const auto m = in.read_modrm();
      write(m.rm, 8, register_value(m.reg, 8));
      return go_on;
    }
    case 0x89: {  // MOV r/m, r
      const auto m = in.read_modrm();
      write(m.rm, bits, register_value(m.reg, bits));
      return go_on;
    }
    case 0x8A: {  // MOV r8, r/m8
      const auto m = in.read_modrm();
      set_register(m.reg, 8, read(m.rm, 8));
      return go_on;
    }
    case 0x8B: {  // MOV r, r/m
      const auto m = in.read_modrm();
      set_register(m.reg, bits, read(m.rm, bits));
      return go_on;
    }
    case 0x8C: {  // MOV r/m16, Sreg
      const auto m = in.read_modrm();
      if (m.reg >= segment_registers) return ended(stop::unknown_opcode, op);
      write(m.rm, 16, segment_value(static_cast<segment>(m.reg)));
      return go_on;
    }
    case 0x8E: {  // MOV Sreg, r/m16: later operands use the new segment at once
      const auto m = in.read_modrm();
      if (m.reg >= segment_registers) return ended(stop::unknown_opcode, op);
      set_segment(static_cast<segment>(m.reg), low16(read(m.rm, 16)));
      return go_on;
    }
    case 0xA0: set_register(accumulator, 8, read(in.direct_offset(), 8)); return go_on;
    case 0xA1: set_register(accumulator, bits, read(in.direct_offset(), bits)); return go_on;
    case 0xA2: write(in.direct_offset(), 8, register_value(accumulator, 8)); return go_on;
    case 0xA3: write(in.direct_offset(), bits, register_value(accumulator, bits)); return go_on;
    case 0xB0: case 0xB1: case 0xB2: case 0xB3: case 0xB4: case 0xB5: case 0xB6: case 0xB7:
      set_register(op & 7, 8, in.immediate(8));
      return go_on;
    case 0xB8: case 0xB9: case 0xBA: case 0xBB: case 0xBC: case 0xBD: case 0xBE: case 0xBF:
      set_register(op & 7, bits, in.immediate(bits));
      return go_on;
    case 0xC6: {  // MOV r/m8, imm8: the immediate follows the displacement
      const auto m = in.read_modrm();
      write(m.rm, 8, in.immediate(8));
      return go_on;
    }
    case 0xC7: {  // MOV r/m, imm
      const auto m = in.read_modrm();
      write(m.rm, bits, in.immediate(bits));
      return go_on;
    }
    // PUSH SP stores SP as it was before the push.
    case 0x50: case 0x51: case 0x52: case 0x53: case 0x54: case 0x55: case 0x56: case 0x57:
      push(register_value(op & 7, bits), bits);
      return go_on;
    case 0x58: case 0x59: case 0x5A: case 0x5B: case 0x5C: case 0x5D: case 0x5E: case 0x5F:
      set_register(op & 7, bits, pop(bits));
      return go_on;
    case 0x68: push(in.immediate(bits), bits); return go_on;
    case 0x6A:  // sign-extended
      push(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(in.immediate(8)))), bits);
      return go_on;
    case 0x06: push(segment_value(segment::es), bits); return go_on;
    case 0x0E: push(segment_value(segment::cs), bits); return go_on;
    case 0x16: push(segment_value(segment::ss), bits); return go_on;
    case 0x1E: push(segment_value(segment::ds), bits); return go_on;
    case 0x07: set_segment(segment::es, low16(pop(bits))); return go_on;
    case 0x17: set_segment(segment::ss, low16(pop(bits))); return go_on;
    case 0x1F: set_segment(segment::ds, low16(pop(bits))); return go_on;
    case 0x0F: return two_byte(in);
    case 0x8F: {  // POP r/m: an SP-based address is taken after the pop
      const uint32_t value = pop(bits);
      const auto m = in.read_modrm();
      write(m.rm, bits, value);
      return go_on;
    }
    case 0xFF: {  // PUSH r/m, whatever the reg field says
      const auto m = in.read_modrm();
      push(read(m.rm, bits), bits);
      return go_on;
    }
    case 0xCD: call_int(static_cast<int32_t>(in.immediate(8))); return go_on;
    case 0xCB: return far_return(in, false, bits);
    case 0xCA: return far_return(in, true, bits);
    default: return ended(stop::unknown_opcode, op);
  }
}

}  // namespace

outcome run_instructions(uint16_t code_seg, uint64_t budget) {
  for (uint64_t done = 0; done < budget; ++done) {
    instruction_reader in(code_seg);
    const step s = execute(in);
    if (s.ended) return s.result;
    if (cmem[linear(code_seg, cpu.ip)] == 0) return {stop::zero_byte, cmem[0]};
  }
  return {stop::budget, 0};
}

}  // namespace kx::x86
