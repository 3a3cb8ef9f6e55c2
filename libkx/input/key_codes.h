#pragma once
// Key codes: one 32-bit code names a key. 1-255 are code page 437 characters
// as typed; 0xXX00 are the extended PC keys; 100000 + n and 200000 + n are
// keys with no PC code. _KEYHIT reports releases as negated codes.
#include <array>
#include <cstdint>

namespace key {

inline constexpr uint32_t enter = 13;  // also Ctrl+M; the keypad's Enter has its own code

inline constexpr uint32_t f1 = 0x3B00;  // F1-F10 follow in steps of 0x100
inline constexpr uint32_t f11 = 0x8500;
inline constexpr uint32_t f12 = 0x8600;
inline constexpr uint32_t home = 0x4700;
inline constexpr uint32_t up = 0x4800;
inline constexpr uint32_t page_up = 0x4900;
inline constexpr uint32_t left = 0x4B00;
inline constexpr uint32_t keypad_centre = 0x4C00;
inline constexpr uint32_t right = 0x4D00;
inline constexpr uint32_t end = 0x4F00;
inline constexpr uint32_t down = 0x5000;
inline constexpr uint32_t page_down = 0x5100;
inline constexpr uint32_t insert = 0x5200;
inline constexpr uint32_t del = 0x5300;

inline constexpr uint32_t pause = 100019;
inline constexpr uint32_t keypad_0 = 100256;  // keypad 0-9 with Num Lock on
inline constexpr uint32_t keypad_point = 100266;
inline constexpr uint32_t keypad_divide = 100267;
inline constexpr uint32_t keypad_multiply = 100268;
inline constexpr uint32_t keypad_minus = 100269;
inline constexpr uint32_t keypad_plus = 100270;
inline constexpr uint32_t keypad_enter = 100271;
inline constexpr uint32_t ctrl_break_key = 100296;
inline constexpr uint32_t num_lock = 100300;
inline constexpr uint32_t caps_lock = 100301;
inline constexpr uint32_t scroll_lock = 100302;
inline constexpr uint32_t right_shift = 100303;
inline constexpr uint32_t left_shift = 100304;
inline constexpr uint32_t right_ctrl = 100305;
inline constexpr uint32_t left_ctrl = 100306;
inline constexpr uint32_t right_alt = 100307;
inline constexpr uint32_t left_alt = 100308;
inline constexpr uint32_t last_modifier = 100313;  // 100309-100313 take part only in the pointer-leave release
inline constexpr uint32_t sys_req = 100317;
inline constexpr uint32_t break_key = 100318;
inline constexpr uint32_t keypad_nl_off_insert = 200000;  // keypad keys with Num Lock off, 200000-200010
inline constexpr uint32_t keypad_nl_off_delete = 200010;
// The keys the Num Lock off keypad codes stand for, from keypad_nl_off_insert on.
inline constexpr std::array<uint32_t, 11> numlock_off_keys = {
    insert, end, down, page_down, left, keypad_centre, right, home, up, page_up, del};
inline constexpr uint32_t scroll_lock_toggle = 200011;  // pseudo-key held while the toggle is on
inline constexpr uint32_t insert_toggle = 200012;
inline constexpr uint32_t zero_code = 200013;  // the key code 0
inline constexpr uint32_t unicode_base = 0x40000000;

constexpr bool is_character(uint32_t code) { return code <= 255; }
constexpr bool is_extended(uint32_t code) { return code >= 256 && code <= 65535 && (code & 0xFF) == 0; }
constexpr bool is_keypad_numlock_on(uint32_t code) { return code >= keypad_0 && code <= keypad_enter; }
constexpr bool is_keypad_numlock_off(uint32_t code) {
  return code >= keypad_nl_off_insert && code <= keypad_nl_off_delete;
}
constexpr bool is_modifier_or_lock(uint32_t code) { return code >= num_lock && code <= left_alt; }

}  // namespace key
