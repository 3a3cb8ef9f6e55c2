#include "base/error.h"

#include <gtest/gtest.h>

#include "base/error_report.h"
#include "base/flags.h"
#include "base/process_exit.h"
#include "base/recording_box.h"

namespace {

class ErrorRaise : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    kxevent = 0;
  }
  void TearDown() override {
    new_error = 0;
    kxevent = 0;
  }
};

TEST_F(ErrorRaise, FirstErrorWinsAndSetsTheEventFlag) {
  error(53);
  EXPECT_EQ(new_error.load(), 53u);
  EXPECT_EQ(kxevent.load(), 1);
  error(62);
  error(0);
  EXPECT_EQ(new_error.load(), 53u);
}

TEST_F(ErrorRaise, ZeroAndNegativeNumbersBecomeIllegalFunctionCall) {
  error(0);
  EXPECT_EQ(new_error.load(), 5u);
  new_error = 0;
  error(-3);
  EXPECT_EQ(new_error.load(), 5u);
}

TEST_F(ErrorRaise, UntrappableErrorsArePendingLikeOrdinaryOnes) {
  error(300);
  EXPECT_EQ(new_error.load(), 300u);
}

TEST_F(ErrorRaise, CriticalNumbersShowTheirBoxAndExitWithTheCriticalStatus) {
  struct expectation {
    int32_t n;
    const char* caption;
    const char* text;
  };
  const expectation cases[] = {
      {11, "Critical Error", "Division by zero"},
      {256, "Critical Error", "Out of stack space"},
      {257, "Critical Error #1", "Out of memory"},
      {271, "Critical Error", "END/SYSTEM called within SUB _GL's scope"},
      {502, "Critical Error #2", "Out of memory"},
      {512, "Critical Error #12", "Out of memory"},
      {518, "Critical Error #18", "Out of memory"},
      {519, "Critical Error #19", "Out of memory"},
      {520, "Critical Error #20", "Out of memory"},
  };
  for (const auto& c : cases) {
    recording_box box;
    // Even with another error pending, a critical one is not queued: it ends
    // the process at once.
    EXPECT_EXIT(
        {
          error(53);
          error(c.n);
        },
        ::testing::ExitedWithCode(kx::critical_error_status), "")
        << c.n;
    const auto args = box.arguments();
    ASSERT_EQ(args.size(), 6u) << c.n;
    EXPECT_EQ(args[2], c.caption);
    EXPECT_EQ(args[4], "OK:1");
    EXPECT_EQ(args[5], std::string(c.text) + std::string(25, ' '));
  }
}

TEST(ErrorTable, CriticalLookupCoversExactlyTheCriticalNumbers) {
  for (int32_t n : {1, 5, 20, 53, 76, 258, 262, 269, 272, 300, 315, 501, 521}) {
    EXPECT_FALSE(critical_error_lookup(n, nullptr)) << n;
  }
  critical_error_info info;
  ASSERT_TRUE(critical_error_lookup(509, &info));
  EXPECT_EQ(info.caption, "Critical Error #9");
  ASSERT_TRUE(critical_error_lookup(260, &info));
  EXPECT_EQ(info.text, "Sub/Function does not exist in dynamic library");
}

TEST(ErrorTable, TextsAndUnprintableNumbers) {
  EXPECT_EQ(error_text(1), "NEXT without FOR");
  EXPECT_EQ(error_text(52), "Bad file name or number");
  EXPECT_EQ(error_text(75), "Path/File access error");
  EXPECT_EQ(error_text(76), "Path not found");
  EXPECT_EQ(error_text(258), "Invalid handle");
  EXPECT_EQ(error_text(313), "Source and destination memory have been freed");
  EXPECT_EQ(error_text(315), "_ASSERT failed (check console for description)");
  for (uint32_t n : {0u, 11u, 15u, 21u, 28u, 31u, 39u, 49u, 60u, 65u, 66u, 77u, 257u, 299u, 316u}) {
    EXPECT_EQ(error_text(n), "Unprintable error") << n;
  }
}

TEST(ErrorReport, OrdinaryReportAsksToContinue) {
  const error_report report = make_error_report(53, 18, 0, nullptr);
  EXPECT_EQ(report.caption, "Unhandled Error #53");
  EXPECT_EQ(report.body, "Line: 18 (in main module)\nFile not found\nContinue?");
}

TEST(ErrorReport, UntrappableReportHasNoQuestion) {
  const error_report report = make_error_report(300, 7, 0, nullptr);
  EXPECT_EQ(report.caption, "Critical Error #300");
  EXPECT_EQ(report.body, "Line: 7 (in main module)\nMemory region out of range");
}

TEST(ErrorReport, IncludedFileShowsItsOwnNameAndLine) {
  const error_report report = make_error_report(77, 18, 4, "lib/helpers.bi");
  EXPECT_EQ(report.caption, "Unhandled Error #77");
  EXPECT_EQ(report.body, "Line: 4 (in lib/helpers.bi)\nUnprintable error\nContinue?");
}

TEST(ErrorReport, YesContinuesAndAnythingElseEnds) {
  recording_box box(2);
  EXPECT_EQ(report_untrapped_error(62, 3, 0, nullptr), report_outcome::continue_program);
  EXPECT_EQ(box.arguments().at(2), "Unhandled Error #62");
  EXPECT_EQ(box.arguments().at(4), "Yes:2,No:1");
  box.answer(1);
  EXPECT_EQ(report_untrapped_error(62, 3, 0, nullptr), report_outcome::end_program);
  box.answer(0);
  EXPECT_EQ(report_untrapped_error(62, 3, 0, nullptr), report_outcome::end_program);
}

TEST(ErrorReport, UntrappableReportShowsOkAndExits) {
  recording_box box(2);
  EXPECT_EXIT(report_untrapped_error(305, 9, 0, nullptr), ::testing::ExitedWithCode(kx::critical_error_status), "");
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2], "Critical Error #305");
  EXPECT_EQ(args[4], "OK:1");
}

}  // namespace
