#pragma once
// The translation of a key and its modifiers into what the BIOS type-ahead
// buffer receives, as a PC keyboard with a US layout produces it.
#include <array>
#include <cstdint>

// Rows 0-255: characters; 256-511: extended keys 0xXX00 (row 256 + XX);
// 512-527: the keypad (row 512 + n for 100256 + n and 200000 + n).
inline constexpr int scancode_rows = 528;

enum scancode_column : int {
  column_row = 0,
  column_scan = 1,
  column_plain = 2,
  column_shift = 3,
  column_ctrl = 4,
  column_alt = 5,
  column_numlock = 6,
  column_numlock_shift = 9,
};

using scancode_row = std::array<int32_t, 10>;
extern const std::array<scancode_row, scancode_rows> scancode_lookup;

// The row of a character, extended or keypad code, or -1 when it has none.
int scancode_row_of(uint32_t code);
