#include "platform/present.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cstring>

#include "base/flags.h"
#include "base/message_box.h"
#include "platform/full_screen.h"
#include "platform/gl_render.h"
#include "screen/compose/frame_slots.h"
#include "screen/compose/presentation_state.h"
#include "screen/compose/row_band.h"
#include "screen/images/hardware_images.h"

bool kx::redisplay_requested_by_idle = false;

namespace {

// Window thread only.
struct renderer_state {
  int32_t display_x = 640, display_y = 400;
  int32_t display_x_prev = 640, display_y_prev = 400;
  bool resized = true;
  int32_t resize_pending = 1;
  int32_t os_resize_event = 0;
  bool in_display = false;
  const display_frame_record* last_shown = nullptr;
  // The composition the last drawing showed: the frame's order, or a later
  // skipped composition whose hardware commands were drawn over it.
  int64_t last_rendered_order = -1;
  int64_t last_frame_order = -1;  // the software frame it showed
  // The frame that the screen texture holds.
  int64_t uploaded_order = -1;
  // The frame shown before the current one, kept until the new one is
  // drawn so that only the rows that differ from it are uploaded.
  display_frame_record* retiring = nullptr;
  kx::window_sizing sizing;
  // The frame the window's front buffer shows alone, at its own size (-1
  // when it shows anything more or is not known), and the sizes then.
  int64_t front_order = -1;
  int32_t front_w = 0, front_h = 0, front_window_w = 0, front_window_h = 0;
};

renderer_state state;
// The texture of the software frame on show (window thread only).
hardware_img_struct screen_texture{};

// The frame to show: the newest ready one (now taken), else the one shown
// last; frames older than a newly taken one are given back.
display_frame_record* choose_frame() {
  display_frame_record* shown = nullptr;
  display_frame_record* newest = nullptr;
  for (auto& f : display_frame) {
    const frame_state s = f.state.load(std::memory_order_acquire);
    if (s == frame_state::shown) shown = &f;
    if (s == frame_state::ready && (!newest || f.order.load() > newest->order.load())) newest = &f;
  }
  if (newest) {
    frame_state expected = frame_state::ready;
    if (!newest->state.compare_exchange_strong(expected, frame_state::shown, std::memory_order_acq_rel)) {
      newest = nullptr;  // the composer took it back meanwhile
    }
  }
  if (!newest) return shown;
  const int64_t order = newest->order.load();
  for (auto& f : display_frame) {
    if (&f == newest || f.order.load() >= order) continue;
    frame_state s = frame_state::ready;
    if (f.state.compare_exchange_strong(s, frame_state::free)) continue;
    if (f.state.load() == frame_state::shown) state.retiring = &f;
  }
  return newest;
}

void size_window(const display_frame_record& f) {
  const kx::resize_request r = kx::decide_window_size(state.sizing, f.w, f.h, state.display_x, state.display_y,
                                                      resize_auto.load() > 0, resize_snapback.load() != 0);
  if (!r.reshape) return;
  glutReshapeWindow(r.width, r.height);
  glutPostRedisplay();
  state.resize_pending = 1;
}

void apply_full_screen_change(const display_frame_record& f) {
  const int32_t wanted = full_screen_set.load();
  if (wanted < 0) return;
  if (wanted == 1 || wanted == 2) {
    if (full_screen.load() == 0) kx::enter_full_screen();
  } else {
    kx::leave_full_screen(f.w, f.h);
    state.resize_pending = 1;
  }
  full_screen = wanted;
  full_screen_set = -1;
}

// Puts the frame into the screen texture unless it is there already, and
// tells which rows differ from the frame uploaded before it.
kx::row_band upload_software_screen(const display_frame_record& f) {
  const int64_t order = f.order.load();
  if (state.uploaded_order == order && screen_texture.texture) return {};
  // A frame of the same size goes into the texture already made: no new
  // texture object for every frame.
  const bool same_size = screen_texture.w == f.w && screen_texture.h == f.h;
  kx::row_band band{0, f.h - 1, false};
  const display_frame_record* before = state.retiring;
  if (same_size && f.changed_since != 0 && f.changed_since == state.uploaded_order) {
    // The composer measured the band against the frame in the texture.
    band = kx::row_band{std::max(f.changed_first, 0), std::min(f.changed_last, f.h - 1), true};
  } else if (same_size && before && before->order.load() == state.uploaded_order && before->w == f.w &&
             before->h == f.h) {
    band = kx::changed_rows(before->bgra, f.bgra, f.w, f.h);
  }
  if (same_size && kx::replace_texture_pixels(screen_texture, f.bgra, band.first, band.last)) {
    state.uploaded_order = order;
    return band;
  }
  kx::free_texture(screen_texture);
  kx::clear_hardware_img(screen_texture);
  screen_texture.w = f.w;
  screen_texture.h = f.h;
  kx::upload_texture(screen_texture, f.bgra);
  if (!screen_texture.texture) {
    alert("Invalid software_screen_hardware_frame!!");
    return {0, f.h - 1, false};
  }
  state.uploaded_order = order;
  return {0, f.h - 1, false};
}

void draw_uploaded(const display_frame_record& f, const kx::placement& p, int32_t layer) {
  kx::set_window_target(p, state.display_x, state.display_y);
  kx::hardware_img_put(0, 0, static_cast<float>(f.w - 1), static_cast<float>(f.h - 1), screen_texture, 0, 0,
                       static_cast<float>(f.w - 1), static_cast<float>(f.h - 1), layer > 1, p.smooth);
  kx::hardware_buffer_flush();
}

void draw_software_screen(const display_frame_record& f, const kx::placement& p, int32_t layer) {
  upload_software_screen(f);
  if (screen_texture.texture) draw_uploaded(f, p, layer);
}

}  // namespace

