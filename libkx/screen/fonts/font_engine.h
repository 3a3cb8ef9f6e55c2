#pragma once
// The outline font engine's interface and the table of loaded fonts. This
// system has no engine: every entry point fails (returns 0) until one is
// installed, so no font can be loaded. Application thread only.
#include <cstdint>
#include <vector>

// Engine handle per font number, 0 = free (built-in fonts have none).
extern std::vector<int32_t> font;

// Engine handle, or 0.
int32_t FontLoad(const uint8_t* content, int32_t bytes, int32_t height, int32_t which, int32_t options);
// Fixed advance width, or 0 for a proportional font.
int32_t FontWidth(int32_t handle);
// 1 on success: a coverage bitmap (0-255) of w x h bytes that the caller
// frees with std::free, and the pixels before and after the ink.
int32_t FontRenderTextASCII(int32_t handle, const uint8_t* text, int32_t length, int32_t monochrome,
                            uint8_t** out_pixels, int32_t* out_w, int32_t* out_h, int32_t* out_pre_x,
                            int32_t* out_post_x);
int32_t FontRenderTextUTF32(int32_t handle, const uint32_t* text, int32_t length, int32_t monochrome,
                            uint8_t** out_pixels, int32_t* out_w, int32_t* out_h, int32_t* out_pre_x,
                            int32_t* out_post_x);
void FontFree(int32_t handle);

namespace kx {

// What an engine provides; the entry points above call it.
struct font_engine {
  int32_t (*load)(const uint8_t*, int32_t, int32_t, int32_t, int32_t);
  int32_t (*width)(int32_t);
  int32_t (*render_ascii)(int32_t, const uint8_t*, int32_t, int32_t, uint8_t**, int32_t*, int32_t*, int32_t*,
                          int32_t*);
  int32_t (*render_utf32)(int32_t, const uint32_t*, int32_t, int32_t, uint8_t**, int32_t*, int32_t*, int32_t*,
                          int32_t*);
  void (*free)(int32_t);
};
// Null: no engine (this system's state).
void install_font_engine(const font_engine* engine);

// Gives an engine font the first free number from 32 up, growing the font
// tables when all are taken, with its height, the engine's advance width
// and the flags. Returns the number.
int32_t register_loaded_font(int32_t engine_handle, int32_t height, uint32_t flags);
// Start-up: every loaded-font number free.
void font_table_init();

}  // namespace kx
