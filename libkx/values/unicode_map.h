#pragma once
// The program's own mapping of code page 437 to Unicode: starts as the
// standard table and is changed by _MAPUNICODE. Text that leaves the
// program (the clipboard) is converted through it. Entries are atomic: the
// window thread reads them while the program may change them.
#include <cstdint>

// _MAPUNICODE code TO index, and _MAPUNICODE(index).
void sub__mapunicode(int32_t code, int32_t index);
int32_t func__mapunicode(int32_t index);

namespace kx {
uint16_t mapped_unicode(uint8_t index);
// The first position mapped to code, or -1 when none is.
int32_t mapped_position(uint32_t code);
// Back to the standard table (start-up, tests).
void unicode_map_reset();
}  // namespace kx
