#pragma once
// Test fixture: the memory model and string pools as main sets them up,
// rebuilt for every test, and the structural checks the pools must pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/error.h"
#include "values/conventional_memory.h"
#include "values/memory_startup.h"
#include "values/string_descriptor.h"
#include "values/string_lists.h"
#include "values/string_pools.h"
#include "values/string_startup.h"

class fresh_memory : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    mem_init();
    kxs_init();
  }
  void TearDown() override { new_error = 0; }
};

inline std::string text_of(const kxs* s) {
  return s->length ? std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)) : std::string();
}

inline void put_text(kxs* s, std::string_view text) {
  if (!text.empty()) std::memcpy(s->chars, text.data(), text.size());
}

// The two words of a legacy descriptor (it need not be aligned).
inline std::pair<uint16_t, uint16_t> legacy_words(const kxs* s) {
  uint16_t words[2];
  std::memcpy(words, s->legacy_descriptor, sizeof words);
  return {words[0], words[1]};
}

// Live slots of a pool list, in slot order, lie in address order without
// overlapping (so non-empty strings have strictly ascending chars), inside
// the pool's filled part, and know their own slot.
inline ::testing::AssertionResult pool_list_in_order(const kx::growable_array<kxs*>& slots, uint32_t nexti,
                                                     uint32_t lasti, const uint8_t* base, uint64_t fill,
                                                     uint8_t conventional) {
  if (nexti > lasti + 1) return ::testing::AssertionFailure() << "nexti " << nexti << " past lasti " << lasti;
  uint64_t previous_end = conventional ? kxs_cmem_descriptor_space : 0;
  int64_t previous_start = -1;
  for (uint32_t i = 0; i < nexti; ++i) {
    const kxs* s = slots[i];
    if (kx::is_free_slot(s)) continue;
    const auto start = static_cast<uint64_t>(s->chars - base);
    if (s->pool_index != i) return ::testing::AssertionFailure() << "slot " << i << " has pool_index " << s->pool_index;
    if (s->in_conventional != conventional) return ::testing::AssertionFailure() << "slot " << i << " in wrong pool";
    if (s->is_fixed || s->is_readonly) return ::testing::AssertionFailure() << "slot " << i << " not pooled";
    if (start < previous_end) return ::testing::AssertionFailure() << "slot " << i << " overlaps or precedes its lower neighbour";
    if (s->length > 0 && static_cast<int64_t>(start) <= previous_start)
      return ::testing::AssertionFailure() << "slot " << i << " chars not strictly ascending";
    // A string's spare bytes are its own: no other string and no fill level
    // lies below their end.
    if (conventional && s->spare != 0) return ::testing::AssertionFailure() << "slot " << i << " has spare bytes";
    const uint64_t end = start + static_cast<uint64_t>(s->length) + s->spare;
    if (end > fill) return ::testing::AssertionFailure() << "slot " << i << " ends past the fill level";
    if (s->length > 0) previous_start = static_cast<int64_t>(start);
    previous_end = end;
    if (s->legacy_descriptor) {
      const auto [length, offset] = legacy_words(s);
      if (length != static_cast<uint16_t>(s->length) || offset != static_cast<uint16_t>(s->chars - dblock))
        return ::testing::AssertionFailure() << "slot " << i << " legacy descriptor out of date";
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult pool_invariants_hold() {
  if (kxs_sp > kxs_data_size) return ::testing::AssertionFailure() << "kxs_sp past the pool";
  if (kxs_cmem_sp > cmem_sp) return ::testing::AssertionFailure() << "conventional text past cmem_sp";
  auto main = pool_list_in_order(kxs_list, kxs_list_nexti, kxs_list_lasti, kxs_data, kxs_sp, 0);
  if (!main) return main << " (main pool)";
  auto conventional = pool_list_in_order(kxs_cmem_list, kxs_cmem_list_nexti, kxs_cmem_list_lasti, dblock, kxs_cmem_sp, 1);
  if (!conventional) return conventional << " (conventional pool)";
  if (kxs_tmp_list[0] != nullptr) return ::testing::AssertionFailure() << "temporary slot 0 used";
  for (uint32_t i = 1; i < kxs_tmp_list_nexti; ++i) {
    const kxs* s = kxs_tmp_list[i];
    if (kx::is_free_slot(s)) continue;
    if (s->temp_index != i || !s->is_temp) return ::testing::AssertionFailure() << "temporary slot " << i << " wrong";
  }
  return ::testing::AssertionSuccess();
}
