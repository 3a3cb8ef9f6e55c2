#include "values/static_pool.h"

#include "base/error_numbers.h"
#include "values/kept_blocks.h"
#include "values/out_of_memory.h"

uint8_t* mem_static = nullptr;
uint8_t* mem_static_pointer = nullptr;
uint8_t* mem_static_limit = nullptr;
uint64_t mem_static_size = 0;

namespace {

// Every block ever allocated: replaced blocks still hold live variables.
kx::kept_blocks& static_blocks() {
  static kx::kept_blocks blocks;
  return blocks;
}

uint8_t* new_block(uint64_t bytes) {
  auto* block = static_cast<uint8_t*>(static_blocks().allocate(bytes));
  if (!block) kx::out_of_memory(err::out_of_memory_static_pool);
  mem_static = block;
  mem_static_limit = block + bytes;
  return block;
}

}  // namespace

namespace kx {

uint8_t* mem_static_grow(uint64_t size) {
  const uint64_t grown = size + 2 * mem_static_size;
  if (grown < size) out_of_memory(err::out_of_memory_static_pool);  // 64-bit wrap: no such block exists
  mem_static_size = grown;
  uint8_t* block = new_block(grown);
  mem_static_pointer = block + size;
  return block;
}

void mem_static_init() {
  static_blocks().release();
  mem_static_size = mem_static_initial_size;
  mem_static_pointer = new_block(mem_static_size);
}

}  // namespace kx

void mem_static_restore(uint8_t* saved) {
  // Addresses of different blocks are compared as integers.
  const auto at = reinterpret_cast<uintptr_t>(saved);
  if (at < reinterpret_cast<uintptr_t>(mem_static) || at > reinterpret_cast<uintptr_t>(mem_static_limit))
    mem_static_pointer = mem_static;
  else
    mem_static_pointer = saved;
}
