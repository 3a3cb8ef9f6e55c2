#pragma once
// The console image: an 80 x 25 text image whose PRINT goes to standard
// output, made at start-up when the program is built with a console.
#include <cstdint>

namespace kx {

// Its handle as _CONSOLE returns it (a negative image handle), or 0 when
// the program has no console. Written once at start-up.
inline int32_t console_image_handle = 0;

// Makes the console image; with make_destination it also becomes _DEST, as
// in a console-only program. False when memory is exhausted.
bool console_image_create(bool make_destination);

}  // namespace kx
