#include "screen/images/color_statements.h"

#include <cstring>

#include "base/error.h"
#include "screen/images/image_table.h"
#include "screen/images/palettes.h"
#include "values/rounding.h"

namespace {

bool in_range(uint32_t value, uint32_t last) { return value <= last; }

}  // namespace

void kxg_sub_color(uint32_t f, uint32_t b, uint32_t border, int32_t passed) {
  if (new_error.load()) return;
  img_struct& w = *write_page;
  const bool has_f = passed & 1, has_b = passed & 2, has_border = passed & 4;
  if (has_border && w.mode != 0) {
    error(err::illegal_function_call);
    return;
  }
  uint32_t f_last = 15, b_last = 15;
  switch (w.mode) {
    case 0: f_last = 31; break;
    case 1: b_last = UINT32_MAX; break;
    case 2: f_last = 1; break;
    case 9: b_last = 63; break;
    case 10: f_last = 3, b_last = 8; break;
    case 11: f_last = 1, b_last = 1; break;
    case 13:
    case 256: f_last = 255, b_last = 255; break;
    case 32: f_last = b_last = UINT32_MAX; break;
    default: break;
  }
  if ((has_f && !in_range(f, f_last)) || (has_b && !in_range(b, b_last))) {
    error(err::illegal_function_call);
    return;
  }
  switch (w.mode) {
    case 0:
      if (has_f) w.color = f;
      if (has_b) w.background_color = b & 7;
      break;
    case 1:
      // The foreground picks the background colour; the background picks
      // one of the two CGA palettes.
      if (has_f) w.pal[0] = palette_256[f];
      if (has_b) {
        const int odd[3] = {3, 5, 7}, even[3] = {2, 4, 6};
        for (int i = 0; i < 3; ++i) w.pal[i + 1] = palette_256[(b & 1) ? odd[i] : even[i]];
      }
      break;
    case 2:
    case 7:
    case 8:
      if (has_f) w.color = f;
      if (has_b) w.pal[0] = palette_256[b];
      break;
    case 9:
      if (has_f) w.color = f;
      if (has_b) w.pal[0] = palette_64[b];
      break;
    case 10:
      if (has_f) w.color = f;
      if (has_b) w.pal[4] = b;
      break;
    default:
      if (has_f) w.color = f;
      if (has_b) w.background_color = b;
      break;
  }
  if (has_f) w.draw_color = w.color;
}

bool kx::vga_colour_entry(uint32_t vga, uint32_t* entry) {
  if (vga & 0xFFC0C0C0) return false;
  const auto convert = [](uint32_t v) {
    return static_cast<uint32_t>(kxr(v * 4.0634918212890625 - 0.49999991059303284));
  };
  const uint32_t red = convert(vga & 63), green = convert((vga >> 8) & 63), blue = convert((vga >> 16) & 63);
  *entry = red << 16 | green << 8 | blue;
  return true;
}

void kxg_palette(uint32_t attribute, int32_t colour, int32_t passed) {
  if (new_error.load()) return;
  img_struct& w = *write_page;
  if (!(passed & 1) && !(passed & 2)) {
    restorepalette(&w);
    return;
  }
  if (w.bytes_per_pixel == 4 || !(passed & 1) || !(passed & 2)) {
    error(err::illegal_function_call);
    return;
  }
  const uint32_t a = attribute & 255;
  const auto c = static_cast<uint32_t>(colour);
  switch (w.mode) {
    case 0:
    case 9:
      if (a > 15 || c > 63) break;
      w.pal[a] = palette_64[c];
      return;
    case 1:
    case 7:
    case 8:
      if (a > 15 || c > 15) break;
      w.pal[a] = palette_256[c];
      return;
    case 2:
      if (a > 1 || c > 15) break;
      w.pal[a] = palette_256[c];
      return;
    case 10:
      if (a > 3 || c > 8) break;
      w.pal[a + 4] = c;
      return;
    case 11:
    case 12:
    case 13:
    case 256: {
      const uint32_t last = w.mode == 11 ? 1 : w.mode == 12 ? 15 : 255;
      uint32_t entry;
      if (a > last || !kx::vga_colour_entry(c, &entry)) break;
      w.pal[a] = entry;
      return;
    }
    default:
      break;
  }
  error(err::illegal_function_call);
}

void sub_paletteusing(const void* first, int64_t available, int32_t element_bits) {
  if (new_error.load()) return;
  img_struct& w = *write_page;
  if (w.bits_per_pixel >= 32 || (element_bits != 16 && element_bits != 32)) {
    error(err::illegal_function_call);
    return;
  }
  const int64_t needed = int64_t{w.mask} + 1;
  if (available < needed || (element_bits == 16 && (w.mode == 11 || w.mode == 12 || w.mode == 13 || w.mode == 256))) {
    error(err::illegal_function_call);
    return;
  }
  const auto* bytes = static_cast<const uint8_t*>(first);
  for (int64_t attribute = 0; attribute < needed; ++attribute) {
    int32_t value;
    if (element_bits == 16) {
      int16_t v;
      std::memcpy(&v, bytes + attribute * 2, 2);
      value = v;
    } else {
      std::memcpy(&value, bytes + attribute * 4, 4);
    }
    if (value == -1) continue;
    if (value < -1) {
      error(err::illegal_function_call);
      return;
    }
    kxg_palette(static_cast<uint32_t>(attribute), value, 3);
    if (new_error.load()) return;
  }
}
