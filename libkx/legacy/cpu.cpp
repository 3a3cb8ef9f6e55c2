#include "legacy/cpu.h"

#include <bit>

cpu_registers cpu{};
std::array<uint8_t*, 8> reg8{};
std::array<uint16_t*, 8> reg16{};
std::array<uint32_t*, 8> reg32{};
std::array<uint16_t*, 6> segreg{};

namespace {

// The narrower views address bytes of the 32-bit registers, which only
// works where the low byte comes first.
static_assert(std::endian::native == std::endian::little);

uint8_t* byte_of(uint32_t& r, int i) { return reinterpret_cast<uint8_t*>(&r) + i; }
uint16_t* low_word(uint32_t& r) { return reinterpret_cast<uint16_t*>(&r); }

}  // namespace

void cpu_registers_init() {
  cpu = {};
  // Encoding order: A C D B, then SP BP SI DI (or AH CH DH BH for bytes).
  uint32_t* const general[8] = {&cpu.eax, &cpu.ecx, &cpu.edx, &cpu.ebx, &cpu.esp, &cpu.ebp, &cpu.esi, &cpu.edi};
  for (int i = 0; i < 8; ++i) {
    reg32[i] = general[i];
    reg16[i] = low_word(*general[i]);
  }
  for (int i = 0; i < 4; ++i) {
    reg8[i] = byte_of(*general[i], 0);
    reg8[i + 4] = byte_of(*general[i], 1);
  }
  segreg = {&cpu.es, &cpu.cs, &cpu.ss, &cpu.ds, &cpu.fs, &cpu.gs};
}
