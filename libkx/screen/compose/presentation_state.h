#pragma once
// The window and scaling state of the presentation. The atomics are
// written by the application thread (the statements) or the window thread
// (the renderer), as each comment says, and read by the other side; the
// rest belongs to the window thread alone.
#include <atomic>
#include <cstdint>
#include <string>

// Layer numbers 1-4 of each kind, 0 = not drawn (application thread).
inline std::atomic<int32_t> displayorder_screen{1};
inline std::atomic<int32_t> displayorder_hardware{2};
inline std::atomic<int32_t> displayorder_hardware1{4};
inline std::atomic<int32_t> displayorder_glrender{3};

// 0 windowed, 1 stretched, 2 square pixels. full_screen: window thread;
// full_screen_set (pending change, -1 none): application thread sets it,
// the window thread applies and clears it.
inline std::atomic<int32_t> full_screen{0};
inline std::atomic<int32_t> full_screen_set{-1};
inline std::atomic<int32_t> fullscreen_smooth{0};
// What the keyboard's full-screen toggle may use (_ALLOWFULLSCREEN,
// application thread): mode -1 none, 0 any, 1 or 2 that mode only;
// smoothing 0 either, 1 smoothed only, -1 unsmoothed only.
inline std::atomic<int32_t> fullscreen_allowed_mode{0};
inline std::atomic<int32_t> fullscreen_allowed_smooth{0};

// The compiled program's resizable-window options, read once at start-up
// (set_dynamic_info): ScreenResize lets the user resize the window freely,
// ScreenResizeScale (1 stretch, 2 smooth) scales the frame into it. Set
// before kx_main; both are off in the boot shell.
inline int32_t ScreenResize = 0;
inline int32_t ScreenResizeScale = 0;
// Start-up: applies those options to the resize state.
void set_dynamic_info();

// Application thread (_RESIZE) and start-up options.
inline std::atomic<int32_t> resize_auto{0};      // 0 no scaling, 1 scale, 2 smooth
inline std::atomic<int32_t> resize_snapback{1};  // the window snaps to the frame size
// Window thread (reshape): -1 after each reshape; _RESIZE reads and clears it.
inline std::atomic<int32_t> resize_event{0};
inline std::atomic<int32_t> resize_event_x{0};
inline std::atomic<int32_t> resize_event_y{0};
// Window thread: the size the frame occupies in the window.
inline std::atomic<int32_t> environment_2d__screen_scaled_width{640};
inline std::atomic<int32_t> environment_2d__screen_scaled_height{400};
// Window thread (each presented frame): the frame's size, where it lies in
// the window and its scale there. The mouse reads them to turn window
// pixels into picture pixels and back.
inline std::atomic<int32_t> environment_2d__screen_width{640};
inline std::atomic<int32_t> environment_2d__screen_height{400};
inline std::atomic<int32_t> environment_2d__screen_x1{0};
inline std::atomic<int32_t> environment_2d__screen_y1{0};
inline std::atomic<double> environment_2d__screen_x_scale{1.0};
inline std::atomic<double> environment_2d__screen_y_scale{1.0};
// The window rectangle that the picture rectangle (x1, y1)-(x2, y2), in
// picture pixels, covers under the current placement.
void environment_2d__screen_to_window_rect(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);
// Window thread: publishes a frame's placement for the readers above.
namespace kx {
struct placement;
void publish_placement(const placement& p, int32_t frame_w, int32_t frame_h);
}  // namespace kx
// Window thread at creation: the desktop's size.
inline std::atomic<int32_t> desktop_width{0};
inline std::atomic<int32_t> desktop_height{0};

namespace kx {

// Where a frame of frame_w x frame_h goes in a window of window_w x
// window_h under the scaling settings.
struct placement {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // occupied window rectangle (x2, y2 exclusive)
  double x_scale = 1, y_scale = 1;
  bool smooth = false;
  int32_t letterbox = 0;  // 0 none, 1 bars left and right, 2 top and bottom
};
placement prepare_environment_2d(int32_t frame_w, int32_t frame_h, int32_t window_w, int32_t window_h,
                                 int32_t full_screen_mode, int32_t resize_auto_mode, int32_t smooth_full_screen);

// What the window should do about its size after a frame of w x h arrived:
// the caller keeps the remembered values between frames.
struct window_sizing {
  int32_t snapback_x = 640, snapback_y = 400;
  double accept_aspect = 1.6;
  int32_t last_reshape_x = 640, last_reshape_y = 400;  // size at the previous decision
};
struct resize_request {
  bool reshape = false;
  int32_t width = 0, height = 0;
};
resize_request decide_window_size(window_sizing& s, int32_t frame_w, int32_t frame_h, int32_t window_w,
                                  int32_t window_h, bool auto_scale, bool snapback);

}  // namespace kx
