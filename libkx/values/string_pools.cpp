#include "values/string_pools.h"

#include <cstdlib>
#include <cstring>

#include "base/error_numbers.h"
#include "values/conventional_memory.h"
#include "values/out_of_memory.h"
#include "values/string_lists.h"

uint8_t* kxs_data = nullptr;
uint64_t kxs_data_size = 0;
uint64_t kxs_sp = 0;
uint32_t kxs_cmem_sp = kxs_cmem_descriptor_space;

namespace {

struct pool_owner {
  ~pool_owner() { std::free(kxs_data); }
};
pool_owner owner;

void move_text(uint8_t* to, const uint8_t* from, int32_t length) {
  if (length > 0 && to != from) std::memmove(to, from, static_cast<size_t>(length));
}

void grow_main_pool(uint64_t extra) {
  const uint64_t grown = kxs_data_size * 2 + extra;
  const auto old_base = reinterpret_cast<uintptr_t>(kxs_data);
  auto* base = static_cast<uint8_t*>(std::realloc(kxs_data, grown));
  if (!base) kx::out_of_memory(err::out_of_memory_string_data);
  kxs_data = base;
  kxs_data_size = grown;
  // Rebase by offsets: the old block is gone, only its address is used.
  for (uint32_t i = 0; i < kxs_list_nexti; ++i) {
    kxs* s = kxs_list[i];
    if (kx::is_free_slot(s)) continue;
    s->chars = base + (reinterpret_cast<uintptr_t>(s->chars) - old_base);
  }
}

}  // namespace

void kxs_concat(uint32_t extra) {
  if (kxs_list_nexti != 0) {
    uint8_t* write = kxs_data;
    for (uint32_t i = 0; i < kxs_list_nexti; ++i) {
      kxs* s = kxs_list[i];
      if (kx::is_free_slot(s)) continue;
      // Gaps of up to 32 bytes are not worth a move.
      if (s->chars - write > kxs_slack) {
        move_text(write, s->chars, s->length);
        s->chars = write;
      }
      // The next string may move down over them.
      s->spare = 0;
      write = s->chars + s->length;
    }
    kxs_sp = static_cast<uint64_t>(write - kxs_data);
  }
  if (kxs_sp * 2 + extra + kxs_slack < kxs_data_size) return;
  grow_main_pool(extra);
}

void kxs_concat_cmem(uint32_t extra) {
  kxs_cmem_sp = kxs_cmem_descriptor_space;
  for (uint32_t i = 0; i < kxs_cmem_list_nexti; ++i) {
    kxs* s = kxs_cmem_list[i];
    if (kx::is_free_slot(s)) continue;
    uint8_t* write = dblock + kxs_cmem_sp;
    if (s->chars != write) {
      move_text(write, s->chars, s->length);
      s->chars = write;
      if (s->legacy_descriptor) kx::legacy_descriptor_write(s);
    }
    kxs_cmem_sp += static_cast<uint32_t>(s->length);
  }
  if (uint64_t{kxs_cmem_sp} + extra > cmem_sp) kx::out_of_memory(err::out_of_memory_cmem_string_data);
}

namespace kx {

void legacy_descriptor_write(const kxs* s) {
  const uint16_t words[2] = {static_cast<uint16_t>(s->length), static_cast<uint16_t>(s->chars - dblock)};
  std::memcpy(s->legacy_descriptor, words, sizeof words);
}

void legacy_descriptor_attach(kxs* s, int32_t error_number) {
  if (cmem_sp < 4 + kxs_cmem_sp) out_of_memory(error_number);
  cmem_sp -= 4;
  s->legacy_descriptor = reinterpret_cast<uint16_t*>(dblock + cmem_sp);
  s->legacy_descriptor_offset = static_cast<uint16_t>(cmem_sp);
  legacy_descriptor_write(s);
}

void string_pools_init() {
  std::free(kxs_data);
  kxs_data = static_cast<uint8_t*>(std::malloc(kxs_data_initial_size));
  if (!kxs_data) out_of_memory(err::out_of_memory_string_data);
  kxs_data_size = kxs_data_initial_size;
  kxs_sp = 0;
  kxs_cmem_sp = kxs_cmem_descriptor_space;
}

}  // namespace kx
