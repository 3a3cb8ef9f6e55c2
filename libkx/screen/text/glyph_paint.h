#pragma once
// A built-in font's glyph painted on a pixel image at any pixel position,
// by the image's print mode with its colours: PRINT's cells and
// _PRINTSTRING's free placement share it.
#include <cstdint>

struct img_struct;

namespace kx {

// Where a glyph may land: the whole image, or only its VIEW viewport.
enum class glyph_clip { image, viewport };

// Paints character c of the image's built-in font with its top-left corner
// at pixel (x0, y0). Fonts 9, 15 and 17 have no glyphs of their own: they
// draw the glyphs of 8, 14 and 16 with every pixel doubled in width. An
// image whose font is not built in is left alone.
void paint_builtin_glyph(img_struct& image, int64_t x0, int64_t y0, uint8_t c, glyph_clip clip);

}  // namespace kx
