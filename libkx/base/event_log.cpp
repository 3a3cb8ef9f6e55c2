#include "base/event_log.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct file_closer {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::mutex log_mutex;
std::unique_ptr<std::FILE, file_closer> log_file;
bool log_open_tried = false;

void write_log(std::string_view text) {
  std::lock_guard<std::mutex> lock(log_mutex);
  if (!log_open_tried) {
    log_open_tried = true;
    log_file.reset(std::fopen("log.txt", "wb"));
  }
  if (!log_file) return;
  std::fwrite(text.data(), 1, text.size(), log_file.get());
  std::fflush(log_file.get());
}

}  // namespace

void log_event(std::string_view text) { write_log(text); }

void log_event(int64_t number) { write_log(std::to_string(number)); }
