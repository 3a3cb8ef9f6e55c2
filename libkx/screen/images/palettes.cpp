#include "screen/images/palettes.h"

#include <cstring>

#include "screen/images/image_record.h"
#include "screen/images/palette_tables.h"

uint32_t palette_256[256];
uint32_t palette_64[64];

namespace {
constexpr uint32_t opaque = 0xFF000000;
}

void palettes_init() {
  for (int i = 0; i < 256; ++i) palette_256[i] = file_tarn_pal[static_cast<size_t>(i)] | opaque;
  for (int i = 0; i < 64; ++i) palette_64[i] = file_tarnega_pal[static_cast<size_t>(i)] | opaque;
}

void restorepalette(img_struct* image) {
  uint32_t* pal = image->pal;
  if (image->bytes_per_pixel == 4 || !pal) return;
  switch (image->mode) {
    case 1: {
      constexpr int entries[4] = {0, 3, 5, 7};
      for (int i = 0; i < 4; ++i) pal[i] = palette_256[entries[i]];
      break;
    }
    case 2:
    case 11:
      pal[0] = 0x00000000;
      pal[1] = 0x00FFFFFF;
      break;
    case 9: {
      constexpr int entries[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
      for (int i = 0; i < 16; ++i) pal[i] = palette_64[entries[i]];
      break;
    }
    case 10:
      // Entries 4-7 pick each attribute's pair of intensities.
      pal[4] = 0;
      pal[5] = 4;
      pal[6] = 6;
      pal[7] = 8;
      break;
    case 13:
    case 256:
      std::memcpy(pal, palette_256, sizeof palette_256);
      break;
    default:
      std::memcpy(pal, palette_256, 16 * sizeof(uint32_t));
      break;
  }
}
