#include "base/message_box.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/error.h"
#include "base/process_exit.h"
#include "base/recording_box.h"

namespace {

const std::string padding(25, ' ');

TEST(MessageBox, YesNoBoxPassesCaptionTextAndButtonsAsSeparateArguments) {
  recording_box box(2);
  EXPECT_EQ(MessageBox(0, "Line: 1 (in main module)\nOverflow\nContinue?", "Unhandled Error #6",
                       MB_YESNO | MB_SYSTEMMODAL),
            IDYES);
  const std::vector<std::string> expected{"-center", "-title", "Unhandled Error #6", "-buttons", "Yes:2,No:1",
                                          "Line: 1 (in main module)\nOverflow\nContinue?" + padding};
  EXPECT_EQ(box.arguments(), expected);
}

TEST(MessageBox, AnswersMapFromTheExitStatus) {
  recording_box box;
  for (int status : {0, 1, 3, 127}) {
    box.answer(status);
    EXPECT_EQ(MessageBox(0, "t", "c", MB_YESNO), IDNO) << "status " << status;
  }
  box.answer(2);
  EXPECT_EQ(MessageBox(0, "t", "c", MB_YESNO), IDYES);
  // An OK box answers OK whatever the program returns.
  for (int status : {0, 1, 2, 5}) {
    box.answer(status);
    EXPECT_EQ(MessageBox2(0, "t", "c", MB_OK), IDOK);
    EXPECT_EQ(box.arguments().at(4), "OK:1");
  }
}

TEST(MessageBox, OtherTypesShowNothingAndCancel) {
  recording_box box(2);
  EXPECT_EQ(MessageBox(0, "t", "c", 1), IDCANCEL);
  EXPECT_EQ(MessageBox(0, "t", "c", 3 | MB_SYSTEMMODAL), IDCANCEL);
  EXPECT_FALSE(box.shown());
}

TEST(MessageBox, ShellTextInCaptionOrMessageIsNeverRun) {
  const auto dir = std::filesystem::temp_directory_path() / ("kx_inject_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto old_dir = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  recording_box box(2);
  const std::string text = "a\"; touch INJECTED; \"b $(touch INJECTED) `touch INJECTED`";
  const std::string caption = "\"; touch INJECTED; \"$(touch INJECTED)";
  EXPECT_EQ(MessageBox(0, text, caption, MB_YESNO), IDYES);
  alert(text);
  std::filesystem::current_path(old_dir);
  EXPECT_FALSE(std::filesystem::exists(dir / "INJECTED"));
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[5], text + padding);
  std::filesystem::remove_all(dir);
}

TEST(MessageBox, MissingProgramCountsAsNoOrOk) {
  const char* old = std::getenv("PATH");
  const std::string saved = old ? old : "";
  const auto empty = std::filesystem::temp_directory_path() / ("kx_nopath_" + std::to_string(getpid()));
  std::filesystem::create_directories(empty);
  setenv("PATH", empty.c_str(), 1);
  // A box that cannot be shown is never silent: its caption and text go to
  // standard error.
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(0, "t", "c", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox(0, "Out of memory", "Critical Error #4", MB_OK), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "c: t\nCritical Error #4: Out of memory\n");
  // A critical error ends the process with its own status all the same,
  // and says what happened.
  EXPECT_EXIT(error(err::out_of_memory_string_data), ::testing::ExitedWithCode(kx::critical_error_status),
              "Critical Error #[0-9]+: Out of memory");
  setenv("PATH", saved.c_str(), 1);
  std::filesystem::remove_all(empty);
}

// The real xmessage without a display to show its box on: the box counts as
// No or OK, as a missing program does, and its texts reach standard error
// after xmessage's own complaint.
TEST(MessageBox, BoxThatCannotOpenItsWindowIsWrittenToStandardError) {
  const char* old = std::getenv("DISPLAY");
  const std::string saved = old ? old : "";
  setenv("DISPLAY", ":9997", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBox(0, "text of the box", "caption", MB_YESNO), IDNO);
  const std::string errors = testing::internal::GetCapturedStderr();
  if (old) {
    setenv("DISPLAY", saved.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
  EXPECT_NE(errors.find("Error"), std::string::npos) << errors;
  EXPECT_NE(errors.find("caption: text of the box\n"), std::string::npos) << errors;
}

TEST(MessageBox, AlertShowsNumbersInDecimalUnderTheAlertCaption) {
  recording_box box;
  alert(int64_t{-1234567890123});
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2], "Alert");
  EXPECT_EQ(args[4], "OK:1");
  EXPECT_EQ(args[5], "-1234567890123" + padding);
}

// Texts that fill the box's stack buffer exactly, or pass it, arrive whole,
// with bytes of every value but 0 (an argument cannot hold one).
TEST(MessageBox, TextsOfAnyLengthArriveWhole) {
  std::string pattern;
  for (int b = 1; b < 256; ++b) pattern += static_cast<char>(b);
  // The stack buffer holds the three texts with their terminators.
  const std::string caption = "Long";
  const std::string buttons = "OK:1";
  const size_t fits = 4096 - caption.size() - buttons.size() - padding.size() - 3;
  for (size_t length : {fits, fits + 1, size_t{20000}}) {
    std::string text;
    while (text.size() < length) text += pattern;
    text.resize(length);
    recording_box box;
    EXPECT_EQ(MessageBox(0, text, caption, MB_OK), IDOK);
    const auto args = box.arguments();
    ASSERT_EQ(args.size(), 6u);
    EXPECT_EQ(args[2], caption);
    EXPECT_EQ(args[5], text + padding) << length;
  }
}

}  // namespace
