#include "files/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/window_wake.h"
#include "files/file_handles.h"
#include "files/program_environment.h"
#include "files/shell_builtins.h"
#include "files/string_transfer.h"
#include "screen/compose/presentation_state.h"

namespace {

constexpr int32_t flag_dont_wait = 1;
constexpr int32_t flag_hidden = 1;
constexpr int32_t flag_command_given = 2;

// Detached children not yet collected.
std::vector<pid_t> detached_children;

std::string command_text(const kxs* command) { return std::string(kx::bytes_of(command)); }

// Full-screen display is left while a waiting command runs and taken up
// again afterwards; the window thread applies each change.
class windowed_while_shelling {
 public:
  windowed_while_shelling() : saved_(full_screen.load()) {
    if (saved_) change_to(0);
  }
  ~windowed_while_shelling() {
    if (saved_) change_to(saved_);
  }
  windowed_while_shelling(const windowed_while_shelling&) = delete;
  windowed_while_shelling& operator=(const windowed_while_shelling&) = delete;

 private:
  static void change_to(int32_t mode) {
    full_screen_set = mode;
    kx::wake_window_thread();
    while (full_screen.load() != mode && !stop_program.load()) Sleep(0);
  }
  int32_t saved_;
};

// What run_and_wait gives when the shell itself could not be started.
constexpr int shell_not_started = -1;

// Starts /bin/sh -c command with the program's environment: the child's id,
// or -1 when no shell could be started (too large an environment, no
// /bin/sh, no process left). The C library's system() cannot tell that
// apart from a command that exits with 127, hence posix_spawn.
pid_t spawn_shell(const char* command) {
  const char* argv[] = {"sh", "-c", "--", command, nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv),
                  kx::program_environment_block()) != 0) {
    return -1;
  }
  return pid;
}

// Runs the command and waits: the raw wait status, or shell_not_started.
// The program's buffered file data is stored first so that the command
// sees it. The display loop pauses while the command runs.
int run_and_wait(const std::string& command) {
  gfs_flush_all();
  kx::reap_detached();
  shell_call_in_progress = 1;
  int status = shell_not_started;
  if (const pid_t pid = spawn_shell(command.c_str()); pid > 0) {
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  shell_call_in_progress = 0;
  return status;
}

// The statement forms report a shell that could not start as error 5; the
// functions report it through their result.
void run_statement(const std::string& command) {
  if (run_and_wait(command) == shell_not_started) error(err::illegal_function_call);
}

// A zero byte would end the command early; such a command is not run.
bool runnable(const std::string& command) { return command.find('\0') == std::string::npos; }

void start_without_waiting(const kxs* command) {
  const std::string text = command_text(command);
  if (!runnable(text)) {
    error(err::illegal_function_call);
    return;
  }
  gfs_flush_all();
  if (kx::start_detached(text.c_str()) < 0) error(err::illegal_function_call);
}

}  // namespace

namespace kx {

int64_t start_detached(const char* command) {
  reap_detached();
  const pid_t pid = spawn_shell(command);
  if (pid < 0) return -1;
  detached_children.push_back(pid);
  return pid;
}

void reap_detached() {
  std::erase_if(detached_children, [](pid_t pid) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    return done == pid || (done < 0 && errno == ECHILD);
  });
}

}  // namespace kx

void sub_shell(kxs* command, int32_t given) {
  if (new_error) return;
  if (!given || command->length == 0) return;
  const std::string text = command_text(command);
  if (!runnable(text)) {
    error(err::illegal_function_call);
    return;
  }
  const windowed_while_shelling windowed;
  run_statement(text);
}

int64_t func_shell(kxs* command) {
  if (new_error) return 0;
  if (command->length == 0) return 0;
  const std::string text = command_text(command);
  if (!runnable(text)) {
    error(err::illegal_function_call);
    return 0;
  }
  const windowed_while_shelling windowed;
  const int status = run_and_wait(text);
  if (status == shell_not_started) return -1;
  return (status >> 8) & 0xFF;
}

int64_t func__shellhide(kxs* command) {
  if (new_error) return 0;
  const std::string text = command_text(command);
  if (text.empty() || !runnable(text)) {
    error(err::illegal_function_call);
    return 1;
  }
  return run_and_wait(text);
}

void sub_shell2(kxs* command, int32_t flags) {
  if (new_error) return;
  if (flags & flag_dont_wait) {
    sub_shell4(command, flags);
    return;
  }
  if (!(flags & flag_command_given) || command->length == 0) {
    error(err::illegal_function_call);
    return;
  }
  const std::string text = command_text(command);
  if (!runnable(text)) {
    error(err::illegal_function_call);
    return;
  }
  run_statement(text);
}

void sub_shell3(kxs* command, int32_t flags) {
  if (new_error) return;
  if (flags & flag_hidden) {
    sub_shell4(command, flags);
    return;
  }
  if (!(flags & flag_command_given) || command->length == 0) return;
  start_without_waiting(command);
}

void sub_shell4(kxs* command, int32_t flags) {
  if (new_error) return;
  if (!(flags & flag_command_given) || command->length == 0) {
    error(err::illegal_function_call);
    return;
  }
  start_without_waiting(command);
}

int32_t cmd_command(kxs* word) {
  std::string upper = command_text(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  const auto& words = kx::shell_builtin_words;
  return std::find(words.begin(), words.end(), upper) != words.end() ? 1 : 0;
}
