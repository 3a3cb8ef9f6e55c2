#include "screen/text/font_statements.h"

#include <array>
#include <cstdio>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "base/error.h"
#include "screen/fonts/font_engine.h"
#include "screen/fonts/fonts.h"
#include "screen/images/display_lock.h"
#include "screen/images/image_create.h"
#include "screen/images/image_table.h"
#include "screen/images/rgb_functions.h"
#include "screen/images/screen_modes.h"
#include "screen/text/loaded_font_glyphs.h"
#include "values/string_descriptor.h"

namespace {

constexpr int32_t font_height_max = 2048;
constexpr int32_t no_font = -1;

struct font_option {
  std::string_view name;
  int32_t flag;
};
constexpr std::array<font_option, 6> font_options{{
    {"BOLD", 1},
    {"ITALIC", 2},
    {"UNDERLINE", 4},
    {"DONTBLEND", 8},
    {"MONOSPACE", 16},
    {"UNICODE", 32},
}};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// The flag of one option name, or 0 for none.
int32_t option_flag(std::string_view item) {
  for (const auto& o : font_options) {
    if (o.name == item) return o.flag;
  }
  return 0;
}

// The whole file, or null when it cannot be opened or read (or does not fit
// the engine's 32-bit length).
struct file_bytes {
  std::unique_ptr<uint8_t[]> data;
  int32_t length = 0;
};
file_bytes read_font_file(const std::string& name) {
  struct closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, closer> f(std::fopen(name.c_str(), "rb"));
  if (!f) return {};
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return {};
  const long size = std::ftell(f.get());
  if (size <= 0 || size > INT32_MAX || std::fseek(f.get(), 0, SEEK_SET) != 0) return {};
  file_bytes out;
  out.data.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!out.data) return {};
  if (std::fread(out.data.get(), 1, static_cast<size_t>(size), f.get()) != static_cast<size_t>(size)) return {};
  out.length = static_cast<int32_t>(size);
  return out;
}

// The fonts _FONT accepts: the built-in ones and loaded ones.
bool selectable_font(int32_t f) { return f >= 0 && (kx::is_builtin_font(uint32_t(f)) || kx::is_loaded_font(uint32_t(f))); }

// The fonts _FONTWIDTH and _FONTHEIGHT measure: the doubled built-in forms
// are left out.
bool measurable_font(int32_t f) {
  return f == 8 || f == 14 || f == 16 || (f >= 0 && kx::is_loaded_font(uint32_t(f)));
}

// A text screen shows all its pages in one cell size: they change font
// together, keeping their cursors, while the composer is held off.
void set_text_screen_font(int32_t f) {
  kx::display_lock hold;
  kx::screen_last_valid_reset();
  for (int32_t n = 0; n < pages; ++n) {
    const int32_t index = page[static_cast<uint64_t>(n)];
    if (index) img[index].font = static_cast<uint32_t>(f);
  }
}

}  // namespace

int32_t kx::font_option_flags(const uint8_t* text, int32_t length) {
  std::string upper(reinterpret_cast<const char*>(text), static_cast<size_t>(length > 0 ? length : 0));
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  // An empty option string is one empty item, which names no option.
  int32_t flags = 0;
  std::string_view rest(upper);
  for (;;) {
    const size_t comma = rest.find(',');
    const int32_t flag = option_flag(trimmed(rest.substr(0, comma)));
    if (flag == 0 || (flags & flag)) {
      error(err::illegal_function_call);
      return -1;
    }
    flags |= flag;
    if (comma == std::string_view::npos) return flags;
    rest.remove_prefix(comma + 1);
  }
}

int32_t func__loadfont(kxs* file, int32_t height, kxs* options, int32_t passed) {
  if (new_error.load()) return no_font;
  if (height <= 0) {
    error(err::illegal_function_call);
    return no_font;
  }
  if (height > font_height_max) return no_font;
  int32_t flags = 0;
  if (passed & 1) {
    flags = kx::font_option_flags(options->chars, options->length);
    if (flags < 0) return no_font;
  }
  return fontopen(file, height, flags);
}

int32_t fontopen(kxs* file, int32_t height, int32_t flags) {
  if (new_error.load() || file->length <= 0) return no_font;
  const std::string name(reinterpret_cast<const char*>(file->chars), static_cast<size_t>(file->length));
  // A name with a zero byte in it names no file the C library can open.
  if (name.find('\0') != std::string::npos) return no_font;
  const file_bytes content = read_font_file(name);
  if (!content.data) return no_font;
  const int32_t handle = FontLoad(content.data.get(), content.length, height, -1, flags);
  if (handle == 0) return no_font;
  return kx::register_loaded_font(handle, height, static_cast<uint32_t>(flags));
}

void sub__font(int32_t f, int32_t image, int32_t passed) {
  if (new_error.load()) return;
  img_struct* target = kx::optional_image(image, passed);
  if (!target) return;
  if (!selectable_font(f)) {
    error(err::invalid_handle);
    return;
  }
  if (target->text && !(fontflags[static_cast<size_t>(f)] & fontflag_monospace)) {
    error(err::illegal_function_call);
    return;
  }
  if (target->text && (target->flags & img_screen_page)) {
    set_text_screen_font(f);
    return;
  }
  selectfont(f, target);
}

int32_t func__font(int32_t image, int32_t passed) {
  if (new_error.load()) return 0;
  const img_struct* target = kx::optional_image(image, passed);
  return target ? static_cast<int32_t>(target->font) : 0;
}

namespace {
// The font _FONTWIDTH and _FONTHEIGHT measure, or -1 after error 258.
int32_t measured_font(int32_t f, int32_t passed) {
  if (!(passed & 1)) return static_cast<int32_t>(write_page->font);
  if (measurable_font(f)) return f;
  error(err::invalid_handle);
  return -1;
}
}  // namespace

int32_t func__fontwidth(int32_t f, int32_t passed) {
  if (new_error.load()) return 0;
  const int32_t measured = measured_font(f, passed);
  return measured < 0 ? 0 : fontwidth[static_cast<size_t>(measured)];
}

int32_t func__fontheight(int32_t f, int32_t passed) {
  if (new_error.load()) return 0;
  const int32_t measured = measured_font(f, passed);
  return measured < 0 ? 0 : fontheight[static_cast<size_t>(measured)];
}

void sub__freefont(int32_t f) {
  if (new_error.load()) return;
  if (f < 0 || !kx::is_loaded_font(uint32_t(f))) {
    error(err::invalid_handle);
    return;
  }
  for (int32_t i = 0; i < nextimg; ++i) {
    if (img[i].valid && img[i].font == uint32_t(f)) {
      error(err::illegal_function_call);
      return;
    }
  }
  const size_t n = static_cast<size_t>(f);
  FontFree(font[n]);
  font[n] = 0;
  fontwidth[n] = 0;
  fontheight[n] = 0;
  fontflags[n] = 0;
}
