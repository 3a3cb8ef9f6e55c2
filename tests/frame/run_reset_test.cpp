// RUN without a file name: what the program finds when it starts again.
#include <gtest/gtest.h>

#include "frame/shutdown.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "input/key_codes.h"
#include "input/key_rings.h"
#include "input/keyboard.h"
#include "screen/fresh_screen.h"

namespace {

class RunReset : public fresh_screen {
 protected:
  void SetUp() override {
    fresh_screen::SetUp();
    keyboard_init();
    traps_init();
  }
  static std::string inkey() {
    kxs* k = kxs_inkey();
    std::string s(reinterpret_cast<const char*>(k->chars), static_cast<size_t>(k->length));
    kxs_free(k);
    return s;
  }
};

// Keys typed before the restart are gone from every buffer a program reads;
// a key still held stays held; the ON KEY traps are off.
TEST_F(RunReset, TypedKeysAndKeyTrapsDoNotSurviveTheRestart) {
  for (uint32_t c : {uint32_t{'a'}, uint32_t{'b'}}) {
    keydown(c);
    keyup(c);
  }
  keydown(key::left_shift);
  onkey_setup(1, 7, 0);
  sub_key(1, 1);
  ASSERT_EQ(func__keyhit(), 'a');  // the keys are there before the reset
  ASSERT_GT(port60h.count(), 0u);

  sub_run_init();

  EXPECT_EQ(inkey(), "");
  EXPECT_EQ(func__keyhit(), 0);
  EXPECT_EQ(port60h.count(), 0u);
  EXPECT_EQ(func__keydown(key::left_shift), -1);
  EXPECT_EQ(onkey[1].id.load(), 0);
  EXPECT_EQ(onkey[1].state.load(), trap_off);
  EXPECT_EQ(new_error.load(), 0u);

  // The buffer works as before after the reset.
  keydown('c');
  keyup('c');
  EXPECT_EQ(inkey(), "c");
  keyup(key::left_shift);
}

}  // namespace
