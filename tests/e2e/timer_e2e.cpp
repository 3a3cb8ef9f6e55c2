// ON TIMER and ON KEY traps in a running program: when timer events come,
// in which order pending traps run, and that an error handler holds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class Timer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  xvfb server_;
};

std::vector<std::string> output_lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// The milliseconds after TIMER ON of each "timer N handling H" line.
std::vector<long> timer_times(const std::string& text) {
  std::vector<long> times;
  for (const auto& line : output_lines(text)) {
    if (line.rfind("timer ", 0) == 0 && line.find("pending") == std::string::npos) {
      times.push_back(std::stol(line.substr(6)));
    }
  }
  return times;
}

TEST_F(Timer, OnTimerFiresASecondAfterTimerOnAndThenEverySecondWithoutDrift) {
  process program(program_path("timer_traps"), {"tick"});
  ASSERT_TRUE(program.started());
  ASSERT_EQ(program.wait_exit(40s), 0) << program.output() << program.errors();
  const auto times = timer_times(program.output());
  ASSERT_EQ(times.size(), 10u) << program.output();
  // The first event comes one interval after the pass that armed the timer.
  EXPECT_GE(times[0], 950);
  EXPECT_LE(times[0], 1400);
  // Without drift the tenth event is due at 10 s; lateness does not add up
  // from one event to the next.
  EXPECT_GE(times[9], 9950);
  EXPECT_LE(times[9], 10500);
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i] - times[i - 1], 500) << i;
    EXPECT_LE(times[i] - times[i - 1], 1500) << i;
  }
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

TEST_F(Timer, PendingKeyTrapsRunBeforePendingTimerTraps) {
  process program(program_path("timer_traps"), {"order"});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  ASSERT_TRUE(eventually([&] { return program.output().find("armed") != std::string::npos; }, 10s));
  EXPECT_TRUE(focus_window(*window));
  run_tool({"xdotool", "key", "F1"});
  ASSERT_EQ(program.wait_exit(20s), 0) << program.output() << program.errors();
  const auto lines = output_lines(program.output());
  // Both events were waiting when the statement check came.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "timer pending 1, key pending 1"), lines.end())
      << program.output();
  std::vector<std::string> traps;
  for (const auto& line : lines) {
    if (line == "key" || (line.rfind("timer ", 0) == 0 && line.find("pending") == std::string::npos)) {
      traps.push_back(line == "key" ? "key" : "timer");
    }
  }
  ASSERT_GE(traps.size(), 2u) << program.output();
  EXPECT_EQ(traps[0], "key") << program.output();
  EXPECT_EQ(traps[1], "timer") << program.output();
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

TEST_F(Timer, TrapsWaitWhileAnErrorHandlerRuns) {
  process program(program_path("timer_traps"), {"error"});
  ASSERT_TRUE(program.started());
  ASSERT_EQ(program.wait_exit(30s), 0) << program.output() << program.errors();
  const auto lines = output_lines(program.output());
  int before = 0, inside = 0, after = 0;
  int phase = 0;
  for (const auto& line : lines) {
    if (line == "handler start") phase = 1;
    if (line == "handler end") phase = 2;
    if (line.rfind("timer ", 0) == 0) {
      (phase == 0 ? before : phase == 1 ? inside : after)++;
      EXPECT_NE(line.find("handling 0"), std::string::npos) << line;
    }
  }
  ASSERT_EQ(phase, 2) << program.output();
  EXPECT_GE(before, 2) << program.output();  // 0.6 s of a 0.1 s timer
  EXPECT_EQ(inside, 0) << program.output();
  EXPECT_GE(after, 1) << program.output();  // the event held back runs once the handler is done
  EXPECT_NE(std::find(lines.begin(), lines.end(), "resumed"), lines.end()) << program.output();
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

TEST_F(Timer, SleepWithoutACountWaitsForAKeyOrATimerEvent) {
  process program(program_path("timer_traps"), {"sleep"});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  ASSERT_TRUE(eventually([&] { return program.output().find("sleeping") != std::string::npos; }, 10s));
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(program.output().find("woke"), std::string::npos) << "SLEEP ended by itself";
  EXPECT_TRUE(focus_window(*window));
  run_tool({"xdotool", "key", "x"});
  ASSERT_EQ(program.wait_exit(20s), 0) << program.output() << program.errors();
  std::string by_key, by_timer;
  for (const auto& line : output_lines(program.output())) {
    if (line.rfind("woke after ", 0) == 0) by_key = line;
    if (line.rfind("woke by the timer after ", 0) == 0) by_timer = line;
  }
  // The key ends the wait and stays in the buffer for INKEY$.
  ASSERT_FALSE(by_key.empty()) << program.output();
  EXPECT_GE(std::stol(by_key.substr(11)), 1500);
  EXPECT_NE(by_key.find("with key x"), std::string::npos) << by_key;
  // The first timer event, about a second after TIMER ON, ends the next one.
  ASSERT_FALSE(by_timer.empty()) << program.output();
  const long after = std::stol(by_timer.substr(24));
  EXPECT_GE(after, 950);
  EXPECT_LE(after, 1500);
  EXPECT_FALSE(has_sanitizer_report(program.errors())) << program.errors();
}

}  // namespace
