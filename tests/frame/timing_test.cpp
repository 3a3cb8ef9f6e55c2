// TIMER, the waits and the trap statements, on a clock the tests control.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/flags.h"
#include "frame/threads.h"
#include "frame/timing.h"
#include "frame/traps.h"

namespace {

// A clock that only moves when the code under test sleeps.
int64_t fake_now = 0;
std::vector<uint32_t> sleeps;
int64_t fake_clock() { return fake_now; }
void fake_sleep(uint32_t ms) {
  sleeps.push_back(ms);
  fake_now += ms;
}

class Timing : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    fake_now = 1'000'000;
    sleeps.clear();
    kx::set_wait_clock({fake_clock, fake_sleep});
    kx::limit_reset();
  }
  void TearDown() override {
    kx::reset_wait_clock();
    new_error = 0;
    max_fps = 60;
  }
  static uint32_t take_error() { return new_error.exchange(0); }
};

TEST_F(Timing, TimerCountsFromMidnightInBiosTicksAndWraps) {
  const int64_t base = 7'000;
  // 10:00:00 at the base.
  const uint32_t ten = 36'000'000;
  EXPECT_DOUBLE_EQ(kx::timer_value(base, base, ten, 0, false), 36000.0);
  // TIMER moves in steps of 1/18.2 s, reduced to single precision.
  const double t = kx::timer_value(base + 1234, base, ten, 0, false);
  const double ticks = t * 18.2;
  EXPECT_NEAR(ticks, std::round(ticks), 1e-2 * 18.2);
  EXPECT_EQ(t, static_cast<double>(static_cast<float>(t)));
  EXPECT_NEAR(t, 36001.2, 1.0 / 18.2);
  // TIMER(0.001) moves in milliseconds.
  EXPECT_DOUBLE_EQ(kx::timer_value(base + 1234, base, ten, 0.001, true), 36001.234);
  // Past midnight it starts again from 0.
  EXPECT_DOUBLE_EQ(kx::timer_value(base + 1500, base, 86'399'000, 0.001, true), 0.5);
  // Past 2^32 ms of uptime nothing jumps.
  const int64_t later = base + (int64_t{1} << 32);
  const double expected = static_cast<double>(((int64_t{1} << 32) + ten) % 86'400'000) / 1000.0;
  EXPECT_NEAR(kx::timer_value(later, base, ten, 0.001, true), expected, 1e-6);
}

TEST_F(Timing, TimerAccuracyMustBePositive) {
  EXPECT_EQ(func_timer(0, 1), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_timer(-1, 1), 0);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Timing, DelaySleepsInOneStepWhenShortAndInSlicesWhenLong) {
  sub__delay(0.005);
  EXPECT_EQ(sleeps, std::vector<uint32_t>{5});
  sleeps.clear();
  const int64_t start = fake_now;
  sub__delay(0.1);
  EXPECT_GE(fake_now - start, 100);
  EXPECT_LE(fake_now - start, 101);
  for (uint32_t s : sleeps) EXPECT_LE(s, 9u);
  sub__delay(3'000'000);
  EXPECT_EQ(take_error(), 5u);
  sub__delay(-0.5);
  EXPECT_EQ(take_error(), 5u);
}

// A clock that jumps back once, in the middle of a wait.
bool stepped = false;
void stepping_sleep(uint32_t ms) {
  sleeps.push_back(ms);
  fake_now += ms;
  if (!stepped && fake_now > 1'000'040) {
    stepped = true;
    fake_now -= 500'000;
  }
}

TEST_F(Timing, DelayKeepsTheTimeMeasuredBeforeTheClockSteppedBack) {
  kx::set_wait_clock({fake_clock, stepping_sleep});
  stepped = false;
  sub__delay(0.1);
  uint32_t slept = 0;
  for (uint32_t s : sleeps) slept += s;
  EXPECT_TRUE(stepped);
  EXPECT_GE(slept, 100u);
  EXPECT_LE(slept, 110u);
}

TEST_F(Timing, LimitHoldsSixtyPassesASecondWithoutDrift) {
  int passes = 0;
  const int64_t start = fake_now;
  while (fake_now - start < 10'000) {
    sub__limit(60);
    fake_now += 2;  // the loop's own work
    ++passes;
  }
  // A 16 ms integer period would give 62.5 a second.
  EXPECT_GE(passes, 599);
  EXPECT_LE(passes, 602);
}

