#pragma once
// BSAVE and BLOAD: emulated memory to and from files with a 7-byte header
// (0xFD, segment, offset, length; little-endian words).
#include <cstdint>

struct kxs;

// BSAVE name, offset, length: length bytes at DEF SEG:offset.
void sub_bsave(kxs* name, int32_t offset, int32_t length);
// BLOAD name [, offset]: to DEF SEG:offset, or where the file was saved from.
void sub_bload(kxs* name, int32_t offset, int32_t offset_given);