void renderer_reset() {
  state = renderer_state{};
  kx::clear_hardware_img(screen_texture);
}

bool kx::renderer_has_news() {
  if (state.resized || full_screen_set.load() != -1) return true;
  if (hardware_commands_between(state.last_rendered_order, last_hardware_display_frame_order.load())) return true;
  for (const auto& f : display_frame) {
    if (f.state.load(std::memory_order_acquire) == frame_state::ready && f.order.load() > state.last_rendered_order) {
      return true;
    }
  }
  return false;
}

namespace {

// The frame on show becomes the last one drawn; the one before it goes back
// to the composer.
void finish_presentation(display_frame_record* f, int64_t order) {
  state.last_frame_order = f->order.load();
  if (state.retiring) {
    frame_state s = frame_state::shown;
    state.retiring->state.compare_exchange_strong(s, frame_state::free, std::memory_order_release);
    state.retiring = nullptr;
  }
  state.last_shown = f;
  state.last_rendered_order = order;
  kx::last_rendered_hardware_order = order;
}

// A new frame that differs from the one the window shows in a few rows (a
// cursor or blink phase, one printed line) is drawn and presented in those
// rows alone, when the window shows nothing but the software screen at its
// own size. The back buffer outside the band is never presented, so its
// contents after a full swap do not matter. False when the whole frame has
// to be drawn.
bool present_changed_rows(display_frame_record& f, const kx::placement& p, bool whole_window_needed) {
  const bool plain = displayorder_screen.load() == 1 && p.x1 == 0 && p.y1 == 0 && p.x_scale == 1 &&
                     p.y_scale == 1 && !p.letterbox && !kx::hardware_commands_queued() && !kx::overlay_requested();
  const bool front_known = state.front_order >= 0 && state.front_order == state.uploaded_order &&
                           state.front_w == f.w && state.front_h == f.h &&
                           state.front_window_w == state.display_x && state.front_window_h == state.display_y;
  if (whole_window_needed || !plain || !front_known || suspend_program.load() || !kx::partial_present_supported()) {
    return false;
  }
  const kx::row_band band = upload_software_screen(f);
  if (!band.compared || !screen_texture.texture) return false;
  if (!band.empty()) {
    const int32_t rows = band.last - band.first + 1;
    const int32_t window_y = state.display_y - 1 - band.last;  // GL counts rows from the bottom
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, window_y, f.w, rows);
    draw_uploaded(f, p, 1);
    glDisable(GL_SCISSOR_TEST);
    kx::present_window_rows(0, window_y, f.w, rows);
  }
  state.front_order = f.order.load();
  return true;
}

}  // namespace

