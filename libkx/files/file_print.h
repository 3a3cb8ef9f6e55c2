#pragma once
// PRINT # to a file opened FOR OUTPUT or APPEND: one call per printed item.
#include <cstdint>

struct kxs;

// Writes text, then: extra_space one blank; tab one blank and then blanks
// up to the next 14-column print zone; newline CR LF. Numbers arrive
// already formatted.
void sub_file_print(int32_t n, kxs* text, int32_t extra_space, int32_t tab, int32_t newline);
