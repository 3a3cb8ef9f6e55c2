#pragma once
// DATE$ and TIME$ from the operating system's local time. Setting them is
// accepted and changes nothing: the program does not own the clock.
#include <ctime>

struct kxs;

// "MM-DD-YYYY" and "HH:MM:SS" (hours 0 to 23); error 5 and an empty result
// when the clock cannot be read or converted.
kxs* func_date();
kxs* func_time();
void sub_date(kxs* s);
void sub_time(kxs* s);

namespace kx {
// Fills the local time of now; false when the clock fails. Replaceable so
// that a failing clock can be tried.
using local_clock = bool (*)(std::tm* out);
bool system_local_clock(std::tm* out);
inline local_clock date_time_clock = system_local_clock;
}  // namespace kx
