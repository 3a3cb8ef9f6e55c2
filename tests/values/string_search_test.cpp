#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "string_kinds.h"
#include "values/string_search.h"

using string_search = fresh_memory;

namespace {

int instr(std::string_view s, std::string_view t) { return func_instr(0, literal_of(s), literal_of(t), 0); }
int instr(int start, std::string_view s, std::string_view t) { return func_instr(start, literal_of(s), literal_of(t), 1); }
int instrrev(std::string_view s, std::string_view t) { return func__instrrev(0, literal_of(s), literal_of(t), 0); }
int instrrev(int start, std::string_view s, std::string_view t) {
  return func__instrrev(start, literal_of(s), literal_of(t), 1);
}

// The last occurrence of t beginning at or before start (1-based) by brute force.
int last_at_or_before(std::string_view s, std::string_view t, int start) {
  int found = 0;
  for (int p = 1; p <= start && p - 1 + static_cast<int>(t.size()) <= static_cast<int>(s.size()); ++p)
    if (s.substr(static_cast<size_t>(p - 1), t.size()) == t) found = p;
  return found;
}

}  // namespace

TEST_F(string_search, InstrPositionsAndEmptyCases) {
  EXPECT_EQ(instr("ABCABC", "C"), 3);
  EXPECT_EQ(instr(4, "ABCABC", "C"), 6);
  EXPECT_EQ(instr(3, "ABC", ""), 3);
  EXPECT_EQ(instr("", ""), 0);
  EXPECT_EQ(instr(2, "ABCD", "CDE"), 0);  // does not fit
  EXPECT_EQ(instr(INT_MAX, "ABC", "C"), 0);
  EXPECT_EQ(instr(INT_MIN, "ABC", "C"), 3);
  EXPECT_EQ(instr(std::string_view("a\0b\xFF", 4), std::string_view("\0b\xFF", 3)), 2);
  EXPECT_EQ(instr("aaab", "aab"), 2);
}

TEST_F(string_search, InstrrevPositionsAndEmptyCases) {
  EXPECT_EQ(instrrev("ABCABC", "C"), 6);
  EXPECT_EQ(instrrev(5, "ABCABC", "C"), 3);
  EXPECT_EQ(instrrev("ABC", ""), 3);
  EXPECT_EQ(instrrev(2, "ABC", ""), 1);
  EXPECT_EQ(instrrev("ABC", "ABC"), 1);
  EXPECT_EQ(instrrev("", ""), 0);
  EXPECT_EQ(instrrev(99, "ABCABC", "AB"), 4);  // out of range: from the end
  EXPECT_EQ(instrrev(INT_MIN, "xAAAx", "AA"), 3);
  EXPECT_EQ(instrrev(3, "AAAA", "AA"), 3);  // overlapping occurrences
}

TEST_F(string_search, BothAgreeWithBruteForceOnRandomStrings) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    const uint32_t mark = kxs_tmp_list_nexti;
    std::string s(rng() % 12, 'a'), t(rng() % 4, 'a');
    for (char& c : s) c = static_cast<char>('a' + rng() % 2);
    for (char& c : t) c = static_cast<char>('a' + rng() % 2);
    const int start = static_cast<int>(rng() % 16) - 2;
    // INSTR by brute force.
    int expected = 0;
    if (!s.empty()) {
      const int from = start <= 0 ? (t.empty() ? -1 : 1) : start;
      if (from > 0 && from <= static_cast<int>(s.size())) {
        if (t.empty()) {
          expected = from;
        } else {
          const size_t at = s.find(t, static_cast<size_t>(from - 1));
          expected = at == std::string::npos ? 0 : static_cast<int>(at) + 1;
        }
      }
    }
    ASSERT_EQ(instr(start, s, t), expected) << s << " / " << t << " from " << start;
    if (!t.empty() && t.size() <= s.size()) {
      const int last_fit = static_cast<int>(s.size() - t.size()) + 1;
      const int from = start < 1 || start > static_cast<int>(s.size()) ? last_fit : std::min(start, last_fit);
      ASSERT_EQ(instrrev(start, s, t), last_at_or_before(s, t, from)) << s << " / " << t << " from " << start;
    }
    kxs_cleanup(mark, 0);
  }
  EXPECT_TRUE(pool_invariants_hold());
}

TEST_F(string_search, InstrrevOfALongSelfOverlappingNeedleStaysLinear) {
  // Every position is a hit: stepping from hit to hit would compare the
  // whole needle at each one.
  const std::string s(1 << 20, 'A');
  const std::string t(1 << 19, 'A');
  EXPECT_EQ(instrrev(s, t), (1 << 19) + 1);
  EXPECT_EQ(instrrev(10, s, t), 10);
  EXPECT_EQ(instr(10, s, t), 10);
}
