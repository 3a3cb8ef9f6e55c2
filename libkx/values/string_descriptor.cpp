#include "values/string_descriptor.h"

#include <type_traits>

#include "base/error_numbers.h"
#include "values/kept_blocks.h"
#include "values/out_of_memory.h"

kxs* kxs_malloc = nullptr;
uint32_t kxs_malloc_next = kxs_malloc_block_size;
kx::growable_array<kxs*> kxs_malloc_freed;
uint64_t kxs_malloc_freed_num = 0;
uint64_t kxs_malloc_freed_size = 0;

static_assert(std::is_trivial_v<kxs>, "descriptor blocks are zero-filled bytes");

namespace {

// Old blocks stay: their descriptors may still be in use.
kx::kept_blocks& descriptor_blocks() {
  static kx::kept_blocks blocks;
  return blocks;
}

}  // namespace

namespace kx {

void descriptor_block_new() {
  // kxs is plain data: a zero-filled block is a block of empty descriptors.
  void* block = descriptor_blocks().allocate(uint64_t{kxs_malloc_block_size} * sizeof(kxs));
  if (!block) out_of_memory(err::out_of_memory_descriptors);
  kxs_malloc = static_cast<kxs*>(block);
  kxs_malloc_next = 0;
}

void descriptor_free_stack_grow() {
  const uint64_t grown = kxs_malloc_freed_size ? kxs_malloc_freed_size * 2 : kxs_malloc_freed_initial;
  if (!kxs_malloc_freed.resize(grown)) out_of_memory(err::out_of_memory_descriptors);
  kxs_malloc_freed_size = grown;
}

void descriptor_storage_init() {
  descriptor_blocks().release();
  kxs_malloc_freed.release();
  kxs_malloc_freed_num = 0;
  kxs_malloc_freed_size = 0;
  descriptor_free_stack_grow();
  descriptor_block_new();
}

}  // namespace kx
