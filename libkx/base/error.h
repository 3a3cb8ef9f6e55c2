#pragma once
// The one entry point through which every part of the runtime raises a
// numbered error, and the state it leaves for the statement check.
#include <atomic>
#include <cstdint>
#include <string_view>

#include "base/error_numbers.h"

// The pending error number, 0 = none. While it is set every runtime
// operation returns at once, so the rest of a failing statement does nothing.
inline std::atomic<uint32_t> new_error{0};

// Raises error n (an err:: number). Critical numbers show their box and end
// the process at once (status 0). Otherwise the first error wins, 0 and
// below become an illegal function call, and the next statement check
// handles it.
void error(int32_t n);

// A division by zero in a compiled expression (/, \, MOD): the ordinary
// error 11, which the program's handler may trap. error(11) is the
// processor's arithmetic fault, which is critical.
void error_division_by_zero_in_expression();
// Whether n is raised like an ordinary error but never trapped: the program
// ends after its report.
constexpr bool is_untrappable_error(uint32_t n) {
  return n >= uint32_t{err::first_untrappable} && n <= uint32_t{err::last_untrappable};
}

// The text of an ordinary or untrappable error as the report prints it
// ("Unprintable error" for numbers without one).
std::string_view error_text(uint32_t n);

// The numbers that end the process at once, with their box's text and caption.
struct critical_error_info {
  std::string_view text;
  std::string_view caption;
};
// Returns true and fills info when n is immediately critical.
bool critical_error_lookup(int32_t n, critical_error_info* info);

// _ASSERT: with assertions off (as in this program) it does nothing.
void sub__assert(int32_t condition, std::string_view message, int32_t passed);
