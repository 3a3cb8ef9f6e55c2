// The process frame seen from outside: the window, its close button, the
// working directory, message boxes and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "base/process_exit.h"
#include "e2e_support.h"

namespace {

using namespace e2e;

class Frame : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.ok()) << "Xvfb did not start"; }
  xvfb server_;
};

void expect_clean(const process& p) { EXPECT_FALSE(has_sanitizer_report(p.errors())) << p.errors(); }

TEST_F(Frame, WindowOpensAt640x400AndTheCloseButtonEndsWithStatusZero) {
  process program(program_path("exit_poll"), {"end"});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window) << program.errors();
  const auto size = window_geometry(*window);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 640);
  EXPECT_EQ(size->height, 400);
  // The program sits in END's key wait; a close request from another client
  // ends it through the orderly exit path.
  EXPECT_FALSE(program.wait_exit(500ms));
  int sent = -1;
  run_tool({wm_delete_path(), std::to_string(*window)}, &sent);
  ASSERT_EQ(sent, 0);
  EXPECT_EQ(program.wait_exit(10s), 0);
  expect_clean(program);
}

// ENVIRON from the first statement on, while the window thread starts the
// toolkit (which reads the environment): every start ends normally with
// every variable set.
TEST_F(Frame, EnvironWhileTheWindowStartsNeverCrashes) {
  for (const std::string mode : {"many", "large"}) {
    for (int start = 0; start < 5; ++start) {
      SCOPED_TRACE(mode + " " + std::to_string(start));
      process program(program_path("environ_flood"), {mode});
      ASSERT_TRUE(program.started());
      ASSERT_EQ(program.wait_exit(60s), 0) << program.errors();
      EXPECT_EQ(program.output(), mode == "many" ? "set 1000, last 999\n" : "set 20000, last 19999\n");
      expect_clean(program);
    }
  }
}

TEST_F(Frame, WorkingDirectoryIsTheExecutablesDirectory) {
  const auto launch = std::filesystem::temp_directory_path() / ("kx_launch_" + std::to_string(getpid()));
  std::filesystem::create_directories(launch);
  process program(program_path("where_am_i"), {"a", "b c"}, launch.string());
  ASSERT_TRUE(program.started());
  ASSERT_EQ(program.wait_exit(20s), 0) << program.errors();
  const std::string exe_dir = std::filesystem::canonical(program_path("where_am_i")).parent_path().string();
  const std::string expected = "cwd=" + exe_dir + "\nstart=" + std::filesystem::canonical(launch).string() +
                               "\ncommand=[a b c]\ncount=3\n";
  EXPECT_EQ(program.output(), expected);
  expect_clean(program);
  std::filesystem::remove_all(launch);
}

// Started from a folder whose path is longer than the system's limit (the
// kernel then cannot report the executable's path), the program still finds
// and enters its own folder, through the name it was started by.
TEST_F(Frame, WorkingDirectoryIsFoundPastThePathLengthLimit) {
  namespace fs = std::filesystem;
  const fs::path here = fs::current_path();
  const std::string top = fs::temp_directory_path() / ("kx_deep_" + std::to_string(getpid()));
  fs::remove_all(top);
  fs::create_directories(top);
  // Built and entered a step at a time, as no single call takes the path.
  ASSERT_EQ(chdir(top.c_str()), 0);
  std::string deep = top;
  for (int i = 0; i < 24; ++i) {
    const std::string part = "level" + std::string(200, 'x') + std::to_string(i);
    ASSERT_EQ(mkdir(part.c_str(), 0755), 0);
    ASSERT_EQ(chdir(part.c_str()), 0);
    deep += "/" + part;
  }
  ASSERT_GT(deep.size(), 4096u);
  fs::create_directory("sub");
  fs::copy_file(program_path("where_am_i"), "sub/where_am_i");
  process program("sub/where_am_i", {"a"});
  ASSERT_EQ(chdir(here.c_str()), 0);
  ASSERT_TRUE(program.started());
  ASSERT_EQ(program.wait_exit(30s), 0) << program.errors();
  EXPECT_EQ(program.output(), "cwd=" + deep + "/sub\nstart=" + deep + "\ncommand=[a]\ncount=2\n");
  expect_clean(program);
  run_tool({"rm", "-rf", top});
}

TEST_F(Frame, CriticalErrorShowsABoxThenExitsWithTheCriticalStatus) {
  process program(program_path("divide_by_zero"), {});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(answer_message_box("Critical Error", 0, 20s)) << program.errors();
  EXPECT_EQ(program.wait_exit(10s), kx::critical_error_status);
  EXPECT_EQ(program.output(), "");  // the division never completed
  expect_clean(program);
}

