// Reverse lookup of the code page table. A linear scan: keyboard input calls
// it once per key, and the table is 512 bytes.
#include "values/codepage437.h"

uint8_t unicode_to_cp437(uint32_t code) {
  for (int position = 0; position < 256; ++position) {
    if (codepage437_to_unicode16[position] == code) return static_cast<uint8_t>(position);
  }
  return 0;
}
