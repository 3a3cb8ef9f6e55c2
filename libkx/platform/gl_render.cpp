#include "platform/gl_render.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/message_box.h"
#include "platform/texture_padding.h"
#include "screen/images/hardware_images.h"
#include "values/handle_list.h"
#include "values/rounding.h"

int framebufferobjects_supported = 0;

namespace {

// Window thread only: the queued triangles (x, y and s, t per vertex) and
// the state they are drawn with.
struct batch_state {
  GLuint texture = 0;
  bool alpha = false;
  bool smooth = false;
};
std::vector<float> vertices;
std::vector<float> texcoords;
batch_state batch;
kx::placement target_placement;

bool upload_exact(int32_t w, int32_t h, const uint32_t* pixels) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
  return glGetError() == GL_NO_ERROR;
}

void set_filter(bool smooth, int32_t npo2) {
  const GLint magnify = smooth ? GL_LINEAR : GL_NEAREST;
  const GLint minify = npo2 == 2 ? GL_LINEAR_MIPMAP_LINEAR : magnify;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, npo2 == 2 ? GL_LINEAR : magnify);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
}

}  // namespace

void kx::upload_texture(hardware_img_struct& image, const uint32_t* pixels) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  image.texture = texture;
  image.npo2 = 0;
  image.filter_stretched = image.filter_shrunk = image.wrap = -1;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  set_filter(false, 0);
  if (upload_exact(image.w, image.h, pixels)) return;
  // This runs in a window-thread callback, which no exception may leave:
  // memory that cannot hold the padded copy is a critical error, reported
  // with its box, as every other exhausted allocation is.
  const padded_pixels padded = pad_to_powers_of_two(pixels, image.w, image.h);
  if (!padded.pixels) {
    error(err::out_of_memory_renderer);  // ends the process
    return;
  }
  if (upload_exact(static_cast<int32_t>(padded.width), static_cast<int32_t>(padded.height), padded.pixels.get())) {
    image.npo2 = 1;
    image.padded_w = static_cast<int32_t>(padded.width);
    image.padded_h = static_cast<int32_t>(padded.height);
    return;
  }
  const GLint status = gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image.w, image.h, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
  if (status == GLU_OUT_OF_MEMORY) {
    error(err::out_of_memory_renderer);
    return;
  }
  if (status != 0) {
    alert("gluBuild2DMipmaps failed");
    alert(static_cast<int64_t>(status));
    return;
  }
  image.npo2 = 2;
  set_filter(false, 2);
}

bool kx::replace_texture_pixels(hardware_img_struct& image, const uint32_t* pixels, int32_t first_row,
                                int32_t last_row) {
  if (!image.texture || image.npo2 != 0) return false;
  if (last_row < first_row) return true;
  glBindTexture(GL_TEXTURE_2D, image.texture);
  while (glGetError() != GL_NO_ERROR) {
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first_row, image.w, last_row - first_row + 1, GL_BGRA, GL_UNSIGNED_BYTE,
                  pixels + size_t(first_row) * image.w);
  return glGetError() == GL_NO_ERROR;
}

void kx::free_texture(hardware_img_struct& image) {
  if (image.texture) {
    GLuint t = image.texture;
    glDeleteTextures(1, &t);
  }
  if (image.framebuffer && framebufferobjects_supported) {
    GLuint f = image.framebuffer;
    glDeleteFramebuffersEXT(1, &f);
  }
  image.texture = 0;
  image.framebuffer = 0;
}

void kx::set_window_target(const placement& p, int32_t window_w, int32_t window_h) {
  hardware_buffer_flush();
  if (framebufferobjects_supported) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  target_placement = p;
  glViewport(0, 0, window_w, window_h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // Window pixels, origin at the top left.
  glOrtho(0, window_w, window_h, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void kx::hardware_buffer_flush() {
  if (vertices.empty()) return;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, batch.texture);
  set_filter(batch.smooth, 0);
  if (batch.alpha) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }
  glColor4f(1, 1, 1, 1);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, vertices.data());
  glTexCoordPointer(2, GL_FLOAT, 0, texcoords.data());
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size() / 2));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  vertices.clear();
  texcoords.clear();
}

