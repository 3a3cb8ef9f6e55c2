#pragma once
// Converting code page 437 text, UTF-16 and UTF-32 into UTF-16 or UTF-32.
#include <cstdint>

// from_kind 1 (code page 437 bytes), 16 or 32; to_kind 16 or 32. Writes
// the converted text and a zero terminator that is not counted, and
// returns the bytes written. Trailing bytes that do not make a whole unit
// of the source are ignored. dst must hold (units + 1) * 4 bytes for the
// source's units.
int32_t convert_unicode(int32_t from_kind, const void* src, int32_t src_bytes, int32_t to_kind, void* dst);
