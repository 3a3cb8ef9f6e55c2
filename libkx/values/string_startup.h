#pragma once
// The string pools' start-up and the shared constants made with them.
#include <cstdint>

#include "values/string_descriptor.h"

// 8 zero bytes at the top of the data segment: the data of erased arrays.
extern uint8_t* nothingvalue;
extern kxs* nothingstring;  // permanent empty string
extern kxs* singlespace;    // permanent one-blank string

// Sets up descriptor storage, both pools and the three lists, and makes the
// shared constants. Call after the conventional memory is cleared and
// dblock is set (mem_init). Calling it again starts all strings afresh.
void kxs_init();
