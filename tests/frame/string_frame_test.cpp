#include <gtest/gtest.h>

#include "frame/statement_check.h"
#include "values/fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"
#include "values/swap.h"

namespace {

using SwapString = fresh_memory;

kxs* variable(const std::string& text, bool conventional = false) {
  kxs* s = conventional ? kxs_new_cmem(static_cast<int32_t>(text.size()), 0)
                        : kxs_new(static_cast<int32_t>(text.size()), 0);
  put_text(s, text);
  return s;
}

TEST_F(SwapString, ExchangesTextsAndReleasesOnlyTheWorkingCopy) {
  kxs* a = variable("first string");
  kxs* b = variable("2nd");
  const uint64_t freed_before = kxs_malloc_freed_num;
  swap_string(a, b);
  EXPECT_EQ(text_of(a), "2nd");
  EXPECT_EQ(text_of(b), "first string");
  // One descriptor (the copy) went back to the free stack, once; neither
  // variable is on it.
  ASSERT_EQ(kxs_malloc_freed_num, freed_before + 1);
  EXPECT_NE(kxs_malloc_freed[freed_before], a);
  EXPECT_NE(kxs_malloc_freed[freed_before], b);
  EXPECT_EQ(kxs_tmp_list_nexti, 1u);
  // Both strings stay fully usable: new strings must not land on them.
  kxs* c = variable("third");
  kxs* d = variable("fourth");
  swap_string(a, b);
  EXPECT_EQ(text_of(a), "first string");
  EXPECT_EQ(text_of(b), "2nd");
  EXPECT_EQ(text_of(c), "third");
  EXPECT_EQ(text_of(d), "fourth");
  EXPECT_NE(c, a);
  EXPECT_NE(d, b);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(SwapString, AcrossPoolsAndWithFixedLengthStrings) {
  kxs* conventional = variable("in the data segment", true);
  kxs* plain = variable("main");
  uint8_t storage[5] = {'F', 'I', 'X', 'E', 'D'};
  kxs* fixed = kxs_new_fixed(storage, 5, 0);
  swap_string(conventional, plain);
  EXPECT_EQ(text_of(conventional), "main");
  EXPECT_EQ(text_of(plain), "in the data segment");
  swap_string(fixed, plain);
  EXPECT_EQ(text_of(fixed), "in th");  // truncated to its length
  EXPECT_EQ(text_of(plain), "FIXED");
  swap_string(fixed, conventional);
  EXPECT_EQ(text_of(fixed), "main ");  // padded
  EXPECT_EQ(text_of(conventional), "in th");
  EXPECT_EQ(legacy_words(conventional).first, 5);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(SwapString, DoesNothingWhileAnErrorIsPending) {
  kxs* a = variable("a");
  kxs* b = variable("b");
  new_error = 5;
  swap_string(a, b);
  new_error = 0;
  EXPECT_EQ(text_of(a), "a");
  EXPECT_EQ(text_of(b), "b");
}

using IncludedErrorFile = fresh_memory;

TEST_F(IncludedErrorFile, IsANewTemporaryCopyOfTheName) {
  includedfilename = nullptr;
  kxs* none = func__inclerrorfile();
  EXPECT_EQ(none->length, 0);
  EXPECT_TRUE(none->is_temp);
  static const char name[] = "lib/io.bi";
  includedfilename = name;
  kxs* file = func__inclerrorfile();
  EXPECT_EQ(text_of(file), "lib/io.bi");
  EXPECT_NE(reinterpret_cast<const char*>(file->chars), name);
  includedfilename = nullptr;
}

}  // namespace
