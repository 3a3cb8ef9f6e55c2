#pragma once
// Making strings. A "tmp" flag counts only by its low byte; a temporary is
// listed on kxs_tmp_list and swept by kxs_cleanup after the statement.
#include <cstdint>

#include "values/string_descriptor.h"

// size uninitialised bytes in the main pool (negative sizes count as 0).
kxs* kxs_new(int32_t size, uint8_t tmp);
// size uninitialised bytes in the conventional pool; a permanent one gets a
// legacy descriptor (error 514 when there is no room for it).
kxs* kxs_new_cmem(int32_t size, uint8_t tmp);
// Temporary read-only strings over constant text, not copied.
kxs* kxs_new_txt(const char* text);
kxs* kxs_new_txt_len(const void* bytes, int32_t length);
// A fixed-length string over a variable's storage. A permanent one whose
// storage lies inside the data segment gets a legacy descriptor (error 515).
kxs* kxs_new_fixed(uint8_t* storage, uint32_t length, uint8_t tmp);
// The same string, now temporary (a string FUNCTION's result).
kxs* kxs_maketmp(kxs* s);
