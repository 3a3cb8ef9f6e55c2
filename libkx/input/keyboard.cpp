#include "input/keyboard.h"

#include <atomic>
#include <cstring>

#include "base/flags.h"
#include "base/hooks.h"
#include "input/bios_keyboard.h"
#include "input/key_codes.h"
#include "input/key_rings.h"
#include "input/scancode_table.h"
#include "input/trap_sources.h"
#include "values/codepage437.h"
#include "values/conventional_memory.h"

namespace {

// Window thread only.
std::atomic<bool> keydown_glyph{false};
uint32_t keyup_mask[256] = {};
int keyup_mask_last = -1;
bool softkey_expanding = false;  // traps are blocked around a soft key's own presses

// The status bytes and the type-ahead buffer live in cmem, which the
// program thread reads (INKEY$, PEEK) while this thread writes.
void poke_status(uint32_t offset, uint8_t value) {
  std::atomic_ref<uint8_t>(cmem[offset]).store(value, std::memory_order_relaxed);
}

bool held(uint32_t code) { return keyheld_buffer.contains(code); }
bool shift_held() { return held(key::left_shift) || held(key::right_shift); }
bool ctrl_held() { return held(key::left_ctrl) || held(key::right_ctrl); }
bool alt_held() { return held(key::left_alt) || held(key::right_alt); }

void update_shift_state() {
  uint8_t flags = 0, flags_1 = 0, flags_3 = 0x10;
  if (held(key::right_shift)) flags |= 1;
  if (held(key::left_shift)) flags |= 2;
  if (ctrl_held()) flags |= 4;
  if (alt_held()) flags |= 8;
  if (held(key::scroll_lock_toggle)) flags |= 0x10;
  if (held(key::num_lock)) flags |= 0x20;
  if (held(key::caps_lock)) flags |= 0x40;
  if (held(key::insert_toggle)) flags |= 0x80;
  if (held(key::left_ctrl)) flags_1 |= 1;
  if (held(key::left_alt)) flags_1 |= 2;
  if (held(key::sys_req)) flags_1 |= 4;
  if (held(key::pause)) flags_1 |= 8;
  if (held(key::scroll_lock)) flags_1 |= 0x10;
  if (held(key::insert)) flags_1 |= 0x80;
  if (held(key::right_ctrl)) flags_3 |= 1;
  if (held(key::right_alt)) flags_3 |= 2;
  poke_status(bios_keyboard_flags, flags);
  poke_status(bios_keyboard_flags_1, flags_1);
  poke_status(bios_keyboard_flags_3, flags_3);
}

// The scan codes of the modifier and lock keys.
uint8_t modifier_scan_code(uint32_t code) {
  switch (code) {
    case key::left_shift: return 42;
    case key::right_shift: return 54;
    case key::left_alt: case key::right_alt: return 56;
    case key::left_ctrl: case key::right_ctrl: return 29;
    case key::num_lock: return 69;
    case key::caps_lock: return 58;
    case key::scroll_lock: return 70;
    default: return 0;
  }
}

uint8_t modifier_mask(uint32_t code) {
  switch (code) {
    case key::left_shift: case key::right_shift: return 3;
    case key::left_alt: case key::right_alt: return 8;
    case key::left_ctrl: case key::right_ctrl: return 4;
    case key::num_lock: return 0x20;
    case key::caps_lock: return 0x40;
    default: return 0;
  }
}

bool counts_as_extended(uint32_t code) {
  switch (code) {
    case key::left: case key::up: case key::right: case key::down: case key::insert: case key::home:
    case key::page_up: case key::del: case key::end: case key::page_down: case key::keypad_divide:
    case key::keypad_enter: case key::right_ctrl: case key::right_alt:
      return true;
    default:
      return false;
  }
}

// The key's scan code, as a user-defined trap matches it.
uint8_t key_scan_code(uint32_t code) {
  if (const uint8_t m = modifier_scan_code(code)) return m;
  const int row = scancode_row_of(code == key::zero_code ? 0 : code);
  if (row < 0) return 0;
  const auto& r = scancode_lookup[static_cast<size_t>(row)];
  if (row < 256) return static_cast<uint8_t>(r[column_scan]);
  return r[column_plain] != 0 ? static_cast<uint8_t>(r[column_scan]) : 0;
}

void keyup_mask_insert(uint32_t code) {
  for (int i = 0; i <= keyup_mask_last; ++i) {
    if (keyup_mask[i] == 0) {
      keyup_mask[i] = code;
      return;
    }
  }
  if (keyup_mask_last <= 254) keyup_mask[++keyup_mask_last] = code;
}

bool keyup_mask_take(uint32_t code) {
  for (int i = 0; i <= keyup_mask_last; ++i) {
    if (keyup_mask[i] == code) {
      keyup_mask[i] = 0;
      return true;
    }
  }
  return false;
}

// Whether a user-defined trap's shift flags accept the keys held now.
bool shift_flags_match(uint8_t flags, uint8_t mask, uint32_t code, bool extended) {
  if (!(mask & 3) && ((flags & 3) != 0) != shift_held()) return false;
  if (!(mask & 4) && ((flags & 4) != 0) != ctrl_held()) return false;
  if (!(mask & 8) && ((flags & 8) != 0) != alt_held()) return false;
  if ((flags & 0x20) && code != key::num_lock && !held(key::num_lock)) return false;
  if ((flags & 0x40) && code != key::caps_lock && !held(key::caps_lock)) return false;
  return ((flags & 0x80) != 0) == extended;
}

bool armed(const onkey_entry& e) { return e.state.load() != trap_off && e.id.load() != 0; }

// Fires the ON KEY trap this press belongs to; true when one took it.
bool fire_key_trap(uint32_t raw, uint32_t translated, uint8_t scan, uint8_t mask, bool extended) {
  onkey_entry* match = nullptr;
  if (scan != 0) {
    for (auto& e : onkey) {
      const user_key k = kx::user_key_of(e);
      if (k.scan_code == scan && armed(e) && shift_flags_match(k.shift_flags, mask, raw, extended)) {
        match = &e;
        break;
      }
    }
  }
  if (!match) {
    for (auto& e : onkey) {
      if (armed(e) && (static_cast<uint32_t>(e.keycode.load()) == translated ||
                       static_cast<uint32_t>(e.keycode_alternate.load()) == raw)) {
        match = &e;
        break;
      }
    }
  }
  if (!match) return false;
  if (match->state.load() == trap_on) {
    trap_count_event(match->pending);
  } else {
    match->pending = 1;
  }
  kxevent = 1;
  keyup_mask_insert(raw);
  return true;
}

// Types the soft key this press belongs to; true when one took it.
bool expand_soft_key(uint32_t raw, uint32_t translated) {
  for (auto& e : onkey) {
    if (!e.has_softkey.load()) continue;
    if (static_cast<uint32_t>(e.keycode.load()) != translated &&
        static_cast<uint32_t>(e.keycode_alternate.load()) != raw) {
      continue;
    }
    // One copy of the whole text: KEY n may replace it meanwhile.
    const soft_key_text text = kx::soft_key_text_of(e);
    if (text.length == 0) continue;
    keyup_mask_insert(raw);
    softkey_expanding = true;
    for (uint8_t i = 0; i < text.length; ++i) {
      keydown(text.bytes[i]);
      keyup(text.bytes[i]);
    }
    softkey_expanding = false;
    return true;
  }
  return false;
}

// A translation from the table into the buffer (dropped when it is full).
void buffer_translation(int32_t translation, uint8_t row_scan) {
  if (translation == 0) return;
  if (translation < 256) {
    bios_keyboard_put(static_cast<uint8_t>(translation), row_scan);
  } else {
    bios_keyboard_put(0, static_cast<uint8_t>(translation >> 8));
  }
}

void type_character(uint32_t code, bool glyph) {
  const auto& row = scancode_lookup[code];
  const auto scan = static_cast<uint8_t>(row[column_scan]);
  if (scan == 0) {
    bios_keyboard_put(static_cast<uint8_t>(code), 0);
    return;
  }
  port60h.push_make(scan);
  int column = column_plain;
  if (shift_held()) column = column_shift;
  if (ctrl_held()) column = column_ctrl;
  if (alt_held()) column = column_alt;
  // AltGr as the window system reports it for a glyph: left Ctrl with right Alt.
  if (glyph && held(key::left_ctrl) && held(key::right_alt) && !held(key::left_alt) && !held(key::right_ctrl)) {
    column = column_plain;
  }
  buffer_translation(row[static_cast<size_t>(column)], scan);
}

void type_extended(uint32_t code, bool insert_was_held) {
  const int r = scancode_row_of(code);
  if (r < 0) return;
  const auto& row = scancode_lookup[static_cast<size_t>(r)];
  if (row[column_plain] == 0) {
    // An extended key the table does not translate (the keypad centre
    // among them) reaches the buffer as its own extended code.
    if (key::is_extended(code)) bios_keyboard_put(0, static_cast<uint8_t>(code >> 8));
    return;
  }
  const auto scan = static_cast<uint8_t>(row[column_scan]);
  port60h.push_make(scan);
  if (code == key::insert && !insert_was_held && !shift_held() && !ctrl_held() && !alt_held()) {
    keyheld_buffer.toggle(key::insert_toggle);
    update_shift_state();
  }
  int column = column_plain;
  if (shift_held()) column = column_shift;
  // The keypad's digit and point keys as the window system reports them
  // with Num Lock on.
  if (code >= key::keypad_0 && code <= key::keypad_point) {
    column = shift_held() ? column_numlock_shift : column_numlock;
  }
  if (ctrl_held()) column = column_ctrl;
  if (alt_held()) column = column_alt;
  buffer_translation(row[static_cast<size_t>(column)], scan);
}

}  // namespace

