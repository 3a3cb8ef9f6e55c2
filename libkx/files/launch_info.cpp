#include "files/launch_info.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace kx {

std::string executable_path(const char* program_name) {
  // The kernel's link, read into a buffer that grows with it.
  for (size_t size = 4096; size <= (size_t{1} << 20); size *= 2) {
    std::vector<char> link(size);
    const ssize_t n = readlink("/proc/self/exe", link.data(), size);
    if (n < 0) break;  // a path longer than the kernel reports (ENAMETOOLONG)
    if (static_cast<size_t>(n) < size) return std::string(link.data(), static_cast<size_t>(n));
  }
  // The name the program was started by: a path when it holds a slash, else
  // the first executable of that name on PATH.
  if (!program_name || !*program_name) return {};
  const std::string_view name(program_name);
  if (name.find('/') != std::string_view::npos) return std::string(name);
  const char* search = std::getenv("PATH");
  std::string_view rest = search ? search : "";
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + std::string(name);
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

int change_directory_stepwise(const std::string& path) {
  if (path.empty()) return ENOENT;
  // Short paths in one step; longer ones a component at a time, since the
  // system refuses a whole path past its limit but not one step of it.
  if (chdir(path.c_str()) == 0) return 0;
  if (errno != ENAMETOOLONG) return errno;
  size_t at = 0;
  if (path[0] == '/') {
    if (chdir("/") != 0) return errno;
    at = 1;
  }
  while (at < path.size()) {
    size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    if (slash > at && chdir(path.substr(at, slash - at).c_str()) != 0) return errno;
    at = slash + 1;
  }
  return 0;
}

}  // namespace kx

void launch_set_directories(const char* program_name) {
  startDir = current_directory();
  const std::string exe = kx::executable_path(program_name);
  const size_t slash = exe.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : exe.substr(0, slash == 0 ? 1 : slash);
  // A program that kxc run started from its build cache belongs in the
  // folder of its source, not the cache's. Read once, before any other
  // thread runs, and dropped so that the program's children do not see it.
  if (const char* source_folder = std::getenv(kx::program_folder_variable); source_folder && *source_folder) {
    folder = source_folder;
    unsetenv(kx::program_folder_variable);
  }
  if (const int failure = kx::change_directory_stepwise(folder)) {
    // The program carries on where it stands, and says why.
    std::fprintf(stderr, "%s: cannot change into the program's folder: %s\n", program_invocation_short_name,
                 std::strerror(failure));
    std::fflush(stderr);
    kx::change_directory_stepwise(startDir);  // a partial walk returns to the launch directory
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
