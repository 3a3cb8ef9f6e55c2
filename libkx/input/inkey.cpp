#include "input/inkey.h"

#include "base/clock.h"
#include "base/error.h"
#include "input/bios_keyboard.h"
#include "input/key_rings.h"
#include "input/keyboard.h"
#include "values/string_create.h"
#include "values/string_release.h"

bool inkey_waiting() { return bios_keyboard_waiting(); }

kxs* kxs_inkey() {
  if (new_error.load()) return kxs_new(0, 1);
  Sleep(0);  // a program polling INKEY$ leaves the window thread its time
  uint8_t character = 0;
  uint8_t scan = 0;
  if (!bios_keyboard_take(&character, &scan)) return kxs_new(0, 1);
  kxs* result;
  if (character != 0 || scan == 0) {
    result = kxs_new(1, 1);
    result->chars[0] = character;
  } else {
    result = kxs_new(2, 1);
    result->chars[0] = 0;
    result->chars[1] = scan;
  }
  return result;
}

bool inkey_take_key() {
  kxs* k = kxs_inkey();
  const bool taken = k->length != 0;
  kxs_free(k);
  return taken;
}

int32_t func__keyhit() {
  int32_t code = 0;
  return keyhit.pop(&code) ? code : 0;
}

int32_t func__keydown(int32_t code) {
  if (new_error.load()) return 0;
  if (code <= 0) {
    error(err::illegal_function_call);
    return 0;
  }
  return keyheld(static_cast<uint32_t>(code)) ? -1 : 0;
}

void sub__keyclear(int32_t n, int32_t passed) {
  if (new_error.load()) return;
  if (passed && (n < 1 || n > 3)) {
    error(err::illegal_function_call);
    return;
  }
  if (!passed || n == 1) bios_keyboard_clear();
  if (!passed || n == 2) keyhit.clear();
  if (!passed || n == 3) port60h.clear();
}

uint8_t keyboard_port60h_read() { return port60h.take(); }
