#include "screen/text/glyph_paint.h"

#include "screen/fonts/fonts.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/blend.h"
#include "screen/images/image_record.h"

void kx::paint_builtin_glyph(img_struct& image, int64_t x0, int64_t y0, uint8_t c, glyph_clip clip) {
  const uint32_t font = image.font;
  if (image.text || !is_builtin_font(font)) return;
  const int32_t fw = fontwidth[font], fh = fontheight[font];
  const uint8_t* rows = glyph_rows(font, c);
  const bool doubled = is_doubled_font(font);
  const uint8_t mode = image.print_mode;
  const bool in_view = clip == glyph_clip::viewport;
  for (int32_t y = 0; y < fh; ++y) {
    const int64_t py = y0 + y;
    if (py < 0 || py >= image.height) continue;
    for (int32_t x = 0; x < fw; ++x) {
      const int64_t px = x0 + x;
      if (px < 0 || px >= image.width) continue;
      if (in_view && !in_viewport(image.graphics, static_cast<int32_t>(px), static_cast<int32_t>(py))) continue;
      const bool ink = rows[y * 8 + (doubled ? x / 2 : x)] != 0;
      if (ink ? mode == print_mode_only_background : mode == print_mode_keep_background) continue;
      pset_on(image, uint64_t(py) * image.width + uint64_t(px), ink ? image.color : image.background_color);
    }
  }
}
