#include "input/mouse_position.h"

#include <atomic>
#include <cctype>
#include <string>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/window_wake.h"
#include "input/mouse_queues.h"
#include "screen/compose/presentation_state.h"
#include "screen/fonts/fonts.h"
#include "screen/images/image_table.h"
#include "values/rounding.h"
#include "values/string_descriptor.h"

int32_t mouse_cursor_style = cursor_default;

namespace {

// Requests for the window thread: -1 when none waits. A warp carries
// x in the high and y in the low 32 bits.
std::atomic<int64_t> warp_request{-1};
std::atomic<int32_t> cursor_request{-1};

struct page_metrics {
  bool text;
  int32_t cell_w, cell_h;    // font size on text pages, 1 x 1 on graphics pages
  int32_t width, height;     // in pixels
  int32_t columns, rows;     // in cells (pixels on graphics pages)
};

page_metrics display_page_metrics() {
  const img_struct* p = display_page.load();
  page_metrics m{false, 1, 1, 640, 400, 640, 400};
  if (!p) return m;
  m.columns = p->width;
  m.rows = p->height;
  if (p->text) {
    m.text = true;
    const size_t font = p->font;
    m.cell_w = font < fontwidth.size() && fontwidth[font] > 0 ? fontwidth[font] : 8;
    m.cell_h = font < fontheight.size() && fontheight[font] > 0 ? fontheight[font] : 16;
  }
  m.width = m.columns * m.cell_w;
  m.height = m.rows * m.cell_h;
  return m;
}

// A message's coordinate along one axis, in the program's terms.
float message_coordinate(const mouse_message& m, bool vertical) {
  const page_metrics page = display_page_metrics();
  const int32_t pixel =
      vertical ? kx::window_to_picture(m.y, environment_2d__screen_y1.load(), environment_2d__screen_y_scale.load(),
                                       environment_2d__screen_height.load(), page.height)
               : kx::window_to_picture(m.x, environment_2d__screen_x1.load(), environment_2d__screen_x_scale.load(),
                                       environment_2d__screen_width.load(), page.width);
  if (!page.text) return static_cast<float>(pixel);
  return static_cast<float>(pixel / (vertical ? page.cell_h : page.cell_w) + 1);
}

// The current message's coordinate along one axis.
float mouse_coordinate(int32_t q, int32_t given, bool vertical) {
  if (new_error.load()) return 0;
  mouse_message m{};
  if (!kx::mouse_current_message(q, given, &m)) return 0;
  return message_coordinate(m, vertical);
}

// Waits until the window exists; a stopping process parks the thread.
void wait_for_window() {
  while (!window_exists.load()) {
    if (stop_program.load()) kx::park_application_thread();
    Sleep(100);
  }
}

// A column or row (text) or pixel (graphics) as a picture pixel; false with
// error 5 when it lies outside the page.
bool page_pixel(float v, bool text, int32_t cells, int32_t cell_size, int32_t* pixel) {
  if (text) {
    if (!(v >= 0.5f && v <= cells + 0.5f)) return false;
    int64_t p = kxr(static_cast<long double>(cell_size) * (v - 0.5L));
    const int64_t limit = int64_t{cell_size} * cells - 1;
    *pixel = static_cast<int32_t>(p < 0 ? 0 : (p > limit ? limit : p));
    return true;
  }
  const int64_t p = kxr(v);
  if (p < 0 || p >= cells) return false;
  *pixel = static_cast<int32_t>(p);
  return true;
}

void request_cursor(int32_t cursor) {
  if (screen_hide.load()) return;
  wait_for_window();
  cursor_request = cursor;
  kx::wake_window_thread();
}

struct cursor_style {
  const char* name;
  int32_t cursor;
};
constexpr cursor_style cursor_styles[] = {
    {"DEFAULT", 1},   {"LINK", 2},        {"TEXT", 8},
    {"CROSSHAIR", 9}, {"VERTICAL", 10},   {"HORIZONTAL", 11},
    {"TOPLEFT_BOTTOMRIGHT", 16}, {"TOPRIGHT_BOTTOMLEFT", 17},
};

}  // namespace

float kx::mouse_message_x(const mouse_message& m) { return message_coordinate(m, false); }
float kx::mouse_message_y(const mouse_message& m) { return message_coordinate(m, true); }

int32_t kx::window_to_picture(int32_t window_pos, int32_t origin, double scale, int32_t size, int32_t page_pixels) {
  if (scale <= 0) scale = 1;
  int64_t p = kxr((window_pos - origin + 0.5L) / scale - 0.5L);
  if (p > size - 1) p = size - 1;
  if (p > page_pixels - 1) p = page_pixels - 1;
  if (p < 0) p = 0;
  return static_cast<int32_t>(p);
}

kx::device_axes kx::mouse_device_axes(int32_t window_x, int32_t window_y) {
  auto scaled = [](int32_t pos, int32_t offset, int32_t w) {
    int32_t p = pos - offset;
    if (w < 2) return 0.0f;
    if (p < 0) p = 0;
    if (p > w - 1) p = w - 1;
    return static_cast<float>(static_cast<double>(p) / (w - 1) * 2 - 1);
  };
  return {scaled(window_x, environment_2d__screen_x1.load(), environment_2d__screen_scaled_width.load()),
          scaled(window_y, environment_2d__screen_y1.load(), environment_2d__screen_scaled_height.load())};
}

bool kx::take_mouse_warp_request(int32_t* x, int32_t* y) {
  const int64_t w = warp_request.exchange(-1);
  if (w < 0) return false;
  *x = static_cast<int32_t>(w >> 32);
  *y = static_cast<int32_t>(w & 0xFFFFFFFF);
  return true;
}

bool kx::take_cursor_request(int32_t* cursor) {
  const int32_t c = cursor_request.exchange(-1);
  if (c < 0) return false;
  *cursor = c;
  return true;
}

float func__mousex(int32_t q, int32_t given) { return mouse_coordinate(q, given, false); }
float func__mousey(int32_t q, int32_t given) { return mouse_coordinate(q, given, true); }

void sub__mousemove(float x, float y) {
  if (new_error.load()) return;
  const page_metrics page = display_page_metrics();
  int32_t px = 0, py = 0;
  if (!page_pixel(x, page.text, page.columns, page.cell_w, &px) ||
      !page_pixel(y, page.text, page.rows, page.cell_h, &py)) {
    error(err::illegal_function_call);
    return;
  }
  wait_for_window();
  int32_t x2 = px, y2 = py;
  environment_2d__screen_to_window_rect(px, py, x2, y2);
  warp_request = (int64_t{px} << 32) | static_cast<uint32_t>(py);
  kx::wake_window_thread();
}

void sub__mouseshow(kxs* style, int32_t given) {
  if (new_error.load()) return;
  if (given) {
    std::string name(reinterpret_cast<const char*>(style->chars), static_cast<size_t>(style->length));
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    int32_t chosen = 0;
    for (const cursor_style& s : cursor_styles) {
      if (name == s.name) chosen = s.cursor;
    }
    if (!chosen) {
      error(err::illegal_function_call);
      return;
    }
    mouse_cursor_style = chosen;
  }
  request_cursor(mouse_cursor_style);
}

void sub__mousehide() {
  if (new_error.load()) return;
  request_cursor(cursor_none);
}