TEST_F(Timing, LimitRestartsTheCadenceAfterAnOverrun) {
  sub__limit(10);  // first call: sets the cadence
  const int64_t first = fake_now;
  sub__limit(10);
  EXPECT_EQ(fake_now - first, 100);
  fake_now += 130;  // 30 ms late: still on the cadence
  sub__limit(10);
  EXPECT_EQ(fake_now - first, 230);
  sub__limit(10);
  EXPECT_EQ(fake_now - first, 300);  // caught up, no burst
  fake_now += 200;  // far too late: start again from now
  const int64_t late = fake_now;
  sub__limit(10);
  EXPECT_EQ(fake_now, late);
  sub__limit(10);
  EXPECT_EQ(fake_now - late, 100);
  sub__limit(0);
  EXPECT_EQ(take_error(), 5u);
  sub__limit(1.0 / 61);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(Timing, SleepEndsOnItsTimeOrOnAKey) {
  sleep_break = 0;
  const int64_t start = fake_now;
  sub_sleep(1, 1);
  EXPECT_EQ(fake_now - start, 1000);
  // A key press (sleep_break) ends SLEEP without a count.
  std::thread key([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sleep_break = 1;
  });
  kx::reset_wait_clock();
  sub_sleep(0, 0);
  key.join();
  EXPECT_EQ(sleep_break.load(), 1);
}

TEST_F(Timing, FpsLimits) {
  sub__fps(500, 2);
  EXPECT_EQ(max_fps.load(), 200);
  sub__fps(0.5, 2);
  EXPECT_EQ(take_error(), 5u);
  sub__fps(30, 2);
  EXPECT_EQ(max_fps.load(), 30);
  sub__fps(0, 1);
  EXPECT_EQ(auto_fps, 1);
  EXPECT_EQ(max_fps.load(), 30);
  sub__fps(30, 3);
  EXPECT_EQ(take_error(), 5u);
}

// The trap statements, with a real timer thread to answer the table's
// growth handshake.
class TrapStatements : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    stop_program = 0;
    traps_init();
    timer_thread_ = std::thread(TIMERTHREAD);
  }
  void TearDown() override {
    stop_program = 1;
    wake_timer_thread();
    timer_thread_.join();
    stop_program = 0;
    exit_ok = 0;
    for (auto& e : onkey) {
      e.id = 0;
      e.state = trap_off;
      e.pending = 0;
    }
    for (int32_t i = 0; i < ontimer_nextfree; ++i) {
      ontimer[static_cast<size_t>(i)].id = 0;
      ontimer[static_cast<size_t>(i)].state = trap_off;
      ontimer[static_cast<size_t>(i)].pending = timer_idle;
    }
    new_error = 0;
  }
  static uint32_t take_error() { return new_error.exchange(0); }
  std::thread timer_thread_;
};

TEST_F(TrapStatements, KeyTrapSwitching) {
  onkey_setup(3, 7, 99);
  EXPECT_EQ(onkey[3].id.load(), 7);
  onkey[3].pending = 4;
  sub_key(3, 3);  // STOP keeps one event
  EXPECT_EQ(onkey[3].pending.load(), 1);
  kxevent = 0;
  sub_key(3, 1);  // ON with an event waiting asks for a check
  EXPECT_EQ(kxevent.load(), 1);
  onkey[5].pending = 2;
  sub_key(0, 2);  // KEY(0) OFF: everything off, events dropped
  EXPECT_EQ(onkey[3].state.load(), trap_off);
  EXPECT_EQ(onkey[3].pending.load(), 0);
  EXPECT_EQ(onkey[5].pending.load(), 0);
  sub_key(32, 1);
  EXPECT_EQ(take_error(), 5u);
  onkey_setup(0, 1, 0);
  EXPECT_EQ(take_error(), 5u);
}

TEST_F(TrapStatements, KeyTrapCountsSaturateAt255WhileRaisedFromTwoThreads) {
  std::atomic<uint8_t> pending{250};
  auto raise = [&] {
    for (int i = 0; i < 1000; ++i) trap_count_event(pending);
  };
  std::thread other(raise);
  raise();
  other.join();
  EXPECT_EQ(pending.load(), 255);  // not wrapped round to a small count
  pending = 0;
  std::thread third([&] {
    for (int i = 0; i < 100; ++i) trap_count_event(pending);
  });
  for (int i = 0; i < 100; ++i) trap_count_event(pending);
  third.join();
  EXPECT_EQ(pending.load(), 200);  // no raise lost
}

