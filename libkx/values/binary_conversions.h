#pragma once
// MKI$ and CVI and their kin: numbers as their raw little-endian bytes and
// back. Each MK function gives a new temporary of the type's size; each CV
// function needs at least that many bytes (extra bytes are ignored), else
// error 5 and 0.
#include <cstdint>

#include "values/rounding.h"

struct kxs;

kxs* b2string(int8_t v);
kxs* ub2string(uint8_t v);
kxs* i2string(int16_t v);
kxs* ui2string(uint16_t v);
kxs* l2string(int32_t v);
kxs* ul2string(uint32_t v);
kxs* i642string(int64_t v);
kxs* ui642string(uint64_t v);
kxs* s2string(float v);
kxs* d2string(double v);
// 32 bytes: the 80-bit extended value as it lies in memory, then zeros.
kxs* f2string(kx_float v);

int8_t string2b(kxs* s);
uint8_t string2ub(kxs* s);
int16_t string2i(kxs* s);
uint16_t string2ui(kxs* s);
int32_t string2l(kxs* s);
uint32_t string2ul(kxs* s);
int64_t string2i64(kxs* s);
uint64_t string2ui64(kxs* s);
float string2s(kxs* s);
double string2d(kxs* s);
kx_float string2f(kxs* s);

// _BIT * bits and _UNSIGNED _BIT * bits, bits 1 to 64 (else error 5): the
// low bits of the value in (bits + 7) / 8 bytes; CV sign-extends the
// signed form from bit bits - 1.
kxs* bit2string(uint32_t bits, int64_t v);
kxs* ubit2string(uint32_t bits, uint64_t v);
int64_t string2bit(kxs* s, uint32_t bits);
uint64_t string2ubit(kxs* s, uint32_t bits);
