#pragma once
// Emulated conventional memory: the first megabyte of the old machine's
// address space (plus room for a 32-bit value at FFFF:FFFF), addressed
// linearly as segment * 16 + offset.
#include <cstdint>

inline constexpr uint32_t cmem_size = 1114099;
inline constexpr uint32_t dblock_offset = 1280;     // segment 0050
inline constexpr uint32_t dblock_size = 65536;
inline constexpr uint32_t cmem_static_start = 66816;  // just above the data segment
inline constexpr uint32_t cmem_dynamic_top = 655360;  // A000:0000

extern uint8_t cmem[cmem_size];
// The data segment: conventional string pool (upward from offset 256) and
// segment-resident data taken downward from cmem_sp.
extern uint8_t* dblock;
// Offset in the data segment of the lowest byte handed out from the top.
extern uint32_t cmem_sp;
// Top of the static area above the data segment.
extern uint8_t* cmem_static_pointer;

namespace kx {
// Zero-fills cmem and puts dblock, cmem_sp and cmem_static_pointer at their
// start-up values.
void conventional_memory_init();
}  // namespace kx