void kx::hardware_img_put(float dx1, float dy1, float dx2, float dy2, hardware_img_struct& src, float sx1, float sy1,
                          float sx2, float sy2, bool use_alpha, bool smooth) {
  if (!src.texture && src.software_pixels) {
    upload_texture(src, src.software_pixels);
    std::free(src.software_pixels);
    src.software_pixels = nullptr;
  }
  if (!src.texture) return;
  if (dx2 < dx1) {
    std::swap(dx1, dx2);
    std::swap(sx1, sx2);
  }
  if (dy2 < dy1) {
    std::swap(dy1, dy2);
    std::swap(sy1, sy2);
  }
  const batch_state wanted{static_cast<GLuint>(src.texture), use_alpha, smooth};
  if (wanted.texture != batch.texture || wanted.alpha != batch.alpha || wanted.smooth != batch.smooth) {
    hardware_buffer_flush();
    batch = wanted;
  }
  const placement& p = target_placement;
  const float x = static_cast<float>(p.x1 + kxr(dx1 * p.x_scale));
  const float y = static_cast<float>(p.y1 + kxr(dy1 * p.y_scale));
  const float w = static_cast<float>(static_cast<int64_t>(0.99 + (dx2 - dx1 + 1) * p.x_scale));
  const float h = static_cast<float>(static_cast<int64_t>(0.99 + (dy2 - dy1 + 1) * p.y_scale));
  const float tw = static_cast<float>(src.npo2 == 1 ? src.padded_w : src.w);
  const float th = static_cast<float>(src.npo2 == 1 ? src.padded_h : src.h);
  const bool flip_x = sx2 < sx1, flip_y = sy2 < sy1;
  float s1 = ((flip_x ? sx2 : sx1) + 0.01f) / tw, s2 = ((flip_x ? sx1 : sx2) + 0.99f) / tw;
  float t1 = ((flip_y ? sy2 : sy1) + 0.01f) / th, t2 = ((flip_y ? sy1 : sy2) + 0.99f) / th;
  if (flip_x) std::swap(s1, s2);
  if (flip_y) std::swap(t1, t2);
  const float quad[12] = {x, y, x + w, y, x, y + h, x + w, y, x + w, y + h, x, y + h};
  const float tex[12] = {s1, t1, s2, t1, s1, t2, s2, t1, s2, t2, s1, t2};
  // The batch's growth is the other allocation of these callbacks; it takes
  // the same road as the padded copy instead of throwing out of them.
  try {
    vertices.insert(vertices.end(), quad, quad + 12);
    texcoords.insert(texcoords.end(), tex, tex + 12);
  } catch (const std::bad_alloc&) {
    error(err::out_of_memory_renderer);
  }
}

namespace {

hardware_img_struct* hardware_at(int64_t index) {
  return index > 0 ? static_cast<hardware_img_struct*>(list_get(hardware_img_handles, index)) : nullptr;
}

// A 1 x 1 black texture for the letterbox bars, made on first use.
hardware_img_struct letterbox_texture{};

using copy_sub_buffer_fn = void (*)(Display*, GLXDrawable, int, int, int, int);
copy_sub_buffer_fn copy_sub_buffer = nullptr;
bool copy_sub_buffer_checked = false;

}  // namespace

void kx::draw_letterbox(const placement& p, int32_t window_w, int32_t window_h) {
  if (!p.letterbox) return;
  if (!letterbox_texture.texture) {
    letterbox_texture.w = letterbox_texture.h = 1;
    const uint32_t black = 0xFF000000u;
    upload_texture(letterbox_texture, &black);
    if (!letterbox_texture.texture) return;
  }
  // The bars are in window pixels, outside the frame's placement.
  const placement saved = target_placement;
  target_placement = placement{};
  const auto bar = [](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x2 <= x1 || y2 <= y1) return;
    hardware_img_put(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - 1),
                     static_cast<float>(y2 - 1), letterbox_texture, 0, 0, 0, 0, false, false);
  };
  if (p.letterbox == 1) {
    bar(0, 0, p.x1, window_h);
    bar(p.x2, 0, window_w, window_h);
  } else {
    bar(0, 0, window_w, p.y1);
    bar(0, p.y2, window_w, window_h);
  }
  hardware_buffer_flush();
  target_placement = saved;
}

