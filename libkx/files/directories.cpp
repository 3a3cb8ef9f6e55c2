#include "files/directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/error.h"
#include "files/launch_info.h"
#include "files/path_names.h"
#include "files/string_transfer.h"

namespace {

constexpr mode_t new_directory_mode = 0770;
constexpr size_t cwd_step = 512;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool has_wildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// DOS patterns: "*.*" and "NAME.*" also match names without an extension.
bool matches(const std::string& pattern, const char* name) {
  if (::fnmatch(pattern.c_str(), name, FNM_PERIOD) == 0) return true;
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0) {
    const std::string stem = pattern.substr(0, pattern.size() - 2);
    return ::fnmatch(stem.c_str(), name, FNM_PERIOD) == 0;
  }
  return false;
}

int32_t kill_error(int error_number) {
  switch (error_number) {
    case ENOENT:
      return err::file_not_found;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case EBUSY:
      return err::path_file_access_error;
    default:
      return err::bad_file_name;
  }
}

// Removes every file (not directory) in the folder of pattern whose name
// matches its last part.
void kill_matching(const std::string& pattern) {
  const size_t slash = pattern.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
  const std::string prefix = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  const std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
  if (!directory) {
    error(errno == ENOENT || errno == ENOTDIR ? err::file_not_found : err::path_file_access_error);
    return;
  }
  std::vector<std::string> victims;
  while (const dirent* entry = ::readdir(directory.get())) {
    if (!matches(last, entry->d_name)) continue;
    const std::string path = prefix + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) victims.push_back(path);
  }
  if (victims.empty()) {
    error(err::file_not_found);
    return;
  }
  int32_t failure = 0;
  for (const std::string& path : victims) {
    if (::unlink(path.c_str()) != 0 && failure == 0) failure = kill_error(errno);
  }
  if (failure) error(failure);
}

}  // namespace

void sub_chdir(kxs* path) {
  if (new_error) return;
  const auto name = kx::system_path(path);
  if (!name || ::chdir(name->c_str()) != 0) error(err::path_not_found);
}

void sub_mkdir(kxs* path) {
  if (new_error) return;
  const auto name = kx::system_path(path);
  if (!name) {
    error(err::path_not_found);
    return;
  }
  if (::mkdir(name->c_str(), new_directory_mode) != 0) {
    error(errno == EEXIST ? err::path_file_access_error : err::path_not_found);
  }
}

void sub_rmdir(kxs* path) {
  if (new_error) return;
  const auto name = kx::system_path(path);
  if (!name || ::rmdir(name->c_str()) != 0) error(err::path_not_found);
}

void sub_kill(kxs* name) {
  if (new_error) return;
  const auto path = kx::system_path(name);
  if (!path || path->empty()) {
    error(err::bad_file_name);
    return;
  }
  // A file whose name really holds * or ? is removed by that name.
  if (has_wildcards(*path) && !exists(*path)) {
    kill_matching(*path);
    return;
  }
  // unlink, not remove: KILL never removes a directory.
  if (::unlink(path->c_str()) != 0) error(kill_error(errno));
}

void sub_name(kxs* old_name, kxs* new_name) {
  if (new_error) return;
  const auto from = kx::system_path(old_name);
  const auto to = kx::system_path(new_name);
  if (!from || !to || from->empty() || to->empty()) {
    error(err::bad_file_name);
    return;
  }
  if (!exists(*from)) {
    error(err::file_not_found);
    return;
  }
  // An existing target is never replaced.
  int result = ::renameat2(AT_FDCWD, from->c_str(), AT_FDCWD, to->c_str(), RENAME_NOREPLACE);
  if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // File systems without the no-replace rename: check, then rename.
    if (exists(*to)) {
      errno = EEXIST;
    } else {
      result = ::rename(from->c_str(), to->c_str());
    }
  }
  if (result == 0) return;
  switch (errno) {
    case EEXIST:
    case ENOTEMPTY:
      error(err::file_already_exists);
      break;
    case EINVAL:
    case ENAMETOOLONG:
      error(err::bad_file_name);
      break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
      error(err::path_file_access_error);
      break;
    default:  // among them a new name whose folder does not exist
      error(err::illegal_function_call);
  }
}

void sub_files(kxs*, int32_t) {
  // FILES lists nothing on this system.
}

int32_t func__fileexists(kxs* name) {
  if (new_error) return 0;
  const auto path = kx::system_path(name);
  struct stat info {};
  return path && ::stat(path->c_str(), &info) == 0 && S_ISREG(info.st_mode) ? -1 : 0;
}

int32_t func__direxists(kxs* name) {
  if (new_error) return 0;
  const auto path = kx::system_path(name);
  struct stat info {};
  return path && ::stat(path->c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? -1 : 0;
}

kxs* func__cwd() {
  if (new_error) return kx::new_temporary("");
  std::vector<char> buffer;
  for (size_t size = cwd_step;; size += cwd_step) {
    try {
      buffer.resize(size);
    } catch (const std::bad_alloc&) {
      error(err::out_of_memory);
      return kx::new_temporary("");
    }
    if (::getcwd(buffer.data(), buffer.size())) break;
    if (errno != ERANGE) {
      error(err::internal_error);
      return kx::new_temporary("");
    }
  }
  return kx::new_temporary(buffer.data());
}

kxs* func__startdir() { return kx::new_temporary(startDir); }

kxs* func__dir(kxs*) {
  // Every folder name, known or not, is the current directory here.
  return kx::new_temporary("./");
}
