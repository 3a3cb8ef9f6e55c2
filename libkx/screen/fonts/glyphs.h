#pragma once
// The built-in code page 437 character sets that text pages and the
// built-in fonts draw with. One byte per pixel (0 = background, 255 = ink),
// 8 pixels to a row, rows top first, glyphs in code page order. The data is
// generated from console fonts by tools/fontgen (see GLYPHS-ORIGIN.md).
#include <cstdint>

inline constexpr int glyph_width = 8;
inline constexpr int charset8_glyph_height = 8;
inline constexpr int chrset16_glyph_height = 16;

// 256 glyphs of 8 x 8 (font 8 and, doubled, font 9).
extern const uint8_t file_charset8_raw[256 * 8 * 8];
// 256 glyphs of 8 x 16 (fonts 16 and 17; rows 1-14 give fonts 14 and 15).
extern const uint8_t file_chrset16_raw[256 * 16 * 8];
