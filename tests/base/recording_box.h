#pragma once
// Puts the recording xmessage stand-in first on PATH for one test, and reads
// back what the last box was asked to show.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class recording_box {
 public:
  explicit recording_box(int exit_status = 1) {
    const char* tools = std::getenv("KX_TEST_TOOLS");
    tools_ = tools ? tools : "";
    log_ = std::filesystem::temp_directory_path() /
           ("kx_xmessage_" + std::to_string(getpid()) + "_" + std::to_string(counter_++) + ".log");
    std::filesystem::remove(log_);
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", (tools_ + ":" + saved_path_).c_str(), 1);
    setenv("KX_XMESSAGE_LOG", log_.c_str(), 1);
    answer(exit_status);
  }
  ~recording_box() {
    setenv("PATH", saved_path_.c_str(), 1);
    std::filesystem::remove(log_);
  }
  recording_box(const recording_box&) = delete;
  recording_box& operator=(const recording_box&) = delete;

  // The exit status the next box answers with (2 = Yes, 1 = No or OK).
  void answer(int exit_status) { setenv("KX_XMESSAGE_STATUS", std::to_string(exit_status).c_str(), 1); }

  bool shown() const { return std::filesystem::exists(log_); }

  // The arguments xmessage received, in order.
  std::vector<std::string> arguments() const {
    std::ifstream in(log_, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    std::string current;
    for (char c : all) {
      if (c == '\0') {
        args.push_back(current);
        current.clear();
      } else {
        current += c;
      }
    }
    return args;
  }

  const std::string& log_path() const { return log_; }

 private:
  static inline int counter_ = 0;
  std::string tools_;
  std::string log_;
  std::string saved_path_;
};
