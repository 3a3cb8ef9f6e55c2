// CALL ABSOLUTE in a whole program: a routine returns into the program with
// values for its variables; an unknown instruction shows the "X86 Error"
// box and ends with status 86; a zero byte ends with the byte at address 0;
// a routine that never ends gives way to the close button. Every ending
// leaves the program's file complete on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using namespace e2e;

class CallAbsolute : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }

  static std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The 300 lines the program prints to its file before the call.
  void expect_complete_file() {
    std::string lines;
    for (int i = 1; i <= 300; ++i) lines += "line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(read(folder_.path() + "/text.txt"), lines);
  }
  process start(const std::string& routine, const std::vector<std::string>& env = {}) {
    return process(program_path("machine_code"), {routine, folder_.path()}, "", env);
  }
  static void expect_clean(const process& p) { EXPECT_FALSE(has_sanitizer_report(p.errors())) << p.errors(); }

  xvfb server_;
  temp_folder folder_{"kx_call_absolute_e2e"};
};

TEST_F(CallAbsolute, RetfReturnsIntoTheProgramWithTheRoutinesValues) {
  process program = start("retf");
  ASSERT_TRUE(program.started());
  EXPECT_EQ(program.wait_exit(60s), 0) << program.errors();
  EXPECT_EQ(program.output(), "calling\nreturned -1 2\n");
  expect_complete_file();
  expect_clean(program);
}

TEST_F(CallAbsolute, AnUnknownInstructionShowsTheBoxAndEndsWith86WithTheFileStored) {
  // The real box, answered.
  {
    process program = start("unknown");
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(answer_message_box("X86 Error", 0, 60s)) << program.errors();
    EXPECT_EQ(program.wait_exit(30s), 86) << program.errors();
    EXPECT_EQ(program.output(), "calling\n");
    expect_complete_file();
    expect_clean(program);
  }
  std::filesystem::remove(folder_.path() + "/text.txt");
  // A recording stand-in shows what the box says for an &H0F form: the byte
  // after &H0F.
  const std::string bin = folder_.path() + "/bin";
  std::filesystem::create_directories(bin);
  const std::string record = folder_.path() + "/box.txt";
  {
    std::ofstream script(bin + "/xmessage");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record << "'\nexit 1\n";
  }
  chmod((bin + "/xmessage").c_str(), 0755);
  const char* path = std::getenv("PATH");
  process program = start("twobyte", {"PATH=" + bin + ":" + (path ? path : "")});
  ASSERT_TRUE(program.started());
  EXPECT_EQ(program.wait_exit(60s), 86) << program.errors();
  const std::string padding(25, ' ');
  EXPECT_EQ(read(record), "-center\n-title\nX86 Error\n-buttons\nOK:1\nUnknown Opcode (05)" + padding + "\n");
  expect_complete_file();
  expect_clean(program);
}

TEST_F(CallAbsolute, AZeroByteEndsWithTheByteAtAddressZeroWithTheFileStored) {
  process program = start("zero");
  ASSERT_TRUE(program.started());
  EXPECT_EQ(program.wait_exit(60s), 42) << program.errors();
  EXPECT_EQ(program.output(), "calling\n");
  expect_complete_file();
  expect_clean(program);
}

TEST_F(CallAbsolute, TheCloseButtonEndsARoutineThatNeverReturns) {
  process program = start("endless");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(eventually([&] { return program.output() == "calling\n"; }, 60s)) << program.errors();
  const auto window = wait_for_window("Untitled", 30s);
  ASSERT_TRUE(window) << program.errors();
  run_tool({wm_delete_path(), std::to_string(*window)});
  EXPECT_EQ(program.wait_exit(30s), 0) << program.errors();
  EXPECT_EQ(program.output(), "calling\n");
  expect_complete_file();
  expect_clean(program);
}

}  // namespace
