#pragma once
// CIRCLE: circles, ellipses and arcs with optional radius lines.
#include <cstdint>

// CIRCLE [STEP](x, y), radius[, [colour][, [start][, [end][, aspect]]]].
// passed: 1 STEP, 2 colour, 4 start, 8 end, 16 aspect.
void sub_circle(double x, double y, double radius, uint32_t colour, double start, double end, double aspect,
                int32_t passed);
