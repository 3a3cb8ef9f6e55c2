#include "screen/fonts/font_engine.h"

#include <cstddef>

#include "screen/fonts/fonts.h"

std::vector<int32_t> font;

namespace {
const kx::font_engine* engine = nullptr;
}  // namespace

int32_t FontLoad(const uint8_t* content, int32_t bytes, int32_t height, int32_t which, int32_t options) {
  return engine ? engine->load(content, bytes, height, which, options) : 0;
}

int32_t FontWidth(int32_t handle) { return engine ? engine->width(handle) : 0; }

int32_t FontRenderTextASCII(int32_t handle, const uint8_t* text, int32_t length, int32_t monochrome,
                            uint8_t** out_pixels, int32_t* out_w, int32_t* out_h, int32_t* out_pre_x,
                            int32_t* out_post_x) {
  if (!engine) return 0;
  return engine->render_ascii(handle, text, length, monochrome, out_pixels, out_w, out_h, out_pre_x, out_post_x);
}

int32_t FontRenderTextUTF32(int32_t handle, const uint32_t* text, int32_t length, int32_t monochrome,
                            uint8_t** out_pixels, int32_t* out_w, int32_t* out_h, int32_t* out_pre_x,
                            int32_t* out_post_x) {
  if (!engine) return 0;
  return engine->render_utf32(handle, text, length, monochrome, out_pixels, out_w, out_h, out_pre_x, out_post_x);
}

void FontFree(int32_t handle) {
  if (engine) engine->free(handle);
}

void kx::install_font_engine(const font_engine* e) { engine = e; }

void kx::font_table_init() { font.assign(fontwidth.size(), 0); }

int32_t kx::register_loaded_font(int32_t engine_handle, int32_t height, uint32_t flags) {
  if (font.size() < fontwidth.size()) font.resize(fontwidth.size(), 0);
  int32_t number = first_loaded_font;
  while (number <= lastfont && font[static_cast<size_t>(number)] != 0) ++number;
  if (number > lastfont) {
    lastfont = number;
    const size_t entries = static_cast<size_t>(lastfont) + 1;
    font.resize(entries, 0);
    fontwidth.resize(entries, 0);
    fontheight.resize(entries, 0);
    fontflags.resize(entries, 0);
  }
  const size_t n = static_cast<size_t>(number);
  font[n] = engine_handle;
  fontheight[n] = height;
  fontwidth[n] = FontWidth(engine_handle);
  fontflags[n] = static_cast<int32_t>(flags);
  return number;
}