void GLUT_DISPLAY_REQUEST() {
  if (state.in_display) return;
  const bool expose = !kx::redisplay_requested_by_idle;
  kx::redisplay_requested_by_idle = false;
  display_frame_record* f = choose_frame();
  if (!f) return;
  state.in_display = true;
  // Hardware commands belong to the composition they were queued for, which
  // may have been skipped (the software screen unchanged): drawing up to the
  // latest composition shows them over the current frame.
  const int64_t composed = last_hardware_display_frame_order.load();
  const int64_t order = composed > f->order.load() ? composed : f->order.load();
  const bool hardware_news = kx::hardware_commands_between(state.last_rendered_order, order);
  const bool redraw = expose || f != state.last_shown || f->order.load() != state.last_frame_order || hardware_news ||
                      full_screen_set.load() != -1 || state.resized;
  if (!redraw) {
    state.in_display = false;
    return;
  }
  const bool resized = state.resized;
  state.resized = false;
  if (full_screen.load() == 0 && full_screen_set.load() == -1) size_window(*f);
  if (!state.resize_pending) apply_full_screen_change(*f);

  const kx::placement p = kx::prepare_environment_2d(f->w, f->h, state.display_x, state.display_y, full_screen.load(),
                                                     resize_auto.load(), fullscreen_smooth.load());
  kx::publish_placement(p, f->w, f->h);
  const bool whole_window_needed = expose || resized || state.resize_pending || full_screen_set.load() != -1;
  if (present_changed_rows(*f, p, whole_window_needed)) {
    finish_presentation(f, order);
    state.in_display = false;
    return;
  }

  if (framebufferobjects_supported) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  glViewport(0, 0, state.display_x, state.display_y);
  // A frame that covers the whole window as the first layer leaves nothing
  // to clear.
  const bool covered = displayorder_screen.load() == 1 && p.x1 == 0 && p.y1 == 0 && p.x2 >= state.display_x &&
                       p.y2 >= state.display_y;
  if (!covered) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  const bool hardware_drawn = kx::hardware_commands_queued();
  for (int32_t layer = 1; layer <= 4; ++layer) {
    if (displayorder_screen.load() == layer) draw_software_screen(*f, p, layer);
    if (displayorder_hardware.load() == layer) kx::replay_hardware_commands(order, 0, p, state.display_x, state.display_y);
    if (displayorder_hardware1.load() == layer) kx::replay_hardware_commands(order, -1, p, state.display_x, state.display_y);
    // The OpenGL layer has no content in this system.
  }
  kx::set_window_target(p, state.display_x, state.display_y);
  kx::draw_letterbox(p, state.display_x, state.display_y);
  const bool overlay_drawn = kx::draw_overlay(f->w, f->h);
  kx::hardware_buffer_flush();

  finish_presentation(f, order);
  const bool swapped = !suspend_program.load();
  if (swapped) glutSwapBuffers();
  // What the window now shows, for the next frame's partial presentation.
  const bool plain_front = swapped && !hardware_drawn && !overlay_drawn && displayorder_screen.load() == 1;
  state.front_order = plain_front ? state.uploaded_order : -1;
  state.front_w = f->w;
  state.front_h = f->h;
  state.front_window_w = state.display_x;
  state.front_window_h = state.display_y;
  state.in_display = false;
}

void GLUT_RESHAPE_FUNC(int width, int height) {
  resize_event_x = width;
  resize_event_y = height;
  resize_event = -1;
  state.display_x_prev = state.display_x;
  state.display_y_prev = state.display_y;
  state.display_x = width;
  state.display_y = height;
  state.resize_pending = 0;
  state.os_resize_event = 1;
  state.resized = true;
}
