#pragma once
// SCREEN(row, column[, colourflag]): what a cell of the source image shows.
#include <cstdint>

// passed bit 1: colourflag given.
uint32_t func_screen(int32_t row, int32_t column, int32_t colourflag, int32_t passed);
