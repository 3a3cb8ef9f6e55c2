#pragma once
// Every road by which the program ends. The application thread never ends
// the process itself: it asks (close_program) and parks in end(); the
// main-loop thread exits once every thread has acknowledged.
#include <cstdint>
#include <string_view>

// Parks the calling application thread for good; the main-loop thread ends
// the process meanwhile.
[[noreturn]] void end();

// END: closes the files, shows "Press any key to continue" on the last text
// row of the display page, waits for a key, and ends.
[[noreturn]] void sub_end();

// SYSTEM: ends at once.
[[noreturn]] void sub_system();

// _EXIT: from the first call on, the close button and Ctrl+Break no longer
// end the program; returns the pending requests (1 close, 2 break) and
// clears them.
int32_t func__exit();

// RUN with a file name: runs that program and waits for it, then ends.
// Does nothing while an error is pending.
void sub_run(std::string_view file);

namespace kx {
// RUN's launch: the name, with backslashes turned into slashes, is started
// as one word (never through a shell) and waited for. Returns its exit
// status, or -1 when it could not be started.
int run_program_file(std::string_view file);
}  // namespace kx

// The reset that RUN without a file name performs before the program
// starts again from its first statement.
void sub_run_init();