bool kx::draw_overlay(int32_t frame_w, int32_t frame_h) {
  const int64_t index = overlay_image_index();
  if (!index) return false;
  hardware_img_struct* image = hardware_at(index);
  if (!image || !image->valid.load()) return false;
  hardware_img_put(0, 0, static_cast<float>(frame_w - 1), static_cast<float>(frame_h - 1), *image, 0, 0,
                   static_cast<float>(image->w - 1), static_cast<float>(image->h - 1), true, false);
  hardware_buffer_flush();
  return true;
}

bool kx::partial_present_supported() {
  if (!copy_sub_buffer_checked) {
    copy_sub_buffer_checked = true;
    Display* display = glXGetCurrentDisplay();
    const char* extensions = display ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
    if (extensions && std::strstr(extensions, "GLX_MESA_copy_sub_buffer")) {
      copy_sub_buffer = reinterpret_cast<copy_sub_buffer_fn>(
          glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    }
  }
  return copy_sub_buffer != nullptr;
}

void kx::present_window_rows(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!partial_present_supported()) return;
  copy_sub_buffer(glXGetCurrentDisplay(), glXGetCurrentDrawable(), x, y, w, h);
}

namespace {

int missing_command_alerts = 0;

// The window target of the replay in progress, to return to after drawing
// into an off-screen image.
struct window_target {
  kx::placement p;
  int32_t w = 0, h = 0;
};
window_target replay_window;

// Makes a hardware image the target: its texture (uploaded first if its
// pixels are still in memory) behind a framebuffer object made on first
// use, with its own pixels as coordinates. Row 0 of the image stays row 0
// of the texture. False when the image cannot be drawn into.
bool set_render_dest(hardware_img_struct& image) {
  if (!framebufferobjects_supported) return false;
  kx::hardware_buffer_flush();
  if (!image.texture && image.software_pixels) {
    kx::upload_texture(image, image.software_pixels);
    std::free(image.software_pixels);
    image.software_pixels = nullptr;
  }
  if (!image.texture || image.npo2 == 2) return false;
  if (!image.framebuffer) {
    GLuint fbo = 0;
    glGenFramebuffersEXT(1, &fbo);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, image.texture, 0);
    image.framebuffer = fbo;
  } else {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, image.framebuffer);
  }
  target_placement = kx::placement{};
  glViewport(0, 0, image.w, image.h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, image.w, 0, image.h, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return true;
}

// A depth buffer for 3-D triangles into an image, made on first use.
void attach_depth(hardware_img_struct& image) {
  if (image.depthbuffer) return;
  GLuint depth = 0;
  glGenRenderbuffersEXT(1, &depth);
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
  const int32_t w = image.npo2 == 1 ? image.padded_w : image.w, h = image.npo2 == 1 ? image.padded_h : image.h;
  glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, w, h);
  glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth);
  image.depthbuffer = depth;
}

// Points a command at its target: true with the window when dst is a
// layer, or with the off-screen image.
bool select_target(const hardware_graphics_command& c, hardware_img_struct** image) {
  *image = nullptr;
  if (c.dst <= 0) return true;
  *image = hardware_at(c.dst);
  return *image && set_render_dest(**image);
}

void back_to_window(const hardware_img_struct* image) {
  if (image) kx::set_window_target(replay_window.p, replay_window.w, replay_window.h);
}

void draw_triangle(const hardware_graphics_command& c, hardware_img_struct& src, bool three_d) {
  if (!src.texture && src.software_pixels) {
    kx::upload_texture(src, src.software_pixels);
    std::free(src.software_pixels);
    src.software_pixels = nullptr;
  }
  if (!src.texture) return;
  kx::hardware_buffer_flush();
  const kx::placement& p = target_placement;
  const float tw = static_cast<float>(src.npo2 == 1 ? src.padded_w : src.w);
  const float th = static_cast<float>(src.npo2 == 1 ? src.padded_h : src.h);
  float position[9], texture[6];
  for (int v = 0; v < 3; ++v) {
    position[v * 3] = static_cast<float>(p.x1 + c.triangle_dst[v * 3] * p.x_scale);
    position[v * 3 + 1] = static_cast<float>(p.y1 + c.triangle_dst[v * 3 + 1] * p.y_scale);
    position[v * 3 + 2] = three_d ? c.triangle_dst[v * 3 + 2] : 0.0f;
    texture[v * 2] = (c.triangle_src[v * 2] + 0.5f) / tw;
    texture[v * 2 + 1] = (c.triangle_src[v * 2 + 1] + 0.5f) / th;
  }
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, src.texture);
  set_filter(c.smooth != 0, src.npo2);
  if (c.use_alpha && !src.dont_blend.load()) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }
  if (three_d) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
  }
  glColor4f(1, 1, 1, 1);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, position);
  glTexCoordPointer(2, GL_FLOAT, 0, texture);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (three_d) glDisable(GL_DEPTH_TEST);
}

