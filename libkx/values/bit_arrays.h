#pragma once
// Packed bit arrays: elements of w bits (1 <= w <= 57) stored back to back,
// element i at bit positions i*w .. i*w + w - 1, bit 0 being the least
// significant bit of byte 0. Accesses touch only the bytes that hold the
// element, so they never pass the end of an array of
// (count * w) / 8 + 1 bytes. Widths outside 1..57 read 0 and write nothing.
#include <cstdint>

inline constexpr uint32_t bit_array_max_width = 57;

uint64_t getubits(uint32_t width, uint8_t* base, int64_t index);
int64_t getbits(uint32_t width, uint8_t* base, int64_t index);
void setbits(uint32_t width, uint8_t* base, int64_t index, int64_t value);
