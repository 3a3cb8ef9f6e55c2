// The contract between compiled code and the statement check, exercised by
// small programs written the way the compiler emits them: every statement
// followed by "if (!kxevent) break; evnt(line);" inside a retry loop.
#include "frame/statement_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/process_exit.h"
#include "base/recording_box.h"
#include "frame/program.h"
#include "frame/traps.h"

namespace {

std::vector<std::string> trace;
int failures_left = 0;  // how many more times the retried statement fails
uint32_t handler_error = 0;  // the error the handler itself raises, 0 = none
bool handler_exits = false;  // the handler ends the process with status 42

void note(const std::string& s) { trace.push_back(s); }

// A runtime operation: fails with error n, else does its work.
int32_t operation(int32_t n, const std::string& what) {
  if (new_error.load()) return 0;
  if (n) {
    error(n);
    return 0;
  }
  note(what);
  return 1;
}

// FUNCTION F: its second statement fails; RESUME NEXT continues inside F.
int32_t FUNC_F() {
  do {
    note("F:10");
    if (!kxevent) break;
    evnt(10);
  } while (r);
  do {
    operation(53, "never");
    if (!kxevent) break;
    evnt(11);
  } while (r);
  do {
    note("F:12");
    if (!kxevent) break;
    evnt(12);
  } while (r);
  return 7;
}

void TEST_KXMAIN(void*) {
  if (error_occurred) {
    error_occurred = 0;
    if (error_goto_line == 1) {
      error_handling = 1;
      goto LABEL_HANDLER;
    }
    std::_Exit(99);
  }
  do {
    sub_on_error_goto(1);
    if (!kxevent) break;
    evnt(1);
  } while (r);
  do {
    const int32_t x = FUNC_F();
    note("main:x=" + std::to_string(x));
    if (!kxevent) break;
    evnt(2);
  } while (r);
  // IF failing() THEN note "then"
  do {
    const bool taken = operation(5, "never") != 0 || new_error.load() != 0;
    if (kxevent) {
      evnt(3);
      if (r) continue;
    }
    if (taken) {
      do {
        note("then");
        if (!kxevent) break;
        evnt(3);
      } while (r);
    }
  } while (r);
  // A statement that fails failures_left times; the handler RESUMEs it.
  do {
    operation(failures_left > 0 ? (--failures_left, 62) : 0, "retried statement done");
    if (!kxevent) break;
    evnt(4);
  } while (r);
  do {
    note("main:end");
    if (!kxevent) break;
    evnt(5);
  } while (r);
  return;

LABEL_HANDLER:
  if (kxevent) evnt(20);
  r = 0;
  if (handler_exits) std::_Exit(42);
  do {
    note("handler:" + std::to_string(get_error_err()));
    if (!kxevent) break;
    evnt(21);
  } while (r);
  do {
    operation(static_cast<int32_t>(handler_error), "handler statement");
    if (!kxevent) break;
    evnt(22);
  } while (r);
  // RESUME for error 62, RESUME NEXT for everything else.
  do {
    if (get_error_err() == 62 ? resume_retry() : resume_next()) return;
    if (!kxevent) break;
    evnt(23);
  } while (r);
}

const kx_program test_program{TEST_KXMAIN, nullptr, nullptr, nullptr, nullptr};

class StatementCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    kx_set_program(test_program);
    trace.clear();
    failures_left = 0;
    handler_error = 0;
    handler_exits = false;
    new_error = 0;
    kxevent = 0;
    r = 0;
    error_goto_line = 0;
    error_handling = 0;
    error_occurred = 0;
    error_err = 0;
  }
};

TEST_F(StatementCheck, ResumeNextContinuesInsideTheCalledFunction) {
  TEST_KXMAIN(nullptr);
  const std::vector<std::string> expected{"F:10", "handler:53", "handler statement", "F:12", "main:x=7",
                                          "handler:5", "handler statement", "then",
                                          "retried statement done", "main:end"};
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(func__errorline(), 3u);  // the last check that noticed an error
  EXPECT_EQ(error_handling, 0);
  EXPECT_EQ(get_error_err(), 0u);  // ERR is 0 again after RESUME
}

TEST_F(StatementCheck, ResumeRepeatsTheFailingStatement) {
  failures_left = 2;
  TEST_KXMAIN(nullptr);
  const std::vector<std::string> tail(trace.end() - 6, trace.end());
  const std::vector<std::string> expected{"handler:62", "handler statement", "handler:62", "handler statement",
                                          "retried statement done", "main:end"};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(func__errorline(), 4u);
}

TEST_F(StatementCheck, ErrorInsideTheHandlerIsReportedNotTrapped) {
  recording_box box(2);  // answer Yes: carry on inside the handler
  handler_error = 76;
  TEST_KXMAIN(nullptr);
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2], "Unhandled Error #76");
  EXPECT_EQ(args[5], "Line: 22 (in main module)\nPath not found\nContinue?" + std::string(25, ' '));
  // Each trapped error still ran its handler once and resumed.
  EXPECT_EQ(trace.back(), "main:end");
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "handler:53"), 1);
}

TEST_F(StatementCheck, UntrappableErrorsNeverReachTheHandler) {
  recording_box box;
  handler_exits = true;
  error_goto_line = 1;
  EXPECT_EXIT(
      {
        error(300);
        evnt(9);
      },
      ::testing::ExitedWithCode(kx::critical_error_status), "");
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2], "Critical Error #300");
  EXPECT_EQ(args[5], "Line: 9 (in main module)\nMemory region out of range" + std::string(25, ' '));
}