bool keyheld(uint32_t code) {
  if (held(code)) return true;
  uint32_t twin = 0;
  switch (code) {
    case key::enter: twin = key::keypad_enter; break;
    case '*': twin = key::keypad_multiply; break;
    case '+': twin = key::keypad_plus; break;
    case '-': twin = key::keypad_minus; break;
    case '.': twin = key::keypad_point; break;
    case '/': twin = key::keypad_divide; break;
    default:
      if (code >= '0' && code <= '9') twin = key::keypad_0 + (code - '0');
      break;
  }
  if (twin == 0 && key::is_extended(code)) {
    for (uint32_t n = 0; n < key::numlock_off_keys.size(); ++n) {
      if (key::numlock_off_keys[n] == code) {
        twin = key::keypad_nl_off_insert + n;
        break;
      }
    }
  }
  return twin != 0 && held(twin);
}

uint32_t keyhit_code(uint32_t code) {
  if (code >= key::keypad_0 && code <= key::keypad_0 + 9) return '0' + (code - key::keypad_0);
  switch (code) {
    case key::keypad_point: return '.';
    case key::keypad_divide: return '/';
    case key::keypad_multiply: return '*';
    case key::keypad_minus: return '-';
    case key::keypad_plus: return '+';
    case key::keypad_enter: return key::enter;
    default: break;
  }
  if (key::is_keypad_numlock_off(code)) return key::numlock_off_keys[code - key::keypad_nl_off_insert];
  return code;
}

