// Clipboard text conversions on any bytes: UTF-8 from another program may
// be broken anywhere, and code page text must survive the trip out to UTF-8
// and back (the blank position 255 comes back as a space).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // Foreign text: never more code page bytes than UTF-8 bytes.
  const std::string from_utf8 = kx::utf8_to_cp437(bytes);
  if (from_utf8.size() > bytes.size()) std::abort();
  if (kx::latin1_to_cp437(bytes).size() != bytes.size()) std::abort();

  std::string expected = bytes;
  for (char& c : expected) {
    if (c == '\xFF') c = ' ';
  }
  if (kx::utf8_to_cp437(kx::cp437_to_utf8(bytes)) != expected) std::abort();
  return 0;
}