TEST_F(StatementCheck, UntrappedErrorAnsweredYesContinuesAfterTheStatement) {
  recording_box box(2);
  error(53);
  evnt(18, 0, nullptr);
  EXPECT_EQ(new_error.load(), 0u);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(box.arguments().at(2), "Unhandled Error #53");
  EXPECT_EQ(get_error_err(), 0u);  // ERR is untouched by a report
}

TEST_F(StatementCheck, IncludedFileLineIsReported) {
  recording_box box(2);
  error(9);
  static const char file[] = "inc/arrays.bi";
  evnt(40, 6, file);
  EXPECT_EQ(func__errorline(), 40u);
  EXPECT_EQ(func__inclerrorline(), 6u);
  EXPECT_EQ(box.arguments().at(5), "Line: 6 (in inc/arrays.bi)\nSubscript out of range\nContinue?" +
                                       std::string(25, ' '));
}

TEST_F(StatementCheck, DispatchToAnUnknownHandlerEndsWithStatus99) {
  error_goto_line = 3;
  EXPECT_EXIT(
      {
        error(5);
        evnt(1);
      },
      ::testing::ExitedWithCode(99), "");
}

TEST_F(StatementCheck, ResumeOutsideAHandlerRaisesError20) {
  EXPECT_FALSE(resume_next());
  EXPECT_EQ(new_error.load(), 20u);
  new_error = 0;
  EXPECT_FALSE(resume_retry());
  EXPECT_EQ(new_error.load(), 20u);
  EXPECT_EQ(error_retry, 0);
  new_error = 0;
}

TEST_F(StatementCheck, CheckClearsTheEventFlagAndResult) {
  kxevent = 1;
  r = 1;
  evnt(1);
  EXPECT_EQ(kxevent.load(), 0);
  EXPECT_EQ(r, 0);
}

// Trap dispatch.
std::vector<std::string> trap_trace;

bool key_handler(int32_t id, int64_t arg) {
  trap_trace.push_back("key " + std::to_string(id) + ":" + std::to_string(arg));
  return true;
}
bool timer_handler(int32_t id, int64_t arg) {
  trap_trace.push_back("timer " + std::to_string(id));
  return true;
}

class TrapDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    traps_init();
    trap_trace.clear();
    error_handling = 0;
    new_error = 0;
    kx_set_program(kx_program{TEST_KXMAIN, nullptr, key_handler, nullptr, timer_handler});
  }
  void TearDown() override {
    for (auto& k : onkey) {
      k.id = 0;
      k.state = trap_off;
      k.pending = 0;
    }
    ontimer[0].id = 0;
    ontimer[0].state = trap_off;
    ontimer[0].pending = timer_idle;
  }
};

TEST_F(TrapDispatch, KeyTrapsDrainBeforeTimersRun) {
  ontimer[0].id = 9;
  ontimer[0].state = trap_on;
  ontimer[0].pending = timer_fired;
  onkey[3].id = 1;
  onkey[3].arg = 33;
  onkey[3].state = trap_on;
  onkey[3].pending = 2;
  onkey[5].id = 2;
  onkey[5].state = trap_stop;  // counted, not run
  onkey[5].pending = 1;
  sleep_break = 0;
  evnt(1);
  const std::vector<std::string> expected{"key 1:33", "key 1:33", "timer 9"};
  EXPECT_EQ(trap_trace, expected);
  EXPECT_EQ(onkey[3].pending.load(), 0);
  EXPECT_EQ(onkey[5].pending.load(), 1);
  EXPECT_EQ(ontimer[0].pending.load(), timer_idle);
  EXPECT_EQ(sleep_break.load(), 1);
}

TEST_F(TrapDispatch, NothingRunsWhileAnErrorHandlerRuns) {
  onkey[1].id = 1;
  onkey[1].state = trap_on;
  onkey[1].pending = 1;
  error_handling = 1;
  events();
  EXPECT_TRUE(trap_trace.empty());
  EXPECT_EQ(onkey[1].pending.load(), 1);
  error_handling = 0;
}

TEST_F(TrapDispatch, ProgramWithoutHandlersOnlyCountsDown) {
  kx_set_program(kx_program{TEST_KXMAIN, nullptr, nullptr, nullptr, nullptr});
  onkey[2].id = 4;
  onkey[2].state = trap_on;
  onkey[2].pending = 3;
  events();
  EXPECT_EQ(onkey[2].pending.load(), 0);
}

TEST_F(TrapDispatch, EventCountsSaturateAt255) {
  std::atomic<uint8_t> pending{253};
  for (int i = 0; i < 5; ++i) trap_count_event(pending);
  EXPECT_EQ(pending.load(), 255);
}

TEST_F(TrapDispatch, PredefinedKeys) {
  EXPECT_EQ(onkey[1].keycode, 0x3B00);
  EXPECT_EQ(onkey[10].keycode, 0x4400);
  EXPECT_EQ(onkey[11].keycode, 0x4800);
  EXPECT_EQ(onkey[11].keycode_alternate, 100264);
  EXPECT_EQ(onkey[14].keycode_alternate, 100258);
  EXPECT_EQ(onkey[30].keycode, 0x8500);
  EXPECT_EQ(onkey[31].keycode, 0x8600);
  EXPECT_EQ(onkey[15].keycode, 0);
  EXPECT_EQ(ontimer[0].allocated, 1);
  EXPECT_EQ(ontimer_nextfree, 1);
}

}  // namespace
