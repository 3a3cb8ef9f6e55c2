#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

using string_assign = fresh_memory;

namespace {
kxs* literal(const char* text) { return kxs_new_txt(text); }
}  // namespace

TEST_F(string_assign, FixedLengthDestinationsPadAndTruncate) {
  uint8_t storage[4] = {'z', 'z', 'z', 'z'};
  kxs* f = kxs_new_fixed(storage, 4, 0);
  EXPECT_EQ(f->legacy_descriptor, nullptr);  // storage outside the data segment
  kxs_set(f, literal("ABCDEF"));
  EXPECT_EQ(text_of(f), "ABCD");
  kxs_set(f, literal("AB"));
  EXPECT_EQ(text_of(f), "AB  ");
  kxs_set(f, nothingstring);
  EXPECT_EQ(text_of(f), "    ");
  EXPECT_EQ(f->length, 4);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);  // the literals were consumed

  // A fixed source into a variable copies; the fixed storage is untouched.
  kxs* v = kxs_new(0, 0);
  kxs_set(f, literal("WXYZ"));
  kxs_set(v, f);
  EXPECT_EQ(text_of(v), "WXYZ");
  EXPECT_NE(v->chars, f->chars);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_assign, TakingOverATemporaryMovesNoBytes) {
  kxs* v = kxs_new(0, 0);
  kxs* t = kxs_new(5, 1);
  put_text(t, "HELLO");
  uint8_t* bytes = t->chars;
  const uint32_t slot = t->pool_index;
  const uint64_t descriptors_free = kxs_malloc_freed_num;
  EXPECT_EQ(kxs_set(v, t), v);
  EXPECT_EQ(v->chars, bytes);
  EXPECT_EQ(v->pool_index, slot);
  EXPECT_EQ(kxs_list[slot], v);
  EXPECT_EQ(text_of(v), "HELLO");
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_EQ(kxs_malloc_freed_num, descriptors_free + 1);  // t's descriptor back on the stack
  EXPECT_FALSE(v->is_temp);
  EXPECT_TRUE(pool_invariants_hold());

  // A temporary that is not the highest leaves the list end alone.
  kxs* t1 = kxs_new(1, 1);
  kxs* t2 = kxs_new(1, 1);
  kxs_set(v, t1);
  EXPECT_EQ(kxs_tmp_list_nexti, 3u);
  EXPECT_TRUE(kx::is_free_slot(kxs_tmp_list[1]));
  kxs_cleanup(1, 0);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_EQ(v->length, 1);  // t2 swept, v intact
  (void)t2;

  // A temporary of the other pool is copied, not taken over.
  kxs* c = kxs_new_cmem(3, 1);
  put_text(c, "abc");
  kxs_set(v, c);
  EXPECT_EQ(text_of(v), "abc");
  EXPECT_FALSE(v->in_conventional);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_assign, GrowthStaysInPlaceWhileSlackRemains) {
  kxs* a = kxs_new(5, 0);
  kxs* b = kxs_new(4, 0);
  put_text(a, "aaaaa");
  put_text(b, "bbbb");
  uint8_t* a_at = a->chars;
  const uint64_t fill = kxs_sp;

  // a may grow up to b's start: 5 + 32 bytes.
  const std::string grown(37, 'x');
  kxs_set(a, literal(grown.c_str()));
  EXPECT_EQ(a->chars, a_at);
  EXPECT_EQ(text_of(a), grown);
  EXPECT_EQ(kxs_sp, fill);
  EXPECT_EQ(text_of(b), "bbbb");

  // One byte more relocates a to the end of the pool; its old slot is free.
  const uint32_t old_slot = a->pool_index;
  const std::string past(38, 'y');
  kxs_set(a, literal(past.c_str()));
  EXPECT_NE(a->chars, a_at);
  EXPECT_TRUE(kx::is_free_slot(kxs_list[old_slot]));
  EXPECT_EQ(a->pool_index, kxs_list_nexti - 1);
  EXPECT_EQ(a->chars, kxs_data + fill);
  EXPECT_EQ(kxs_sp, fill + 38);  // relocation adds no slack
  EXPECT_EQ(text_of(a), past);
  EXPECT_EQ(text_of(b), "bbbb");

  // The newest string grows in place up to the pool's end, with no slack.
  kxs_set(a, literal(std::string(100, 'z').c_str()));
  EXPECT_EQ(a->chars, kxs_data + fill);
  EXPECT_EQ(kxs_sp, fill + 100);
  EXPECT_TRUE(pool_invariants_hold());

  // b, with only free slots above it, becomes the list end and grows in place.
  kxs_free(a);
  uint8_t* b_at = b->chars;
  kxs_set(b, literal("bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"));
  EXPECT_EQ(b->chars, b_at);
  EXPECT_EQ(kxs_list_nexti, b->pool_index + 1);
  EXPECT_EQ(kxs_sp, static_cast<uint64_t>(b_at - kxs_data) + 59);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_assign, ShrinkingAndSelfAssignmentKeepThePlace) {
  kxs* a = kxs_new(0, 0);
  kxs_set(a, literal("ABCDEFGH"));
  uint8_t* at = a->chars;
  kxs_set(a, literal("XY"));
  EXPECT_EQ(a->chars, at);
  EXPECT_EQ(text_of(a), "XY");
  kxs_set(a, a);
  EXPECT_EQ(text_of(a), "XY");
  kxs* t = kxs_new(2, 1);
  put_text(t, "tt");
  EXPECT_EQ(kxs_set(t, t), t);  // a temporary assigned to itself stays alive
  EXPECT_EQ(kxs_tmp_list[t->temp_index], t);
  EXPECT_EQ(text_of(t), "tt");
  EXPECT_TRUE(pool_invariants_hold());
}

