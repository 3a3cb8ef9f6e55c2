#pragma once
// The checks INPUT applies to the text typed for one variable while it is
// being typed: whether the text is (the start of) a value of the variable's
// type, and the value it gives. A text that stops where more must follow
// (after "-", a point, an exponent letter or its sign) is valid.
#include <cstdint>
#include <string_view>

#include "values/rounding.h"

namespace kx {

struct input_value {
  uint64_t pattern = 0;  // integers: the bits to store
  kx_float number = 0;   // floating types
};

// Integers of at most 32 bits, the 64-bit integers and the floating types,
// by the variable's type code; false when the text is refused.
bool check_input_integer(std::string_view text, int32_t type, input_value* value);
bool check_input_integer64(std::string_view text, int32_t type, input_value* value);
bool check_input_floating(std::string_view text, int32_t type, input_value* value);

}  // namespace kx
