// INPUT # of numbers and strings over any file contents: every read either
// moves forward in the file or ends it with error 62, never loops or reads
// outside the file.
#include <string>

#include "files/file_handles.h"
#include "files/file_input.h"
#include "files/file_input_numbers.h"
#include "files/file_open_close.h"
#include "fuzz_file.h"
#include "values/string_create.h"
#include "values/string_release.h"
#include "values/type_codes.h"

namespace {

namespace tc = kx::type_code;
constexpr int32_t input_mode = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_files_once();
  fuzz_input in(data, size);
  const auto choice = in.take<uint8_t>();
  const std::string_view contents = in.rest();
  const std::string& file_name = fuzz_file_with("file_numbers_fuzz", contents);
  const uint32_t mark = kxs_tmp_list_nexti;
  new_error = 0;
  sub_open(kxs_new_txt(file_name.c_str()), input_mode, 0, 0, 1, 0, 0);
  fuzz_check(new_error == 0);
  const gfs_file_struct& record = gfs_file[static_cast<size_t>(kx::handle_of_number(1))];
  kxs* target = kxs_new(0, 0);
  // Each item takes at least one byte, so there are at most size + 1 reads.
  for (size_t i = 0; i <= contents.size() + 1; ++i) {
    new_error = 0;
    const int64_t before = record.position;
    switch ((choice + i) % 4) {
      case 0: func_file_input_float(1, 64 | tc::is_floating); break;
      case 1: func_file_input_int64(1); break;
      case 2: func_file_input_float(1, 16); break;
      default: sub_file_input_string(1, target);
    }
    fuzz_check(record.position >= before && record.position <= static_cast<int64_t>(contents.size()));
    if (new_error == err::input_past_end_of_file) break;
    fuzz_check(new_error == 0 || new_error == err::overflow);
    fuzz_check(record.position > before);
  }
  fuzz_check(new_error == err::input_past_end_of_file);
  new_error = 0;
  sub_close(1, 1);
  kxs_free(target);
  kxs_cleanup(mark, 0);
  return 0;
}
