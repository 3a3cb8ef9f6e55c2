// The default text palette, for naming the colours a picture shows.
#include <array>

#include "screen_reader.h"

namespace kx::screen_reader {
namespace {

// Entries 0-15 of the runtime's 256-colour palette, 0xRRGGBB.
constexpr std::array<uint32_t, 16> default_text_palette = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

}  // namespace

Rgb text_palette_colour(int index) {
  const uint32_t v = default_text_palette.at(static_cast<size_t>(index));
  return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

int text_palette_index(Rgb colour) {
  for (int i = 0; i < 16; ++i) {
    if (text_palette_colour(i) == colour) return i;
  }
  return -1;
}

}  // namespace kx::screen_reader
