#pragma once
// DIM, REDIM and ERASE of arrays of any number of dimensions, as compiled
// code performs them on an array descriptor (values/arrays.h). The first
// index varies fastest: dimension 1 has multiplier 1. Data is zero-filled;
// the elements of a string array are empty strings of their own.
#include <cstdint>

namespace kx {

// Word 3 of a descriptor these functions set up holds its number of
// dimensions, for code that receives an array whole and does not know it.
inline constexpr int array_dimensions_word = 3;

// What an array holds, for the work its elements need.
enum class array_elements : uint8_t { plain, strings };

// Dimensions the array with lower[i] TO upper[i] for dimension i + 1.
// An array that is dimensioned already is error 10 (Duplicate definition);
// bounds the wrong way round are error 9; data too large is error 7.
// is_static marks an array that ERASE clears instead of freeing.
void array_dim(int64_t* array, int dimensions, const int64_t* lower, const int64_t* upper,
               uint32_t element_bytes, array_elements elements, bool is_static);
// REDIM: the old data goes and the new bounds take its place. With
// preserve, the elements whose indexes exist in both keep their values
// (REDIM _PRESERVE). A static array cannot be redimensioned: error 10.
void array_redim(int64_t* array, int dimensions, const int64_t* lower, const int64_t* upper,
                 uint32_t element_bytes, array_elements elements, bool preserve);
// ERASE: a static array's elements become zero (empty strings); a dynamic
// array's data is freed and the array is left undimensioned.
void array_erase(int64_t* array, int dimensions, uint32_t element_bytes, array_elements elements);

// The element offset for the given indexes (dimension 1 first), checked
// against every bound: error 9 and offset 0 when one is outside, or when
// the array is not dimensioned.
uint64_t array_offset(const int64_t* array, int dimensions, const int64_t* indexes);

}  // namespace kx
