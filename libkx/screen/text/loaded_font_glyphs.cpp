#include "screen/text/loaded_font_glyphs.h"

#include <cstdlib>

#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/images/blend.h"
#include "screen/images/image_record.h"

namespace {

constexpr uint32_t fontflag_monochrome = fontflag_no_smoothing;

uint32_t alpha_of(uint32_t c) { return c >> 24; }

// colour with its alpha scaled by weight 0-255: (alpha + 1) * weight / 256.
uint32_t weighted(uint32_t colour, uint32_t weight) {
  const uint32_t a = (alpha_of(colour) + 1) * weight / 256;
  return (colour & 0xFFFFFFu) | (a << 24);
}

// Between background and ink by coverage c, each channel weighted by its
// colour's alpha so that a transparent end adds no colour.
uint32_t interpolate(uint32_t background, uint32_t ink, uint32_t c) {
  const uint32_t ba = alpha_of(background), ia = alpha_of(ink);
  const uint32_t a = (ba * (255 - c) + ia * c + 127) / 255;
  uint32_t out = a << 24;
  const uint32_t total = ba * (255 - c) + ia * c;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t bc = (background >> shift) & 0xFF, ic = (ink >> shift) & 0xFF;
    const uint32_t v = total ? (bc * ba * (255 - c) + ic * ia * c + total / 2) / total : 0;
    out |= v << shift;
  }
  return out;
}

}  // namespace

kx::rendered_glyph::~rendered_glyph() { std::free(coverage); }

bool kx::is_loaded_font(uint32_t font_number) {
  return font_number >= static_cast<uint32_t>(first_loaded_font) && font_number < font.size() &&
         font[font_number] != 0;
}

bool kx::paints_monochrome(const img_struct& image) {
  return image.bytes_per_pixel != 4 || image.alpha_disabled || (fontflags[image.font] & fontflag_monochrome);
}

bool kx::render_character(const img_struct& image, uint32_t c, rendered_glyph& out) {
  const int32_t handle = font[image.font];
  const int32_t monochrome = paints_monochrome(image) ? 1 : 0;
  int32_t pre_x = 0, post_x = 0;
  int32_t ok = 0;
  if (fontflags[image.font] & fontflag_unicode) {
    ok = FontRenderTextUTF32(handle, &c, 1, monochrome, &out.coverage, &out.w, &out.h, &pre_x, &post_x);
  } else {
    const uint8_t byte = static_cast<uint8_t>(c);
    ok = FontRenderTextASCII(handle, &byte, 1, monochrome, &out.coverage, &out.w, &out.h, &pre_x, &post_x);
  }
  if (ok && out.coverage && out.w >= 0 && out.h >= 0) return true;
  std::free(out.coverage);
  out.coverage = nullptr;
  out.w = out.h = 0;
  return false;
}

int32_t kx::loaded_character_width(const img_struct& image, uint32_t c) {
  if (fontwidth[image.font]) return fontwidth[image.font];
  rendered_glyph glyph;
  return render_character(image, c, glyph) ? glyph.w : 0;
}

void kx::paint_coverage(img_struct& image, int32_t x0, int32_t y0, const rendered_glyph& glyph) {
  const bool monochrome = paints_monochrome(image);
  const uint8_t mode = image.print_mode;
  for (int32_t y = 0; y < glyph.h; ++y) {
    const int64_t py = int64_t{y0} + y;
    if (py < 0 || py >= image.height) continue;
    for (int32_t x = 0; x < glyph.w; ++x) {
      const int64_t px = int64_t{x0} + x;
      if (px < 0 || px >= image.width) continue;
      const uint32_t c = glyph.coverage[size_t(y) * glyph.w + x];
      const uint64_t at = uint64_t(py) * image.width + uint64_t(px);
      if (monochrome) {
        const bool ink = c != 0;
        if (ink ? mode == print_mode_only_background : mode == print_mode_keep_background) continue;
        pset_on(image, at, ink ? image.color : image.background_color);
        continue;
      }
      switch (mode) {
        case print_mode_keep_background:
          if (c) pset_on(image, at, weighted(image.color, c));
          break;
        case print_mode_only_background:
          if (c != 255) pset_on(image, at, weighted(image.background_color, 255 - c));
          break;
        default:
          pset_on(image, at, interpolate(image.background_color, image.color, c));
          break;
      }
    }
  }
}
