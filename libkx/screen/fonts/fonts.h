#pragma once
// Font metrics by font number, and the built-in glyph sets. Fonts 8, 14 and
// 16 are 8 pixels wide; 9, 15 and 17 are the same glyphs doubled in width
// for the 40-column text modes. Numbers from 32 up are loaded fonts.
#include <cstdint>
#include <vector>

inline constexpr uint32_t fontflag_no_smoothing = 0x08;
inline constexpr uint32_t fontflag_monospace = 0x10;
inline constexpr uint32_t fontflag_unicode = 0x20;

inline constexpr int32_t first_loaded_font = 32;
inline constexpr int32_t lastfont_initial = 48;

// Indexed by font number; a fontwidth of 0 marks a proportional font.
// Application thread; the composer reads the entries of built-in fonts.
extern std::vector<int32_t> fontwidth;
extern std::vector<int32_t> fontheight;
extern std::vector<int32_t> fontflags;
extern int32_t lastfont;

// One byte per pixel, 0 = background, 255 = ink, rows top first.
extern uint8_t charset8x8[256 * 8 * 8];
extern uint8_t charset8x16[256 * 16 * 8];

// Start-up: the metrics of the six built-in fonts.
void font_metrics_init();
// Start-up: copies the glyph tables into the character sets (and packs
// their rows into bit patterns for the composer).
void charsets_init();

namespace kx {

bool is_builtin_font(uint32_t font);
// Glyph pixel (x, y) of character c in a built-in font: font 14 takes rows
// 1-14 of the 8x16 set, and the doubled fonts read column x / 2.
uint8_t glyph_pixel(uint32_t font, uint8_t c, int x, int y);
// The first row of character c's 8-pixel glyph for a built-in font (rows
// follow at 8-byte steps), with the glyph's height in rows.
const uint8_t* glyph_rows(uint32_t font, uint8_t c);
// The same rows as one byte each, leftmost pixel in bit 7, as the
// character sets stood at start-up.
const uint8_t* glyph_row_bits(uint32_t font, uint8_t c);
// Fonts 9, 15 and 17 draw every glyph pixel twice.
constexpr bool is_doubled_font(uint32_t font) { return font == 9 || font == 15 || font == 17; }

}  // namespace kx
