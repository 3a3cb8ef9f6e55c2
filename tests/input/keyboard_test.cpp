// The key press and release pipelines as the window thread drives them,
// read back the way a program reads the keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/flags.h"
#include "frame/traps.h"
#include "input/inkey.h"
#include "input/key_codes.h"
#include "input/key_rings.h"
#include "input/keyboard.h"
#include "input/lock_keys.h"
#include "values/conventional_memory.h"
#include "values/fresh_memory.h"
#include "values/string_release.h"

namespace {

class Keyboard : public fresh_memory {
 protected:
  void SetUp() override {
    fresh_memory::SetUp();
    keyboard_init();
    traps_init();
    close_program = 0;
    exit_value = 0;
    exit_blocked = 0;
    suspend_program = 0;
    kxevent = 0;
  }
  void TearDown() override {
    for (auto& e : onkey) {
      e.id = 0;
      e.state = trap_off;
      e.pending = 0;
      kx::set_user_key(e, {});
      kx::set_soft_key_text(e, nullptr, 0);
    }
    close_program = 0;
    exit_value = 0;
    suspend_program = 0;
    fresh_memory::TearDown();
  }

  static void tap(uint32_t code) {
    keydown(code);
    keyup(code);
  }
  // Everything INKEY$ returns until the buffer is empty.
  static std::vector<std::string> drain() {
    std::vector<std::string> keys;
    for (;;) {
      kxs* k = kxs_inkey();
      std::string text = text_of(k);
      kxs_free(k);
      if (text.empty()) return keys;
      keys.push_back(text);
    }
  }
  static std::vector<int32_t> hits() {
    std::vector<int32_t> out;
    while (int32_t h = func__keyhit()) out.push_back(h);
    return out;
  }
  static std::string ext(char scan) { return std::string(1, '\0') + scan; }
};

TEST_F(Keyboard, CharacterPressAndRelease) {
  keydown('a');
  EXPECT_EQ(func__keydown('a'), -1);
  keyup('a');
  EXPECT_EQ(func__keydown('a'), 0);
  EXPECT_EQ(drain(), std::vector<std::string>{"a"});
  EXPECT_EQ(hits(), (std::vector<int32_t>{97, -97}));
  // The buffer slot holds the key's scan code too, as a BIOS stores it.
  EXPECT_EQ(cmem[1024 + 30], 'a');
  EXPECT_EQ(cmem[1025 + 30], 30);
}

TEST_F(Keyboard, FunctionKeysWithAndWithoutShift) {
  tap(key::f1);
  keydown(key::left_shift);
  tap(key::f1);
  tap(key::f12);
  keyup(key::left_shift);
  EXPECT_EQ(drain(), (std::vector<std::string>{ext(';'), ext('T'), ext('\x86')}));
  EXPECT_EQ(hits(), (std::vector<int32_t>{15104, -15104, 100304, 15104, -15104, 0x8600, -0x8600, -100304}));
}

TEST_F(Keyboard, CtrlAndAltTranslations) {
  keydown(key::left_ctrl);
  tap('a');
  tap('[');
  tap('2');  // Ctrl+2 is the extended code 0x0300
  tap(13);
  keyup(key::left_ctrl);
  keydown(key::right_alt);
  tap(' ');
  tap(9);
  tap('1');
  tap('a');
  keyup(key::right_alt);
  EXPECT_EQ(drain(), (std::vector<std::string>{"\x01", "\x1b", ext('\x03'), "\n", ext('\x78'), ext('\x1e')}));
  const auto h = hits();
  EXPECT_EQ(std::count(h.begin(), h.end(), 32), 1);  // Alt+Space still reaches _KEYHIT
  EXPECT_EQ(std::count(h.begin(), h.end(), 9), 1);
}

TEST_F(Keyboard, DeleteZeroCodeAndShiftTab) {
  tap(key::del);
  tap(0);
  keydown(key::right_shift);
  tap(9);
  keyup(key::right_shift);
  EXPECT_EQ(drain(), (std::vector<std::string>{ext('S'), std::string(1, '\0'), ext('\x0f')}));
  const auto h = hits();
  ASSERT_GE(h.size(), 4u);
  EXPECT_EQ(h[2], 200013);
  EXPECT_EQ(h[3], -200013);
}

TEST_F(Keyboard, ExtendedKeysWithoutATranslationKeepTheirOwnCode) {
  tap(key::keypad_centre);  // delivered as the extended code, not the keypad key
  tap(0x1000);
  EXPECT_EQ(drain(), (std::vector<std::string>{ext('L'), ext('\x10')}));
  EXPECT_EQ(hits(), (std::vector<int32_t>{0x4C00, -0x4C00, 0x1000, -0x1000}));
  // Nothing of theirs reaches the scan-code queue: they have no PC scan code.
  EXPECT_EQ(keyboard_port60h_read(), 129);
}

TEST_F(Keyboard, TypeAheadHoldsFifteenKeysWhileTheRingHoldsEveryPress) {
  const std::string typed = "abcdefghijklmnopqrstuvwxyz1234";
  for (char c : typed) tap(static_cast<uint8_t>(c));
  std::vector<std::string> expected;
  for (char c : typed.substr(0, 15)) expected.emplace_back(1, c);
  EXPECT_EQ(drain(), expected);
  EXPECT_EQ(hits().size(), 60u);
  // Once read, the buffer takes keys again, wrapping round its slots.
  for (char c : std::string("XYZ")) tap(static_cast<uint8_t>(c));
  EXPECT_EQ(drain(), (std::vector<std::string>{"X", "Y", "Z"}));
}

TEST_F(Keyboard, KeyHitRingKeepsTheNewest8191Events) {
  for (int i = 1; i <= 8200; ++i) keyhit.push(i);
  EXPECT_EQ(func__keyhit(), 10);  // the nine oldest were dropped
  int32_t last = 0, count = 1;
  while (int32_t h = func__keyhit()) {
    last = h;
    ++count;
  }
  EXPECT_EQ(count, 8191);
  EXPECT_EQ(last, 8200);
}

TEST_F(Keyboard, KeypadKeysAndTheirTwins) {
  tap(100264);  // keypad 8 with Num Lock on
  EXPECT_EQ(drain(), std::vector<std::string>{"8"});
  EXPECT_EQ(cmem[1025 + 30], 72);
  EXPECT_EQ(hits(), (std::vector<int32_t>{56, -56}));
  keydown(100264);
  EXPECT_EQ(func__keydown('8'), -1);
  keyup(100264);
  EXPECT_EQ(func__keydown('8'), 0);
  drain();
  hits();
  keydown(200008);  // keypad 8 with Num Lock off: Up
  EXPECT_EQ(func__keydown(0x4800), -1);
  keyup(200008);
  EXPECT_EQ(drain(), std::vector<std::string>{ext('H')});
  EXPECT_EQ(hits(), (std::vector<int32_t>{0x4800, -0x4800}));
}

TEST_F(Keyboard, EveryKeypadKeyReportsAndCountsAsTheKeyItStandsFor) {
  struct twin {
    uint32_t keypad;
    uint32_t stands_for;
  };
  const twin cases[] = {
      {100256, '0'},    {100261, '5'},    {100265, '9'},    {100266, '.'},    {100267, '/'},
      {100268, '*'},    {100269, '-'},    {100270, '+'},    {100271, 13},     {200000, 0x5200},
      {200001, 0x4F00}, {200002, 0x5000}, {200003, 0x5100}, {200004, 0x4B00}, {200005, 0x4C00},
      {200006, 0x4D00}, {200007, 0x4700}, {200008, 0x4800}, {200009, 0x4900}, {200010, 0x5300},
  };
  for (const twin& t : cases) {
    EXPECT_EQ(keyhit_code(t.keypad), t.stands_for) << t.keypad;
    keydown(t.keypad);
    EXPECT_EQ(func__keydown(static_cast<int32_t>(t.stands_for)), -1) << t.keypad;
    keyup(t.keypad);
    EXPECT_EQ(func__keydown(static_cast<int32_t>(t.stands_for)), 0) << t.keypad;
  }
  hits();
  // Fullwidth "!" to "~" type the characters themselves, the ideographic
  // space a space; other characters outside code page 437 keep their own code.
  const std::pair<uint32_t, int32_t> typed[] = {
      {0xFF01, '!'}, {0xFF21, 'A'}, {0xFF5E, '~'}, {0x3000, ' '}, {0xFF5F, 0x4000FF5F},
  };
  for (const auto& [u, code] : typed) {
    keydown_unicode(u);
    keyup_unicode(u);
    EXPECT_EQ(hits(), (std::vector<int32_t>{code, -code})) << u;
  }
}

TEST_F(Keyboard, KeyTrapsTakeThePressAndSwallowTheRelease) {
  onkey[11].id = 1;
  onkey[11].state = trap_on;
  tap(100264);  // keypad 8 matches ON KEY(11) through its alternative code
  tap(key::up);
  EXPECT_EQ(onkey[11].pending.load(), 2);
  EXPECT_EQ(kxevent.load(), 1);
  EXPECT_TRUE(drain().empty());
  EXPECT_TRUE(hits().empty());
  onkey[11].state = trap_stop;
  tap(key::up);
  tap(key::up);
  EXPECT_EQ(onkey[11].pending.load(), 1);
  onkey[11].state = trap_off;
  tap(key::up);
  EXPECT_EQ(drain(), std::vector<std::string>{ext('H')});
}

TEST_F(Keyboard, UserDefinedTrapsMatchScanCodeAndShiftFlags) {
  onkey[15].id = 3;
  onkey[15].state = trap_on;
  kx::set_user_key(onkey[15], {30, 4});  // KEY 15, CHR$(4) + CHR$(30): Ctrl+A
  tap('a');
  EXPECT_EQ(onkey[15].pending.load(), 0);
  keydown(key::left_ctrl);
  tap('a');
  keyup(key::left_ctrl);
  EXPECT_EQ(onkey[15].pending.load(), 1);
  kx::set_user_key(onkey[15], {30, 0});  // no flags: only with nothing held
  keydown(key::left_shift);
  tap('A');
  keyup(key::left_shift);
  EXPECT_EQ(onkey[15].pending.load(), 1);
  tap('a');
  EXPECT_EQ(onkey[15].pending.load(), 2);
}

TEST_F(Keyboard, SoftKeysTypeTheirText) {
  const std::string text = "RUN\r";
  kx::set_soft_key_text(onkey[2], reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()));
  tap(key::f1 + 0x100);  // F2
  EXPECT_EQ(drain(), (std::vector<std::string>{"R", "U", "N", "\r"}));
  const auto h = hits();
  EXPECT_EQ(h.size(), 8u);  // the text's presses and releases, nothing of F2 itself
  EXPECT_EQ(std::count(h.begin(), h.end(), 0x3C00), 0);
  EXPECT_EQ(std::count(h.begin(), h.end(), -0x3C00), 0);
}

