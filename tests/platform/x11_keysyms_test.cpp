// The key codes taken from X key symbols for the keys the toolkit reports
// as something else or not at all.
#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include "input/key_codes.h"
#include "platform/x11_keysyms.h"

namespace {

uint32_t code(unsigned long keysym, unsigned int state = 0) {
  return kx::x11_keysym_code(keysym, state, Mod2Mask, ControlMask);
}

TEST(X11Keysyms, KeypadKeysFollowTheNumLockBitOfTheEvent) {
  // Either symbol of a keypad key names the same key.
  EXPECT_EQ(code(XK_KP_End), 200001u);
  EXPECT_EQ(code(XK_KP_1), 200001u);
  EXPECT_EQ(code(XK_KP_End, Mod2Mask), 100257u);
  EXPECT_EQ(code(XK_KP_Insert), key::keypad_nl_off_insert);
  EXPECT_EQ(code(XK_KP_0, Mod2Mask | ShiftMask), key::keypad_0);
  EXPECT_EQ(code(XK_KP_Begin), 200005u);
  EXPECT_EQ(code(XK_KP_Prior, Mod2Mask), 100265u);
  EXPECT_EQ(code(XK_KP_Delete), key::keypad_nl_off_delete);
  EXPECT_EQ(code(XK_KP_Decimal, Mod2Mask), key::keypad_point);
  // A Num Lock on another modifier bit is found through the mask given.
  EXPECT_EQ(kx::x11_keysym_code(XK_KP_Up, Mod4Mask, Mod4Mask, ControlMask), 100264u);
  EXPECT_EQ(kx::x11_keysym_code(XK_KP_Up, Mod2Mask, Mod4Mask, ControlMask), 200008u);
  // The operator keys and Enter do not depend on Num Lock.
  EXPECT_EQ(code(XK_KP_Divide), key::keypad_divide);
  EXPECT_EQ(code(XK_KP_Multiply, Mod2Mask), key::keypad_multiply);
  EXPECT_EQ(code(XK_KP_Subtract), key::keypad_minus);
  EXPECT_EQ(code(XK_KP_Add), key::keypad_plus);
  EXPECT_EQ(code(XK_KP_Enter, Mod2Mask), key::keypad_enter);
}

TEST(X11Keysyms, LockKeysPauseAndBreak) {
  EXPECT_EQ(code(XK_Num_Lock), key::num_lock);
  EXPECT_EQ(code(XK_Caps_Lock), key::caps_lock);
  EXPECT_EQ(code(XK_Scroll_Lock, ControlMask), key::scroll_lock);
  EXPECT_EQ(code(XK_Pause), key::pause);
  EXPECT_EQ(code(XK_Pause, ControlMask), key::break_key);
  EXPECT_EQ(code(XK_Break), key::break_key);
  EXPECT_EQ(code(XK_Sys_Req), key::sys_req);
}

TEST(X11Keysyms, KeysTheToolkitReportsRightlyGiveNothing) {
  for (unsigned long keysym : {static_cast<unsigned long>(XK_a), static_cast<unsigned long>(XK_Home),
                               static_cast<unsigned long>(XK_Up), static_cast<unsigned long>(XK_F1),
                               static_cast<unsigned long>(XK_Delete), static_cast<unsigned long>(XK_Shift_L),
                               static_cast<unsigned long>(XK_Return), static_cast<unsigned long>(NoSymbol)}) {
    EXPECT_EQ(code(keysym, Mod2Mask), 0u) << keysym;
  }
}

}  // namespace
