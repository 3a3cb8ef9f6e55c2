#pragma once
// The renderer's OpenGL work (window thread only): textures from pixels
// with their fallbacks, textured rectangles batched as triangles, and the
// replay of the hardware command queue.
#include <cstdint>

#include "screen/compose/presentation_state.h"

struct hardware_img_struct;

extern int framebufferobjects_supported;

namespace kx {

// Uploads w x h BGRA pixels into a new texture of the image: exact size,
// else padded to powers of two, else mipmaps; alerts when all fail.
void upload_texture(hardware_img_struct& image, const uint32_t* pixels);
void free_texture(hardware_img_struct& image);
// Rows first_row..last_row of new pixels of the same size into the image's
// exact-size texture; false when the texture cannot take them that way
// (the caller uploads anew).
bool replace_texture_pixels(hardware_img_struct& image, const uint32_t* pixels, int32_t first_row, int32_t last_row);

// The window as the target, mapped through the placement.
void set_window_target(const placement& p, int32_t window_w, int32_t window_h);
// Queues a textured rectangle of the image (source corners in its pixels)
// onto the current target at frame coordinates.
void hardware_img_put(float dx1, float dy1, float dx2, float dy2, hardware_img_struct& src, float sx1, float sy1,
                      float sx2, float sy2, bool use_alpha, bool smooth);
// Draws the queued triangles.
void hardware_buffer_flush();
// Black bars over the window outside the frame, drawn with a 1 x 1 black
// texture.
void draw_letterbox(const placement& p, int32_t window_w, int32_t window_h);

// The overlay hook's image over the frame rectangle, blended; false when
// none is set.
bool draw_overlay(int32_t frame_w, int32_t frame_h);

// Whether the window system can present part of the back buffer without a
// swap (GLX_MESA_copy_sub_buffer), and that presentation: the rectangle in
// GL window coordinates (rows from the bottom). The back buffer keeps its
// contents.
bool partial_present_supported();
void present_window_rows(int32_t x, int32_t y, int32_t w, int32_t h);

// Runs every queued command older than order once, then those of order
// whose target is the given window layer (0 first, -1 second).
void replay_hardware_commands(int64_t order, int32_t layer, const placement& p, int32_t window_w, int32_t window_h);

}  // namespace kx
