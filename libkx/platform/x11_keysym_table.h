#pragma once
// The X keysyms that the toolkit's key callbacks cannot tell apart from
// other keys, or do not report at all, and the key codes they stand for.
#include <X11/keysym.h>

#include <cstdint>

#include "input/key_codes.h"

namespace kx {

// A keypad key whose code depends on Num Lock: keypad n is 100256 + n with
// Num Lock on and 200000 + n with it off (n = 10 is the point).
struct keypad_keysym {
  unsigned long keysym;
  uint32_t n;
};

// Both the Num-Lock-off and the Num-Lock-on symbol of each key are listed,
// whichever of them a keyboard map puts first.
inline constexpr keypad_keysym keypad_keysyms[] = {
    {XK_KP_Insert, 0}, {XK_KP_0, 0}, {XK_KP_End, 1},   {XK_KP_1, 1},      {XK_KP_Down, 2},    {XK_KP_2, 2},
    {XK_KP_Next, 3},   {XK_KP_3, 3}, {XK_KP_Left, 4},  {XK_KP_4, 4},      {XK_KP_Begin, 5},   {XK_KP_5, 5},
    {XK_KP_Right, 6},  {XK_KP_6, 6}, {XK_KP_Home, 7},  {XK_KP_7, 7},      {XK_KP_Up, 8},      {XK_KP_8, 8},
    {XK_KP_Prior, 9},  {XK_KP_9, 9}, {XK_KP_Delete, 10}, {XK_KP_Decimal, 10}, {XK_KP_Separator, 10},
};

struct fixed_keysym {
  unsigned long keysym;
  uint32_t code;
};

inline constexpr fixed_keysym fixed_keysyms[] = {
    {XK_KP_Divide, key::keypad_divide}, {XK_KP_Multiply, key::keypad_multiply},
    {XK_KP_Subtract, key::keypad_minus}, {XK_KP_Add, key::keypad_plus},
    {XK_KP_Enter, key::keypad_enter},    {XK_Num_Lock, key::num_lock},
    {XK_Caps_Lock, key::caps_lock},      {XK_Scroll_Lock, key::scroll_lock},
    {XK_Sys_Req, key::sys_req},          {XK_Break, key::break_key},
    {XK_Pause, key::pause},
};

}  // namespace kx
