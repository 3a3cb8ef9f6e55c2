#pragma once
// Dynamic blocks in conventional memory (arrays placed there), taken from
// linear 655,360 downward and kept in a chain in descending address order.
#include <cstdint>

struct cmem_dynamic_link_type {
  uint8_t* start;
  uint8_t* end;  // one past the last byte
  uint32_t size;
  int32_t index;  // own slot in cmem_dynamic_link
  cmem_dynamic_link_type* next;  // the next lower block
};

inline constexpr int32_t cmem_dynamic_links = 147136;

extern cmem_dynamic_link_type cmem_dynamic_link[cmem_dynamic_links];
extern cmem_dynamic_link_type* cmem_dynamic_link_first;  // highest block
extern int32_t cmem_dynamic_next_link;                   // next never-used slot
extern int32_t cmem_dynamic_free_list[cmem_dynamic_links + 1];  // from position 1
extern int32_t cmem_dynamic_free_link;                          // entries on it
extern uint8_t* cmem_dynamic_base;  // start of the last block placed below all others

// A block of size bytes (rounded up to 16); size 0 gives linear 655,360.
uint8_t* cmem_dynamic_malloc(uint32_t size);
// Releases a block by its start; anything else is ignored.
void cmem_dynamic_free(uint8_t* address);

namespace kx {
void cmem_dynamic_reset();
}  // namespace kx
