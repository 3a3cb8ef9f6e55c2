#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/hooks.h"
#include "fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

using string_temporaries = fresh_memory;

TEST_F(string_temporaries, CleanupSweepsDownToTheMarkAndPassesTheValue) {
  kxs* keep = kxs_new(3, 1);
  const uint32_t mark = kxs_tmp_list_nexti;  // a procedure's mark
  kxs_new(10, 1);
  kxs_new_txt("literal");
  kxs_new_cmem(4, 1);
  uint8_t storage[2];
  kxs_new_fixed(storage, 2, 1);
  EXPECT_EQ(kxs_tmp_list_nexti, mark + 4);
  EXPECT_EQ(kxs_cleanup(mark, 42.5), 42.5);
  EXPECT_EQ(kxs_tmp_list_nexti, mark);
  EXPECT_EQ(kxs_tmp_list[keep->temp_index], keep);
  EXPECT_EQ(kxs_list_nexti, 1u);  // only keep is left in the main pool
  EXPECT_EQ(kxs_cmem_list_nexti, 2u);

  EXPECT_EQ(kxs_cleanup(1, -7), -7);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  // A mark of 0 never reaches slot 0, which holds no string.
  kxs_new(1, 1);
  EXPECT_EQ(kxs_cleanup(0, 1), 1);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_EQ(kxs_tmp_list[0], nullptr);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_temporaries, FreeingOutOfOrderLeavesTheListEndToTheHighestLive) {
  kxs* t1 = kxs_new(1, 1);
  kxs* t2 = kxs_new(1, 1);
  kxs* t3 = kxs_new(1, 1);
  kxs_free(t2);
  EXPECT_EQ(kxs_tmp_list_nexti, 4u);
  kxs_free(t3);  // walks down over t2's free slot
  EXPECT_EQ(kxs_tmp_list_nexti, 2u);
  kxs_free(t1);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_temporaries, FunctionResultsAndByReferenceCopies) {
  // A string FUNCTION: its result variable becomes a temporary on return,
  // and the caller's statement sweep frees it once.
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* result = kxs_new(0, 0);
  kxs_set(result, kxs_new_txt("made"));
  EXPECT_EQ(kxs_maketmp(result), result);
  EXPECT_TRUE(result->is_temp);
  kxs_maketmp(result);  // twice: still listed once
  EXPECT_EQ(kxs_tmp_list_nexti, mark + 1);
  kxs* caller = kxs_new(0, 0);
  kxs_set(caller, result);  // taken over
  EXPECT_EQ(text_of(caller), "made");
  kxs_cleanup(mark, 0);

  // A fixed-length argument passed by reference: a permanent working copy,
  // assigned back at exit, then freed.
  uint8_t storage[6] = {'o', 'l', 'd', ' ', ' ', ' '};
  kxs* fixed = kxs_new_fixed(storage, 6, 0);
  kxs* copy = kxs_new(0, 0);
  kxs_set(copy, fixed);
  kxs_set(copy, kxs_add(copy, kxs_new_txt("er")));
  kxs_cleanup(mark, 0);  // the statement's sweep
  EXPECT_EQ(text_of(copy), "old   er");
  kxs_set(fixed, copy);
  kxs_free(copy);
  EXPECT_EQ(text_of(fixed), "old   ");  // "old   er" truncated to 6
  kxs_free(fixed);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_temporaries, ReadOnlyTextIsNeverWritten) {
  static const char text[] = "CONSTANT";
  kxs* lit = kxs_new_txt(text);
  EXPECT_TRUE(lit->is_readonly);
  EXPECT_EQ(lit->chars, reinterpret_cast<const uint8_t*>(text));
  kxs* v = kxs_new(0, 0);
  kxs_set(v, lit);  // copied, never taken over
  EXPECT_NE(v->chars, lit->chars);
  EXPECT_EQ(text_of(v), "CONSTANT");
  EXPECT_EQ(kxs_new_txt(nullptr)->length, 0);
  EXPECT_EQ(kxs_new_txt_len("abc", -2)->length, 0);
  kxs_cleanup(1, 0);
  EXPECT_STREQ(text, "CONSTANT");
}

