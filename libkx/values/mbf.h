#pragma once
// Microsoft Binary Format, the floating-point layout of older BASIC data
// files. Single: 4 bytes, byte 3 the exponent (0 = the value 0), bit 7 of
// byte 2 the sign, 23 mantissa bits with a hidden leading 1; value
// 1.m * 2^(exponent - 129). Double: 8 bytes laid out alike with byte 7 the
// exponent, bit 7 of byte 6 the sign and 55 mantissa bits.
//
// Zero of either sign, and any value too small for MBF (below 2^-128 in
// magnitude), is written as the zero bytes. A value too large for MBF
// (2^127 and beyond, infinities, NaN) is error 5 and an empty result.
struct kxs;

kxs* func_mksmbf(float x);
kxs* func_mkdmbf(double x);
// Need at least 4 (8) bytes, else error 5 and 0. An MBF single of exponent
// 1 or 2 lies below the normal singles and gives the nearest IEEE single.
// An MBF double's 55-bit mantissa is rounded to 52 bits, to nearest with
// ties to even, carrying into the exponent.
float func_cvsmbf(kxs* s);
double func_cvdmbf(kxs* s);