// The scan for dest's upper neighbour skips the source by identity. A
// temporary source from the conventional pool whose own slot number equals
// the neighbour's slot must not hide the neighbour.
TEST_F(string_assign, SourceIsSkippedByIdentityNotBySlotNumber) {
  kxs* filler = kxs_new(1, 0);
  kxs* dest = kxs_new(1, 0);
  kxs* neighbour = kxs_new(9, 0);
  put_text(neighbour, "NEIGHBOUR");
  kxs* src = kxs_new_cmem(60, 1);
  std::memset(src->chars, 's', 60);
  ASSERT_EQ(src->pool_index, neighbour->pool_index);
  kxs_set(dest, src);
  EXPECT_EQ(text_of(neighbour), "NEIGHBOUR");
  EXPECT_EQ(text_of(dest), std::string(60, 's'));
  EXPECT_GT(dest->chars, neighbour->chars);  // relocated past it
  EXPECT_TRUE(pool_invariants_hold());
  (void)filler;
}

TEST_F(string_assign, ConcatenationRules) {
  kxs* a = kxs_new(0, 0);
  kxs_set(a, literal("abc"));
  kxs* empty = kxs_new(0, 0);
  EXPECT_EQ(kxs_add(a, empty), a);
  EXPECT_EQ(kxs_add(empty, a), a);
  EXPECT_EQ(kxs_add(empty, nothingstring), empty);

  kxs* t = literal("def");
  kxs* r = kxs_add(a, t);
  EXPECT_EQ(text_of(r), "abcdef");
  EXPECT_TRUE(r->is_temp);
  EXPECT_TRUE(kx::is_free_slot(kxs_tmp_list[1]));  // the literal was consumed
  EXPECT_EQ(text_of(a), "abc");
  kxs* rr = kxs_add(r, r);  // the same temporary twice is freed once
  EXPECT_EQ(text_of(rr), "abcdefabcdef");
  kxs_set(a, rr);
  EXPECT_EQ(text_of(a), "abcdefabcdef");
  kxs_cleanup(1, 0);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  // Each freed descriptor is on the free stack once.
  std::vector<kxs*> fresh;
  for (int i = 0; i < 8; ++i) fresh.push_back(kxs_new(0, 0));
  std::sort(fresh.begin(), fresh.end());
  EXPECT_EQ(std::adjacent_find(fresh.begin(), fresh.end()), fresh.end());
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_assign, OverlongConcatenationIsOutOfStringSpace) {
  static const char byte = 'x';
  // Read-only views with large lengths: their bytes are never read.
  kxs* big = kxs_new_txt_len(&byte, 1 << 30);
  kxs* big2 = kxs_new_txt_len(&byte, 1 << 30);
  kxs* r = kxs_add(big, big2);
  EXPECT_EQ(new_error, 14u);
  EXPECT_EQ(r->length, 0);
  EXPECT_TRUE(r->is_temp);
  EXPECT_EQ(big->length, 1 << 30);
  EXPECT_EQ(kxs_tmp_list[big->temp_index], big);  // operands not consumed
  EXPECT_EQ(kxs_tmp_list[big2->temp_index], big2);
  new_error = 0;
  kxs* max = kxs_new_txt_len(&byte, INT32_MAX);
  kxs_add(max, kxs_new_txt("y"));
  EXPECT_EQ(new_error, 14u);
  EXPECT_EQ(max->length, INT32_MAX);
  kxs_cleanup(1, 0);
  EXPECT_TRUE(pool_invariants_hold());
}

