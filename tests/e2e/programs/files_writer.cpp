// A compiled program that writes two files and then ends by the road named
// in its first argument; the second argument is the folder for the files.
//   OPEN dir + "/data.bin" FOR BINARY AS #1: PUT #1, , block$   (100,003 bytes)
//   OPEN dir + "/text.txt" FOR OUTPUT AS #2: PRINT #2, "line"; i  (x 500)
// then: "close" CLOSE and idle; "end" END; "system" SYSTEM; "window" idle
// until the close button; "error" an untrapped error (53).
#include <cstdio>
#include <string>

#include "base/clock.h"
#include "base/error.h"
#include "files/file_open_close.h"
#include "files/file_print.h"
#include "files/file_records.h"
#include "files/launch_info.h"
#include "frame/shutdown.h"
#include "frame/startup.h"
#include "frame/statement_check.h"
#include "program_text.h"
#include "values/string_create.h"

namespace {

void KXMAIN(void*) {
  if (error_occurred) return;  // no handler
  const std::string road = func_command_count > 1 ? func_command_array[1] : "";
  const std::string folder = func_command_count > 2 ? func_command_array[2] : ".";
  const std::string data_name = folder + "/data.bin";
  const std::string text_name = folder + "/text.txt";
  sub_open(text(data_name), 2, 0, 0, 1, 0, 0);
  sub_open(text(text_name), 4, 0, 0, 2, 0, 0);
  std::string block(100003, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + 7);
  generic_put(1, -1, reinterpret_cast<const uint8_t*>(block.data()), static_cast<int64_t>(block.size()));
  for (int i = 1; i <= 500; ++i) sub_file_print(2, text("line " + std::to_string(i)), 0, 0, 1);
  if (new_error) {
    say("write failed");
    sub_system();
  }
  if (road == "close") {
    sub_close(0, 0);
    say(new_error ? "close failed" : "closed");
  } else if (road == "end") {
    say("ending");
    sub_end();
  } else if (road == "system") {
    sub_system();
  } else if (road == "error") {
    say("failing");
    do {
      error(53);
      if (!kxevent) break;
      evnt(20);
    } while (r);
    say("continued");
    sub_system();
  } else {
    say("waiting");
  }
  for (;;) {
    Sleep(20);
    if (kxevent) evnt(30);
  }
}

}  // namespace

int main(int argc, char** argv) { return kx_main(argc, argv, kx_program{KXMAIN}); }
