#include "values/conventional_memory.h"

#include <cstring>

// Aligned so that the word-sized records kept inside it are aligned too.
alignas(16) uint8_t cmem[cmem_size];
uint8_t* dblock = cmem + dblock_offset;
uint32_t cmem_sp = dblock_size;
uint8_t* cmem_static_pointer = cmem + cmem_static_start;

namespace kx {

void conventional_memory_init() {
  std::memset(cmem, 0, sizeof cmem);
  dblock = cmem + dblock_offset;
  cmem_sp = dblock_size;
  cmem_static_pointer = cmem + cmem_static_start;
}

}  // namespace kx
