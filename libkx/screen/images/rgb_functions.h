#pragma once
// Colours as numbers: _RGB, _RGBA, their components, the nearest palette
// entry, and reading and copying palettes. An optional image argument is
// flagged by passed bit 1 and defaults to the write page.
#include <cstdint>

struct img_struct;

// The lowest-indexed nearest of the image's first 16 (text) or mask + 1
// entries; components 0-255.
uint32_t matchcol(int32_t r, int32_t g, int32_t b, const img_struct* image);
uint32_t matchcol(int32_t r, int32_t g, int32_t b);

uint32_t func__rgb(int32_t r, int32_t g, int32_t b, int32_t image, int32_t passed);
uint32_t func__rgba(int32_t r, int32_t g, int32_t b, int32_t a, int32_t image, int32_t passed);
int32_t func__alpha(uint32_t colour, int32_t image, int32_t passed);
int32_t func__red(uint32_t colour, int32_t image, int32_t passed);
int32_t func__green(uint32_t colour, int32_t image, int32_t passed);
int32_t func__blue(uint32_t colour, int32_t image, int32_t passed);

uint32_t func__palettecolor(int32_t n, int32_t image, int32_t passed);
void sub__palettecolor(int32_t n, uint32_t value, int32_t image, int32_t passed);
// _COPYPALETTE [source[, destination]]: passed bits 1 and 2.
void sub__copypalette(int32_t source, int32_t destination, int32_t passed);

namespace kx {
// The image argument of a colour function: given (bit 1 of passed) or the
// write page; null after error 258.
img_struct* optional_image(int32_t image, int32_t passed, int32_t bit = 1);
}  // namespace kx