namespace {

// What a sweep leaves behind, for comparing two ways of getting there. Every
// descriptor of these tests comes from the first block, so descriptors are
// compared by their place in it; -1 is a free slot.
int64_t place_of(const kxs* s) { return kx::is_free_slot(s) ? -1 : s - kxs_malloc; }

std::vector<int64_t> places(const kx::growable_array<kxs*>& slots, uint64_t from, uint64_t end) {
  std::vector<int64_t> out;
  for (uint64_t i = from; i < end; ++i) out.push_back(place_of(slots[i]));
  return out;
}

struct pool_state {
  uint32_t list_nexti, cmem_list_nexti, tmp_nexti;
  uint64_t sp, freed;
  uint32_t cmem_sp;
  // Slots in use of the three lists, and the free stack from the bottom:
  // its order is the order in which descriptors are reused.
  std::vector<int64_t> list, cmem_list, tmp_list, free_stack;
  bool operator==(const pool_state&) const = default;
};
pool_state pool_state_now() {
  return {kxs_list_nexti,
          kxs_cmem_list_nexti,
          kxs_tmp_list_nexti,
          kxs_sp,
          kxs_malloc_freed_num,
          kxs_cmem_sp,
          places(kxs_list, 0, kxs_list_nexti),
          places(kxs_cmem_list, 0, kxs_cmem_list_nexti),
          places(kxs_tmp_list, 1, kxs_tmp_list_nexti),
          places(kxs_malloc_freed, 0, kxs_malloc_freed_num)};
}

std::vector<kxs*> detached;
// What the hook saw of the main pool: a hook may make strings of its own,
// which go where the list end and the fill level say.
std::vector<std::pair<uint32_t, uint64_t>> seen_by_hook;
void record_detach(kxs* s) {
  detached.push_back(s);
  seen_by_hook.emplace_back(kxs_list_nexti, kxs_sp);
}

// One statement's worth of every kind of temporary, with permanent strings
// made in between so that the list ends stop short of the bottom.
std::vector<kxs*> mixed_statement() {
  std::vector<kxs*> made;
  made.push_back(kxs_new(5, 1));
  kxs_new(7, 0);  // a permanent string above the first temporary
  made.push_back(kxs_new(40, 1));
  made.push_back(kxs_new_txt("literal"));
  made.push_back(kxs_new_cmem(3, 1));
  static uint8_t storage[4];
  made.push_back(kxs_new_fixed(storage, 4, 1));
  kxs* fielded = kxs_new(2, 1);
  fielded->field_link = &storage;  // the detach hook releases it
  made.push_back(fielded);
  made.push_back(kxs_new(0, 1));
  made.push_back(kxs_new(9, 1));
  return made;
}

}  // namespace

TEST_F(string_temporaries, SweepLeavesThePoolsAsFreeingOneByOne) {
  const auto field_unbind = kx::hooks.field_unbind.load();
  kx::hooks.field_unbind = record_detach;
  const uint32_t mark = kxs_tmp_list_nexti;
  std::vector<kxs*> made = mixed_statement();
  kxs_free(made[3]);  // freed early: the sweep skips its slot
  kxs_cleanup(mark, 0);
  const pool_state swept = pool_state_now();
  EXPECT_EQ(detached, std::vector<kxs*>{made[5]});
  EXPECT_TRUE(pool_invariants_hold());
  const auto swept_seen = seen_by_hook;

  mem_init();
  kxs_init();
  detached.clear();
  seen_by_hook.clear();
  made = mixed_statement();
  kxs_free(made[3]);
  for (auto it = made.rbegin(); it != made.rend(); ++it)
    if (*it != made[3]) kxs_free(*it);
  EXPECT_EQ(pool_state_now(), swept);
  EXPECT_EQ(detached, std::vector<kxs*>{made[5]});
  EXPECT_EQ(seen_by_hook, swept_seen);
  kx::hooks.field_unbind = field_unbind;
  detached.clear();
  seen_by_hook.clear();

  // Only the permanent string is left in the main pool, followed by slack.
  EXPECT_EQ(swept.list_nexti, 2u);  // slot 0 is free below it
  EXPECT_EQ(swept.sp, static_cast<uint64_t>(kxs_list[1]->chars - kxs_data) + 7 + kxs_slack);
  EXPECT_EQ(swept.tmp_nexti, mark);
}

// A procedure's sweep stops at its mark: the caller's temporaries below it,
// listed between permanent strings, stay where they are, and the next
// strings made reuse the same descriptors as after freeing one by one.
TEST_F(string_temporaries, SweepToAMarkLeavesTheListsAsFreeingOneByOne) {
  auto statement = [](bool sweep) {
    kxs_new(3, 1);
    kxs_new(4, 0);
    kxs_new_txt("outer");
    kxs_new(6, 1);
    const uint32_t mark = kxs_tmp_list_nexti;
    std::vector<kxs*> made = mixed_statement();
    made.push_back(kxs_new(2, 1));
    made.push_back(kxs_new_txt("last"));
    if (sweep) {
      kxs_cleanup(mark, 0);
    } else {
      for (auto it = made.rbegin(); it != made.rend(); ++it) kxs_free(*it);
    }
    EXPECT_EQ(kxs_tmp_list_nexti, mark);
    kxs_new(1, 1);  // reuses the descriptor freed last
    return pool_state_now();
  };
  const pool_state swept = statement(true);
  EXPECT_TRUE(pool_invariants_hold());
  mem_init();
  kxs_init();
  const pool_state freed = statement(false);
  EXPECT_EQ(swept, freed);
  EXPECT_EQ(swept.tmp_list.size(), 4u);  // three of the caller's and the new one
}

