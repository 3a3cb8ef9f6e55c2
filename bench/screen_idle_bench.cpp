// The program's processor use while it sits idle with a blinking cursor:
// the screen test program (LOCATE 5, 10, 1 and a key wait) runs in a
// private X server, and its user and system time over ten seconds are
// reported as a percentage of one core.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

double cpu_seconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoll(field);
    if (i == 15) stime = std::stoll(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

pid_t spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// A child that is killed and reaped when the benchmark ends.
struct child {
  pid_t pid;
  ~child() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

void BM_IdleBlinkingCursorCpu(benchmark::State& state) {
  const auto exe = std::filesystem::read_symlink("/proc/self/exe");
  const auto program = exe.parent_path().parent_path() / "e2e-bin" / "screen_show";
  if (!std::filesystem::exists(program)) {
    state.SkipWithError("e2e-bin/screen_show is not built");
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    state.SkipWithError("no pipe");
    return;
  }
  child server{spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"})};
  close(fds[1]);
  char number[16] = {};
  const ssize_t got = read(fds[0], number, sizeof number - 1);
  close(fds[0]);
  if (server.pid <= 0 || got <= 0) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  setenv("DISPLAY", (":" + std::string(number, strcspn(number, "\n"))).c_str(), 1);
  child shown{spawn({program.string(), "cursor"})};
  std::this_thread::sleep_for(std::chrono::seconds(3));  // past start-up
  constexpr double seconds = 10.0;
  double percent = 0;
  for (auto _ : state) {
    const double before = cpu_seconds(shown.pid);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    percent = 100.0 * (cpu_seconds(shown.pid) - before) / seconds;
    state.SetIterationTime(seconds);
  }
  state.counters["cpu_percent_of_one_core"] = percent;
}
BENCHMARK(BM_IdleBlinkingCursorCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
