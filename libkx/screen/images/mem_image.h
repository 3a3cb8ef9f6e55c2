#pragma once
// _MEMIMAGE: a _MEM value over an image's pixels (or a text page's cells).
#include <cstdint>

#include "values/mem_blocks.h"

// The image a negative handle names, screen page n for a handle n >= 0, or
// the destination image when no handle is given (passed = 0). An image
// keeps one lock for its life, so every value of one image shares it.
mem_block func__memimage(int32_t handle, int32_t passed);
