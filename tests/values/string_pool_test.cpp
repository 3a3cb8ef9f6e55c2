#include <gtest/gtest.h>

#include <vector>

#include "fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

using string_pool = fresh_memory;

TEST_F(string_pool, NewStringsAreBumpAllocatedWithSlack) {
  EXPECT_EQ(kxs_data_size, 1048576u);
  kxs* a = kxs_new(10, 0);
  kxs* b = kxs_new(0, 0);
  kxs* c = kxs_new(5, 1);
  EXPECT_EQ(a->chars, kxs_data);
  EXPECT_EQ(b->chars, kxs_data + 42);
  EXPECT_EQ(c->chars, kxs_data + 74);
  EXPECT_EQ(kxs_sp, 74u + 37u);
  EXPECT_EQ(a->pool_index, 0u);
  EXPECT_EQ(c->pool_index, 2u);
  EXPECT_EQ(c->temp_index, 1u);
  EXPECT_TRUE(c->is_temp);
  EXPECT_FALSE(a->is_temp);
  EXPECT_EQ(a->temp_index, 0u);
  EXPECT_EQ(kxs_new(-3, 0)->length, 0);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_pool, FreeingTheNewestStringPullsTheFillLevelBack) {
  kxs* a = kxs_new(10, 0);
  kxs* b = kxs_new(20, 0);
  kxs* c = kxs_new(30, 0);
  kxs_free(c);
  EXPECT_EQ(kxs_sp, static_cast<uint64_t>(b->chars - kxs_data) + 20 + 32);
  EXPECT_EQ(kxs_list_nexti, 2u);
  kxs_free(a);  // a middle slot: list end and fill level stay
  EXPECT_EQ(kxs_list_nexti, 2u);
  EXPECT_EQ(kxs_sp, static_cast<uint64_t>(b->chars - kxs_data) + 20 + 32);
  kxs_free(b);  // the walk passes a's free slot too
  EXPECT_EQ(kxs_list_nexti, 0u);
  EXPECT_EQ(kxs_sp, 0u);
  // Freed descriptors are recycled, cleared.
  kxs* d = kxs_new(1, 0);
  EXPECT_EQ(d, b);
  EXPECT_EQ(d->chars, kxs_data);
  EXPECT_TRUE(pool_invariants_hold());
}

