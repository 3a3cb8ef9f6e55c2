// Every byte a program writes reaches the disk, whichever road ends it:
// CLOSE, END, SYSTEM, the window's close button, and an untrapped error
// answered No. INPUT$ without a file number waits for keys typed into the
// window.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok()) << "Xvfb did not start";
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = std::filesystem::temp_directory_path() / ("kx_files_e2e_" + std::to_string(getpid()) + "_" + test);
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  static std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The bytes the program writes, as it writes them.
  void expect_every_byte() {
    std::string block(100003, '\0');
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
    EXPECT_EQ(read(folder_ / "data.bin"), block);
    std::string lines;
    for (int i = 1; i <= 500; ++i) lines += "line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(read(folder_ / "text.txt"), lines);
  }
  process start(const std::string& road) { return process(program_path("files_writer"), {road, folder_.string()}); }

  xvfb server_;
  std::filesystem::path folder_;
};

void expect_clean(const process& p) { EXPECT_FALSE(has_sanitizer_report(p.errors())) << p.errors(); }

void close_window(process& program) {
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  run_tool({wm_delete_path(), std::to_string(*window)});
}

TEST_F(Files, KeyboardInputDollarWaitsForItsCountOfKeys) {
  process program(program_path("files_keys"), {});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "ready\n"; }, 20s)) << program.errors();
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  type_keys(*window, {"h", "i", "shift+a"});
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(program.output(), "ready\n");  // three of five keys: still waiting
  type_keys(*window, {"space", "Return"});
  ASSERT_TRUE(eventually([&] { return program.output() == "ready\ngot 104 105 65 32 13\n"; }, 10s))
      << program.output();
  // An extended key contributes only its 0 byte.
  type_keys(*window, {"Up", "z"});
  EXPECT_EQ(program.wait_exit(10s), 0) << program.errors();
  EXPECT_EQ(program.output(), "ready\ngot 104 105 65 32 13\ngot 0 122\n");
  expect_clean(program);
}

TEST_F(Files, TheCloseButtonEndsAWaitForKeys) {
  process program(program_path("files_keys"), {});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "ready\n"; }, 20s)) << program.errors();
  close_window(program);
  EXPECT_EQ(program.wait_exit(10s), 0) << program.errors();
  EXPECT_EQ(program.output().substr(0, 6), "ready\n");
  expect_clean(program);
}

TEST_F(Files, CloseStoresEveryByteWhileTheProgramRuns) {
  process program = start("close");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "closed\n"; }, 20s)) << program.output() << program.errors();
  expect_every_byte();
  close_window(program);
  EXPECT_EQ(program.wait_exit(10s), 0);
  expect_clean(program);
}

TEST_F(Files, EndClosesTheFilesBeforeItsKeyWait) {
  process program = start("end");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "ending\n"; }, 20s)) << program.errors();
  // END closes the files right after the message above.
  ASSERT_TRUE(eventually([&] { return read(folder_ / "text.txt").size() >= 4892; }, 10s));
  expect_every_byte();
  close_window(program);
  EXPECT_EQ(program.wait_exit(10s), 0);
  expect_clean(program);
}

TEST_F(Files, SystemStoresEveryByte) {
  process program = start("system");
  ASSERT_TRUE(program.started());
  EXPECT_EQ(program.wait_exit(20s), 0) << program.errors();
  expect_every_byte();
  expect_clean(program);
}

TEST_F(Files, TheCloseButtonsExitPathStoresEveryByte) {
  process program = start("window");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "waiting\n"; }, 20s)) << program.errors();
  close_window(program);
  EXPECT_EQ(program.wait_exit(10s), 0);
  expect_every_byte();
  expect_clean(program);
}

TEST_F(Files, AnUntrappedErrorAnsweredNoStoresEveryByte) {
  process program = start("error");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(answer_message_box("Unhandled Error #53", 1, 20s)) << program.errors();
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_EQ(program.output(), "failing\n");
  expect_every_byte();
  expect_clean(program);
}

// SIGTERM, SIGINT, SIGHUP and a SIGFPE sent by another process end a
// program that is writing a file through the orderly path: every line that
// reached the file is whole, numbered without a gap, and the status is 128
// plus the signal's number.
TEST_F(Files, TerminationSignalsLeaveEveryWrittenLineWhole) {
  const auto lines_file = folder_ / "lines.txt";
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGFPE}) {
    std::filesystem::remove(lines_file);
    process program(program_path("signal_writer"), {"write", folder_.string()});
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(eventually(
        [&] {
          std::error_code ec;
          return program.output() == "writing\n" && std::filesystem::file_size(lines_file, ec) > 100000 && !ec;
        },
        30s))
        << "signal " << signal << ": " << program.output() << program.errors();
    ::kill(program.pid(), signal);
    EXPECT_EQ(program.wait_exit(20s), 128 + signal) << program.errors();
    const std::string written = read(lines_file);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n") << "signal " << signal;
    size_t at = 0;
    int expected = 0;
    while (at < written.size()) {
      const size_t end = written.find("\r\n", at);
      ASSERT_NE(end, std::string::npos);
      ASSERT_EQ(written.substr(at, end - at), "line " + std::to_string(++expected)) << "signal " << signal;
      at = end + 2;
    }
    EXPECT_GT(expected, 1000);
    expect_clean(program);
  }
}

// A program that never reaches a statement check cannot take the orderly
// path; a second signal of the same kind ends it at once.
TEST_F(Files, ASecondSignalEndsAProgramThatCannotStop) {
  process program(program_path("signal_writer"), {"stuck", folder_.string()});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "stuck\n"; }, 30s)) << program.errors();
  ::kill(program.pid(), SIGTERM);
  EXPECT_FALSE(program.wait_exit(1s));  // waiting for the program to stop
  ::kill(program.pid(), SIGTERM);
  EXPECT_EQ(program.wait_exit(10s), 128 + SIGTERM);
}

}  // namespace
