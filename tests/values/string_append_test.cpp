#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "string_kinds.h"
#include "values/string_append.h"
#include "values/string_assign.h"
#include "values/string_pools.h"

using string_append = fresh_memory;

namespace {

// s = s + "y" as a new temporary, or s = s + "x" as a literal.
void append_one(kxs* s, bool temporary) {
  if (temporary)
    kxs_append(s, temp_of("y"));
  else
    kxs_append_txt_len(s, "x", 1);
}

}  // namespace

TEST_F(string_append, MatchesThePlainFormUnderRandomStatements) {
  // Five variables are built, overwritten and appended to in random order,
  // with every kind of right operand, among function results and
  // compactions, each statement swept as compiled code sweeps it; the text
  // must always be what s = s + x would give, and no string may lie in
  // another's spare bytes.
  for (const unsigned seed : {7u, 1234u, 99991u}) {
    std::mt19937 rng(seed);
    std::vector<kxs*> vars;
    std::vector<std::string> model(5);
    for (int i = 0; i < 5; ++i) vars.push_back(variable_of(""));
    const std::string pieces = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int step = 0; step < 20000; ++step) {
      const uint32_t mark = kxs_tmp_list_nexti;
      const size_t v = rng() % 5;
      const size_t w = rng() % 5;
      const std::string piece = pieces.substr(0, rng() % (rng() % 8 == 0 ? 36 : 4));
      switch (rng() % 10) {
        case 0:
          kxs_append(vars[v], temp_of(piece));
          model[v] += piece;
          break;
        case 1:
          kxs_append(vars[v], literal_of(std::string_view(pieces).substr(0, piece.size())));
          model[v] += piece;
          break;
        case 2:
          kxs_append(vars[v], vars[w]);  // another variable, or the string itself
          model[v] += model[w];
          break;
        case 3:
          kxs_append(vars[v], conventional_temp_of(piece));
          model[v] += piece;
          break;
        case 4: {
          // A neighbour is made above the growing strings, sometimes below
          // another temporary of the same statement.
          kxs* result = temp_of(piece);
          if (rng() % 2) temp_of(pieces);
          kxs_set(vars[w], result);
          model[w] = piece;
          break;
        }
        case 5:
          kxs_set(vars[v], literal_of(""));
          model[v].clear();
          break;
        case 6:
          kxs_append_txt_len(vars[v], pieces.data(), static_cast<int32_t>(piece.size()));
          model[v] += piece;
          break;
        case 8: {
          // A function's local string, built by appends, becomes its result:
          // the variable takes over its text and its spare bytes.
          kxs* local = variable_of("");
          for (int i = 0; i < 3; ++i)
            kxs_append_txt_len(local, piece.data(), static_cast<int32_t>(piece.size()));
          kxs_set(vars[w], kxs_maketmp(local));
          model[w] = piece + piece + piece;
          break;
        }
        case 9:
          // Compaction moves strings down over the others' spare bytes.
          if (rng() % 4 == 0) kxs_concat(0);
          break;
        default:
          kxs_append(vars[v], temp_of(""));
      }
      ASSERT_TRUE(pool_invariants_hold()) << "seed " << seed << " step " << step << " before the sweep";
      kxs_cleanup(mark, 0);
      ASSERT_EQ(new_error.load(), 0u);
      for (size_t i = 0; i < 5; ++i) ASSERT_EQ(text_of(vars[i]), model[i]) << "seed " << seed << " step " << step;
      ASSERT_TRUE(pool_invariants_hold()) << "seed " << seed << " step " << step;
    }
  }
}

TEST_F(string_append, BuildingALongStringMovesItRarely) {
  // s = s + "x" and s = s + <new temporary>, 100,000 times each, with a
  // second variable made after s: s moves only a logarithmic number of
  // times, which is what makes building a string linear.
  for (const bool temporary : {false, true}) {
    kxs* s = variable_of("");
    kxs* other = variable_of("");
    kxs_set(other, temp_of("neighbour"));
    int moves = 0;
    const uint8_t* last = s->chars;
    for (int i = 0; i < 100000; ++i) {
      const uint32_t mark = kxs_tmp_list_nexti;
      append_one(s, temporary);
      kxs_cleanup(mark, 0);
      if (s->chars != last) ++moves;
      last = s->chars;
    }
    EXPECT_EQ(s->length, 100000);
    EXPECT_EQ(text_of(s), std::string(100000, temporary ? 'y' : 'x'));
    EXPECT_LE(moves, 40) << (temporary ? "temporary" : "literal");
    EXPECT_TRUE(pool_invariants_hold());
  }
}

