#pragma once
// INPUT$ without a file number: characters from the keyboard buffer.
#include <cstdint>

struct kxs;

namespace kx {
// Waits for count bytes from the type-ahead buffer (an extended key gives
// only its 0 byte), running the statement check between polls; stops early
// when the program is ending. A new temporary string.
kxs* input_from_keyboard(int32_t count);
}  // namespace kx
