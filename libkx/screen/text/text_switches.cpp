#include "screen/text/text_switches.h"

#include "base/error.h"
#include "screen/text/print.h"

void sub__controlchr(int32_t n) {
  if (new_error.load()) return;
  no_control_characters2 = n == 2 ? 1 : 0;
}

int32_t func__controlchr() { return no_control_characters2 ? -1 : 0; }

void sub__blink(int32_t n) {
  if (new_error.load()) return;
  H3C0_blink_enable = n == 1 ? 1 : 0;
}

int32_t func__blink() { return H3C0_blink_enable.load() ? -1 : 0; }