TEST_F(Keyboard, BreakPauseAndExitRequests) {
  keydown(key::left_ctrl);
  tap(key::scroll_lock);
  EXPECT_EQ(close_program.load(), 1);
  close_program = 0;
  exit_blocked = 1;
  tap(key::scroll_lock);
  EXPECT_EQ(exit_value.load(), 2);
  EXPECT_EQ(close_program.load(), 0);
  exit_blocked = 0;
  tap(key::num_lock);  // Ctrl+Num Lock pauses
  keyup(key::left_ctrl);
  EXPECT_EQ(suspend_program.load() & 1, 1);
  tap('x');  // the next key resumes and is otherwise ignored
  EXPECT_EQ(suspend_program.load() & 1, 0);
  EXPECT_TRUE(drain().empty());
}

TEST_F(Keyboard, StatusBytesAndToggles) {
  keydown(key::left_shift);
  keydown(key::right_ctrl);
  EXPECT_EQ(cmem[0x417], 0x02 | 0x04);
  EXPECT_EQ(cmem[0x496], 0x10 | 0x01);
  keyup(key::right_ctrl);
  keyup(key::left_shift);
  EXPECT_EQ(cmem[0x417], 0);
  keydown(key::scroll_lock);
  keydown(key::scroll_lock);  // auto-repeat does not flip the toggle again
  EXPECT_EQ(cmem[0x417] & 0x10, 0x10);
  EXPECT_EQ(cmem[0x418] & 0x10, 0x10);
  keyup(key::scroll_lock);
  tap(key::scroll_lock);
  EXPECT_EQ(cmem[0x417] & 0x10, 0);
  tap(key::insert);
  EXPECT_EQ(cmem[0x417] & 0x80, 0x80);
  EXPECT_EQ(func__keydown(200012), -1);
  tap(key::insert);
  EXPECT_EQ(cmem[0x417] & 0x80, 0);
}

