// Conversions between the program's code page 437 text and what other
// programs put on the clipboard.
#include <cstdint>
#include <string>

#include "platform/clipboard.h"
#include "values/unicode_map.h"

namespace {

void put_utf8(uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code page byte for a code point. Control characters keep their byte:
// text with line ends and tabs must come through as it was.
char cp437_byte(uint32_t code) {
  if (code < 0x20 || code == 0x7F) return static_cast<char>(code);
  if (code == 0x20) return ' ';
  const int32_t position = kx::mapped_position(code);
  return position > 0 ? static_cast<char>(position) : '?';
}

}  // namespace

std::string kx::cp437_to_utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    // Control bytes stay control bytes (CR, LF, TAB); the rest take the
    // characters the screen shows for them.
    if (c < 0x20 || c == 0x7F) {
      out += static_cast<char>(c);
    } else {
      put_utf8(kx::mapped_unicode(c), out);
    }
  }
  return out;
}

std::string kx::utf8_to_cp437(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
      out += '?';  // a stray or cut-off sequence
      ++i;
      continue;
    }
    uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) valid = false;
      code = code << 6 | (next & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += cp437_byte(code);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string kx::latin1_to_cp437(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) out += cp437_byte(c);
  return out;
}
