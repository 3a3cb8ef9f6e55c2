#pragma once
// Raising the BASIC error for a failed handle-layer operation.
#include <cstdint>

namespace kx {
// Raises the error for a data operation's code (nothing for codes >= 0).
void raise_data_error(int64_t code);
// The error number a data operation's failure code stands for.
uint32_t data_error_number(int64_t code);
// Raises the error for a failed open.
void raise_open_error(int32_t code);
}  // namespace kx
