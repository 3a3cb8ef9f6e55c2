#include "platform/glut_keyboard.h"

#include <GL/freeglut.h>

#include "input/key_codes.h"
#include "input/keyboard.h"
#include "platform/x11_events.h"

namespace {

struct special_key {
  int glut;
  uint32_t code;
};

constexpr special_key special_keys[] = {
    {GLUT_KEY_F11, key::f11},          {GLUT_KEY_F12, key::f12},
    {GLUT_KEY_LEFT, key::left},        {GLUT_KEY_UP, key::up},
    {GLUT_KEY_RIGHT, key::right},      {GLUT_KEY_DOWN, key::down},
    {GLUT_KEY_PAGE_UP, key::page_up},  {GLUT_KEY_PAGE_DOWN, key::page_down},
    {GLUT_KEY_HOME, key::home},        {GLUT_KEY_END, key::end},
    {GLUT_KEY_INSERT, key::insert},    {GLUT_KEY_SHIFT_L, key::left_shift},
    {GLUT_KEY_SHIFT_R, key::right_shift}, {GLUT_KEY_CTRL_L, key::left_ctrl},
    {GLUT_KEY_CTRL_R, key::right_ctrl},   {GLUT_KEY_ALT_L, key::left_alt},
    {GLUT_KEY_ALT_R, key::right_alt},
};

uint32_t special_key_code(int glut_key) {
  if (glut_key >= GLUT_KEY_F1 && glut_key <= GLUT_KEY_F10) {
    return key::f1 + static_cast<uint32_t>(glut_key - GLUT_KEY_F1) * 0x100;
  }
  for (const auto& k : special_keys) {
    if (k.glut == glut_key) return k.code;
  }
  return 0;
}

}  // namespace

void GLUT_key_ascii(int ch, int pressed) {
  const int modifiers = glutGetModifiers();
  if (modifiers & GLUT_ACTIVE_CTRL) {
    if (ch == 10) {
      ch = 13;
    } else if (ch >= 1 && ch <= 26) {
      ch += (modifiers & GLUT_ACTIVE_SHIFT) ? 64 : 96;
    }
  }
  const uint32_t reported = ch == 127 ? key::del : static_cast<uint32_t>(ch);
  // Keypad keys reach this callback as the characters they type.
  const uint32_t code = x11_key_callback_code(pressed != 0, true, reported);
  if (code == static_cast<uint32_t>(ch)) {
    pressed ? keydown_ascii(code) : keyup_ascii(code);
  } else {
    pressed ? keydown_vk(code) : keyup_vk(code);
  }
}

void GLUT_key_special(int glut_key, int pressed) {
  const uint32_t code = x11_key_callback_code(pressed != 0, false, special_key_code(glut_key));
  if (code == 0) return;
  pressed ? keydown_vk(code) : keyup_vk(code);
}

void GLUT_KEYBOARD_FUNC(unsigned char ch, int, int) { GLUT_key_ascii(ch & 255, 1); }
void GLUT_KEYBOARDUP_FUNC(unsigned char ch, int, int) { GLUT_key_ascii(ch & 255, 0); }
void GLUT_SPECIAL_FUNC(int glut_key, int, int) { GLUT_key_special(glut_key, 1); }
void GLUT_SPECIALUP_FUNC(int glut_key, int, int) { GLUT_key_special(glut_key, 0); }

void register_keyboard_callbacks() {
  glutKeyboardFunc(GLUT_KEYBOARD_FUNC);
  glutKeyboardUpFunc(GLUT_KEYBOARDUP_FUNC);
  glutSpecialFunc(GLUT_SPECIAL_FUNC);
  glutSpecialUpFunc(GLUT_SPECIALUP_FUNC);
}
