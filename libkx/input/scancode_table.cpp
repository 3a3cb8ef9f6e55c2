#include "input/scancode_table.h"

#include "input/key_codes.h"

namespace {

struct character_key {
  int32_t scan;
  int32_t plain;
  int32_t shifted;
};

// The keys of scan-code set 1 that produce characters.
constexpr character_key character_keys[] = {
    {1, 27, 27},    {2, 49, 33},    {3, 50, 64},    {4, 51, 35},   {5, 52, 36},    {6, 53, 37},
    {7, 54, 94},    {8, 55, 38},    {9, 56, 42},    {10, 57, 40},  {11, 48, 41},   {12, 45, 95},
    {13, 61, 43},   {14, 8, 8},     {15, 9, 9},     {16, 'q', 'Q'}, {17, 'w', 'W'}, {18, 'e', 'E'},
    {19, 'r', 'R'}, {20, 't', 'T'}, {21, 'y', 'Y'}, {22, 'u', 'U'}, {23, 'i', 'I'}, {24, 'o', 'O'},
    {25, 'p', 'P'}, {26, 91, 123},  {27, 93, 125},  {28, 13, 13},  {30, 'a', 'A'}, {31, 's', 'S'},
    {32, 'd', 'D'}, {33, 'f', 'F'}, {34, 'g', 'G'}, {35, 'h', 'H'}, {36, 'j', 'J'}, {37, 'k', 'K'},
    {38, 'l', 'L'}, {39, 59, 58},   {40, 39, 34},   {41, 96, 126}, {43, 92, 124},  {44, 'z', 'Z'},
    {45, 'x', 'X'}, {46, 'c', 'C'}, {47, 'v', 'V'}, {48, 'b', 'B'}, {49, 'n', 'N'}, {50, 'm', 'M'},
    {51, 44, 60},   {52, 46, 62},   {53, 47, 63},   {57, 32, 32},
};

constexpr int32_t ctrl_translation(int32_t c, int32_t scan) {
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  switch (c) {
    case 91: case 123: return 27;
    case 92: case 124: return 28;
    case 93: case 125: return 29;
    case 54: case 94: return 30;
    case 45: case 95: return 31;
    case 50: case 64: return 0x0300;
    case 32: return 32;
    case 27: return 27;
    case 8: return 127;
    case 9: return 0x9400;
    case 13: return 10;
    default: return 0;
  }
}

constexpr int32_t alt_translation(int32_t c, int32_t scan) {
  if (scan >= 2 && scan <= 13) return (scan + 118) * 256;
  if (c == 9 || c == 13 || c == 27 || c == 32) return 0;
  return scan * 256;
}

struct extended_key {
  uint32_t code;
  int32_t scan, plain, shifted, ctrl, alt;
};

constexpr extended_key extended_keys[] = {
    {key::f11, 87, 0x8500, 0x8500, 0x8900, 0x8B00},       {key::f12, 88, 0x8600, 0x8600, 0x8A00, 0x8C00},
    {key::home, 71, 0x4700, 0x4700, 0x7700, 0x9700},      {key::up, 72, 0x4800, 0x4800, 0x8D00, 0x9800},
    {key::page_up, 73, 0x4900, 0x4900, 0x8400, 0x9900},   {key::left, 75, 0x4B00, 0x4B00, 0x7300, 0x9B00},
    {key::right, 77, 0x4D00, 0x4D00, 0x7400, 0x9D00},     {key::end, 79, 0x4F00, 0x4F00, 0x7500, 0x9F00},
    {key::down, 80, 0x5000, 0x5000, 0x9100, 0xA000},      {key::page_down, 81, 0x5100, 0x5100, 0x7600, 0xA100},
    {key::insert, 82, 0x5200, 0x5200, 0x9200, 0xA200},    {key::del, 83, 0x5300, 0x5300, 0x9300, 0xA300},
};

struct keypad_key {
  int32_t scan, plain, shifted, ctrl, alt, numlock, numlock_shift;
};

constexpr keypad_key keypad_keys[16] = {
    {82, 0x5200, 48, 0x9200, 0, 48, 0x5200}, {79, 0x4F00, 49, 0x7500, 0, 49, 0x4F00},
    {80, 0x5000, 50, 0x9100, 0, 50, 0x5000}, {81, 0x5100, 51, 0x7600, 0, 51, 0x5100},
    {75, 0x4B00, 52, 0x7300, 0, 52, 0x4B00}, {76, 0x4C00, 53, 0x8F00, 0, 53, 0x4C00},
    {77, 0x4D00, 54, 0x7400, 0, 54, 0x4D00}, {71, 0x4700, 55, 0x7700, 0, 55, 0x4700},
    {72, 0x4800, 56, 0x8D00, 0, 56, 0x4800}, {73, 0x4900, 57, 0x8400, 0, 57, 0x4900},
    {83, 0x5300, 46, 0x9300, 0, 46, 0x5300}, {53, 47, 47, 0x9500, 0xA400, 47, 47},
    {55, 42, 42, 0x9600, 0x3700, 42, 42},    {74, 45, 45, 0x8E00, 0x4A00, 45, 45},
    {78, 43, 43, 0x9000, 0x4E00, 43, 43},    {28, 13, 13, 10, 0xA600, 13, 13},
};

constexpr std::array<scancode_row, scancode_rows> build_table() {
  std::array<scancode_row, scancode_rows> table{};
  for (int r = 0; r < scancode_rows; ++r) table[r][column_row] = r;
  for (const auto& k : character_keys) {
    for (int32_t c : {k.plain, k.shifted}) {
      auto& row = table[c];
      row[column_scan] = k.scan;
      row[column_plain] = c;
      row[column_shift] = c;
      row[column_ctrl] = ctrl_translation(c, k.scan);
      row[column_alt] = alt_translation(c, k.scan);
    }
  }
  table[9][column_shift] = 0x0F00;  // Shift+Tab
  for (int k = 0; k < 10; ++k) {
    auto& row = table[256 + 0x3B + k];
    row[column_scan] = 59 + k;
    row[column_plain] = 0x3B00 + 256 * k;
    row[column_shift] = 0x5400 + 256 * k;
    row[column_ctrl] = 0x5E00 + 256 * k;
    row[column_alt] = 0x6800 + 256 * k;
  }
  for (const auto& k : extended_keys) {
    auto& row = table[256 + (k.code >> 8)];
    row[column_scan] = k.scan;
    row[column_plain] = k.plain;
    row[column_shift] = k.shifted;
    row[column_ctrl] = k.ctrl;
    row[column_alt] = k.alt;
  }
  for (int n = 0; n < 16; ++n) {
    const auto& k = keypad_keys[n];
    auto& row = table[512 + n];
    row[column_scan] = k.scan;
    row[column_plain] = k.plain;
    row[column_shift] = k.shifted;
    row[column_ctrl] = k.ctrl;
    row[column_alt] = k.alt;
    row[column_numlock] = k.numlock;
    row[column_numlock_shift] = k.numlock_shift;
  }
  return table;
}

}  // namespace

constexpr std::array<scancode_row, scancode_rows> scancode_lookup = build_table();

int scancode_row_of(uint32_t code) {
  if (key::is_character(code)) return static_cast<int>(code);
  if (key::is_extended(code)) return 256 + static_cast<int>(code >> 8);
  if (key::is_keypad_numlock_on(code)) return 512 + static_cast<int>(code - key::keypad_0);
  if (key::is_keypad_numlock_off(code)) return 512 + static_cast<int>(code - key::keypad_nl_off_insert);
  return -1;
}