TEST_F(Frame, UnhandledErrorAnsweredYesContinues) {
  process program(program_path("report_box"), {});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(answer_message_box("Unhandled Error #53", 0, 20s)) << program.errors();
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_EQ(program.output(), "continued\n");
  expect_clean(program);
}

TEST_F(Frame, UnhandledErrorAnsweredNoEndsTheProgram) {
  process program(program_path("report_box"), {});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(answer_message_box("Unhandled Error #53", 1, 20s)) << program.errors();
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_EQ(program.output(), "");
  expect_clean(program);
}

// Whether a process is there and not yet a zombie.
bool alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const size_t name_end = line.rfind(')');
  return name_end != std::string::npos && name_end + 2 < line.size() && line[name_end + 2] != 'Z';
}

// The box's xmessage once it runs as a child of the program, or 0.
pid_t box_child(const process& program) {
  pid_t child = 0;
  eventually([&] {
    child = std::atoi(run_tool({"pgrep", "-P", std::to_string(program.pid()), "xmessage"}).c_str());
    return child > 0;
  }, 20s);
  return child;
}

// A box's xmessage never outlives the program: neither when a second
// termination signal ends the program at once, nor when it is killed.
TEST_F(Frame, TheBoxEndsWithTheProgramHoweverItEnds) {
  {
    process program(program_path("report_box"), {});
    ASSERT_TRUE(program.started());
    const pid_t child = box_child(program);
    ASSERT_GT(child, 0) << program.errors();
    // The first asks for the orderly exit, which waits for the box; the
    // second ends the program at once.
    kill(program.pid(), SIGTERM);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(alive(child));
    kill(program.pid(), SIGTERM);
    EXPECT_EQ(program.wait_exit(10s), 128 + SIGTERM);
    EXPECT_TRUE(eventually([&] { return !alive(child); }, 5s)) << "xmessage " << child << " still runs";
  }
  {
    process program(program_path("report_box"), {});
    ASSERT_TRUE(program.started());
    const pid_t child = box_child(program);
    ASSERT_GT(child, 0) << program.errors();
    program.kill_now();
    EXPECT_TRUE(eventually([&] { return !alive(child); }, 5s)) << "xmessage " << child << " still runs";
  }
  // The box still answers as before.
  process program(program_path("report_box"), {});
  ASSERT_TRUE(answer_message_box("Unhandled Error #53", 0, 20s)) << program.errors();
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_EQ(program.output(), "continued\n");
}

TEST_F(Frame, ProgramPollingExitSeesTheCloseRequestInstead) {
  process program(program_path("exit_poll"), {});
  ASSERT_TRUE(program.started());
  const auto window = wait_for_window("Untitled", 20s);
  ASSERT_TRUE(window);
  ASSERT_TRUE(eventually([&] { return program.output() == "polling\n"; }, 10s));
  run_tool({wm_delete_path(), std::to_string(*window)});
  EXPECT_EQ(program.wait_exit(10s), 0);
  EXPECT_EQ(program.output(), "polling\nexit request 1\nthen 0\n");
  expect_clean(program);
}

// Without a display (none named, or one that refuses the connection) the
// program ends with status 1 and says why in one line, every time: the
// runtime's threads are already running when the toolkit gives up, and no
// exit path may run the static destructors underneath them.
TEST(FrameWithoutDisplay, EveryStartEndsWithStatusOneAndOneLine) {
  // A few at a time: a burst of many sanitizer-built processes would starve
  // the tests that run beside this one.
  constexpr int starts = 50, side_by_side = 5;
  for (int batch = 0; batch < starts / side_by_side; ++batch) {
    std::vector<std::unique_ptr<process>> programs;
    for (int i = 0; i < side_by_side; ++i) {
      const std::string display = i % 2 ? "DISPLAY=:9998" : "DISPLAY";
      programs.push_back(std::make_unique<process>(halcyonix_path(), std::vector<std::string>{}, "",
                                                   std::vector<std::string>{display, "XAUTHORITY=/dev/null"}));
      ASSERT_TRUE(programs.back()->started());
    }
    for (auto& p : programs) {
      EXPECT_EQ(p->wait_exit(60s), 1) << p->errors();
      const std::string errors = p->errors();
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
      EXPECT_NE(errors.find("display"), std::string::npos) << errors;
    }
  }
}

}  // namespace
