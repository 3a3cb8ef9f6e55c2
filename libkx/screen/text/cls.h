#pragma once
// CLS in its forms.
#include <cstdint>

struct img_struct;

// CLS [method][, colour]: passed bit 1 method, bit 2 colour.
void sub_cls(int32_t method, uint32_t colour, int32_t passed);

namespace kx {
// CLS on a given image with a checked method (-1 = none given) and fill
// colour; the printer page is cleared through it without becoming _DEST.
void clear_image(img_struct& image, int32_t method, uint32_t fill);
}  // namespace kx
