#include "files/path_names.h"

#include "files/file_handles.h"
#include "values/string_descriptor.h"

namespace kx {

std::optional<std::string> system_path(const kxs* name) {
  std::string path(reinterpret_cast<const char*>(name->chars), static_cast<size_t>(name->length));
  if (path.find('\0') != std::string::npos) return std::nullopt;
  fixdir(path.data());
  return path;
}

}  // namespace kx
