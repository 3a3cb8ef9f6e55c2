// READ over DATA: the numeric token, its conversion to every type, READ's
// errors and the read position returning to a failed item.
#include <gtest/gtest.h>

#include <string>

#include "string_kinds.h"
#include "values/numeric_token.h"
#include "values/read_data.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;

constexpr int32_t INTEGER = 16, LONG = 32, BYTE = 8;
constexpr int32_t UINTEGER = 16 | tc::is_unsigned, UBYTE = 8 | tc::is_unsigned;
constexpr int32_t SINGLE = 32 | tc::is_floating, DOUBLE = 64 | tc::is_floating, FLOAT = 256 | tc::is_floating;

class read_data : public fresh_memory {
 protected:
  void use(std::string text) {
    data_ = std::move(text);
    position_ = 0;
  }
  kx_float read_float(int32_t type) { return func_read_float(bytes(), &position_, length(), type); }
  int64_t read_int64() { return func_read_int64(bytes(), &position_, length()); }
  uint64_t read_uint64() { return func_read_uint64(bytes(), &position_, length()); }
  std::string read_string() {
    kxs* s = kxs_new(0, 0);
    sub_read_string(bytes(), &position_, length(), s);
    std::string text = text_of(s);
    kxs_free(s);
    return text;
  }
  const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(data_.data()); }
  int64_t length() const { return static_cast<int64_t>(data_.size()); }

  std::string data_;
  int64_t position_ = 0;
};

// The token of a single item, as READ builds it.
std::string token_of(const std::string& item, int32_t* result) {
  int64_t position = 0;
  *result = n_inputnumberfromdata(reinterpret_cast<const uint8_t*>(item.data()), &position,
                                  static_cast<int64_t>(item.size()));
  return std::string(n_digit, n_digits);
}

}  // namespace

TEST_F(read_data, TokensKeepSignificantDigitsAndTheFirstDigitsExponent) {
  int32_t result = -1;
  EXPECT_EQ(token_of("0012.50", &result), "1250");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(n_exp, 1);
  EXPECT_EQ(token_of("-0.0025e3", &result), "25");
  EXPECT_EQ(n_exp, 0);
  EXPECT_EQ(n_neg, 1);
  EXPECT_EQ(token_of(".5", &result), "5");
  EXPECT_EQ(n_exp, -1);
  EXPECT_EQ(token_of("7D-2", &result), "7");
  EXPECT_EQ(n_exp, -2);
  EXPECT_EQ(token_of("-0", &result), "");
  EXPECT_EQ(n_neg, 0);  // a token without digits is plain 0
  EXPECT_EQ(n_exp, 0);
  EXPECT_EQ(token_of("&H00fF", &result), "fF");
  EXPECT_EQ(n_hex, n_radix_hex);
  EXPECT_EQ(token_of("&", &result), "");
  EXPECT_EQ(result, 0);
  token_of(std::string(256, '1'), &result);
  EXPECT_EQ(result, 0);
  token_of(std::string(257, '1'), &result);
  EXPECT_EQ(result, 1);
  token_of("1e" + std::string(19, '1'), &result);
  EXPECT_EQ(result, 1);
  token_of("1e0000000000000000000000000001", &result);  // leading exponent zeros are free
  EXPECT_EQ(result, 0);
  for (const char* bad : {"12X", "1 2", "&X1", "&H1G", "--1", "1.2.3", "1e+-2", "+&H1"}) {
    token_of(bad, &result);
    EXPECT_EQ(result, 3) << bad;
  }
  int64_t position = 0;
  EXPECT_EQ(n_inputnumberfromdata(nullptr, &position, 0), 2);
}

TEST_F(read_data, FloatConversionEdges) {
  int32_t result;
  token_of("1.7976931348623157e308", &result);
  EXPECT_EQ(n_float(), 1);
  EXPECT_EQ(n_float_value, 1.7976931348623157e308);
  token_of("1.7976931348623158e308", &result);
  EXPECT_EQ(n_float(), 0);
  token_of("1e309", &result);
  EXPECT_EQ(n_float(), 0);
  token_of("1e-325", &result);
  EXPECT_EQ(n_float(), 1);
  EXPECT_EQ(n_float_value, 0);
  token_of("4.9406564584124654e-324", &result);
  EXPECT_EQ(n_float(), 1);
  EXPECT_EQ(n_float_value, 4.9406564584124654e-324);
  // The first 17 digits decide.
  token_of("0.1000000000000000055511151231257827", &result);
  EXPECT_EQ(n_float(), 1);
  EXPECT_EQ(n_float_value, 0.1);
  token_of("&HFFFFFFFFFFFFFFFF", &result);
  EXPECT_EQ(n_float(), 1);
  EXPECT_EQ(n_float_value, 18446744073709551615.0L);
  token_of("&H10000000000000000", &result);
  EXPECT_EQ(n_float(), 0);
  token_of("&O2000000000000000000000", &result);
  EXPECT_EQ(n_float(), 0);
}

