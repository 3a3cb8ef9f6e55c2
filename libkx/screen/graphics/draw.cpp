#include "screen/graphics/draw.h"

#include <array>
#include <cmath>

#include "base/error.h"
#include "screen/graphics/aspect.h"
#include "screen/graphics/coordinates.h"
#include "screen/graphics/draw_position.h"
#include "screen/graphics/lines.h"
#include "screen/graphics/paint.h"
#include "screen/images/image_table.h"
#include "values/conventional_memory.h"
#include "values/rounding.h"
#include "values/string_descriptor.h"

namespace {

constexpr int32_t call_depth_max = 8192;
constexpr double degrees_to_radians = 0.0174532925199433;
constexpr uint8_t string_pointer_type = 3;

struct vector2 {
  double x, y;
};

// The pen's state for one DRAW statement.
struct pen_state {
  double px, py;
  uint32_t colour;
  bool blind = false;      // B: the next movement draws nothing
  bool stay = false;       // N: the next movement returns the pen
  double r, ir;            // the pixel aspect and its inverse
  vector2 v, h, e, f;      // up, right, up-right, down-right
  double scale;
};

std::array<kx::draw_string_position, call_depth_max> call_stack;

// The four direction vectors as reset, turned by the angle in degrees
// (counterclockwise on the screen, whose y points down).
void turn(pen_state& pen, double degrees) {
  pen.v = {0, -1};
  pen.h = {pen.r, 0};
  pen.e = {pen.r, -1};
  pen.f = {pen.r, 1};
  if (degrees == 0) return;
  const double t = degrees_to_radians * degrees;
  const double c = std::cos(t), s = std::sin(t);
  for (vector2* w : {&pen.v, &pen.h, &pen.e, &pen.f}) *w = {w->x * c + w->y * s, w->y * c - w->x * s};
}

void move_to(pen_state& pen, double tx, double ty) {
  if (!pen.blind) {
    kx::fast_line_exact({pen.px, pen.py}, {tx, ty}, pen.colour);
  }
  if (!pen.stay) {
    pen.px = tx;
    pen.py = ty;
  }
  pen.blind = pen.stay = false;
}

void step(pen_state& pen, vector2 w, double n) {
  move_to(pen, pen.px + n * w.x * pen.ir * pen.scale, pen.py + n * w.y * pen.scale);
}

bool at_end() { return kx::draw_position.index >= kx::draw_position.length; }

void skip_blanks() {
  auto& s = kx::draw_position;
  while (s.index < s.length && (s.text[s.index] == ' ' || s.text[s.index] == '\t')) ++s.index;
}

// A number that must be present and well formed.
bool required_number(double& n) {
  n = draw_num();
  return !draw_num_invalid && !draw_num_undefined;
}

bool whole_number(double& n) { return required_number(n) && n == std::floor(n); }

// Two required numbers separated by a comma.
bool number_pair(double& a, double& b, bool (*read)(double&)) {
  if (!read(a)) return false;
  skip_blanks();
  if (at_end() || kx::draw_position.text[kx::draw_position.index] != ',') return false;
  ++kx::draw_position.index;
  return read(b);
}

// Colours as the program wrote them: negative values keep their bit pattern.
uint32_t as_colour(double n) { return static_cast<uint32_t>(kxr(n)); }

// Continues in the string a 3-byte pointer names: type 3, then the data
// segment offset of the string's legacy descriptor (length, text offset).
bool call_substring(int32_t& depth) {
  auto& s = kx::draw_position;
  if (s.length - s.index < 3) return false;
  const uint8_t* p = s.text + s.index;
  if (p[0] != string_pointer_type) return false;
  s.index += 3;
  if (depth == call_depth_max) {
    error(err::overflow);
    return false;
  }
  const uint16_t descriptor = static_cast<uint16_t>(p[1] | p[2] << 8);
  const uint8_t* d = dblock + descriptor;
  const int32_t length = d[0] | d[1] << 8;
  const uint16_t text = static_cast<uint16_t>(d[2] | d[3] << 8);
  call_stack[size_t(depth++)] = s;
  s = {dblock + text, length, 0};
  return true;
}

// Runs one command letter; false stops DRAW (with an error raised).
bool command(pen_state& pen, img_struct& image, uint8_t letter, int32_t& depth) {
  auto fail = [] {
    if (!new_error) error(err::illegal_function_call);
    return false;
  };
  double n = 0, m = 0;
  switch (letter) {
    case 'U': case 'D': case 'L': case 'R': case 'E': case 'F': case 'G': case 'H': {
      n = draw_num();
      if (draw_num_invalid) return fail();
      if (draw_num_undefined) n = 1;
      const struct { uint8_t letter; vector2 pen_state::*w; double sign; } moves[] = {
          {'U', &pen_state::v, 1}, {'D', &pen_state::v, -1}, {'L', &pen_state::h, -1}, {'R', &pen_state::h, 1},
          {'E', &pen_state::e, 1}, {'F', &pen_state::f, 1}, {'G', &pen_state::e, -1}, {'H', &pen_state::f, -1}};
      for (const auto& mv : moves) {
        if (mv.letter == letter) step(pen, pen.*(mv.w), n * mv.sign);
      }
      return true;
    }
    case 'M': {
      skip_blanks();
      if (at_end()) return fail();
      const uint8_t c = kx::draw_position.text[kx::draw_position.index];
      const bool relative = c == '+' || c == '-';
      if (!number_pair(n, m, required_number)) return fail();
      if (relative) {
        const double dx = pen.h.x * (n * pen.ir) - pen.v.x * (m * pen.ir);
        const double dy = pen.h.y * n - pen.v.y * m;
        move_to(pen, pen.px + dx * pen.scale, pen.py + dy * pen.scale);
      } else {
        move_to(pen, n, m);
      }
      return true;
    }
    case 'B':
      pen.blind = true;
      return true;
    case 'N':
      pen.stay = true;
      return true;
    case 'C':
      if (!whole_number(n)) return fail();
      pen.colour = as_colour(n);
      image.draw_color = pen.colour;
      return true;
    case 'S':
      if (!required_number(n) || n < 0) return fail();
      pen.scale = n / 4;
      image.graphics.draw_scale = pen.scale;
      return true;
    case 'T': {
      skip_blanks();
      if (at_end()) return fail();
      const uint8_t a = kx::draw_position.text[kx::draw_position.index++];
      if ((a & 0xDF) != 'A' || !required_number(n)) return fail();
      image.graphics.draw_angle = n;
      turn(pen, n);
      return true;
    }
    case 'A':
      if (!required_number(n) || !(n == 0 || n == 1 || n == 2 || n == 3)) return fail();
      image.graphics.draw_angle = n * 90;
      turn(pen, n * 90);
      return true;
    case 'P': {
      if (!number_pair(n, m, whole_number)) return fail();
      const auto at = kx::to_logical_exact(image.graphics, pen.px, pen.py);
      sub_paint(static_cast<float>(at.x), static_cast<float>(at.y), as_colour(n), as_colour(m), nullptr, 2 | 4);
      if (new_error) return false;
      pen.colour = as_colour(n);
      return true;
    }
    case 'X':
      return call_substring(depth) || fail();
    default:
      return fail();
  }
}

}  // namespace

void sub_draw(kxs* commands) {
  img_struct* image = kx::graphics_destination();
  if (!image) return;
  auto& g = image->graphics;
  pen_state pen{};
  pen.r = kx::pixel_aspect(image->mode);
  pen.ir = 1 / pen.r;
  pen.scale = g.draw_scale;
  turn(pen, g.draw_angle);
  const auto start = kx::to_pixel_exact(g, g.x, g.y);
  pen.px = start.x;
  pen.py = start.y;
  pen.colour = image->draw_color;
  auto& s = kx::draw_position;
  s = {commands->chars, commands->length, 0};
  int32_t depth = 0;
  for (;;) {
    if (at_end()) {
      if (!depth) break;
      s = call_stack[size_t(--depth)];
      continue;
    }
    uint8_t c = s.text[s.index++];
    if (c == ' ' || c == '\t' || c == ';') continue;
    if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 'a' + 'A');
    if (!command(pen, *image, c, depth)) return;
  }
  const auto end = kx::to_logical_exact(g, pen.px, pen.py);
  g.x = static_cast<float>(end.x);
  g.y = static_cast<float>(end.y);
}
