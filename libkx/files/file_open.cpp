#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "files/file_handles.h"
#include "files/serial_syntax.h"
#include "values/string_descriptor.h"

namespace {

bool is_screen_device(std::string_view name) {
  static constexpr std::string_view device = "SCRN:";
  if (name.size() < device.size()) return false;
  for (size_t i = 0; i < device.size(); ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != device[i]) return false;
  }
  return true;
}

// open(2) flags for access and how, or -1 for a combination no stream has
// (reading a file that is truncated as it opens).
int open_flags(int32_t access, int32_t how, bool append) {
  int flags;
  switch (access) {
    case 1:
      flags = O_RDONLY;
      break;
    case 2:
      flags = O_WRONLY;
      break;
    case 3:
      flags = O_RDWR;
      break;
    default:
      return -1;
  }
  if (how == 2) return flags | O_CREAT | O_TRUNC;
  // A missing file is created; an existing one is never truncated here.
  if (how != 0) flags |= O_CREAT;
  if (append) flags |= O_APPEND;
  return flags;
}

bool parent_directory_exists(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return true;
  const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info {};
  return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int32_t open_failure_code(int error_number, const std::string& path, int32_t how) {
  switch (error_number) {
    case ENOENT:
      if (!parent_directory_exists(path)) return gfs_path_not_found;
      return how == 0 ? gfs_not_found : gfs_bad_name;
    case ENOTDIR:
      return gfs_path_not_found;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return gfs_stream_failure;
    case EISDIR:
      return gfs_is_directory;
    case EMFILE:
    case ENFILE:
    case ENXIO:
    case ENODEV:
      return gfs_device_unavailable;
    case ENAMETOOLONG:
    case EINVAL:
      return gfs_bad_name;
    default:
      return how == 0 ? gfs_not_found : gfs_bad_name;
  }
}

}  // namespace

int32_t gfs_open(kxs* name, int32_t access, int32_t restrictions, int32_t how) {
  const std::string_view text(reinterpret_cast<const char*>(name->chars), static_cast<size_t>(name->length));
  const bool append = access == 2 && how != 2;
  return gfs_open_name(text, access, restrictions, how, append);
}

int32_t gfs_open_name(std::string_view name, int32_t access, int32_t restrictions, int32_t how, bool append) {
  if (is_screen_device(name)) {
    const int32_t h = gfs_new();
    gfs_file[static_cast<size_t>(h)].is_screen = 1;
    return h;
  }
  // A zero byte would end the name early and open some other file.
  if (name.empty() || name.find('\0') != std::string_view::npos) return gfs_bad_name;
  // Truncation with read access only (OUTPUT ACCESS READ) is no stream mode:
  // the open fails as any unopenable name does, before anything is created
  // or truncated.
  if (how == 2 && access == 1) return gfs_bad_name;
  const int flags = open_flags(access, how, append);
  if (flags < 0) return gfs_bad_mode;

  const int32_t h = gfs_new();
  {
    gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
    record.can_read = (access & 1) ? 1 : 0;
    record.can_write = (access & 2) ? 1 : 0;
    record.deny_read = (restrictions & 1) ? 1 : 0;
    record.deny_write = (restrictions & 2) ? 1 : 0;
    if (gfs_open_com_syntax(name, record) < 0) {
      gfs_freed.push_back(h);
      return gfs_bad_name;
    }
  }
  std::string path(name);
  fixdir(path.data());
  int error_number = 0;
  auto stream = kx::file_stream::open(path.c_str(), flags, &error_number);
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  if (!stream) {
    record = gfs_file_struct{};
    gfs_freed.push_back(h);
    return open_failure_code(error_number, path, how);
  }
  record.stream = std::move(stream);
  record.is_open = 1;
  return h;
}
