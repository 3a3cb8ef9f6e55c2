#pragma once
// Graphics GET and PUT: a rectangle of pixels to and from the bytes of a
// program's array, in the packed picture format.
#include <cstdint>

struct byte_element_struct;

// GET [STEP](x1, y1)-[STEP](x2, y2), array[, offcolour] from the source
// image. array: the array's bytes from the given element on. passed: 1 STEP
// on the first point, 2 STEP on the second, 4 offcolour given.
void sub_graphics_get(byte_element_struct* array, uint32_t offcolour, int32_t passed, float x1, float y1, float x2,
                      float y2);

// PUT [STEP](x, y), array[, action][, _CLIP][, transparent] on the write
// page. options: 1 STEP, 2 _CLIP, any other bit a transparent colour.
// action: 0 or 5 XOR, 1 PSET, 2 PRESET, 3 AND, 4 OR.
void sub_graphics_put(byte_element_struct* array, int32_t action, uint32_t transparent, int32_t options, float x,
                      float y);
