#include "frame/message_box.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

extern char** environ;

namespace {

// One box at a time, whichever thread asks.
std::mutex box_mutex;

// The text is shown with 25 trailing blanks, which keeps short messages
// from being squeezed against the box's edge.
constexpr std::string_view text_padding = "                         ";

// Runs xmessage with the arguments as given (no shell is involved, so
// quotes, $(...) and backquotes in the texts stay plain text) and returns
// its exit status, or -1 when it could not be started or did not exit.
int run_xmessage(std::string_view text, std::string_view caption, std::string_view buttons) {
  std::string title(caption);
  std::string button_list(buttons);
  std::string body(text);
  body += text_padding;
  std::vector<char*> argv{const_cast<char*>("xmessage"), const_cast<char*>("-center"),
                          const_cast<char*>("-title"), title.data(),
                          const_cast<char*>("-buttons"), button_list.data(),
                          body.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xmessage", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (!WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
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

void alert(int64_t number) { alert(std::to_string(number)); }
