// Code page 437 text as UTF-8, for printing what a screen shows.
#include "screen_reader.h"
#include "values/codepage437.h"

namespace kx::screen_reader {

std::string cp437_to_utf8(const std::string& cp437) {
  std::string out;
  out.reserve(cp437.size() * 3);
  for (const char byte : cp437) {
    const uint32_t c = codepage437_to_unicode16[static_cast<uint8_t>(byte)];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {  // the table holds only the basic multilingual plane
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace kx::screen_reader