void run_command(hardware_graphics_command& c) {
  switch (c.kind) {
    case hardware_command_kind::put_image: {
      hardware_img_struct* src = hardware_at(c.src);
      hardware_img_struct* target = nullptr;
      if (src && src != hardware_at(c.dst) && select_target(c, &target)) {
        kx::hardware_img_put(c.dst_x1, c.dst_y1, c.dst_x2, c.dst_y2, *src, c.src_x1, c.src_y1, c.src_x2, c.src_y2,
                             c.use_alpha && !src->dont_blend.load(), c.smooth != 0);
        kx::hardware_buffer_flush();
        back_to_window(target);
      }
      break;
    }
    case hardware_command_kind::triangle_2d:
    case hardware_command_kind::triangle_3d: {
      hardware_img_struct* src = hardware_at(c.src);
      hardware_img_struct* target = nullptr;
      const bool three_d = c.kind == hardware_command_kind::triangle_3d;
      if (src && src != hardware_at(c.dst) && select_target(c, &target)) {
        if (three_d && target) attach_depth(*target);
        draw_triangle(c, *src, three_d);
        back_to_window(target);
      }
      break;
    }
    case hardware_command_kind::clear_depth: {
      hardware_img_struct* target = nullptr;
      if (select_target(c, &target)) {
        kx::hardware_buffer_flush();
        if (target) attach_depth(*target);
        glClear(GL_DEPTH_BUFFER_BIT);
        back_to_window(target);
      }
      break;
    }
    case hardware_command_kind::free_image: {
      kx::hardware_buffer_flush();
      if (hardware_img_struct* image = hardware_at(c.src)) {
        if (image->depthbuffer && framebufferobjects_supported) {
          GLuint depth = image->depthbuffer;
          glDeleteRenderbuffersEXT(1, &depth);
          image->depthbuffer = 0;
        }
        kx::free_texture(*image);
        std::free(image->software_pixels);
        image->software_pixels = nullptr;
        list_remove(hardware_img_handles, c.src);
      }
      break;
    }
    case hardware_command_kind::free_requested:
      // Waits for the free command that replaces it.
      break;
  }
  c.done = 1;
}

}  // namespace

void kx::replay_hardware_commands(int64_t order, int32_t layer, const placement& p, int32_t window_w, int32_t window_h) {
  std::lock_guard<std::mutex> hold(hardware_command_mutex());
  set_window_target(p, window_w, window_h);
  replay_window = window_target{p, window_w, window_h};
  int64_t index = first_hardware_command;
  int guard = 0;
  while (index) {
    auto* c = static_cast<hardware_graphics_command*>(list_get(hardware_graphics_command_handles, index));
    if (!c) {
      if (missing_command_alerts < 4) {
        ++missing_command_alerts;
        alert("Rendering: Last HGC is NULL!");
      } else if (missing_command_alerts == 4) {
        ++missing_command_alerts;
        alert("Renderer: Command does not exist.");
      }
      break;
    }
    // Drawings into the window belong to their own frame: those of earlier
    // frames are dropped, those of the frame on show are drawn whenever it
    // is drawn (an exposed window shows them again); everything else runs
    // once.
    const bool window_drawing = c->dst <= 0 && (c->kind == hardware_command_kind::put_image ||
                                                c->kind == hardware_command_kind::triangle_2d ||
                                                c->kind == hardware_command_kind::triangle_3d);
    if (!c->done || (window_drawing && c->order == order)) {
      if (c->order < order) {
        if (window_drawing) {
          c->done = 1;
        } else {
          run_command(*c);
        }
      } else if (c->order == order && (!window_drawing || c->dst == layer)) {
        run_command(*c);
      }
    }
    index = c->next;
    if (++guard > 1 << 24) break;
  }
  hardware_buffer_flush();
}
