#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "string_kinds.h"
#include "values/print_using.h"

using print_using_format = fresh_memory;

namespace {

// Collects what each call hands to its destination.
class recording_destination final : public kx::using_destination {
 public:
  void append(const uint8_t* bytes, size_t length) override {
    text.append(reinterpret_cast<const char*>(bytes), length);
    ++calls;
  }
  std::string text;
  int calls = 0;
};

template <class T>
std::string using_one(std::string_view format, T value) {
  recording_destination d;
  kxs* f = literal_of(format);
  if constexpr (std::is_same_v<T, float>)
    print_using_single(f, value, 0, d);
  else if constexpr (std::is_same_v<T, double>)
    print_using_double(f, value, 0, d);
  else if constexpr (std::is_same_v<T, kx_float>)
    print_using_float(f, value, 0, d);
  else if constexpr (std::is_same_v<T, uint64_t>)
    print_using_uinteger64(f, value, 0, d);
  else if constexpr (std::is_same_v<T, const char*>)
    print_using(f, 0, d, literal_of(value));
  else
    print_using_integer64(f, static_cast<int64_t>(value), 0, d);
  return d.text;
}

struct row {
  const char* format;
  double value;
  const char* single_text;  // the value as SINGLE (exponent letter E)
};

}  // namespace

