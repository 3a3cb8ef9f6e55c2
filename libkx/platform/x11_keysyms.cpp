#include "platform/x11_keysyms.h"

#include "input/key_codes.h"
#include "platform/x11_keysym_table.h"

uint32_t kx::x11_keysym_code(unsigned long keysym, unsigned int state, unsigned int numlock_mask,
                             unsigned int ctrl_mask) {
  for (const auto& k : keypad_keysyms) {
    if (k.keysym == keysym) return (state & numlock_mask) ? key::keypad_0 + k.n : key::keypad_nl_off_insert + k.n;
  }
  for (const auto& k : fixed_keysyms) {
    if (k.keysym != keysym) continue;
    if (k.code == key::pause && (state & ctrl_mask)) return key::break_key;
    return k.code;
  }
  return 0;
}