TEST_F(TrapStatements, StrigNumbering) {
  onstrig_setup(4, 0, 0, 2, 0);  // button 2 of controller 1
  EXPECT_EQ(onstrig[1].id, 2);
  onstrig_setup(6, 0, 0, 3, 0);  // bit 2: controller 2, button 2
  EXPECT_EQ(onstrig[256 + 1].id, 3);
  onstrig_setup(4, 3, 1, 4, 0);
  EXPECT_EQ(onstrig[2 * 256 + 1].id, 4);
  onstrig_setup(5, 0, 0, 1, 0);  // odd
  EXPECT_EQ(take_error(), 5u);
  onstrig_setup(4, 300, 1, 1, 0);  // beyond the table: ignored
  onstrig_setup(2048, 1, 1, 1, 0);
  EXPECT_EQ(take_error(), 0u);
  onstrig[1].id = 0;
  onstrig[257].id = 0;
  onstrig[513].id = 0;
}

TEST_F(TrapStatements, FreedTimerHandlesAreReused) {
  const int32_t a = func__freetimer();
  const int32_t b = func__freetimer();
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  sub_timer(a, 4, 1);  // TIMER(a) FREE
  EXPECT_EQ(func__freetimer(), a);
  sub_timer(0, 4, 1);  // the default timer cannot be freed
  EXPECT_EQ(take_error(), 5u);
  sub_timer(9, 1, 1);  // never issued
  EXPECT_EQ(take_error(), 5u);
  sub_timer(b, 4, 1);
  ontimer_setup(b, 1, 1, 0);  // freed
  EXPECT_EQ(take_error(), 5u);
  // Many handles: the free stack grows as needed.
  std::vector<int32_t> handles;
  for (int i = 0; i < 40; ++i) handles.push_back(func__freetimer());
  for (int32_t h : handles) sub_timer(h, 4, 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(ontimer_freelist.size(), 40u);  // b was reused by the first of the 40
}

TEST_F(TrapStatements, TimerPassArmsThenFiresOncePerIntervalWithoutDrift) {
  ontimer_setup(0, 1.0, 5, 0);
  sub_timer(0, 1, 0);
  // The timer thread is running: keep it off this test's table by stopping it.
  stop_program = 1;
  wake_timer_thread();
  timer_thread_.join();
  stop_program = 0;
  ontimer[0].last_time = 0;
  ontimer[0].pending = timer_idle;

  ontimer_entry& t = ontimer[0];
  timer_thread_pass(100.0);  // arms only
  EXPECT_EQ(t.pending.load(), timer_idle);
  EXPECT_EQ(t.last_time.load(), 100.0);
  timer_thread_pass(100.9);
  EXPECT_EQ(t.pending.load(), timer_idle);
  kxevent = 0;
  timer_thread_pass(101.003);
  EXPECT_EQ(t.pending.load(), timer_fired);
  EXPECT_EQ(kxevent.load(), 1);
  EXPECT_DOUBLE_EQ(t.last_time.load(), 101.0);  // on the cadence, not on the late pass
  timer_thread_pass(102.5);  // its event has not run: no second event
  EXPECT_DOUBLE_EQ(t.last_time.load(), 101.0);
  t.pending = timer_idle;
  timer_thread_pass(102.5);
  EXPECT_DOUBLE_EQ(t.last_time.load(), 102.0);
  t.pending = timer_idle;
  timer_thread_pass(106.2);  // fell behind by whole periods: restart from now
  EXPECT_DOUBLE_EQ(t.last_time.load(), 106.2);
  t.pending = timer_idle;
  sub_timer(0, 3, 0);  // STOP still fires
  timer_thread_pass(107.3);
  EXPECT_EQ(t.pending.load(), timer_fired);
  sub_timer(0, 2, 0);  // OFF drops the fired event and disarms
  EXPECT_EQ(t.pending.load(), timer_idle);
  EXPECT_EQ(t.last_time.load(), 0.0);
  timer_thread_ = std::thread(TIMERTHREAD);
}

}  // namespace
