#pragma once
// Alpha blending of 32-bit pixels and the basic pixel write that uses it.
// The blend is computed per pixel; the lookup tables that describe it are
// built only for a caller that asks for them (init_blend), never at
// start-up: they take 16 MB and a fifth of a second to fill.
#include <cstdint>

struct img_struct;

// cblend[(a << 16) | (s << 8) | d]: d * (1 - a/255) + s * a/255, rounded.
extern uint8_t* cblend;
// ablend[(a << 8) | b]: 255 * (1 - (1 - a/255) * (1 - b/255)), rounded.
extern uint8_t* ablend;
extern uint8_t* ablend127;  // row 127 of ablend
extern uint8_t* ablend128;  // row 128 of ablend

// Builds the tables once; false when memory ran out. blend_pixel gives,
// for every input, what a lookup in them gives.
bool init_blend();

// Writes one pixel of the write page without clipping (callers clip).
void pset(int32_t x, int32_t y, uint32_t colour);

namespace kx {
// The pixel write on a given image at byte offset (x + y * width).
void pset_on(img_struct& image, uint64_t pixel, uint32_t colour);

// Both weights are whole multiples of 1/255 and 255 is odd, so an exact
// half never occurs: adding 127 before dividing rounds to nearest, the
// same as the tables' rounded floating-point values.
inline uint32_t mix_channel(uint32_t a, uint32_t s, uint32_t d) { return (d * (255 - a) + s * a + 127) / 255; }
inline uint32_t mix_alpha(uint32_t a, uint32_t b) { return 255 - ((255 - a) * (255 - b) + 127) / 255; }

// old blended with colour as the 32-bit write does it. Inline: image copies
// call it for every pixel that is neither opaque nor clear.
inline uint32_t blend_pixel(uint32_t old, uint32_t colour) {
  const uint32_t a = colour >> 24;
  if (a == 255) return colour;
  if (a == 0) return old;
  const uint32_t alpha = mix_alpha(old >> 24, a) << 24;
  if (a == 127 || a == 128) return (((old & 0xFEFEFE) + (colour & 0xFEFEFE)) >> 1) | alpha;
  uint32_t result = alpha;
  for (int shift = 0; shift <= 16; shift += 8) {
    result |= mix_channel(a, (colour >> shift) & 0xFF, (old >> shift) & 0xFF) << shift;
  }
  return result;
}
}  // namespace kx