TEST_F(read_data, SixtyFourBitIntegersRoundHalfAwayAndStopAtTheirLimits) {
  use("9223372036854775807,-9223372036854775808,9223372036854775808,2.5,-2.5,0.49,-0.5,1e18,&HFFFFFFFFFFFFFFFF,"
      "9223372036854775807.5");
  EXPECT_EQ(read_int64(), INT64_MAX);
  EXPECT_EQ(read_int64(), INT64_MIN);
  const int64_t at = position_;
  EXPECT_EQ(read_int64(), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(position_, at);  // back at the start of the item
  position_ = static_cast<int64_t>(data_.find("2.5"));
  EXPECT_EQ(read_int64(), 3);
  EXPECT_EQ(read_int64(), -3);
  EXPECT_EQ(read_int64(), 0);
  EXPECT_EQ(read_int64(), -1);
  EXPECT_EQ(read_int64(), 1000000000000000000);
  EXPECT_EQ(read_int64(), -1);
  EXPECT_EQ(read_int64(), 0);  // rounds past the limit
  EXPECT_EQ(take_error(), 6u);

  use("18446744073709551615,18446744073709551616,-0.4,-0.5,-1,&HFFFFFFFFFFFFFFFF,18446744073709551614.5");
  EXPECT_EQ(read_uint64(), UINT64_MAX);
  EXPECT_EQ(read_uint64(), 0u);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("-0.4"));
  EXPECT_EQ(read_uint64(), 0u);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_uint64(), 0u);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("-1"));
  EXPECT_EQ(read_uint64(), 0u);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("&H"));
  EXPECT_EQ(read_uint64(), UINT64_MAX);
  EXPECT_EQ(read_uint64(), UINT64_MAX);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(read_data, SmallerTypesRoundToEvenAndRefuseOverflow) {
  use("&HFFFF,1.5,2.5,32767,32768,-32768,-32769,65535,-0.5,255,256,&HFF,&H1FF,3.402823466E+38,3.5E+38,1e300");
  EXPECT_EQ(read_float(INTEGER), -1);  // a radix pattern with the top bit set
  EXPECT_EQ(read_float(INTEGER), 2);
  EXPECT_EQ(read_float(INTEGER), 2);
  EXPECT_EQ(read_float(INTEGER), 32767);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("-32768"));
  EXPECT_EQ(read_float(INTEGER), -32768);
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("65535"));
  EXPECT_EQ(read_float(UINTEGER), 65535);
  EXPECT_EQ(read_float(UINTEGER), 0);  // -0.5 rounds to -0: it fits
  EXPECT_EQ(read_float(UBYTE), 255);
  EXPECT_EQ(read_float(UBYTE), 0);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("&HFF,"));
  EXPECT_EQ(read_float(BYTE), -1);
  EXPECT_EQ(read_float(BYTE), 0);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("3.40"));
  EXPECT_EQ(read_float(SINGLE), 3.402823466E+38);
  EXPECT_EQ(read_float(SINGLE), 0);
  EXPECT_EQ(take_error(), 6u);
  position_ = static_cast<int64_t>(data_.find("3.5E"));
  EXPECT_EQ(read_float(DOUBLE), 3.5E+38);
  EXPECT_EQ(read_float(FLOAT), 1e300);
  EXPECT_EQ(read_float(LONG), 0);
  EXPECT_EQ(take_error(), 4u);  // no more DATA
}

TEST_F(read_data, MalformedItemsRaiseSyntaxErrorAndCanBeReadAgain) {
  use("12X,5");
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(take_error(), 2u);
  EXPECT_EQ(position_, 0);
  EXPECT_EQ(read_string(), "12X");  // the same item, read again as text
  EXPECT_EQ(read_float(INTEGER), 5);
  use(std::string(300, '1'));
  EXPECT_EQ(read_float(DOUBLE), 0);
  EXPECT_EQ(take_error(), 6u);
  EXPECT_EQ(position_, 0);
  // While an error is pending READ does nothing.
  use("1");
  new_error = 5;
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(position_, 0);
  new_error = 0;
  // Empty items and a lone "&" read as 0.
  use(",&,7");
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(read_float(INTEGER), 0);
  EXPECT_EQ(read_float(INTEGER), 7);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(read_data, StringsQuotedAndPlain) {
  use("abc,\"x,y\",say \"hi\",\"\",,last");
  EXPECT_EQ(read_string(), "abc");
  EXPECT_EQ(read_string(), "x,y");
  EXPECT_EQ(read_string(), "say \"hi\"");
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(read_string(), "last");
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(take_error(), 4u);
  // Text after a closing quotation mark.
  use("\"ab\"c,d");
  EXPECT_EQ(read_string(), "");
  EXPECT_EQ(take_error(), 4u);
  EXPECT_EQ(position_, 0);
  // An unclosed quotation runs to the end.
  use("\"open, still");
  EXPECT_EQ(read_string(), "open, still");
}

TEST_F(read_data, ClearStartsTheDataAgainThroughTheSharedPosition) {
  data_offset = 5;
  use("1,2");
  EXPECT_EQ(func_read_float(bytes(), &data_offset, length(), INTEGER), 0);
  EXPECT_EQ(take_error(), 4u);
  data_offset = 0;
  EXPECT_EQ(func_read_float(bytes(), &data_offset, length(), INTEGER), 1);
  EXPECT_EQ(data_offset, 2);
}
