#include <gtest/gtest.h>

#include "fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

using string_conventional = fresh_memory;

namespace {

::testing::AssertionResult legacy_current(const kxs* s) {
  if (!s->legacy_descriptor) return ::testing::AssertionFailure() << "no legacy descriptor";
  const auto [length, offset] = legacy_words(s);
  if (length != s->length || offset != s->chars - dblock)
    return ::testing::AssertionFailure() << "words " << length << "," << offset << " for length " << s->length
                                         << " at " << (s->chars - dblock);
  if (reinterpret_cast<uint8_t*>(s->legacy_descriptor) != dblock + s->legacy_descriptor_offset)
    return ::testing::AssertionFailure() << "offset field wrong";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(string_conventional, SharedConstants) {
  EXPECT_EQ(nothingstring->length, 0);
  EXPECT_EQ(text_of(singlespace), " ");
  EXPECT_TRUE(nothingstring->in_conventional);
  EXPECT_TRUE(singlespace->in_conventional);
  EXPECT_EQ(singlespace->chars, dblock + 256);
  EXPECT_TRUE(legacy_current(nothingstring));
  EXPECT_TRUE(legacy_current(singlespace));
  EXPECT_EQ(nothingstring->legacy_descriptor_offset, 65524);
  EXPECT_EQ(singlespace->legacy_descriptor_offset, 65520);
  EXPECT_FALSE(nothingstring->is_temp);
}

TEST_F(string_conventional, LegacyDescriptorsFollowCompactionAndRelocation) {
  kxs* a = kxs_new_cmem(4, 0);
  kxs* b = kxs_new_cmem(6, 0);
  kxs* c = kxs_new_cmem(3, 0);
  put_text(a, "AAAA");
  put_text(b, "BBBBBB");
  put_text(c, "CCC");
  EXPECT_EQ(a->chars, dblock + 257);
  EXPECT_TRUE(legacy_current(c));
  kxs* t = kxs_new_cmem(2, 1);
  EXPECT_EQ(t->legacy_descriptor, nullptr);  // temporaries have none
  kxs_cleanup(1, 0);

  // a grows past b: it is relocated to the end of the text.
  kxs_set(a, kxs_new_txt("aaaaaaaaaa"));
  EXPECT_EQ(text_of(a), "aaaaaaaaaa");
  EXPECT_EQ(a->chars, dblock + 257 + 4 + 6 + 3 + 2);
  EXPECT_TRUE(legacy_current(a));

  // Compaction closes every gap and rewrites the words.
  kxs_free(b);
  kxs_concat_cmem(0);
  EXPECT_EQ(c->chars, dblock + 257);
  EXPECT_EQ(a->chars, dblock + 260);
  EXPECT_EQ(kxs_cmem_sp, 270u);
  EXPECT_EQ(text_of(c), "CCC");
  EXPECT_EQ(text_of(a), "aaaaaaaaaa");
  EXPECT_TRUE(legacy_current(a));
  EXPECT_TRUE(legacy_current(c));
  EXPECT_TRUE(legacy_current(singlespace));

  // c grows in place up to a; the words follow every change.
  kxs_set(c, kxs_new_txt("ccc"));
  EXPECT_TRUE(legacy_current(c));
  kxs_set(c, kxs_new_txt("c"));
  EXPECT_EQ(c->chars, dblock + 257);
  EXPECT_TRUE(legacy_current(c));
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_conventional, FullPoolIsCompactedBeforeGivingUp) {
  std::vector<kxs*> strings;
  for (int i = 0; i < 60; ++i) {
    kxs* s = kxs_new_cmem(1000, 0);
    std::memset(s->chars, '0' + i % 10, 1000);
    strings.push_back(s);
  }
  for (int i = 0; i < 60; i += 2) kxs_free(strings[i]);
  // 30,000 bytes are live; 34,000 more fit only after compaction.
  kxs* big = kxs_new_cmem(34000, 0);
  EXPECT_LE(big->chars + big->length, dblock + cmem_sp);
  for (int i = 1; i < 60; i += 2) {
    ASSERT_EQ(text_of(strings[i]), std::string(1000, static_cast<char>('0' + i % 10)));
    ASSERT_TRUE(legacy_current(strings[i]));
  }
  EXPECT_TRUE(legacy_current(big));
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_conventional, FixedStringsInsideTheDataSegmentGetLegacyDescriptors) {
  const uint32_t top = cmem_sp;
  cmem_sp -= 16;  // segment-resident storage, as compiled code takes it
  uint8_t* storage = dblock + cmem_sp;
  kxs* f = kxs_new_fixed(storage, 16, 0);
  ASSERT_NE(f->legacy_descriptor, nullptr);
  EXPECT_EQ(f->legacy_descriptor_offset, top - 20);
  kxs_set(f, kxs_new_txt("fixed"));
  EXPECT_EQ(text_of(f), "fixed           ");
  EXPECT_TRUE(legacy_current(f));
  EXPECT_EQ(kxs_new_fixed(dblock, 4, 0)->legacy_descriptor, nullptr);  // the first byte is not inside
  EXPECT_EQ(kxs_new_fixed(storage, 4, 1)->legacy_descriptor, nullptr);  // temporaries have none
  kxs_cleanup(1, 0);
}
