#pragma once
// Hardware images: pictures kept as OpenGL textures, made by _COPYIMAGE
// mode 33 and drawn by commands that the application thread queues and the
// renderer replays with the frame they belong to. The application sees
// handle = list index + HARDWARE_IMG_HANDLE_OFFSET.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <utility>

struct list;

struct hardware_img_struct {
  int32_t w, h;
  uint32_t texture;      // 0 while the pixels are only in memory
  uint32_t framebuffer;  // render-target framebuffer object, 0 = none yet
  uint32_t depthbuffer;
  uint32_t* software_pixels;  // BGRA not yet uploaded; freed after upload
  // Written by the application thread (_DONTBLEND, _FREEIMAGE), read by the
  // renderer on the window thread.
  std::atomic<int32_t> dont_blend;
  std::atomic<int32_t> valid;  // cleared by _FREEIMAGE: the application may no longer use it
  int32_t filter_stretched, filter_shrunk, wrap;  // -1 = not set yet
  int32_t npo2;  // 0 exact size, 1 padded to powers of two, 2 mipmaps
  int32_t padded_w, padded_h;
};

enum class hardware_command_kind : int32_t {
  put_image = 1,
  free_requested = 2,
  free_image = 3,
  triangle_2d = 4,
  triangle_3d = 5,
  clear_depth = 6,
};

struct hardware_graphics_command {
  int64_t order;  // the software frame it belongs to
  int64_t next;   // next command's index, 0 = last
  hardware_command_kind kind;
  int64_t src, dst;  // hardware image indexes; dst 0 = window layer 1, -1 = layer 2
  float dst_x1, dst_y1, dst_x2, dst_y2;
  float src_x1, src_y1, src_x2, src_y2;
  // Triangles (kinds 4 and 5): three corners in the target (x, y, and z
  // for 3-D) and in the source image's pixels (x, y).
  float triangle_dst[9];
  float triangle_src[6];
  int32_t use_alpha, smooth;
  int32_t done;
};

// Targets of commands: a hardware image's list index, or the window's
// layers.
inline constexpr int64_t hardware_target_first_layer = 0;
inline constexpr int64_t hardware_target_second_layer = -1;

// Thread-safe list of hardware_img_struct; list of hardware_graphics_command.
extern list* hardware_img_handles;
extern list* hardware_graphics_command_handles;

// Start-up: creates both lists.
void hardware_images_init();

// flags bit 1: keep the pixels in memory and upload on first use (else
// upload now, which only the render thread may do); bit 2 with bit 1: copy
// the pixels instead of adopting the buffer. Returns the list index.
int64_t new_hardware_img(int32_t w, int32_t h, uint32_t* pixels, int32_t flags);
// _COPYIMAGE mode 33: a hardware image of a copy of the pixels; the
// application's handle, or -1 when memory ran out.
int32_t hardware_img_from_pixels(int32_t w, int32_t h, const uint32_t* pixels);
// _FREEIMAGE of a hardware handle: the handle dies now, the texture after
// every frame that used it. False for an invalid handle.
bool hardware_img_request_free(int32_t handle);
bool hardware_img_set_blend(int32_t handle, bool blend);
std::optional<std::pair<int32_t, int32_t>> hardware_img_size(int32_t handle);
// Whether the hardware image blends when drawn (no _DONTBLEND); false for a
// handle that names no valid hardware image.
bool hardware_img_blends(int32_t handle);

namespace kx {

// A record back to its zero state (the atomics make it non-copyable).
void clear_hardware_img(hardware_img_struct& image);

// The overlay hook: a hardware image drawn with blending over the whole
// frame after every layer (application thread sets it; 0 = none). False
// for a handle that names no valid hardware image.
bool set_overlay_image(int32_t handle);
bool overlay_requested();
// The overlay's list index, 0 = none (renderer).
int64_t overlay_image_index();

// The command list's order and links; application and render threads.
std::mutex& hardware_command_mutex();
extern int64_t first_hardware_command;  // index, 0 = none
extern int64_t last_hardware_command;
// The order of the last frame the renderer drew (render thread writes).
extern std::atomic<int64_t> last_rendered_hardware_order;

// The application side of drawing with hardware images (_PUTIMAGE and
// _MAPTRIANGLE call these): src and dst are application handles, dst 0 or
// -1 the window's first or second hardware layer. Corners are in pixels of
// the source and of the target (the window's frame for layers). False for
// a handle that names no valid hardware image.
bool hardware_put(int32_t src, int32_t dst, float dx1, float dy1, float dx2, float dy2, float sx1, float sy1,
                  float sx2, float sy2, bool use_alpha, bool smooth);
// A textured triangle: target corners (x, y[, z]) and source corners (x, y).
// With 3-D corners, depth is tested against the target's depth buffer.
bool hardware_triangle(int32_t src, int32_t dst, const float (&target)[9], const float (&source)[6], bool three_d,
                       bool use_alpha, bool smooth);
// Clears the depth buffer of a hardware image or the window.
bool hardware_clear_depth(int32_t dst);

// Whether commands of frames after `after` up to `upto` wait to be drawn
// (the renderer redraws for them even when the software frame is unchanged).
bool hardware_commands_between(int64_t after, int64_t upto);

// Whether any command is queued (a frame drawn now would show more than the
// software screen).
bool hardware_commands_queued();

// Appends a command for the next software frame (application thread).
void queue_hardware_command(hardware_graphics_command command);
// Drops commands older than the last rendered frame; a dropped free
// request becomes a free command for the next frame.
void flush_old_hardware_commands();

}  // namespace kx