TEST_F(Keyboard, PointerLeaveReleasesHeldModifiers) {
  keydown(key::right_shift);
  keydown(key::left_alt);
  (void)hits();
  release_held_modifiers();
  EXPECT_EQ(func__keydown(key::right_shift), 0);
  EXPECT_EQ(func__keydown(key::left_alt), 0);
  EXPECT_EQ(hits(), (std::vector<int32_t>{-100303, -100308}));
}

TEST_F(Keyboard, ScanCodeQueue) {
  EXPECT_EQ(keyboard_port60h_read(), 129);  // before any key
  keydown('a');
  keydown('a');  // auto-repeat adds nothing
  keyup('a');
  keydown(key::left_shift);
  keyup(key::left_shift);
  tap(key::f1);
  const std::vector<int> expected{30, 158, 42, 170, 59, 187};
  for (int code : expected) EXPECT_EQ(keyboard_port60h_read(), code);
  EXPECT_EQ(keyboard_port60h_read(), 187);  // empty: the last byte again
  for (int i = 0; i < 300; ++i) port60h.push_make(static_cast<uint8_t>(i % 2 ? 2 : 3));
  EXPECT_EQ(port60h.count(), 256u);
}

TEST_F(Keyboard, KeyClearAndKeyDownArguments) {
  tap('q');
  tap('w');
  sub__keyclear(2, 1);
  EXPECT_TRUE(hits().empty());
  EXPECT_EQ(drain().size(), 2u);
  tap('e');
  sub__keyclear(0, 0);
  EXPECT_TRUE(drain().empty());
  EXPECT_TRUE(hits().empty());
  sub__keyclear(4, 1);
  EXPECT_EQ(new_error.load(), 5u);
  new_error = 0;
  EXPECT_EQ(func__keydown(0), 0);
  EXPECT_EQ(new_error.load(), 5u);
  new_error = 0;
  tap('r');
  new_error = 9;
  kxs* k = kxs_inkey();  // an error is pending: nothing is taken
  EXPECT_EQ(k->length, 0);
  new_error = 0;
  EXPECT_EQ(drain(), std::vector<std::string>{"r"});
}

