#pragma once
// What each screen mode's images start with.
#include <array>
#include <cstdint>
#include <optional>

struct mode_defaults {
  uint16_t mode;
  uint8_t bits_per_pixel;
  uint8_t bytes_per_pixel;
  uint8_t font;
  uint32_t color;
  uint32_t background_color;
};

inline constexpr std::array<mode_defaults, 12> image_modes = {{
    {0, 16, 2, 16, 7, 0},
    {1, 2, 1, 8, 3, 0},
    {2, 1, 1, 8, 1, 0},
    {7, 4, 1, 8, 15, 0},
    {8, 4, 1, 8, 15, 0},
    {9, 4, 1, 14, 15, 0},
    {10, 2, 1, 14, 3, 0},
    {11, 1, 1, 16, 1, 0},
    {12, 4, 1, 16, 15, 0},
    {13, 8, 1, 8, 15, 0},
    {256, 8, 1, 16, 15, 0},
    {32, 32, 4, 16, 0xFFFFFFFF, 0xFF000000},
}};

// The defaults of a mode images may have, or nothing for any other number.
constexpr std::optional<mode_defaults> defaults_of_mode(int32_t mode) {
  for (const auto& m : image_modes) {
    if (m.mode == mode) return m;
  }
  return std::nullopt;
}
