#pragma once
// The address-and-length view of a variable that GET, PUT and CALL
// INTERRUPT are handed. Packed: compiled code allocates 12 bytes for it.
#include <cstdint>

struct [[gnu::packed]] byte_element_struct {
  uint64_t address;
  int32_t length;  // never negative
};
static_assert(sizeof(byte_element_struct) == 12);

// A new record from the static pool.
byte_element_struct* byte_element(uint64_t address, int32_t length);
// Fills the caller's record and returns it.
byte_element_struct* byte_element(uint64_t address, int32_t length, byte_element_struct* info);