TEST_F(Keyboard, LockFunctionsReportTheLocks) {
  note_lock_state(false, false);
  EXPECT_EQ(func__capslock(), 0);
  EXPECT_EQ(func__numlock(), 0);
  note_lock_state(true, false);
  EXPECT_EQ(func__capslock(), -1);
  EXPECT_EQ(func__numlock(), 0);
  note_lock_state(false, true);
  EXPECT_EQ(func__capslock(), 0);
  EXPECT_EQ(func__numlock(), -1);
  note_lock_state(false, false);
  // Scroll Lock follows the keyboard layer's own toggle.
  EXPECT_EQ(func__scrolllock(), 0);
  tap(key::scroll_lock);
  EXPECT_EQ(func__scrolllock(), -1);
  tap(key::scroll_lock);
  EXPECT_EQ(func__scrolllock(), 0);
  sub__scrolllock(1);  // the statements leave the locks alone
  EXPECT_EQ(func__scrolllock(), 0);
}

// SLEEP returns when the window thread marks a press; a program that reads
// INKEY$ straight after must find the key, so the mark comes only once the
// key is in the buffer. A watcher on another thread looks at the buffer the
// moment the mark appears.
TEST_F(Keyboard, AKeyIsBufferedBeforeItEndsASleep) {
  for (int round = 0; round < 2000; ++round) {
    sleep_break = 0;
    std::atomic<bool> found{false};
    std::thread watcher([&] {
      while (sleep_break.load() == 0) {
      }
      found = inkey_waiting();
    });
    tap('x');
    watcher.join();
    ASSERT_TRUE(found.load()) << "round " << round;
    ASSERT_EQ(drain(), std::vector<std::string>{"x"});
  }
}

}  // namespace