TEST_F(string_temporaries, LargeSweepsRecycleEveryDescriptor) {
  // More temporaries than the descriptor free stack has room for at first.
  constexpr uint32_t count = 200000;
  const uint32_t mark = kxs_tmp_list_nexti;
  std::vector<kxs*> first;
  for (uint32_t i = 0; i < count; ++i) first.push_back(i % 3 ? kxs_new(i % 50, 1) : kxs_new_txt("x"));
  kxs_cleanup(mark, 0);
  EXPECT_EQ(kxs_malloc_freed_num, uint64_t{count});
  EXPECT_EQ(kxs_list_nexti, 0u);
  EXPECT_EQ(kxs_sp, 0u);
  const uint32_t handed_out = kxs_malloc_next;
  const kxs* block = kxs_malloc;
  for (uint32_t i = 0; i < count; ++i) kxs_new(1, 1);
  EXPECT_EQ(kxs_malloc, block);  // every descriptor came off the free stack
  EXPECT_EQ(kxs_malloc_next, handed_out);
  kxs_cleanup(mark, 0);
  EXPECT_TRUE(pool_invariants_hold());
}

// Releasing a temporary walks the list end down over the free slots below
// it, on past the sweep's mark, whichever pool the string is in and whether
// or not free slots lie between it and the mark. A free slot sits just below
// a mark after a take-over, which lowers the end by one slot only.
TEST_F(string_temporaries, SweepWalksTheEndPastFreeSlotsBelowTheMark) {
  for (const bool conventional : {false, true}) {
    for (const bool freed_at_mark : {false, true}) {
      mem_init();
      kxs_init();
      kxs* variable = kxs_new(0, 0);
      const uint32_t first = kxs_tmp_list_nexti;
      kxs* low = kxs_new(3, 1);
      kxs* high = kxs_new(4, 1);
      kxs_free(low);
      kxs_set(variable, high);
      ASSERT_EQ(kxs_tmp_list_nexti, first + 1);
      const uint32_t mark = kxs_tmp_list_nexti;
      kxs* at_mark = conventional ? kxs_new_cmem(5, 1) : kxs_new(5, 1);
      if (freed_at_mark) {
        kxs* above = conventional ? kxs_new_cmem(6, 1) : kxs_new(6, 1);
        kxs_free(at_mark);  // a middle slot: the end stays above it
        ASSERT_EQ(kxs_tmp_list_nexti, mark + 2);
        ASSERT_EQ(kxs_tmp_list[mark + 1], above);
      }
      kxs_cleanup(mark, 0);
      EXPECT_EQ(kxs_tmp_list_nexti, first) << conventional << freed_at_mark;
      EXPECT_TRUE(pool_invariants_hold());
    }
  }
}

// A recycled descriptor must come back as a plain string, whatever it was
// before: a stale legacy descriptor would make the new string write into
// the data segment, a stale read-only or fixed flag would make it refuse to
// change or skip its pool, a stale field link would tie it to a file.
TEST_F(string_temporaries, RecycledDescriptorsCarryNothingOver) {
  int unbound = 0;
  auto unbind = +[](kxs* s) { *static_cast<int*>(s->field_link) += 1; };
  const auto saved_hook = kx::hooks.field_unbind.load();
  kx::hooks.field_unbind = unbind;
  uint8_t storage[8] = {};
  const uint32_t mark = kxs_tmp_list_nexti;
  std::vector<kxs*> kinds{kxs_new_cmem(3, 0), kxs_new_fixed(dblock + 300, 2, 0), kxs_new_fixed(storage, 8, 1),
                          kxs_new_txt("literal"), kxs_new(5, 0)};
  ASSERT_NE(kinds[0]->legacy_descriptor, nullptr);
  ASSERT_NE(kinds[1]->legacy_descriptor, nullptr);
  kinds[4]->field_link = &unbound;
  for (kxs* s : {kinds[0], kinds[1], kinds[4]}) kxs_free(s);
  kxs_cleanup(mark, 0);  // the fixed temporary and the literal
  EXPECT_EQ(unbound, 1);
  for (size_t i = 0; i < kinds.size(); ++i) {
    kxs* s = i % 2 ? kxs_new(4, 1) : kxs_new(4, 0);
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), s), kinds.end());  // off the free stack
    EXPECT_EQ(s->legacy_descriptor, nullptr);
    EXPECT_EQ(s->field_link, nullptr);
    EXPECT_FALSE(s->is_fixed || s->is_readonly || s->in_conventional);
    kxs_set(s, kxs_new_txt("abcdefgh"));  // grows like any main-pool string
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s->chars), 8), "abcdefgh");
  }
  kx::hooks.field_unbind = saved_hook;
  kxs_cleanup(mark, 0);
  EXPECT_TRUE(pool_invariants_hold());
}
