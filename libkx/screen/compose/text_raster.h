#pragma once
// Draws text cells into a 32-bit frame with the built-in glyphs, the
// palette, blinking and the cursor.
#include <cstdint>

#include "screen/compose/cursor_rule.h"

namespace kx {

struct text_cell_style {
  const uint32_t* palette;  // 256 entries
  bool blink_enabled;       // attribute bit 7 blinks (else bright background)
  bool flashing_phase;      // blinking cells show their background now
};

// Cell (column, row) of a frame that is frame_width pixels wide, with the
// cursor rows given (count 0 for none).
void draw_text_cell(uint32_t* frame, int32_t frame_width, int32_t column, int32_t row, uint32_t font, uint16_t cell,
                    const text_cell_style& style, cursor_rows cursor);

}  // namespace kx
