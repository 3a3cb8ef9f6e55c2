#include "screen/images/hardware_images.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "base/hooks.h"
#include "screen/images/display_lock.h"
#include "screen/images/image_table.h"
#include "values/handle_list.h"

list* hardware_img_handles = nullptr;
list* hardware_graphics_command_handles = nullptr;
int64_t kx::first_hardware_command = 0;
int64_t kx::last_hardware_command = 0;
std::atomic<int64_t> kx::last_rendered_hardware_order{0};

namespace {
// Application thread writes (the overlay hook, _FREEIMAGE), the renderer
// reads.
std::atomic<int64_t> overlay_index{0};
}  // namespace

namespace {

hardware_img_struct* valid_hardware_img(int32_t handle) {
  const int64_t index = int64_t{handle} - HARDWARE_IMG_HANDLE_OFFSET;
  if (index <= 0 || !hardware_img_handles) return nullptr;
  auto* h = static_cast<hardware_img_struct*>(list_get(hardware_img_handles, index));
  return h && h->valid ? h : nullptr;
}

int64_t next_frame_order() { return display_frame_order_next.load(); }

hardware_graphics_command* command_at(int64_t index) {
  return static_cast<hardware_graphics_command*>(list_get(hardware_graphics_command_handles, index));
}

// Links a command for the next frame at the end of the list; the caller
// holds the command mutex.
void append_locked(hardware_graphics_command command) {
  const int64_t index = list_add(hardware_graphics_command_handles);
  command.order = next_frame_order();
  command.next = 0;
  command.done = 0;
  *command_at(index) = command;
  if (kx::last_hardware_command) {
    command_at(kx::last_hardware_command)->next = index;
  } else {
    kx::first_hardware_command = index;
  }
  kx::last_hardware_command = index;
}

}  // namespace

std::mutex& kx::hardware_command_mutex() {
  static std::mutex m;
  return m;
}

void hardware_images_init() {
  if (!hardware_img_handles) hardware_img_handles = list_new_threadsafe(sizeof(hardware_img_struct));
  if (!hardware_graphics_command_handles) {
    hardware_graphics_command_handles = list_new(sizeof(hardware_graphics_command));
  }
}

int64_t new_hardware_img(int32_t w, int32_t h, uint32_t* pixels, int32_t flags) {
  const int64_t index = list_add(hardware_img_handles);
  auto* image = static_cast<hardware_img_struct*>(list_get(hardware_img_handles, index));
  image->w = w;
  image->h = h;
  image->valid = 1;
  image->filter_stretched = image->filter_shrunk = image->wrap = -1;
  if (flags & 1) {
    if (flags & 2) {
      const size_t bytes = size_t(w) * h * 4;
      image->software_pixels = static_cast<uint32_t*>(std::malloc(bytes));
      if (!image->software_pixels) {
        list_remove(hardware_img_handles, index);
        return 0;
      }
      std::memcpy(image->software_pixels, pixels, bytes);
    } else {
      image->software_pixels = pixels;
    }
  } else {
    kx::hooks.upload_texture.load()(*image, pixels);
  }
  return index;
}

int32_t hardware_img_from_pixels(int32_t w, int32_t h, const uint32_t* pixels) {
  const int64_t index = new_hardware_img(w, h, const_cast<uint32_t*>(pixels), 1 | 2);
  if (!index) return -1;
  return static_cast<int32_t>(index + HARDWARE_IMG_HANDLE_OFFSET);
}

void kx::clear_hardware_img(hardware_img_struct& image) {
  image.w = image.h = 0;
  image.texture = image.framebuffer = image.depthbuffer = 0;
  image.software_pixels = nullptr;
  image.dont_blend = 0;
  image.valid = 0;
  image.filter_stretched = image.filter_shrunk = image.wrap = -1;
  image.npo2 = 0;
  image.padded_w = image.padded_h = 0;
}

bool kx::set_overlay_image(int32_t handle) {
  if (handle == 0) {
    overlay_index = 0;
    return true;
  }
  if (!valid_hardware_img(handle)) return false;
  overlay_index = int64_t{handle} - HARDWARE_IMG_HANDLE_OFFSET;
  return true;
}

bool kx::overlay_requested() { return overlay_index.load() != 0; }
int64_t kx::overlay_image_index() { return overlay_index.load(); }

namespace {

// A command's target from the application's handle: a layer, or a valid
// hardware image's index; false for anything else.
bool target_index(int32_t dst, int64_t* index) {
  if (dst == 0 || dst == -1) {
    *index = dst;
    return true;
  }
  if (!valid_hardware_img(dst)) return false;
  *index = int64_t{dst} - HARDWARE_IMG_HANDLE_OFFSET;
  return true;
}

}  // namespace

