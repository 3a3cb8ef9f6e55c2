#pragma once
// _PUTIMAGE: a rectangle of one image onto a rectangle of another, with
// stretching, mirroring, transparency and alpha blending; hardware images
// through the renderer's command queue.
#include <cstdint>

// Bits of passed.
inline constexpr int32_t putimage_dest_first = 0x1;
inline constexpr int32_t putimage_dest_first_step = 0x2;
inline constexpr int32_t putimage_dest_second = 0x4;
inline constexpr int32_t putimage_source_image = 0x8;
inline constexpr int32_t putimage_dest_second_step = 0x10;
inline constexpr int32_t putimage_dest_image = 0x20;
inline constexpr int32_t putimage_source_first = 0x40;
inline constexpr int32_t putimage_smooth = 0x80;
inline constexpr int32_t putimage_source_first_step = 0x100;
inline constexpr int32_t putimage_source_second = 0x200;
inline constexpr int32_t putimage_source_second_step = 0x400;

// _PUTIMAGE [STEP](dx1, dy1)[-[STEP](dx2, dy2)][, src][, dst]
//   [, [STEP](sx1, sy1)[-[STEP](sx2, sy2)]][, _SMOOTH]
void sub__putimage(float dx1, float dy1, float dx2, float dy2, int32_t src, int32_t dst, float sx1, float sy1,
                   float sx2, float sy2, int32_t passed);
