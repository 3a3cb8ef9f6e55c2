#pragma once
// Characters of loaded fonts on pixel images: one character rendered by
// the font engine, and its coverage painted with the image's colours and
// print mode.
#include <cstdint>

struct img_struct;

namespace kx {

// A coverage bitmap from the engine, freed with the record.
struct rendered_glyph {
  uint8_t* coverage = nullptr;
  int32_t w = 0, h = 0;
  rendered_glyph() = default;
  rendered_glyph(const rendered_glyph&) = delete;
  rendered_glyph& operator=(const rendered_glyph&) = delete;
  ~rendered_glyph();
};

// Loaded fonts are numbers from 32 up with an engine handle.
bool is_loaded_font(uint32_t font_number);
// Glyphs are drawn without blending on palette images, on 32-bit images
// with _DONTBLEND, and for fonts that ask for it (flag 8).
bool paints_monochrome(const img_struct& image);
// Renders character c of the image's font (reduced to 8 bits unless the
// font takes Unicode); false when the engine fails.
bool render_character(const img_struct& image, uint32_t c, rendered_glyph& out);
// Pixel width of c in the image's loaded font: the fixed width, else the
// rendered glyph's width (0 when the engine fails).
int32_t loaded_character_width(const img_struct& image, uint32_t c);
// Paints the coverage at pixel (x0, y0), clipped to the image: monochrome
// as a glyph by print mode, else glyph pixels in `color` with alpha by
// coverage (mode 1), background pixels in `background_color` by the
// coverage's complement (mode 2), or each channel and alpha between the
// two by coverage (mode 3).
void paint_coverage(img_struct& image, int32_t x0, int32_t y0, const rendered_glyph& glyph);

}  // namespace kx
