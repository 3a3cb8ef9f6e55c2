#pragma once
// SWAP of two fixed-size values.
#include <cstddef>

// Exchanges n bytes between two memory areas.
void swap_block(void* a, void* b, size_t n);
