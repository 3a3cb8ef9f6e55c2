#pragma once
// DEF SEG, PEEK and POKE: byte access to conventional memory through the
// segment that DEF SEG selected.
#include <cstdint>

// The segment base that DEF SEG selected; the data segment at start-up.
extern uint8_t* defseg;

// DEF SEG [segment]: without an argument (passed = 0) the data segment.
void sub_defseg(int32_t segment, int32_t passed);
// PEEK(offset): the unsigned byte; error 6 and 0 outside -65536..65535.
int32_t func_peek(int32_t offset);
// POKE offset, value: the low 8 bits of value.
void sub_poke(int32_t offset, int32_t value);
