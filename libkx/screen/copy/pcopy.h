#pragma once
// PCOPY: a whole page or image onto another of the same shape.
#include <cstdint>

// PCOPY src, dst: page numbers (made on demand) or image handles.
void sub_pcopy(int32_t src, int32_t dst);
