// The serial-port name check over any name: it answers 0, -1 or 1, only
// names that begin with COM are serial names at all, and the answer is the
// same every time for the same name.
#include <cctype>
#include <string_view>

#include "files/file_handles.h"
#include "files/serial_syntax.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(data), size);
  gfs_file_struct record{};
  const int32_t answer = gfs_open_com_syntax(name, record);
  fuzz_check(answer == 0 || answer == -1 || answer == 1);
  const bool com_prefix = name.size() >= 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
                          std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
                          std::toupper(static_cast<unsigned char>(name[2])) == 'M';
  if (answer != 0) fuzz_check(com_prefix);
  gfs_file_struct again{};
  fuzz_check(gfs_open_com_syntax(name, again) == answer);
  return 0;
}