// The pool's own sizes must not wrap: a string of nearly 2 GiB puts the fill
// level past 2^31, where doubling it in 32 bits would overflow and the growth
// test would pass for a pool that is far too small. The bytes are not
// touched, so the pages stay virtual.
TEST_F(string_assign, PoolSizesDoNotWrapWithHugeStrings) {
  kxs* huge = kxs_new(INT32_MAX - 16, 0);
  huge->chars[0] = 'h';
  huge->chars[huge->length - 1] = 'H';
  EXPECT_GT(kxs_sp, uint64_t{1} << 31);
  // More than the pool has left: compaction leaves the fill level just
  // below 2^31, and 2 * fill + request only exceeds the pool size in 64 bits.
  kxs* next = kxs_new(3 << 20, 0);
  EXPECT_GE(kxs_data_size, (uint64_t{1} << 32) + (3 << 20));
  EXPECT_LE(kxs_sp, kxs_data_size);
  EXPECT_GE(next->chars, huge->chars + huge->length);
  next->chars[next->length - 1] = 'n';
  EXPECT_EQ(huge->chars[0], 'h');
  EXPECT_EQ(huge->chars[huge->length - 1], 'H');
  kxs* third = kxs_new(INT32_MAX - 16, 0);
  EXPECT_LE(kxs_sp, kxs_data_size);
  third->chars[third->length - 1] = 't';
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_assign, LiteralsCopyIntoThePlaceTheyFit) {
  kxs* v = kxs_new(0, 0);
  kxs_set(v, literal("HELLO WORLD"));
  uint8_t* place = v->chars;
  kxs* lit = literal("HELLO");
  kxs_set(v, lit);  // shorter: same place, the literal's descriptor recycled
  EXPECT_EQ(v->chars, place);
  EXPECT_EQ(text_of(v), "HELLO");
  ASSERT_GT(kxs_malloc_freed_num, 0u);
  EXPECT_EQ(kxs_malloc_freed[kxs_malloc_freed_num - 1], lit);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  kxs_set(v, literal(""));
  EXPECT_EQ(v->length, 0);
  EXPECT_EQ(v->chars, place);

  // A view over the variable's own bytes overlaps the destination.
  kxs_set(v, literal("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
  kxs_set(v, kxs_new_txt_len(v->chars + 3, 20));
  EXPECT_EQ(text_of(v), "DEFGHIJKLMNOPQRSTUVW");

  // A conventional variable's legacy descriptor follows every literal.
  kxs* c = kxs_new_cmem(0, 0);
  kxs_set(c, literal("LONGER TEXT"));
  kxs_set(c, literal("SHORT"));
  EXPECT_EQ(legacy_words(c), std::make_pair(uint16_t{5}, static_cast<uint16_t>(c->chars - dblock)));

  // Fixed-length destinations still pad.
  uint8_t storage[4];
  kxs* f = kxs_new_fixed(storage, 4, 0);
  kxs_set(f, literal("AB"));
  EXPECT_EQ(text_of(f), "AB  ");
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  EXPECT_TRUE(pool_invariants_hold());
}
