#pragma once
// The process start-up: brings the runtime up in order, starts the
// application, timer and main-loop threads, then creates the window and runs
// the toolkit's event loop on the calling (first) thread.
#include "frame/program.h"

// The frame's answers to the upward calls of the layers below: parking the
// application thread, and the statement check run inside waits.
void install_frame_hooks();

int kx_main(int argc, char** argv, const kx_program& program);

// The time bases of TIMER and the BIOS tick: the time of day to the
// millisecond, beside the monotonic clock's reading.
void set_time_bases();
