#include "legacy/x86_decode.h"

#include <cstddef>

#include "legacy/cpu.h"

namespace kx::x86 {

namespace {

// Register numbers in the encoding order of reg16 and reg32.
constexpr uint8_t bx = 3, sp = 4, bp = 5, si = 6, di = 7;

uint16_t r16(uint8_t r) { return *reg16[r]; }

// The segment override prefixes and the registers they name.
bool override_prefix(uint8_t b, segment& s) {
  switch (b) {
    case 0x26: s = segment::es; return true;
    case 0x2E: s = segment::cs; return true;
    case 0x36: s = segment::ss; return true;
    case 0x3E: s = segment::ds; return true;
    case 0x64: s = segment::fs; return true;
    case 0x65: s = segment::gs; return true;
    default: return false;
  }
}

}  // namespace

uint32_t load(uint16_t seg, uint16_t offset, int bits) {
  const uint8_t* p = cmem + linear(seg, offset);
  uint32_t v = 0;
  for (int i = bits / 8 - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

void store(uint16_t seg, uint16_t offset, int bits, uint32_t value) {
  uint8_t* p = cmem + linear(seg, offset);
  for (int i = 0; i < bits / 8; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t register_value(uint8_t r, int bits) {
  r &= 7;
  switch (bits) {
    case 8: return *reg8[r];
    case 16: return *reg16[r];
    default: return *reg32[r];
  }
}

void set_register(uint8_t r, int bits, uint32_t value) {
  r &= 7;
  switch (bits) {
    case 8: *reg8[r] = static_cast<uint8_t>(value); break;
    case 16: *reg16[r] = static_cast<uint16_t>(value); break;
    default: *reg32[r] = value; break;
  }
}

uint16_t segment_value(segment s) { return *segreg[static_cast<size_t>(s)]; }
void set_segment(segment s, uint16_t value) { *segreg[static_cast<size_t>(s)] = value; }

void push(uint32_t value, int bits) {
  const auto top = static_cast<uint16_t>(r16(sp) - bits / 8);
  *reg16[sp] = top;
  store(cpu.ss, top, bits, value);
}

uint32_t pop(int bits) {
  const uint16_t top = r16(sp);
  const uint32_t value = load(cpu.ss, top, bits);
  *reg16[sp] = static_cast<uint16_t>(top + bits / 8);
  return value;
}

uint32_t read(const operand& o, int bits) {
  return o.in_register ? register_value(o.reg, bits) : load(o.seg, o.offset, bits);
}

void write(const operand& o, int bits, uint32_t value) {
  if (o.in_register) {
    set_register(o.reg, bits, value);
  } else {
    store(o.seg, o.offset, bits, value);
  }
}

uint8_t instruction_reader::byte() {
  const uint8_t b = cmem[linear(code_seg_, cpu.ip)];
  ++cpu.ip;  // a 16-bit field: FFFF is followed by 0000
  return b;
}

uint32_t instruction_reader::immediate(int bits) {
  uint32_t v = 0;
  for (int i = 0; i < bits / 8; ++i) v |= uint32_t{byte()} << (8 * i);
  return v;
}

uint8_t instruction_reader::opcode() {
  uint8_t b = byte();
  if (b == 0x66) {
    operand32_ = true;
    b = byte();
  }
  if (override_prefix(b, override_)) {
    overridden_ = true;
    b = byte();
  }
  if (b == 0x67) {
    address32_ = true;
    b = byte();
  }
  return b;
}

uint16_t instruction_reader::data_segment(bool stack_based) const {
  if (overridden_) return segment_value(override_);
  return stack_based ? cpu.ss : cpu.ds;
}

uint16_t instruction_reader::offset16(uint8_t mod, uint8_t rm, bool& stack_based) {
  uint16_t offset = 0;
  switch (rm) {
    case 0: offset = r16(bx) + r16(si); break;
    case 1: offset = r16(bx) + r16(di); break;
    case 2: offset = r16(bp) + r16(si); stack_based = true; break;
    case 3: offset = r16(bp) + r16(di); stack_based = true; break;
    case 4: offset = r16(si); break;
    case 5: offset = r16(di); break;
    case 6:
      if (mod == 0) return static_cast<uint16_t>(immediate(16));  // a direct offset
      offset = r16(bp);
      stack_based = true;
      break;
    default: offset = r16(bx); break;
  }
  if (mod == 1) offset += static_cast<uint16_t>(static_cast<int8_t>(byte()));
  if (mod == 2) offset += static_cast<uint16_t>(immediate(16));
  return offset;
}

uint32_t instruction_reader::offset32(uint8_t mod, uint8_t rm, bool& stack_based) {
  uint32_t offset = 0;
  if (rm == 4) {
    const uint8_t sib = byte();
    const uint8_t scale = sib >> 6, index = (sib >> 3) & 7, base = sib & 7;
    if (index != sp) offset += *reg32[index] << scale;  // index 4 means none
    if (base == bp && mod == 0) {
      offset += immediate(32);  // no base register, a 32-bit displacement
    } else {
      offset += *reg32[base];
      stack_based = base == sp || base == bp;
    }
  } else if (rm == 5 && mod == 0) {
    return immediate(32);
  } else {
    offset = *reg32[rm];
    stack_based = rm == bp;
  }
  if (mod == 1) offset += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte())));
  if (mod == 2) offset += immediate(32);
  return offset;
}

instruction_reader::modrm instruction_reader::read_modrm() {
  const uint8_t m = byte();
  const uint8_t mod = m >> 6, rm = m & 7;
  modrm result;
  result.reg = (m >> 3) & 7;
  if (mod == 3) {
    result.rm.in_register = true;
    result.rm.reg = rm;
    return result;
  }
  bool stack_based = false;
  // Every effective offset wraps to 16 bits, also a 32-bit one.
  result.rm.offset = address32_ ? static_cast<uint16_t>(offset32(mod, rm, stack_based)) : offset16(mod, rm, stack_based);
  result.rm.seg = data_segment(stack_based);
  return result;
}

operand instruction_reader::direct_offset() {
  operand o;
  o.offset = static_cast<uint16_t>(immediate(address32_ ? 32 : 16));
  o.seg = data_segment(false);
  return o;
}

}  // namespace kx::x86
