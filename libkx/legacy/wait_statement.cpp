#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "legacy/ports.h"

namespace {

bool outside(int32_t v, int32_t low, int32_t high) { return v < low || v > high; }

}  // namespace

void sub_wait(int32_t port, int32_t andmask, int32_t xormask, int32_t passed) {
  if (new_error.load()) return;
  if (outside(port, -65536, 65535) || outside(andmask, -32768, 65535) ||
      (passed && outside(xormask, -32768, 65535))) {
    error(err::overflow);
    return;
  }
  const int32_t and_bits = andmask & 0xFF;
  const int32_t xor_bits = passed ? xormask & 0xFF : 0;
  for (;;) {
    const int32_t value = func_inp(port & 0xFFFF);
    if ((value ^ xor_bits) & and_bits) return;
    // A port that is not emulated never changes; a stopping process must
    // not be held here.
    if (unsupported_port_accessed || stop_program.load() || new_error.load()) return;
    Sleep(1);
  }
}