bool kx::hardware_put(int32_t src, int32_t dst, float dx1, float dy1, float dx2, float dy2, float sx1, float sy1,
                      float sx2, float sy2, bool use_alpha, bool smooth) {
  hardware_graphics_command c{};
  if (!valid_hardware_img(src) || !target_index(dst, &c.dst)) return false;
  c.kind = hardware_command_kind::put_image;
  c.src = int64_t{src} - HARDWARE_IMG_HANDLE_OFFSET;
  c.dst_x1 = dx1;
  c.dst_y1 = dy1;
  c.dst_x2 = dx2;
  c.dst_y2 = dy2;
  c.src_x1 = sx1;
  c.src_y1 = sy1;
  c.src_x2 = sx2;
  c.src_y2 = sy2;
  c.use_alpha = use_alpha ? 1 : 0;
  c.smooth = smooth ? 1 : 0;
  queue_hardware_command(c);
  return true;
}

bool kx::hardware_triangle(int32_t src, int32_t dst, const float (&target)[9], const float (&source)[6],
                           bool three_d, bool use_alpha, bool smooth) {
  hardware_graphics_command c{};
  if (!valid_hardware_img(src) || !target_index(dst, &c.dst)) return false;
  c.kind = three_d ? hardware_command_kind::triangle_3d : hardware_command_kind::triangle_2d;
  c.src = int64_t{src} - HARDWARE_IMG_HANDLE_OFFSET;
  std::memcpy(c.triangle_dst, target, sizeof c.triangle_dst);
  std::memcpy(c.triangle_src, source, sizeof c.triangle_src);
  c.use_alpha = use_alpha ? 1 : 0;
  c.smooth = smooth ? 1 : 0;
  queue_hardware_command(c);
  return true;
}

bool kx::hardware_clear_depth(int32_t dst) {
  hardware_graphics_command c{};
  if (!target_index(dst, &c.dst)) return false;
  c.kind = hardware_command_kind::clear_depth;
  queue_hardware_command(c);
  return true;
}

bool kx::hardware_commands_between(int64_t after, int64_t upto) {
  std::lock_guard<std::mutex> hold(hardware_command_mutex());
  for (int64_t index = first_hardware_command; index;) {
    const hardware_graphics_command* c = command_at(index);
    if (!c) break;
    if (!c->done && c->order > after && c->order <= upto) return true;
    index = c->next;
  }
  return false;
}

bool kx::hardware_commands_queued() {
  std::lock_guard<std::mutex> hold(hardware_command_mutex());
  return first_hardware_command != 0;
}

bool hardware_img_request_free(int32_t handle) {
  hardware_img_struct* image = valid_hardware_img(handle);
  if (!image) return false;
  image->valid = 0;
  // A freed image is no longer drawn as the overlay.
  int64_t index = int64_t{handle} - HARDWARE_IMG_HANDLE_OFFSET;
  overlay_index.compare_exchange_strong(index, 0);
  hardware_graphics_command c{};
  c.kind = hardware_command_kind::free_requested;
  c.src = int64_t{handle} - HARDWARE_IMG_HANDLE_OFFSET;
  kx::queue_hardware_command(c);
  return true;
}

bool hardware_img_set_blend(int32_t handle, bool blend) {
  hardware_img_struct* image = valid_hardware_img(handle);
  if (!image) return false;
  image->dont_blend = blend ? 0 : 1;
  return true;
}

bool hardware_img_blends(int32_t handle) {
  const hardware_img_struct* image = valid_hardware_img(handle);
  return image && !image->dont_blend;
}

std::optional<std::pair<int32_t, int32_t>> hardware_img_size(int32_t handle) {
  const hardware_img_struct* image = valid_hardware_img(handle);
  if (!image) return std::nullopt;
  return std::make_pair(image->w, image->h);
}

void kx::queue_hardware_command(hardware_graphics_command command) {
  flush_old_hardware_commands();
  std::lock_guard<std::mutex> hold(hardware_command_mutex());
  append_locked(command);
}

void kx::flush_old_hardware_commands() {
  std::lock_guard<std::mutex> hold(hardware_command_mutex());
  const int64_t rendered = last_rendered_hardware_order.load();
  int64_t frees_to_queue[64];
  int free_count = 0;
  while (first_hardware_command) {
    const hardware_graphics_command* c = command_at(first_hardware_command);
    if (c->order >= rendered || free_count == 64) break;
    if (c->kind == hardware_command_kind::free_requested) frees_to_queue[free_count++] = c->src;
    const int64_t next = c->next;
    list_remove(hardware_graphics_command_handles, first_hardware_command);
    first_hardware_command = next;
  }
  if (!first_hardware_command) last_hardware_command = 0;
  for (int i = 0; i < free_count; ++i) {
    hardware_graphics_command c{};
    c.kind = hardware_command_kind::free_image;
    c.src = frees_to_queue[i];
    append_locked(c);
  }
}