TEST_F(print_using_format, PlainNumericFields) {
  const row rows[] = {
      {"##.##", 5, " 5.00"},
      {"##.##", -5, "-5.00"},
      {"**$##.##", 5, "***$5.00"},
      {"**$##.##", -5, "**-$5.00"},
      {"$$##.##", -5, " -$5.00"},
      {"$$", 5, "$5"},
      {"**##", 12, "**12"},
      {"#,###.##", 1234.5, "1,234.50"},
      {"##,###", 12, "    12"},
      {"###,###", 1234567, "%1,234,567"},
      {"#,###,###", 1234567, "1,234,567"},
      {"##", 123, "%123"},
      {"##", -12, "%-12"},
      {"#.##", 0.05, "0.05"},
      {"##.##", 0, " 0.00"},
      {".##", 0.5, ".50"},
      {".##", -0.5, "%-.50"},  // no room for the sign
      {"##", 0.3, " 0"},
      {"###", 1.5, "  2"},
      {"###", 2.5, "  3"},
      {"##.#", 99.96, "%100.0"},
      {"#.", 5, "5."},
      {"+##", 5, "+ 5"},
      {"##-", -5, " 5-"},
      {"##-", 5, " 5 "},
      {"##+", 5, " 5+"},
      {"+**##.#", -3.25, "-***3.3"},
  };
  for (const row& r : rows) {
    EXPECT_EQ(using_one(r.format, static_cast<float>(r.value)), r.single_text) << r.format << " " << r.value;
  }
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(print_using_format, RoundingUsesTheExactBinaryValue) {
  // 0.005 as a DOUBLE lies just above the half, as a SINGLE just below it.
  EXPECT_EQ(using_one("#.##", 0.005), "0.01");
  EXPECT_EQ(using_one("#.##", 0.005f), "0.00");
  EXPECT_EQ(using_one("#.#", 0.25), "0.3");  // an exact half goes up
  EXPECT_EQ(using_one("#", 9.5), "%10");  // the carry widens the number
  EXPECT_EQ(using_one("#.##", 1.0 / 3.0), "0.33");
  EXPECT_EQ(using_one("###.####", 2.0 / 3.0), "  0.6667");
}

TEST_F(print_using_format, ExponentFields) {
  EXPECT_EQ(using_one("##.##^^^^", 1234.5f), " 1.23E+03");
  EXPECT_EQ(using_one("##.##^^^^", 1234.5), " 1.23D+03");
  EXPECT_EQ(using_one("##.##^^^^", 0.0f), " 0.00E+00");
  EXPECT_EQ(using_one("+.##^^^^", 123.0f), "+.12E+03");
  EXPECT_EQ(using_one(".####^^^^-", -888888.0f), ".8889E+06-");
  EXPECT_EQ(using_one("###.#^^^^", 1234.5f), " 12.3E+02");
  // No position before the point once the sign has one: a 0 there for a
  // positive value, the "-" for a negative one.
  EXPECT_EQ(using_one("#.##^^^^", 1234.5f), "0.12E+04");
  EXPECT_EQ(using_one("#.##^^^^", -1234.5f), "-.12E+04");
  EXPECT_EQ(using_one("#^^^^", 5.0f), "5E+00");
  EXPECT_EQ(using_one("#^^^^", -5.0f), "%-5E+00");
  EXPECT_EQ(using_one(".#^^^^", 0.5f), " 5E-01");  // the point gives way
  // Rounding that carries moves the exponent.
  EXPECT_EQ(using_one("+#.#^^^^", 9.96), "+1.0D+01");
  // Exponents that need more digits widen and mark the field.
  EXPECT_EQ(using_one("##.##^^^^", 1e100), "% 1.00D+100");
  EXPECT_EQ(using_one("##.##^^^^^", 1e100), " 1.00D+100");
  EXPECT_EQ(using_one("##.##^^^^^", 1e-5), " 1.00D-005");
  EXPECT_EQ(using_one("##.##^^^^", int64_t{-42}), "-4.20E+01");
  EXPECT_EQ(using_one("$##.##^^^^", 5.0f), "$ 5.00E+00");
}

TEST_F(print_using_format, IntegerAndFloatValues) {
  EXPECT_EQ(using_one("#####", INT64_MIN), "%-9223372036854775808");
  EXPECT_EQ(using_one("##", UINT64_MAX), "%18446744073709551615");
  EXPECT_EQ(using_one("#,###", int64_t{-1000}), "%-1,000");
  EXPECT_EQ(using_one("###.##", int64_t{7}), "  7.00");
  EXPECT_EQ(using_one(".##", int64_t{0}), ".00");
  EXPECT_EQ(using_one("##.##", 2.675L), " 2.67");  // 2.675L lies just below the half
  EXPECT_EQ(using_one("##.##", 2.625L), " 2.63");
  // Small _FLOAT values are laid out by their first significant digit, as
  // SINGLE and DOUBLE ones are.
  EXPECT_EQ(using_one("##.##^^^^", 0.001L), " 1.00F-03");
  EXPECT_EQ(using_one("##.##^^^^", 0.001f), " 1.00E-03");
  // A value with thousands of integer digits: the whole number after a %.
  const kx_float huge = std::ldexp(1.0L, 13000);
  std::string whole(5000, '\0');
  whole.resize(static_cast<size_t>(std::snprintf(whole.data(), whole.size(), "%.2Lf", huge)));
  ASSERT_EQ(whole.size(), 3914u + 3u);
  EXPECT_EQ(using_one("##.##", huge), "%" + whole);
  EXPECT_EQ(using_one("##.##^^^^", huge), "% 2.45F+3913");
  EXPECT_EQ(using_one("##.##^^^^^", -std::ldexp(1.0L, -13000)), "%-4.07F-3914");
  // Below 1 as well the digits are the exact value's: 0.025L lies just
  // above the half, 0.0005L just below it.
  EXPECT_EQ(using_one("#.##", 0.025L), "0.03");
  EXPECT_EQ(using_one("#.###", 0.0005L), "0.000");
  EXPECT_EQ(using_one("##.##^^^^", std::ldexp(1.0L, -16440)), "% 1.17F-4949");  // a subnormal
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(print_using_format, TextFieldsAndLiterals) {
  EXPECT_EQ(using_one("!", "ABC"), "A");
  EXPECT_EQ(using_one("!", ""), " ");
  EXPECT_EQ(using_one("\\  \\", "AB"), "AB  ");
  EXPECT_EQ(using_one("\\ \\", "ABCDE"), "ABC");
  EXPECT_EQ(using_one("[&]", "x y"), "[x y]");
  EXPECT_EQ(using_one("[&]", ""), "[]");
  EXPECT_EQ(using_one("A_#B&", "x"), "A#Bx");
  EXPECT_EQ(using_one("__&", "x"), "_x");
  EXPECT_EQ(using_one("&_", "x"), "x_");  // an underscore at the end is itself
  EXPECT_EQ(using_one("\\ x\\&", "Q"), "\\ x\\Q");  // not closed by blanks only
  EXPECT_EQ(using_one("$#", int64_t{5}), "$5");
  EXPECT_EQ(using_one("+x#", int64_t{5}), "+x5");
  EXPECT_EQ(using_one("Total: +.x ##", int64_t{5}), "Total: +.x  5");
  EXPECT_EQ(using_one("&", std::string_view("a\0\xFF", 3).data()), "a");  // a C string stops at NUL
  recording_destination d;
  print_using(literal_of("<&>"), 0, d, literal_of(std::string_view("a\0\xFF", 3)));
  EXPECT_EQ(d.text, std::string("<a\0\xFF>", 5));
}

TEST_F(print_using_format, SeveralValuesWalkAndReuseTheFormat) {
  recording_destination d;
  kxs* f = literal_of("X##Y##Z");
  int32_t pos = print_using_integer64(f, 5, 0, d);
  EXPECT_EQ(pos, 4);
  pos = print_using_integer64(f, 6, pos, d);
  EXPECT_EQ(pos, 0);
  pos = print_using_integer64(f, 7, pos, d);
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(d.text, "X 5Y 6ZX 7Y");
  EXPECT_EQ(d.calls, 3);

  recording_destination three;
  kxs* one_field = literal_of("#");
  pos = 0;
  for (int v : {1, 2, 3}) pos = print_using_double(one_field, v, pos, three);
  EXPECT_EQ(three.text, "123");
  EXPECT_EQ(pos, 0);

  // Mixed fields take mixed values; a start inside the format wraps round.
  recording_destination mixed;
  kxs* m = literal_of("& is ###.#!");
  pos = print_using(m, 0, mixed, literal_of("pi"));
  pos = print_using_double(m, 3.14159, pos, mixed);
  pos = print_using(m, pos, mixed, literal_of("!?"));
  EXPECT_EQ(pos, 0);
  EXPECT_EQ(mixed.text, "pi is   3.1!");
  recording_destination wrapped;
  EXPECT_EQ(print_using_single(literal_of("a#b"), 1.0f, 2, wrapped), 0);
  EXPECT_EQ(wrapped.text, "ba1b");

  // No value: the literal text up to the next field.
  recording_destination none;
  EXPECT_EQ(print_using(literal_of("ab#cd"), 0, none, nullptr), 2);
  EXPECT_EQ(print_using(literal_of("no field"), 0, none, nullptr), 0);
  EXPECT_EQ(none.text, "abno field");
  EXPECT_EQ(new_error.load(), 0u);
}

TEST_F(print_using_format, ErrorsKeepWhatWasBuilt) {
  recording_destination d;
  EXPECT_EQ(print_using_integer64(literal_of("no field"), 5, 0, d), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(d.text, "no field");
  recording_destination empty_format;
  print_using_integer64(literal_of(""), 5, 0, empty_format);
  EXPECT_EQ(take_error(), 5u);
  // A start position outside the format counts as the start.
  recording_destination outside;
  EXPECT_EQ(print_using_integer64(literal_of("ab"), 5, 99, outside), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(print_using_integer64(literal_of("<#>"), 5, -4, outside), 0);
  EXPECT_EQ(outside.text, "ab<5>");
  EXPECT_EQ(new_error.load(), 0u);

  recording_destination mismatch;
  print_using(literal_of("A # B"), 0, mismatch, literal_of("s"));
  EXPECT_EQ(take_error(), 13u);
  EXPECT_EQ(mismatch.text, "A ");
  print_using_single(literal_of("<&>"), 1.0f, 0, mismatch);
  EXPECT_EQ(take_error(), 13u);
  EXPECT_EQ(mismatch.text, "A <");

  recording_destination not_a_number;
  EXPECT_EQ(print_using_double(literal_of("x#"), std::numeric_limits<double>::infinity(), 0, not_a_number), 0);
  EXPECT_EQ(take_error(), 5u);
  print_using_single(literal_of("x#"), std::numeric_limits<float>::quiet_NaN(), 0, not_a_number);
  EXPECT_EQ(take_error(), 5u);
  print_using_float(literal_of("x#"), -std::numeric_limits<kx_float>::infinity(), 0, not_a_number);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(not_a_number.calls, 0);

  new_error = 11;
  recording_destination pending;
  EXPECT_EQ(print_using_integer64(literal_of("x#"), 1, 0, pending), 0);
  EXPECT_EQ(print_using(literal_of("x&"), 0, pending, literal_of("s")), 0);
  EXPECT_EQ(pending.calls, 0);
}

TEST_F(print_using_format, DestinationStringAccumulatesTheLine) {
  kxs* line = kxs_new(0, 0);
  kxs* f = literal_of("[##] ");
  int32_t pos = 0;
  for (int v = 1; v <= 40; ++v) pos = print_using_integer64(f, v, pos, line);
  ASSERT_EQ(line->length, 40 * 5);
  EXPECT_EQ(text_of(line).substr(0, 10), "[ 1] [ 2] ");
  EXPECT_EQ(text_of(line).substr(195), "[40] ");
  print_using(literal_of("&!"), 0, line, literal_of("end"));
  EXPECT_EQ(text_of(line).substr(200), "end");
  EXPECT_FALSE(line->is_temp);
  // Constant text is never written.
  static const char constant[] = "keep";
  kxs* lit = literal_of(constant);
  print_using_integer64(literal_of("#"), 1, 0, lit);
  EXPECT_STREQ(constant, "keep");
  EXPECT_EQ(lit->length, 4);
  EXPECT_TRUE(pool_invariants_hold());
}
