#include "values/string_descriptor.h"

#include <memory>
#include <new>
#include <vector>

#include "values/out_of_memory.h"

kxs* kxs_malloc = nullptr;
uint32_t kxs_malloc_next = kxs_malloc_block_size;
kx::growable_array<kxs*> kxs_malloc_freed;
uint64_t kxs_malloc_freed_num = 0;
uint64_t kxs_malloc_freed_size = 0;

namespace {

// Old blocks stay: their descriptors may still be in use.
std::vector<std::unique_ptr<kxs[]>>& descriptor_blocks() {
  static std::vector<std::unique_ptr<kxs[]>> blocks;
  return blocks;
}

}  // namespace

namespace kx {

void descriptor_block_new() {
  std::unique_ptr<kxs[]> block(new (std::nothrow) kxs[kxs_malloc_block_size]());
  if (!block) out_of_memory(508);
  kxs_malloc = block.get();
  descriptor_blocks().push_back(std::move(block));
  kxs_malloc_next = 0;
}

void descriptor_free_stack_grow() {
  const uint64_t grown = kxs_malloc_freed_size ? kxs_malloc_freed_size * 2 : kxs_malloc_freed_initial;
  if (!kxs_malloc_freed.resize(grown)) out_of_memory(508);
  kxs_malloc_freed_size = grown;
}

void descriptor_storage_init() {
  descriptor_blocks().clear();
  kxs_malloc_freed.release();
  kxs_malloc_freed_num = 0;
  kxs_malloc_freed_size = 0;
  descriptor_free_stack_grow();
  descriptor_block_new();
}

}  // namespace kx
