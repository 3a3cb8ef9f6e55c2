#pragma once
// PRINT # to a file opened FOR OUTPUT or APPEND: one call per printed item.
#include <cstdint>

struct kxs;

// Writes text, then: extra_space one blank; tab one blank and then blanks
// up to the next 14-column print zone; newline CR LF. Numbers arrive
// already formatted.
void sub_file_print(int32_t n, kxs* text, int32_t extra_space, int32_t tab, int32_t newline);

// TAB(n) and SPC(n) as items of PRINT #n: measured against the file's own
// column, with no line width (TAB's line break is CR LF, SPC gives n
// blanks). On the screen device they measure against the screen, as in
// PRINT. A channel that is not open gives an empty string; the PRINT #
// that prints it reports the error.
kxs* func_tab_file(int32_t n, int32_t file_number);
kxs* func_spc_file(int32_t n, int32_t file_number);
