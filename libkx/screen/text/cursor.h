#pragma once
// The text cursor and viewport: LOCATE, VIEW PRINT, CSRLIN and POS.
#include <cstdint>

// passed bits 1 row, 2 column, 4 visible, 8 start line, 16 stop line.
void kxg_sub_locate(int32_t row, int32_t column, int32_t visible, int32_t start, int32_t stop, int32_t passed);
// passed bit 1: top and bottom given.
void kxg_sub_view_print(int32_t top, int32_t bottom, int32_t passed);
int32_t func_csrlin();
int32_t func_pos(int32_t dummy);
