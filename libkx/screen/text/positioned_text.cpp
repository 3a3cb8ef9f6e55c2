#include "screen/text/positioned_text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/graphics/coordinates.h"
#include "screen/images/image_table.h"
#include "screen/images/rgb_functions.h"
#include "screen/images/screen_modes.h"
#include "screen/text/cursor.h"
#include "screen/text/glyph_paint.h"
#include "screen/text/loaded_font_glyphs.h"
#include "screen/text/print.h"
#include "values/rounding.h"
#include "values/string_descriptor.h"

namespace {

// Print modes by _PRINTMODE's form number (1-3).
constexpr std::array<uint8_t, 4> mode_of_form{0, print_mode_fill_background, print_mode_keep_background,
                                              print_mode_only_background};

// The destination of one statement: made _DEST on entry, the previous one
// restored however the statement leaves.
class destination_for_statement {
 public:
  explicit destination_for_statement(img_struct* image) : saved_(write_page), saved_index_(write_page_index) {
    write_page = image;
    write_page_index = kx::image_index(image);
  }
  ~destination_for_statement() {
    write_page = saved_;
    write_page_index = saved_index_;
  }
  destination_for_statement(const destination_for_statement&) = delete;
  destination_for_statement& operator=(const destination_for_statement&) = delete;

 private:
  img_struct* saved_;
  int32_t saved_index_;
};

// LOCATE row, column and PRINT text; with the cursor put back as it was.
// The placement never rebuilds the screen: LOCATE's one-time switch to 50
// lines is held off, as it would free the page being printed on.
void print_on_text_image(img_struct& image, int32_t column, int32_t row, kxs* text) {
  const int32_t x = image.cursor_x, y = image.cursor_y;
  const uint8_t holding = image.holding_cursor;
  const int32_t switch_allowed = width8050switch;
  width8050switch = 0;
  kxg_sub_locate(row, column, 0, 0, 0, 3);
  width8050switch = switch_allowed;
  if (!new_error.load()) kxs_print(text, 0);
  image.cursor_x = x;
  image.cursor_y = y;
  image.holding_cursor = holding;
}

// The whole text rendered by the loaded font in one piece and painted.
void paint_loaded_text(img_struct& image, int32_t x0, int32_t y0, const kxs* text) {
  const int32_t handle = font[image.font];
  const int32_t monochrome = kx::paints_monochrome(image) ? 1 : 0;
  kx::rendered_glyph rendered;
  int32_t pre_x = 0, post_x = 0;
  int32_t ok = 0;
  if (fontflags[image.font] & fontflag_unicode) {
    std::vector<uint32_t> code_points(static_cast<size_t>(text->length / 4));
    if (code_points.empty()) return;
    std::memcpy(code_points.data(), text->chars, code_points.size() * 4);
    ok = FontRenderTextUTF32(handle, code_points.data(), static_cast<int32_t>(code_points.size()), monochrome,
                             &rendered.coverage, &rendered.w, &rendered.h, &pre_x, &post_x);
  } else {
    ok = FontRenderTextASCII(handle, text->chars, text->length, monochrome, &rendered.coverage, &rendered.w,
                             &rendered.h, &pre_x, &post_x);
  }
  if (!ok || !rendered.coverage || rendered.w < 0 || rendered.h < 0) return;
  kx::paint_coverage(image, x0, y0, rendered);
}

void print_on_pixel_image(img_struct& image, float x, float y, kxs* text, bool step) {
  auto& g = image.graphics;
  if (step) {
    x += g.x;
    y += g.y;
  }
  g.x = x;
  g.y = y;
  const kx::pixel_point p = kx::to_pixel(g, x, y);
  if (kx::is_loaded_font(image.font)) {
    paint_loaded_text(image, p.x, p.y, text);
    return;
  }
  const int64_t advance = fontwidth[image.font];
  for (int32_t i = 0; i < text->length; ++i) {
    const int64_t left = p.x + advance * i;
    if (left >= image.width) break;
    kx::paint_builtin_glyph(image, left, p.y, text->chars[i], kx::glyph_clip::viewport);
  }
}

}  // namespace

void sub__printmode(int32_t form, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* target = kx::optional_image(image, passed);
  if (!target) return;
  if (form < 1 || form > 3 || (target->text && form != 1)) {
    error(err::illegal_function_call);
    return;
  }
  target->print_mode = mode_of_form[static_cast<size_t>(form)];
}

int32_t func__printmode(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* target = kx::optional_image(image, passed);
  return target ? target->print_mode : 0;
}

int32_t func__printwidth(kxs* text, int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* target = kx::optional_image(image, passed);
  if (!target) return 0;
  if (target->text) return text->length;
  if (text->length == 0) return 0;
  const int64_t fixed = fontwidth[target->font];
  if (fixed) {
    const int64_t width = fixed * text->length;
    return width > INT32_MAX ? INT32_MAX : static_cast<int32_t>(width);
  }
  return kx::text_pixel_width(*target, text->chars, text->length);
}

void sub__printstring(float x, float y, kxs* text, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* target = kx::optional_image(image, passed, 2);
  if (!target) return;
  if (text->length == 0) return;
  destination_for_statement as_destination(target);
  if (target->text) {
    print_on_text_image(*target, kxr_float_to_long(x), kxr_float_to_long(y), text);
    return;
  }
  print_on_pixel_image(*target, x, y, text, passed & 1);
}
