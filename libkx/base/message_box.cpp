#include "base/message_box.h"

#include <spawn.h>
#include <sys/wait.h>

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

// Runs xmessage with the arguments as given (no shell is involved, so
// quotes, $(...) and backquotes in the texts stay plain text) and returns
// its exit status, or -1 when it could not be started or did not exit.
// The text is shown followed by the padding.
int run_xmessage(std::string_view text, std::string_view caption, std::string_view buttons) noexcept try {
  box_texts texts(caption, buttons, text);
  char* argv[] = {const_cast<char*>("xmessage"), const_cast<char*>("-center"), const_cast<char*>("-title"),
                  texts.title(), const_cast<char*>("-buttons"), texts.buttons(), texts.body(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xmessage", nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (!WIFEXITED(status)) return -1;
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