void keydown(uint32_t code) {
  if (code == 0) code = key::zero_code;
  const bool glyph = keydown_glyph.exchange(false);
  const bool insert_was_held = code == key::insert && held(key::insert);
  const bool scroll_was_held = code == key::scroll_lock && held(key::scroll_lock);
  keyheld_buffer.add(code);
  // SLEEP ends on a key press, but only once the key is in the buffer: a
  // program that reads INKEY$ straight after SLEEP must find it there.
  struct end_sleep_on_return {
    ~end_sleep_on_return() { sleep_break = 1; }
  } end_sleep;

  if (code == key::break_key || ((code == key::scroll_lock || code == key::ctrl_break_key) && ctrl_held())) {
    if (exit_blocked.load()) {
      exit_value.fetch_or(2);
    } else {
      close_program = 1;
    }
    return;
  }
  if (code == key::pause || (code == key::num_lock && ctrl_held())) {
    suspend_program.fetch_or(1);
    kxevent = 1;
    return;
  }
  if (suspend_program.load() & 1) {
    suspend_program.fetch_and(static_cast<uint8_t>(~1));
    return;
  }
  if (alt_held() && code == key::enter) {
    // The presentation's full-screen cycle; false when _ALLOWFULLSCREEN
    // refuses the switch, and the key then goes on as usual.
    if (kx::hooks.full_screen_key.load()()) return;
  }

  const uint32_t translated = keyhit_code(code);
  const uint8_t scan = key_scan_code(code);
  const uint8_t mask = modifier_mask(code);
  const bool extended = counts_as_extended(code);
  if (!softkey_expanding) {
    if (fire_key_trap(code, translated, scan, mask, extended)) return;
  }
  if (expand_soft_key(code, translated)) return;

  keyhit.push(static_cast<int32_t>(translated));

  const uint32_t c = code == key::zero_code ? 0 : code;
  if (key::is_character(c)) {
    type_character(c, glyph);
  } else if (key::is_modifier_or_lock(c)) {
    port60h.push_make(modifier_scan_code(c));
    if (c == key::scroll_lock && !scroll_was_held && !ctrl_held()) keyheld_buffer.toggle(key::scroll_lock_toggle);
    update_shift_state();
  } else if (key::is_extended(c) || key::is_keypad_numlock_on(c) || key::is_keypad_numlock_off(c)) {
    type_extended(c, insert_was_held);
  }
}

