#pragma once
// Blocks that stay allocated until the owner starts again: replaced blocks
// of the static pool, of string descriptors and of memory locks still hold
// live variables, so none is freed while the program runs. Keeping a block
// never throws; the caller raises its own numbered critical error when
// memory is exhausted.
#include <cstdint>
#include <cstdlib>

#include "values/growable_array.h"

namespace kx {

class kept_blocks {
 public:
  kept_blocks() = default;
  kept_blocks(const kept_blocks&) = delete;
  kept_blocks& operator=(const kept_blocks&) = delete;
  ~kept_blocks() { release(); }

  // A zero-filled block of bytes, kept; null when memory is exhausted.
  void* allocate(uint64_t bytes) {
    if (count_ == blocks_.capacity() && !blocks_.resize(count_ ? count_ * 2 : 16)) return nullptr;
    void* block = std::calloc(1, bytes);
    if (block) blocks_[count_++] = block;
    return block;
  }

  void release() {
    for (uint64_t i = 0; i < count_; ++i) std::free(blocks_[i]);
    blocks_.release();
    count_ = 0;
  }

  uint64_t count() const { return count_; }

 private:
  growable_array<void*> blocks_;
  uint64_t count_ = 0;
};

}  // namespace kx
