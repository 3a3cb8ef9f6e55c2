#pragma once
// Code page 437, the character set of every text cell, and its relation to
// Unicode (used by loaded fonts, the clipboard and keyboard input).
#include <cstdint>

// Index = code page 437 byte. Positions 1-31 and 127 hold the PC's graphic
// symbols (1 = U+263A ... 127 = U+2302); 0 and 255 are blank and hold U+0020.
extern const uint16_t codepage437_to_unicode16[256];

// The first position of codepage437_to_unicode16 holding code, or 0 when
// none does. A space therefore gives 0, the first blank position.
uint8_t unicode_to_cp437(uint32_t code);