TEST_F(string_append, AVariableAssignedAfterEachAppendDoesNotMakeItMove) {
  // s = s + x, then t = <a new temporary>, 20,000 times: t takes the pool's
  // place behind s at every statement, and still s moves only a logarithmic
  // number of times, and the free slots t leaves behind it are packed away
  // rather than making the list grow.
  for (const bool temporary : {false, true}) {
    kxs* s = variable_of("");
    kxs* t = variable_of("");
    int moves = 0;
    const uint8_t* last = s->chars;
    for (int i = 0; i < 20000; ++i) {
      const uint32_t mark = kxs_tmp_list_nexti;
      append_one(s, temporary);
      kxs_cleanup(mark, 0);
      kxs_set(t, temp_of(std::string(1 + i % 3, static_cast<char>('A' + i % 26))));
      kxs_cleanup(mark, 0);
      if (s->chars != last) ++moves;
      last = s->chars;
    }
    EXPECT_EQ(text_of(s), std::string(20000, temporary ? 'y' : 'x'));
    EXPECT_EQ(text_of(t), std::string(1 + 19999 % 3, static_cast<char>('A' + 19999 % 26)));
    EXPECT_LE(moves, 40) << (temporary ? "temporary" : "literal");
    EXPECT_EQ(kxs_list_lasti, kxs_list_initial_lasti);
    EXPECT_TRUE(pool_invariants_hold());
  }
}

TEST_F(string_append, ATemporaryDestinationGrowsAndIsStillSwept) {
  const uint32_t mark = kxs_tmp_list_nexti;
  kxs* t = temp_of("ab");
  EXPECT_EQ(kxs_append_txt_len(t, "cd", 2), t);
  EXPECT_EQ(kxs_append(t, temp_of(std::string(100, 'e'))), t);  // past the slack: it moves
  EXPECT_EQ(text_of(t), "abcd" + std::string(100, 'e'));
  EXPECT_TRUE(is_live_temp(t));
  kxs_cleanup(mark, 0);
  EXPECT_EQ(kxs_tmp_list_nexti, mark);
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_append, OtherDestinationsKeepThePlainMeaning) {
  uint8_t storage[4] = {'a', 'b', 'c', 'd'};
  kxs* fixed = kxs_new_fixed(storage, 4, 0);
  kxs_append(fixed, literal_of("zz"));  // fixed length: the sum is cut to 4
  kxs_append_txt_len(fixed, "zz", 2);
  EXPECT_EQ(text_of(fixed), "abcd");
  kxs* conventional = kxs_new_cmem(0, 0);
  kxs_append(conventional, literal_of("ab"));
  kxs_append(conventional, temp_of("cd"));
  kxs_append_txt_len(conventional, "ef", 2);
  EXPECT_EQ(text_of(conventional), "abcdef");
  EXPECT_TRUE(conventional->in_conventional);
  const auto [length, offset] = legacy_words(conventional);
  EXPECT_EQ(length, 6);
  EXPECT_EQ(offset, conventional->chars - dblock);
  kxs* s = variable_of("ab");
  kxs_append(s, s);
  EXPECT_EQ(text_of(s), "abab");
  kxs* empty_temp = temp_of("");
  EXPECT_EQ(kxs_append(s, empty_temp), s);
  EXPECT_TRUE(is_live_temp(empty_temp));  // left to the sweep, as kxs_add leaves it
  kxs* x = temp_of("!");
  kxs_append(s, x);
  EXPECT_FALSE(is_live_temp(x));  // consumed
  EXPECT_EQ(text_of(s), "abab!");
  kxs_cleanup(1, 0);
  EXPECT_TRUE(pool_invariants_hold());
}