void keyup(uint32_t code) {
  if (code == 0) code = key::zero_code;
  keyheld_buffer.remove(code);
  const uint32_t translated = keyhit_code(code);
  if (keyup_mask_take(code)) return;
  keyhit.push(-static_cast<int32_t>(translated));
  const uint32_t c = code == key::zero_code ? 0 : code;
  if (key::is_character(c)) {
    const auto& row = scancode_lookup[c];
    if (row[column_plain] != 0 && row[column_scan] != 0) port60h.push_break(static_cast<uint8_t>(row[column_scan]));
  } else if (key::is_modifier_or_lock(c)) {
    port60h.push_break(modifier_scan_code(c));
    update_shift_state();
  } else {
    const int r = scancode_row_of(c);
    if (r >= 256) {
      const auto& row = scancode_lookup[static_cast<size_t>(r)];
      if (row[column_plain] != 0) port60h.push_break(static_cast<uint8_t>(row[column_scan]));
    }
    if (c == key::insert) update_shift_state();
  }
}

void keydown_ascii(uint32_t code) { keydown(code); }
void keyup_ascii(uint32_t code) { keyup(code); }
void keydown_vk(uint32_t code) { keydown(code); }
void keyup_vk(uint32_t code) { keyup(code); }

namespace {
// The fullwidth forms of "!" to "~", typed as the characters themselves, and
// the ideographic space, typed as a space.
constexpr uint32_t fullwidth_exclamation = 0xFF01;
constexpr uint32_t fullwidth_tilde = 0xFF5E;
constexpr uint32_t ideographic_space = 0x3000;

uint32_t unicode_key_code(uint32_t u) {
  if (u < 128) return u;
  if (const uint8_t c = unicode_to_cp437(u)) return c;
  if (u >= fullwidth_exclamation && u <= fullwidth_tilde) return u - (fullwidth_exclamation - '!');
  if (u == ideographic_space) return ' ';
  return key::unicode_base | u;
}
}  // namespace

void keydown_unicode(uint32_t u) {
  keydown_glyph = true;
  keydown(unicode_key_code(u));
}

void keyup_unicode(uint32_t u) { keyup(unicode_key_code(u)); }

void release_held_modifiers() {
  for (uint32_t code = key::right_shift; code <= key::last_modifier; ++code) {
    if (held(code)) keyup(code);
  }
}

void keyboard_init() {
  keyheld_buffer.clear();
  keyhit.reset();
  port60h.reset();
  bios_keyboard_clear();
  std::memset(keyup_mask, 0, sizeof keyup_mask);
  keyup_mask_last = -1;
  softkey_expanding = false;
  keydown_glyph = false;
}
