#include <gtest/gtest.h>

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
