#pragma once
// The static pool: a bump allocator for the compiled program's variables and
// per-procedure data. Nothing is freed one by one; a procedure saves
// mem_static_pointer at entry and hands it back to mem_static_restore at exit.
#include <cstdint>

extern uint8_t* mem_static;          // start of the current block
extern uint8_t* mem_static_pointer;  // next free byte
extern uint8_t* mem_static_limit;    // end of the current block
extern uint64_t mem_static_size;     // size of the current block

namespace kx {

inline constexpr uint64_t mem_static_initial_size = 1048576;

// Slow path of mem_static_malloc: replaces the full block by a larger one
// (the old block stays, its variables are still in use). size is rounded.
uint8_t* mem_static_grow(uint64_t size);

// Releases every block and starts again with one block of the initial size.
void mem_static_init();

}  // namespace kx

// Bump allocation in steps of 8 bytes: one comparison on the fast path.
inline uint8_t* mem_static_malloc(uint32_t size) {
  const uint64_t rounded = (uint64_t{size} + 7) & ~uint64_t{7};
  uint8_t* block = mem_static_pointer;
  // The pointer may reach the limit only through the slow path.
  if (rounded < static_cast<uint64_t>(mem_static_limit - block)) {
    mem_static_pointer = block + rounded;
    return block;
  }
  return kx::mem_static_grow(rounded);
}

// Resets the bump pointer; a pointer from a replaced block resets to the
// start of the current one.
void mem_static_restore(uint8_t* saved);
