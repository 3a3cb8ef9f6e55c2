#pragma once
// SWAP: of two fixed-size values, and of two strings.
#include <cstddef>

struct kxs;

// Exchanges n bytes between two memory areas.
void swap_block(void* a, void* b, size_t n);

// Exchanges the texts of two strings; the descriptors stay where they are
// (a fixed-length string keeps its length, padding or truncating).
void swap_string(kxs* a, kxs* b);
