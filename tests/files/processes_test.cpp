// The command line, the environment and SHELL.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "file_fixture.h"
#include "files/command_line.h"
#include "files/environment.h"
#include "files/file_print.h"
#include "files/launch_info.h"
#include "files/shell.h"

namespace {

using Processes = file_test;

TEST_F(Processes, CommandLineJoinsArgumentsAndKeepsEachOne) {
  char program[] = "/bin/prog";
  char a[] = "a";
  char b[] = "b";
  char c[] = "c";
  char* argv[] = {program, a, b, c, nullptr};
  launch_set_command_line(4, argv);
  EXPECT_EQ(text_of(func_command(0, 0)), "a b c");
  EXPECT_EQ(text_of(func_command(2, 1)), "b");
  EXPECT_EQ(text_of(func_command(0, 1)), "/bin/prog");
  EXPECT_EQ(text_of(func_command(4, 1)), "");
  EXPECT_EQ(text_of(func_command(-1, 1)), "");
  EXPECT_EQ(func__commandcount(), 3);
  char spaced[] = "b c";
  char* argv2[] = {program, a, spaced, nullptr};
  launch_set_command_line(3, argv2);
  EXPECT_EQ(text_of(func_command(0, 0)), "a b c");
  EXPECT_EQ(func__commandcount(), 2);
  launch_set_command_line(1, argv);
  EXPECT_EQ(text_of(func_command(0, 0)), "");
  EXPECT_EQ(func__commandcount(), 0);
}

TEST_F(Processes, EnvironmentRoundTrip) {
  sub_environ(s("KX_FILES_TEST=first"));
  EXPECT_EQ(text_of(func_environ(s("KX_FILES_TEST"))), "first");
  sub_environ(s("KX_FILES_TEST=second value"));
  EXPECT_EQ(text_of(func_environ(s("KX_FILES_TEST"))), "second value");
  EXPECT_EQ(text_of(func_environ(s("KX_FILES_NOT_SET"))), "");
  bool listed = false;
  for (int64_t n = 1; n < 10000; ++n) {
    const std::string entry = text_of(func_environ(n));
    if (entry.empty()) break;
    listed = listed || entry == "KX_FILES_TEST=second value";
  }
  EXPECT_TRUE(listed);
  func_environ(int64_t{0});
  EXPECT_EQ(take_error(), 5u);
  sub_environ(s(std::string_view("KX_FILES_TEST=cut\0off", 21)));
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(text_of(func_environ(s("KX_FILES_TEST"))), "second value");
  // A command sees the program's environment.
  EXPECT_EQ(func_shell(s("test \"$KX_FILES_TEST\" = \"second value\"")), 0);
  EXPECT_EQ(text_of(func__os()), "[LINUX][64BIT]");
  EXPECT_EQ(kx::count_environment(), [] {
    int32_t n = 1;
    for (char** e = environ; *e; ++e) ++n;
    return n;
  }());
}

// ENVIRON changes the program's own environment, which ENVIRON$, SHELL and
// the programs it starts see, and never the process environment, which the
// window thread's toolkit and GL driver read at any time.
TEST_F(Processes, EnvironNeverChangesTheProcessEnvironment) {
  unsetenv("KX_OWN");
  const int32_t before = kx::count_environment();
  sub_environ(s("KX_OWN=one two"));
  EXPECT_EQ(std::getenv("KX_OWN"), nullptr);
  EXPECT_EQ(kx::count_environment(), before);
  EXPECT_EQ(text_of(func_environ(s("KX_OWN"))), "one two");
  EXPECT_EQ(func_shell(s("test \"$KX_OWN\" = \"one two\"")), 0);
  // The entries keep their order, and a replaced one keeps its place.
  int64_t place = 0;
  for (int64_t n = 1; place == 0 && !text_of(func_environ(n)).empty(); ++n) {
    if (text_of(func_environ(n)) == "KX_OWN=one two") place = n;
  }
  ASSERT_GT(place, 0);
  sub_environ(s("KX_OWN=three"));
  EXPECT_EQ(text_of(func_environ(place)), "KX_OWN=three");
  // A name alone removes the variable; an empty value keeps it, empty.
  sub_environ(s("KX_OWN"));
  EXPECT_EQ(text_of(func_environ(s("KX_OWN"))), "");
  EXPECT_EQ(func_shell(s("test -z \"${KX_OWN+set}\"")), 0);
  sub_environ(s("KX_OWN="));
  EXPECT_EQ(func_shell(s("test \"${KX_OWN+set}\" = set")), 0);
  sub_environ(s("KX_OWN"));
  // Variables the process had at start-up are the program's too.
  const char* path = std::getenv("PATH");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(text_of(func_environ(s("PATH"))), path);
  EXPECT_EQ(take_error(), 0u);
}

TEST_F(Processes, ShellExitCodesAndStatuses) {
  EXPECT_EQ(func_shell(s("exit 3")), 3);
  EXPECT_EQ(func__shellhide(s("exit 3")), 768);
  EXPECT_EQ(func_shell(s("")), 0);
  func__shellhide(s(""));
  EXPECT_EQ(take_error(), 5u);
  sub_shell(s("echo ran > shell.out"), 1);
  EXPECT_EQ(read_file("shell.out"), "ran\n");
  sub_shell2(s(""), 2);
  EXPECT_EQ(take_error(), 5u);
  sub_shell4(s("true"), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(cmd_command(s("dir")), 1);
  EXPECT_EQ(cmd_command(s("ls")), 0);
}

// An environment variable longer than the kernel takes for one string
// (128 KiB): no program, the shell included, can be started with it.
class ShellThatCannotStart : public file_test {
 protected:
  void SetUp() override {
    file_test::SetUp();
    sub_environ(s("KX_TOO_LONG=" + std::string(200 * 1024, 'x')));
  }
  void TearDown() override {
    sub_environ(s("KX_TOO_LONG"));
    file_test::TearDown();
  }
};

TEST_F(ShellThatCannotStart, StatementsRaiseError5AndFunctionsGiveMinusOne) {
  sub_shell(s("echo ran > shell.out"), 1);
  EXPECT_EQ(take_error(), 5u);
  sub_shell2(s("echo ran > shell.out"), 2);
  EXPECT_EQ(take_error(), 5u);
  sub_shell3(s("echo ran > shell.out"), 2);
  EXPECT_EQ(take_error(), 5u);
  sub_shell4(s("echo ran > shell.out"), 2);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func_shell(s("exit 3")), -1);
  EXPECT_EQ(func__shellhide(s("exit 3")), -1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(read_file("shell.out"), "");
  // A command the shell cannot find is the command's failure, not SHELL's.
  sub_environ(s("KX_TOO_LONG"));
  sub_shell(s("kx_no_such_command_here 2>/dev/null"), 1);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func_shell(s("kx_no_such_command_here 2>/dev/null")), 127);
}

TEST_F(Processes, ShellSeesWrittenDataAndDontWaitLeavesOpenFilesAlone) {
  open("shared.txt", OUTPUT, 1);
  sub_file_print(1, s("before"), 0, 0, 1);
  // The command sees what the program wrote so far.
  EXPECT_EQ(func_shell(s("grep -q before shared.txt")), 0);
  sub_file_print(1, s("pending"), 0, 0, 1);
  sub_shell3(s("echo child > child.out"), 2);
  EXPECT_EQ(take_error(), 0u);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (read_file("child.out") != "child\n" && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(read_file("child.out"), "child\n");
  sub_file_print(1, s("after"), 0, 0, 1);
  sub_close(1, 1);
  // Every line exactly once: the child wrote none of the program's buffers.
  EXPECT_EQ(read_file("shared.txt"), "before\r\npending\r\nafter\r\n");
  kx::reap_detached();
}

}  // namespace
