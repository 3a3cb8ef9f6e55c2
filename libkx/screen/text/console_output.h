#pragma once
// PRINT on the console image: the bytes go to standard output, and the
// console keeps its column as an 80-column text screen keeps its cursor, so
// print zones, TAB, SPC, POS and the wrapping of long lines come out on the
// terminal line for line as they do on the screen.
#include <cstdint>

struct img_struct;

namespace kx {

// One PRINT item; end_line ends the line after it.
void console_print(img_struct& console, const uint8_t* bytes, int32_t length, bool end_line);
// makefit: a new line first when length characters do not fit on this one.
void console_fit(img_struct& console, int32_t length);
// PRINT's comma: blanks to the next 14-column zone.
void console_next_zone(img_struct& console);
// The terminal is at the start of a line (the user ended a typed line).
void console_line_started(img_struct& console);

}  // namespace kx
