#pragma once
// The string descriptor and its storage. Descriptors come from large
// zero-filled blocks that never move and are recycled through a free stack,
// since creating and dropping strings is the commonest thing the program does.
#include <cstdint>

#include "values/growable_array.h"

struct kxs {
  uint8_t* chars;  // first byte; not terminated, any byte allowed
  int32_t length;
  uint8_t in_conventional;  // bytes in the conventional pool
  // Record in the data segment mirroring the string (word 0 length, word 1
  // offset of chars from dblock), or null. Written byte-wise: it need not be
  // aligned.
  uint16_t* legacy_descriptor;
  uint16_t legacy_descriptor_offset;
  uint32_t pool_index;  // slot in kxs_list or kxs_cmem_list
  uint8_t is_temp;
  uint32_t temp_index;  // slot in kxs_tmp_list; 0 = not listed
  uint8_t is_fixed;     // chars is the variable's storage, length fixed
  uint8_t is_readonly;  // chars is constant text the runtime does not own
  void* field_link;     // FIELD link record, released with the string
};

inline constexpr uint32_t kxs_malloc_block_size = 65536;
inline constexpr uint64_t kxs_malloc_freed_initial = 65536;

extern kxs* kxs_malloc;           // the current block
extern uint32_t kxs_malloc_next;  // descriptors handed out from it
extern kx::growable_array<kxs*> kxs_malloc_freed;
extern uint64_t kxs_malloc_freed_num;
extern uint64_t kxs_malloc_freed_size;

namespace kx {
void descriptor_block_new();       // error 508 when memory is exhausted
void descriptor_free_stack_grow();  // error 508 when memory is exhausted
// Drops every block and the free stack, then makes the first block.
void descriptor_storage_init();
}  // namespace kx

namespace kx {

// A descriptor whose contents the caller overwrites as a whole.
inline kxs* descriptor_take() {
  if (kxs_malloc_freed_num) return kxs_malloc_freed[--kxs_malloc_freed_num];
  if (kxs_malloc_next == kxs_malloc_block_size) descriptor_block_new();
  return &kxs_malloc[kxs_malloc_next++];
}

// Writes a whole descriptor at once. A new string's flags are read right
// after it is made; writing them one byte at a time over a cleared record
// makes those reads wait for the stores to drain.
inline kxs* descriptor_fill(kxs* d, const kxs& value) {
  *d = value;
  return d;
}

}  // namespace kx

// A zeroed descriptor, with no list or pool work.
inline kxs* kxs_new_descriptor() { return kx::descriptor_fill(kx::descriptor_take(), kxs{}); }

inline void kxs_free_descriptor(kxs* d) {
  if (kxs_malloc_freed_num == kxs_malloc_freed_size) kx::descriptor_free_stack_grow();
  kxs_malloc_freed[kxs_malloc_freed_num++] = d;
}
