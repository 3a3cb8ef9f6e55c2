// LINE INPUT # over any file contents. In INPUT mode each line must be the
// one a plain model of the line rules gives (lines end at CR, LF or the end,
// a CR LF or LF CR pair is one line end, the end-of-file byte 26 ends the
// text); in BINARY mode every read must move forward, stay inside the file
// and hold no line feed. Both must end with error 62.
#include <string>
#include <vector>

#include "files/file_handles.h"
#include "files/file_input.h"
#include "files/file_open_close.h"
#include "fuzz_file.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

constexpr int32_t binary_mode = 2, input_mode = 3;

std::vector<std::string> model_lines(std::string_view text) {
  const size_t end_byte = text.find('\x1a');
  if (end_byte != std::string_view::npos) text = text.substr(0, end_byte);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t stop = at;
    while (stop < text.size() && text[stop] != '\r' && text[stop] != '\n') ++stop;
    lines.emplace_back(text.substr(at, stop - at));
    at = stop;
    if (at < text.size()) {
      const char first = text[at++];
      if (at < text.size() && (text[at] == '\r' || text[at] == '\n') && text[at] != first) ++at;
    }
  }
  return lines;
}

std::string text_of(const kxs* s) { return std::string(reinterpret_cast<const char*>(s->chars), s->length); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_files_once();
  fuzz_input in(data, size);
  const bool binary = in.take<uint8_t>() & 1;
  const std::string_view contents = in.rest();
  const std::string& file_name = fuzz_file_with("line_input_fuzz", contents);
  const uint32_t mark = kxs_tmp_list_nexti;
  new_error = 0;
  sub_open(kxs_new_txt(file_name.c_str()), binary ? binary_mode : input_mode, 0, 0, 1, 0, 0);
  fuzz_check(new_error == 0);
  const gfs_file_struct& record = gfs_file[static_cast<size_t>(kx::handle_of_number(1))];
  kxs* target = kxs_new(0, 0);
  const std::vector<std::string> expected = binary ? std::vector<std::string>{} : model_lines(contents);
  size_t read = 0;
  // Each line takes at least one byte, so there are at most size + 1 reads.
  for (; read <= contents.size() + 1; ++read) {
    const int64_t before = record.position;
    sub_file_line_input_string(1, target);
    if (new_error == err::input_past_end_of_file) break;
    fuzz_check(new_error == 0);
    fuzz_check(record.position > before && record.position <= static_cast<int64_t>(contents.size()));
    if (binary) {
      fuzz_check(text_of(target).find('\n') == std::string::npos);
    } else {
      fuzz_check(read < expected.size() && text_of(target) == expected[read]);
    }
  }
  fuzz_check(new_error == err::input_past_end_of_file);
  if (!binary) fuzz_check(read == expected.size());
  new_error = 0;
  sub_close(1, 1);
  kxs_free(target);
  kxs_cleanup(mark, 0);
  return 0;
}
