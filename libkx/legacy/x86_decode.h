#pragma once
// Reading one instruction of the emulated processor: its prefixes, its
// ModR/M and SIB bytes and displacements, and the memory and stack it
// reaches. Every address is segment * 16 + a 16-bit offset, so the largest
// (FFFF:FFFF) plus a 32-bit value still lies inside conventional memory:
// no access can leave it, whatever the routine does.
#include <cstdint>

#include "values/conventional_memory.h"

namespace kx::x86 {

// Segment registers in their encoding order, as segreg holds them.
enum class segment : uint8_t { es, cs, ss, ds, fs, gs };

constexpr uint32_t linear(uint16_t seg, uint16_t offset) { return uint32_t{seg} * 16 + offset; }
static_assert(linear(0xFFFF, 0xFFFF) + 4 <= cmem_size, "a 32-bit value at FFFF:FFFF must fit");

// Bytes at consecutive linear addresses, low byte first.
uint32_t load(uint16_t seg, uint16_t offset, int bits);
void store(uint16_t seg, uint16_t offset, int bits, uint32_t value);

// General register number r (encoding order) as an 8-, 16- or 32-bit value.
uint32_t register_value(uint8_t r, int bits);
void set_register(uint8_t r, int bits, uint32_t value);

uint16_t segment_value(segment s);
void set_segment(segment s, uint16_t value);

// PUSH and POP of 16 or 32 bits at SS:SP; SP wraps within its 16 bits.
void push(uint32_t value, int bits);
uint32_t pop(int bits);

// Where an r/m operand lives: a general register, or memory at seg:offset.
struct operand {
  bool in_register = false;
  uint8_t reg = 0;
  uint16_t seg = 0;
  uint16_t offset = 0;
};

uint32_t read(const operand& o, int bits);
void write(const operand& o, int bits, uint32_t value);

// Reads one instruction from code_seg:IP. IP advances with every byte
// taken and wraps to 16 bits.
class instruction_reader {
 public:
  explicit instruction_reader(uint16_t code_seg) : code_seg_(code_seg) {}

  uint8_t byte();
  uint32_t immediate(int bits);  // 8, 16 or 32 bits, little-endian

  // Takes the prefixes, each at most once and only in the order &H66, one
  // segment override, &H67, and returns the next byte: the opcode. A prefix
  // out of that order is therefore taken as the opcode itself.
  uint8_t opcode();

  // 16, or 32 after &H66.
  int operand_bits() const { return operand32_ ? 32 : 16; }

  // The ModR/M byte (with SIB and displacement after &H67): its reg field,
  // and its r/m operand, the effective offset wrapped to 16 bits.
  struct modrm {
    uint8_t reg = 0;
    operand rm;
  };
  modrm read_modrm();

  // The operand of MOV to and from a direct offset: DS (or the override) at
  // a 16-bit offset, or a 32-bit one after &H67, wrapped.
  operand direct_offset();

 private:
  // DS, or SS for BP-, EBP- and ESP-based operands; an override replaces both.
  uint16_t data_segment(bool stack_based) const;
  uint16_t offset16(uint8_t mod, uint8_t rm, bool& stack_based);
  uint32_t offset32(uint8_t mod, uint8_t rm, bool& stack_based);

  uint16_t code_seg_;
  bool operand32_ = false;
  bool address32_ = false;
  bool overridden_ = false;
  segment override_ = segment::ds;
};

}  // namespace kx::x86
