#pragma once
// Where DRAW is reading: the current command string and the index of the
// next character. Shared by the interpreter and its number reader.
#include <cstdint>

namespace kx {

struct draw_string_position {
  const uint8_t* text;
  int32_t length;
  int32_t index;
};
inline draw_string_position draw_position{nullptr, 0, 0};

}  // namespace kx
