// Where the frame goes in the window, and what size the window should have.
#include <cmath>
#include <cstdlib>

#include "screen/compose/presentation_state.h"
#include "values/rounding.h"

kx::placement kx::prepare_environment_2d(int32_t frame_w, int32_t frame_h, int32_t window_w, int32_t window_h,
                                         int32_t full_screen_mode, int32_t resize_auto_mode,
                                         int32_t smooth_full_screen) {
  placement p;
  bool scaling = false, square = false, smooth = false;
  if (full_screen_mode == 0) {
    scaling = resize_auto_mode > 0;
    smooth = resize_auto_mode == 2;
  } else {
    scaling = true;
    square = full_screen_mode == 2;
    smooth = smooth_full_screen != 0;
  }
  if (frame_w <= 0 || frame_h <= 0 || (frame_w == window_w && frame_h == window_h) || !scaling) {
    p.x2 = frame_w;
    p.y2 = frame_h;
    return p;
  }
  p.smooth = smooth;
  const double frame_aspect = double(frame_w) / frame_h;
  const double window_aspect = double(window_w) / window_h;
  if (square && frame_aspect != window_aspect) {
    if (window_aspect > frame_aspect) {
      const int32_t w = static_cast<int32_t>(frame_aspect * window_h);
      p.x1 = window_w / 2 - w / 2;
      p.x2 = p.x1 + w;
      p.y2 = window_h;
      p.letterbox = 1;
    } else {
      const int32_t h = static_cast<int32_t>(window_w / frame_aspect);
      p.y1 = window_h / 2 - h / 2;
      p.y2 = p.y1 + h;
      p.x2 = window_w;
      p.letterbox = 2;
    }
  } else {
    p.x2 = window_w;
    p.y2 = window_h;
  }
  p.x_scale = double(p.x2 - p.x1) / frame_w;
  p.y_scale = double(p.y2 - p.y1) / frame_h;
  return p;
}

kx::resize_request kx::decide_window_size(window_sizing& s, int32_t frame_w, int32_t frame_h, int32_t window_w,
                                          int32_t window_h, bool auto_scale, bool snapback) {
  resize_request r;
  bool frame_changed = false;
  if (frame_w != s.snapback_x || frame_h != s.snapback_y) {
    frame_changed = true;
    s.snapback_x = frame_w;
    s.snapback_y = frame_h;
  }
  const double ideal = double(frame_w) / frame_h;
  const double window_aspect = window_h > 0 ? double(window_w) / window_h : ideal;
  const int32_t dw = std::abs(window_w - s.last_reshape_x), dh = std::abs(window_h - s.last_reshape_y);
  s.last_reshape_x = window_w;
  s.last_reshape_y = window_h;
  if (auto_scale && window_aspect != s.accept_aspect && window_aspect != ideal) {
    int32_t w = window_w, h = window_h;
    const bool keep_width = (dw != 0 && dh == 0) || (dw != 0 && dh != 0 && dh < dw) || (dw == 0 && dh == 0);
    if (dh != 0 && dw == 0) {
      w = static_cast<int32_t>(kxr(ideal * window_h));
    } else if (keep_width) {
      h = static_cast<int32_t>(kxr(window_w / ideal));
    } else {
      w = static_cast<int32_t>(kxr(ideal * window_h));
    }
    s.accept_aspect = ideal;
    r = {true, w, h};
    return r;
  }
  if ((window_w != frame_w || window_h != frame_h) && (snapback || frame_changed)) r = {true, frame_w, frame_h};
  return r;
}

void kx::publish_placement(const placement& p, int32_t frame_w, int32_t frame_h) {
  environment_2d__screen_width = frame_w;
  environment_2d__screen_height = frame_h;
  environment_2d__screen_x1 = p.x1;
  environment_2d__screen_y1 = p.y1;
  environment_2d__screen_x_scale = p.x_scale;
  environment_2d__screen_y_scale = p.y_scale;
  environment_2d__screen_scaled_width = p.x2 - p.x1;
  environment_2d__screen_scaled_height = p.y2 - p.y1;
}

void environment_2d__screen_to_window_rect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  const double xs = environment_2d__screen_x_scale.load(), ys = environment_2d__screen_y_scale.load();
  const int32_t left = environment_2d__screen_x1.load(), top = environment_2d__screen_y1.load();
  x1 = static_cast<int32_t>(kxr(left + x1 * xs));
  y1 = static_cast<int32_t>(kxr(top + y1 * ys));
  x2 = static_cast<int32_t>(kxr(left + x2 * xs));
  y2 = static_cast<int32_t>(kxr(top + y2 * ys));
}
