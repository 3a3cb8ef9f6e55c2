#pragma once
// The string descriptor and its storage. Descriptors come from large
// zero-filled blocks that never move and are recycled through a free stack,
// since creating and dropping strings is the commonest thing the program does.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "values/growable_array.h"

struct kxs {
  uint8_t* chars;  // first byte; not terminated, any byte allowed
  int32_t length;
  uint8_t in_conventional;  // bytes in the conventional pool
  // Bytes right after the last one that belong to this string alone, so
  // that s = s + x grows into them with no look at the pool: no other
  // string and no fill level lies below their end. Given only by the append
  // path to main-pool strings; compaction, and assignments that move the
  // string or regrow it, take them back.
  uint32_t spare : 24;
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

inline constexpr uint32_t kxs_spare_max = (1u << 24) - 1;
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

// The record as seven 64-bit words, so that a new string's record is
// written as a few whole words rather than field by field.
namespace descriptor_words {
static_assert(std::endian::native == std::endian::little);
static_assert(offsetof(kxs, length) == 8 && offsetof(kxs, in_conventional) == 12 &&
              offsetof(kxs, legacy_descriptor) == 16 && offsetof(kxs, legacy_descriptor_offset) == 24 &&
              offsetof(kxs, pool_index) == 28 && offsetof(kxs, is_temp) == 32 && offsetof(kxs, temp_index) == 36 &&
              offsetof(kxs, is_fixed) == 40 && offsetof(kxs, is_readonly) == 41 && offsetof(kxs, field_link) == 48 &&
              sizeof(kxs) == 56);

inline void store(kxs* d, unsigned word, uint64_t value) {
  std::memcpy(reinterpret_cast<unsigned char*>(d) + 8 * word, &value, 8);
}
inline uint64_t load(const kxs* d, unsigned word) {
  uint64_t value;
  std::memcpy(&value, reinterpret_cast<const unsigned char*>(d) + 8 * word, 8);
  return value;
}

}  // namespace descriptor_words

// Writes a whole descriptor, padding zeroed, over one that is new or off
// the free stack. A new string's flags are read right after it is made, so
// each word goes in one store: narrow reads of a wide store are forwarded
// at once. The two pointer words and the word of is_fixed and is_readonly
// hold zero in all but a few kinds of string, and every record on the free
// stack or in a new block holds zero there (kxs_free_descriptor and the
// statement sweep see to it): they are stored only when the new string
// has something to put in them.
inline kxs* descriptor_fill(kxs* d, const kxs& value) {
  namespace words = descriptor_words;
  // As a pointer, so that the compiler hands the new string's chars, which
  // the caller reads next, straight on instead of loading it back.
  d->chars = value.chars;
  words::store(d, 1, uint64_t{static_cast<uint32_t>(value.length)} | uint64_t{value.in_conventional} << 32 |
                         uint64_t{value.spare} << 40);
  words::store(d, 3, uint64_t{value.legacy_descriptor_offset} | uint64_t{value.pool_index} << 32);
  words::store(d, 4, uint64_t{value.is_temp} | uint64_t{value.temp_index} << 32);
  const uint64_t flags = uint64_t{value.is_fixed} | uint64_t{value.is_readonly} << 8;
  if (flags != 0) words::store(d, 5, flags);
  const uint64_t legacy = reinterpret_cast<uintptr_t>(value.legacy_descriptor);
  const uint64_t field = reinterpret_cast<uintptr_t>(value.field_link);
  if ((legacy | field) != 0) {
    words::store(d, 2, legacy);
    words::store(d, 6, field);
  }
  return d;
}

}  // namespace kx

// A zeroed descriptor, with no list or pool work.
inline kxs* kxs_new_descriptor() { return kx::descriptor_fill(kx::descriptor_take(), kxs{}); }

// The record goes on the free stack with its two pointer words and its
// is_fixed and is_readonly zero, which descriptor_fill counts on. (The
// statement sweep pushes main-pool temporaries, which have none of them,
// and literals, whose is_readonly it clears.)
inline void kxs_free_descriptor(kxs* d) {
  d->legacy_descriptor = nullptr;
  d->field_link = nullptr;
  kx::descriptor_words::store(d, 5, 0);
  if (kxs_malloc_freed_num == kxs_malloc_freed_size) kx::descriptor_free_stack_grow();
  kxs_malloc_freed[kxs_malloc_freed_num++] = d;
}
