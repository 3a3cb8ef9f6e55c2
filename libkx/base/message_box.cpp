#include "base/message_box.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <new>
#include <vector>

extern char** environ;

namespace {

// One box at a time, whichever thread asks.
std::mutex box_mutex;

// The text is shown with 25 trailing blanks, which keeps short messages
// from being squeezed against the box's edge.
constexpr std::string_view text_padding = "                         ";

// The box's three texts, each terminated, in one buffer: on the stack when
// they fit, which they do for every message the runtime itself shows, since
// a box is how exhausted memory is reported and must not need the heap.
class box_texts {
 public:
  // Throws std::bad_alloc only for texts too long for the stack buffer.
  box_texts(std::string_view title, std::string_view buttons, std::string_view body) {
    const size_t size = title.size() + buttons.size() + body.size() + text_padding.size() + 3;
    if (size > sizeof local_) {
      heap_.resize(size);
      buffer_ = heap_.data();
    }
    char* at = buffer_;
    title_ = at;
    at = put(at, title);
    buttons_ = at;
    at = put(at, buttons);
    body_ = at;
    at = put(at, body, text_padding);
  }
  char* title() { return title_; }
  char* buttons() { return buttons_; }
  char* body() { return body_; }

 private:
  static char* put(char* at, std::string_view text, std::string_view more = {}) {
    at = std::copy(text.begin(), text.end(), at);
    at = std::copy(more.begin(), more.end(), at);
    *at = '\0';
    return at + 1;
  }
  char local_[4096];
  std::vector<char> heap_;
  char* buffer_ = local_;
  char* title_ = nullptr;
  char* buttons_ = nullptr;
  char* body_ = nullptr;
};

// What xmessage wrote on its standard error, passed on to ours; kept on the
// stack, since a box may report that the heap is exhausted.
class child_errors {
 public:
  child_errors() {
    if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
  }
  ~child_errors() {
    for (int fd : fds_)
      if (fd >= 0) close(fd);
  }
  child_errors(const child_errors&) = delete;
  child_errors& operator=(const child_errors&) = delete;
  // The child's end, or -1 when there is no pipe.
  int write_end() const { return fds_[1]; }
  // Reads until the child closes its end; call after the spawn.
  void collect() {
    if (fds_[1] >= 0) {
      close(fds_[1]);
      fds_[1] = -1;
    }
    if (fds_[0] < 0) return;
    char chunk[256];
    for (;;) {
      const ssize_t got = read(fds_[0], chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      ssize_t written = 0;
      while (written < got) {
        const ssize_t w = write(STDERR_FILENO, chunk + written, static_cast<size_t>(got - written));
        if (w <= 0) break;
        written += w;
      }
      const size_t keep = std::min(sizeof kept_ - 1 - kept_size_, static_cast<size_t>(got));
      std::copy(chunk, chunk + keep, kept_ + kept_size_);
      kept_size_ += keep;
    }
  }
  std::string_view text() const { return {kept_, kept_size_}; }

 private:
  int fds_[2] = {-1, -1};
  char kept_[512] = {};
  size_t kept_size_ = 0;
};

// xmessage could not show its box when it reports a failure of its own: the
// toolkit's errors (no display, no window) end it with status 1, the same
// status as a box answered with the button of value 1, but with an "Error"
// on its standard error.
bool box_failed(int status, std::string_view errors) {
  return status == 1 && errors.find("Error") != std::string_view::npos;
}

// Starts xmessage as a child that ends with the program: the kernel kills it
// when the thread that started it goes, which is also what happens when the
// process is killed outright or leaves through a path that cannot wait for
// the box (a second termination signal). Returns 0 or the errno of the
// failed start. Should the fork itself fail (memory so short that even a
// copy of the page tables does not fit), the box is started the plain way,
// since a box is how exhausted memory is reported.
int spawn_box(char** argv, int errors_fd, pid_t* pid) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) report[0] = report[1] = -1;
  const pid_t parent = getpid();
  const pid_t child = report[0] >= 0 ? fork() : -1;
  if (child == 0) {
    // Only calls that are safe in the child of a threaded process.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the program ended before the call above
    if (errors_fd >= 0) dup2(errors_fd, STDERR_FILENO);
    execvp("xmessage", argv);
    const int failure = errno;
    [[maybe_unused]] const ssize_t ignored = write(report[1], &failure, sizeof failure);
    _exit(127);
  }
  if (child < 0) {
    for (int fd : report)
      if (fd >= 0) close(fd);
    posix_spawn_file_actions_t actions;
    const bool capture = errors_fd >= 0 && posix_spawn_file_actions_init(&actions) == 0;
    if (capture) posix_spawn_file_actions_adddup2(&actions, errors_fd, STDERR_FILENO);
    const int spawned = posix_spawnp(pid, "xmessage", capture ? &actions : nullptr, nullptr, argv, environ);
    if (capture) posix_spawn_file_actions_destroy(&actions);
    return spawned;
  }
  close(report[1]);
  // The report's end closes at the exec; an errno arrives only when it failed.
  int failure = 0;
  ssize_t got = 0;
  while ((got = read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  close(report[0]);
  *pid = child;
  if (got != static_cast<ssize_t>(sizeof failure)) return 0;
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return failure != 0 ? failure : ENOEXEC;
}

// Runs xmessage with the arguments as given (no shell is involved, so
// quotes, $(...) and backquotes in the texts stay plain text) and returns
// its exit status, or -1 when it could not be started, did not exit, or could
// not show the box. The text is shown followed by the padding. A box that
// could not be shown is written to standard error, so that no report is
// ever lost in silence.
int run_xmessage(std::string_view text, std::string_view caption, std::string_view buttons) noexcept try {
  box_texts texts(caption, buttons, text);
  char* argv[] = {const_cast<char*>("xmessage"), const_cast<char*>("-center"), const_cast<char*>("-title"),
                  texts.title(), const_cast<char*>("-buttons"), texts.buttons(), texts.body(), nullptr};
  const auto not_shown = [&] {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
    return -1;
  };
  child_errors errors;
  pid_t pid = 0;
  if (spawn_box(argv, errors.write_end(), &pid) != 0) return not_shown();
  errors.collect();
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return not_shown();
  }
  if (!WIFEXITED(status)) return not_shown();
  if (box_failed(WEXITSTATUS(status), errors.text())) return not_shown();
  return WEXITSTATUS(status);
} catch (const std::bad_alloc&) {
  return -1;  // a box too long for the stack, with the heap exhausted
}

}  // namespace

int32_t MessageBox(int32_t, std::string_view text, std::string_view caption, int32_t type) {
  type &= ~MB_SYSTEMMODAL;
  std::lock_guard<std::mutex> lock(box_mutex);
  if (type == MB_YESNO) {
    return run_xmessage(text, caption, "Yes:2,No:1") == 2 ? IDYES : IDNO;
  }
  if (type == MB_OK) {
    run_xmessage(text, caption, "OK:1");
    return IDOK;
  }
  return IDCANCEL;
}

int32_t MessageBox2(int32_t owner, std::string_view text, std::string_view caption, int32_t type) {
  return MessageBox(owner, text, caption, type);
}

void alert(std::string_view text) { MessageBox(0, text, "Alert", MB_OK); }

void alert(int64_t number) {
  char text[24];
  std::snprintf(text, sizeof text, "%lld", static_cast<long long>(number));
  alert(std::string_view(text));
}
