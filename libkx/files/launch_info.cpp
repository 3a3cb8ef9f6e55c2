#include "files/launch_info.h"

#include <unistd.h>

#include <string_view>
#include <vector>

namespace {

std::string current_directory() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

void launch_set_directories() {
  startDir = current_directory();
  constexpr size_t link_buffer_size = 65536;
  std::vector<char> exe(link_buffer_size, 0);
  const ssize_t n = readlink("/proc/self/exe", exe.data(), link_buffer_size - 1);
  if (n > 0) {
    std::string_view path(exe.data(), static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (slash != std::string_view::npos) {
      const std::string dir(path.substr(0, slash == 0 ? 1 : slash));
      if (chdir(dir.c_str()) != 0) {
        // The launch directory stays the working directory.
      }
    }
  }
  rootDir = current_directory();
}

void launch_set_command_line(int argc, char** argv) {
  func_command_str.clear();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) func_command_str += ' ';
    func_command_str += argv[i];
  }
  func_command_count = argc;
  func_command_array = argv;
}