// A recycled descriptor of any kind starts as a new string with every other
// field clear: a legacy descriptor, a field link or a flag left over from the
// string it last held would be written through or acted on.
TEST_F(string_pool, RecycledDescriptorsOfEveryKindStartClear) {
  static uint8_t storage[6];
  static int link_record;
  auto make_each_kind = [] {
    std::vector<kxs*> made;
    made.push_back(kxs_new_cmem(4, 0));  // with a legacy descriptor
    made.push_back(kxs_new_fixed(dblock + 300, 6, 0));
    made.push_back(kxs_new_fixed(storage, 6, 1));
    made.push_back(kxs_new_txt("literal"));
    kxs* fielded = kxs_new(3, 0);
    fielded->field_link = &link_record;
    made.push_back(fielded);
    made.push_back(kxs_new(9, 1));
    return made;
  };
  for (int round = 0; round < 2; ++round) {
    const std::vector<kxs*> made = make_each_kind();
    for (kxs* s : made) kxs_free(s);
    for (size_t i = 0; i < made.size(); ++i) {
      const uint8_t tmp = round == 0 ? 1 : 0;
      kxs* s = kxs_new(static_cast<int32_t>(i), tmp);
      ASSERT_EQ(s, made[made.size() - 1 - i]);  // the stack gives back the last freed first
      EXPECT_EQ(s->length, static_cast<int32_t>(i));
      EXPECT_EQ(s->in_conventional, 0);
      EXPECT_EQ(s->legacy_descriptor, nullptr);
      EXPECT_EQ(s->legacy_descriptor_offset, 0);
      EXPECT_EQ(s->is_temp, tmp);
      EXPECT_EQ(s->temp_index == 0, tmp == 0);
      EXPECT_EQ(s->is_fixed, 0);
      EXPECT_EQ(s->is_readonly, 0);
      EXPECT_EQ(s->field_link, nullptr);
      EXPECT_EQ(kxs_list[s->pool_index], s);
    }
    kxs_cleanup(1, 0);
  }
  // And the raw allocation clears everything.
  kxs* legacy = kxs_new_cmem(2, 0);
  kxs_free(legacy);
  kxs* raw = kxs_new_descriptor();
  ASSERT_EQ(raw, legacy);
  EXPECT_EQ(raw->chars, nullptr);
  EXPECT_EQ(raw->length, 0);
  EXPECT_EQ(raw->in_conventional, 0);
  EXPECT_EQ(raw->legacy_descriptor, nullptr);
  EXPECT_EQ(raw->pool_index, 0u);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_pool, CompactionMovesOnlyStringsMoreThan32BytesAbove) {
  kxs* a = kxs_new(10, 0);
  kxs* b = kxs_new(10, 0);
  kxs* c = kxs_new(10, 0);
  kxs* d = kxs_new(10, 0);
  put_text(a, "aaaaaaaaaa");
  put_text(b, "bbbbbbbbbb");
  put_text(c, "cccccccccc");
  put_text(d, "dddddddddd");
  // Each string sits exactly 32 bytes (its predecessor's slack) above its
  // packed place: nothing moves, only the last slack goes.
  kxs_concat(0);
  EXPECT_EQ(a->chars, kxs_data);
  EXPECT_EQ(b->chars, kxs_data + 42);
  EXPECT_EQ(c->chars, kxs_data + 84);
  EXPECT_EQ(d->chars, kxs_data + 126);
  EXPECT_EQ(kxs_sp, 136u);

  // Shrinking c leaves d 37 bytes above c's end: d moves, a..c stay.
  kxs_set(c, kxs_new_txt("ccccc"));
  kxs_concat(0);
  EXPECT_EQ(c->chars, kxs_data + 84);
  EXPECT_EQ(d->chars, kxs_data + 89);
  EXPECT_EQ(kxs_sp, 99u);

  // With b gone, c (74 above a's end) moves down, and d after it.
  kxs_free(b);
  kxs_concat(0);
  EXPECT_EQ(a->chars, kxs_data);
  EXPECT_EQ(c->chars, kxs_data + 10);
  EXPECT_EQ(d->chars, kxs_data + 15);
  EXPECT_EQ(kxs_sp, 25u);
  EXPECT_EQ(text_of(a), "aaaaaaaaaa");
  EXPECT_EQ(text_of(c), "ccccc");
  EXPECT_EQ(text_of(d), "dddddddddd");
  EXPECT_EQ(kxs_data_size, 1048576u);  // far below half full: no growth
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_pool, GrowthRebasesEveryString) {
  std::vector<kxs*> strings;
  for (int i = 0; i < 3000; ++i) {
    kxs* s = kxs_new(600, i % 3 == 0);
    std::memset(s->chars, 'a' + i % 26, 600);
    strings.push_back(s);
  }
  EXPECT_GT(kxs_data_size, 1048576u);
  for (size_t i = 0; i < strings.size(); ++i) {
    kxs* s = strings[i];
    ASSERT_GE(s->chars, kxs_data);
    ASSERT_LE(s->chars + s->length, kxs_data + kxs_sp);
    ASSERT_EQ(text_of(s), std::string(600, static_cast<char>('a' + i % 26)));
  }
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_pool, ListsPackThenGrow) {
  std::vector<kxs*> keep;
  std::vector<kxs*> pending;
  for (uint32_t i = 0; i < 70000; ++i) {
    kxs* s = kxs_new(1, 0);
    s->chars[0] = static_cast<uint8_t>(i);
    if (i % 3 != 0) {
      pending.push_back(s);
      continue;
    }
    // Keep one string in three; the other two are freed once this newer
    // string follows them, so they leave free slots behind and the full
    // list is packed (a third live: no doubling) rather than grown.
    keep.push_back(s);
    for (kxs* p : pending) kxs_free(p);
    pending.clear();
  }
  EXPECT_EQ(kxs_list_lasti, 65535u);
  EXPECT_TRUE(pool_invariants_hold());
  for (size_t i = 0; i < keep.size(); ++i) ASSERT_EQ(keep[i]->chars[0], static_cast<uint8_t>(3 * i));

  std::vector<kxs*> more;
  for (uint32_t i = 0; i < 70000; ++i) more.push_back(kxs_new(0, 0));
  EXPECT_GT(kxs_list_lasti, 65535u);
  for (size_t i = 0; i < keep.size(); ++i) ASSERT_EQ(keep[i]->chars[0], static_cast<uint8_t>(3 * i));
  EXPECT_TRUE(pool_invariants_hold());

  for (uint32_t i = 0; i < 70000; ++i) kxs_new_txt("x");
  EXPECT_GT(kxs_tmp_list_lasti, 65535u);
  EXPECT_TRUE(pool_invariants_hold());
  kxs_cleanup(1, 0);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
}

// Each limit that kxs_new checks, met by a new temporary: the temporary
// list grows, the pool compacts and grows, and descriptors run out of the
// free stack, and the string is still listed where it belongs.
TEST_F(string_pool, NewTemporariesAtEachLimit) {
  const uint32_t mark = kxs_tmp_list_nexti;
  while (kxs_tmp_list_nexti <= kxs_tmp_list_lasti) kxs_new(0, 1);
  const uint32_t slot = kxs_tmp_list_nexti;
  kxs* past_tmp = kxs_new(2, 1);
  EXPECT_EQ(past_tmp->temp_index, slot);
  EXPECT_EQ(kxs_tmp_list[slot], past_tmp);
  EXPECT_EQ(kxs_tmp_list_lasti, 2 * 65535u);
  kxs_cleanup(mark, 0);
  EXPECT_EQ(kxs_sp, 0u);

  // Freed descriptors are used first, then the block again.
  const uint64_t recycled = kxs_malloc_freed_num;
  for (uint64_t i = 0; i < recycled; ++i) kxs_new(0, 0);
  const uint32_t handed_out = kxs_malloc_next;
  kxs* from_block = kxs_new(1, 1);
  EXPECT_EQ(kxs_malloc_next, handed_out + 1);
  EXPECT_EQ(from_block, &kxs_malloc[handed_out]);

  // A temporary that does not fit in what is left of the pool.
  const uint64_t size_before = kxs_data_size;
  const auto big = static_cast<int32_t>(kxs_data_size - kxs_sp);
  kxs* past_pool = kxs_new(big, 1);
  EXPECT_GT(kxs_data_size, size_before);
  EXPECT_EQ(kxs_list[past_pool->pool_index], past_pool);
  EXPECT_EQ(kxs_tmp_list[past_pool->temp_index], past_pool);
  EXPECT_EQ(past_pool->chars + big + kxs_slack, kxs_data + kxs_sp);
  EXPECT_TRUE(pool_invariants_hold());
}
