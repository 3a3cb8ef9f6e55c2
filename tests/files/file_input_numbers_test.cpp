// INPUT # into numeric variables: items separated by commas, blanks and
// every kind of line end, the end of the file, and the errors.
#include <cstdlib>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "files/file_input.h"
#include "files/file_input_numbers.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;
constexpr int32_t INTEGER = 16, DOUBLE = 64 | tc::is_floating, SINGLE = 32 | tc::is_floating;

using FileNumbers = file_test;

}  // namespace

TEST_F(FileNumbers, ItemsSeparatedByCommasBlanksAndLineEnds) {
  write_file("n.txt", "1,2  3\r\n-4.5e1\n&HFF , 6\r7\n\r8 ,\t9");
  open("n.txt", INPUT, 1);
  std::vector<kx_float> got;
  for (int i = 0; i < 9; ++i) got.push_back(func_file_input_float(1, DOUBLE));
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(got, (std::vector<kx_float>{1, 2, 3, -45, 255, 6, 7, 8, 9}));
  EXPECT_EQ(func_file_input_float(1, DOUBLE), 0);
  EXPECT_EQ(take_error(), 62u);  // past the end, which had no line end
}

TEST_F(FileNumbers, TheNumberEndsAtTheFirstByteThatDoesNotFit) {
  write_file("n.txt", "12abc,34\r\n5x 6\r\n\r\n7");
  open("n.txt", INPUT, 1);
  EXPECT_EQ(func_file_input_float(1, INTEGER), 12);  // the rest of the item is passed over
  EXPECT_EQ(func_file_input_float(1, INTEGER), 34);
  EXPECT_EQ(func_file_input_float(1, INTEGER), 5);
  EXPECT_EQ(func_file_input_float(1, INTEGER), 6);   // a blank after the stray bytes separates
  EXPECT_EQ(func_file_input_float(1, INTEGER), 0);   // an empty line is an empty item
  EXPECT_EQ(func_file_input_float(1, INTEGER), 7);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(FileNumbers, EveryTypeAndItsOverflow) {
  write_file("n.txt", "32768,-32768,9223372036854775807,18446744073709551615,-1,3.5E+38,&HFFFF," +
                          std::string(300, '1') + ",5\x1a" "6");
  open("n.txt", INPUT, 1);
  EXPECT_EQ(func_file_input_float(1, INTEGER), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(func_file_input_float(1, INTEGER), -32768);
  EXPECT_EQ(func_file_input_int64(1), INT64_MAX);
  EXPECT_EQ(func_file_input_uint64(1), UINT64_MAX);
  EXPECT_EQ(func_file_input_uint64(1), 0u);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(func_file_input_float(1, SINGLE), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(func_file_input_float(1, INTEGER), -1);
  // Too many digits: error 6, and the item is passed over.
  EXPECT_EQ(func_file_input_float(1, DOUBLE), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(func_file_input_float(1, DOUBLE), 5);
  // The end-of-file byte ends the file.
  EXPECT_EQ(func_file_input_int64(1), 0);
  EXPECT_EQ(take_error(), 62u);
}

TEST_F(FileNumbers, FileChecks) {
  EXPECT_EQ(func_file_input_float(3, INTEGER), 0);
  EXPECT_EQ(take_error(), 52u);
  // A negative number names no file either, for every numeric type.
  EXPECT_EQ(func_file_input_float(-1, DOUBLE), 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(func_file_input_int64(-7), 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(func_file_input_uint64(INT32_MIN), 0u);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(n_inputnumberfromfile(-2), 3);
  EXPECT_EQ(take_error(), 52u);
  open("o.txt", OUTPUT, 2);
  EXPECT_EQ(func_file_input_int64(2), 0);
  EXPECT_EQ(take_error(), 54u);
  EXPECT_EQ(n_inputnumberfromfile(2), 3);
  EXPECT_EQ(take_error(), 54u);
  // Strings and numbers share the channel: a quoted item, then a number.
  write_file("m.txt", "\"a, b\" , 17\r\n  abc  ,def");
  open("m.txt", INPUT, 4);
  kxs* v = kxs_new(0, 0);
  sub_file_input_string(4, v);
  EXPECT_EQ(text_of(v), "a, b");
  EXPECT_EQ(func_file_input_float(4, INTEGER), 17);
  sub_file_input_string(4, v);
  EXPECT_EQ(text_of(v), "abc");
  sub_file_input_string(4, v);
  EXPECT_EQ(text_of(v), "def");
  EXPECT_EQ(take_error(), 0u);
  kxs_free(v);
}

// Numbers are taken from the file's buffered window whole when they lie in
// it, and byte by byte when they reach past it or meet the end-of-file
// byte: a long file, whose numbers cross every refill of the window, reads
// back exactly, in every separator, and the end-of-file byte still ends it.
TEST_F(FileNumbers, ALongFileReadsBackAcrossEveryRefillOfItsWindow) {
  std::string text;
  std::vector<kx_float> want;
  const char* separators[] = {"\r\n", ",", " , ", "\n", "\t,", "  "};
  for (int i = 0; i < 120000; ++i) {
    const int64_t whole = (int64_t(i) * 7919) % 2000003 - 1000000;
    if (i % 3 == 0) {
      text += std::to_string(whole);
      want.push_back(kx_float(whole));
    } else {
      const std::string t = std::to_string(whole) + "." + std::to_string(i % 100) + (i % 3 == 2 ? "E-2" : "");
      text += t;
      want.push_back(std::strtod(t.c_str(), nullptr));
    }
    text += separators[i % 6];
  }
  text += "12\x1a" "34";
  want.push_back(12);
  write_file("long.txt", text);
  open("long.txt", INPUT, 1);
  for (size_t i = 0; i < want.size(); ++i) {
    const kx_float got = func_file_input_float(1, DOUBLE);
    ASSERT_EQ(got, want[i]) << "number " << i;
  }
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_file_input_float(1, DOUBLE), 0);
  EXPECT_EQ(take_error(), 62u);  // the end-of-file byte ends the file
}
