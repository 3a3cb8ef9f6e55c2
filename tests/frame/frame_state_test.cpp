// GOSUB stack growth, SWAP of fixed-size values, CLEAR, _EXIT, RUN's launch,
// the BIOS tick and the log file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <vector>

#include "base/event_log.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/process_exit.h"
#include "base/recording_box.h"
#include "frame/clear.h"
#include "frame/main_loop.h"
#include "frame/program.h"
#include "frame/return_points.h"
#include "frame/shutdown.h"
#include "frame/statement_check.h"
#include "values/swap.h"

namespace {

std::filesystem::path scratch_dir(const char* name) {
  auto dir = std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ReturnPoints, GrowsByDoublingAndKeepsEntries) {
  next_return_point = 0;
  const int32_t start = return_points;
  for (uint32_t i = 0; i < static_cast<uint32_t>(start) + 5; ++i) push_return_point(i * 3);
  EXPECT_EQ(return_points, start * 2);
  for (int32_t i = 0; i < start + 5; ++i) ASSERT_EQ(return_point[i], static_cast<uint32_t>(i) * 3);
  next_return_point = 0;
}

TEST(ReturnPoints, CountThatWouldOverflowIsCriticalError256) {
  recording_box box;
  // A capacity whose doubling passes the 32-bit count: the old arithmetic
  // wrapped the byte size to 0 and shrank the stack instead.
  EXPECT_EXIT(
      {
        return_points = INT_MAX / 2 + 1;
        more_return_points();
      },
      ::testing::ExitedWithCode(kx::critical_error_status), "");
  const auto args = box.arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2], "Critical Error");
  EXPECT_EQ(args[5], "Out of stack space" + std::string(25, ' '));
}

TEST(Swap, ExchangesEveryByteForAllSizes) {
  for (size_t n = 0; n <= 11; ++n) {
    std::vector<unsigned char> a(n + 2, 0xEE), b(n + 2, 0xDD);
    for (size_t i = 0; i < n; ++i) {
      a[i + 1] = static_cast<unsigned char>(i);
      b[i + 1] = static_cast<unsigned char>(100 + i);
    }
    swap_block(a.data() + 1, b.data() + 1, n);  // unaligned on purpose
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(a[i + 1], 100 + i);
      EXPECT_EQ(b[i + 1], i);
    }
    EXPECT_EQ(a[0], 0xEE);
    EXPECT_EQ(a[n + 1], 0xEE);
    EXPECT_EQ(b[n + 1], 0xDD);
  }
  double x = 1.25, y = -7.5;
  swap_block(&x, &y, sizeof x);
  EXPECT_EQ(x, -7.5);
  EXPECT_EQ(y, 1.25);
}

int cleared_count = 0;
int files_closed = 0;
int files_flushed = 0;

TEST(Clear, ResetsVariablesFilesStackAndHandler) {
  kx_set_program(kx_program{nullptr, [] { ++cleared_count; }, nullptr, nullptr, nullptr});
  const auto close_all = kx::hooks.close_all_files.load();
  const auto flush_all = kx::hooks.flush_all_files.load();
  kx::hooks.close_all_files = [] { ++files_closed; };
  kx::hooks.flush_all_files = [] { ++files_flushed; };
  error_goto_line = 2;
  error_handling = 1;
  next_return_point = 12;
  sub_clear(0, 0, 0, 0);
  EXPECT_EQ(cleared_count, 1);
  EXPECT_EQ(files_closed, 1);
  EXPECT_EQ(files_flushed, 0);
  EXPECT_EQ(error_goto_line, 0);
  EXPECT_EQ(error_handling, 0);
  EXPECT_EQ(next_return_point, 0);
  kx::hooks.close_all_files = close_all;
  kx::hooks.flush_all_files = flush_all;
}

TEST(ProcessExit, CriticalErrorFlushesTheFilesFirst) {
  recording_box box;
  const auto dir = scratch_dir("kx_flush");
  const auto path = dir / "data.txt";
  static std::FILE* data = nullptr;
  data = std::fopen(path.c_str(), "w");
  ASSERT_NE(data, nullptr);
  // A buffered write that only a flush brings to the disk.
  std::fputs("written before the crash", data);
  EXPECT_EXIT(
      {
        kx::hooks.close_all_files = [] { std::fclose(data); };
        kx::hooks.flush_all_files = [] { std::fflush(data); };
        error(257);
      },
      ::testing::ExitedWithCode(kx::critical_error_status), "");
  EXPECT_EQ(read_file(path), "written before the crash");
  std::fclose(data);
  std::filesystem::remove_all(dir);
}

TEST(Exit, ReportsAndClearsPendingRequests) {
  exit_blocked = 0;
  exit_value = 3;
  EXPECT_EQ(func__exit(), 3);
  EXPECT_EQ(exit_blocked.load(), 1);
  EXPECT_EQ(func__exit(), 0);
  exit_value.fetch_or(1);
  EXPECT_EQ(func__exit(), 1);
  exit_blocked = 0;
}

TEST(Run, NameIsOneWordAndBackslashesBecomeSlashes) {
  const auto dir = scratch_dir("kx_run");
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  std::filesystem::create_directories("sub dir");
  {
    std::ofstream script("sub dir/my prog;touch INJECTED");
    script << "#!/bin/sh\necho ran > ran.txt\nexit 3\n";
  }
  std::filesystem::permissions("sub dir/my prog;touch INJECTED", std::filesystem::perms::owner_all);
  EXPECT_EQ(kx::run_program_file(".\\sub dir\\my prog;touch INJECTED"), 3);
  EXPECT_EQ(read_file("ran.txt"), "ran\n");
  EXPECT_FALSE(std::filesystem::exists("INJECTED"));
  EXPECT_EQ(kx::run_program_file("./no such program"), -1);
  std::filesystem::current_path(old);
  std::filesystem::remove_all(dir);
}

TEST(BiosTick, CountsFromLocalMidnightAndWrapsDaily) {
  const int64_t base = 5'000'000;
  EXPECT_EQ(bios_tick_count(base, base, 0), 0u);
  EXPECT_EQ(bios_tick_count(base + 3'600'000, base, 0), 65520u);  // an hour: 18.2 * 3600
  EXPECT_EQ(bios_tick_count(base + 1000, base, 86'399'000), 0u);  // midnight passed
  EXPECT_EQ(bios_tick_count(base, base, 43'200'000), 786240u);    // noon
  // Past 2^32 ms of uptime (49.7 days) the count goes on smoothly.
  const int64_t later = base + (int64_t{1} << 32) + 1000;
  const int64_t elapsed = (later - base) % 86'400'000;
  EXPECT_EQ(bios_tick_count(later, base, 0), static_cast<uint32_t>(static_cast<double>(elapsed) * 0.0182));
}

TEST(EventLog, AppendsRawTextAndNumbersToATruncatedFile) {
  const auto dir = scratch_dir("kx_log");
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  {
    std::ofstream previous("log.txt");
    previous << "old content";
  }
  log_event("abc");
  log_event(int64_t{-42});
  log_event(" x\n");
  std::filesystem::current_path(old);
  EXPECT_EQ(read_file(dir / "log.txt"), "abc-42 x\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
