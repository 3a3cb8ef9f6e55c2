#pragma once
// How the process ends, and how layers that start after the frame take part
// in it: the file layer registers how every open file is closed and flushed.

using file_layer_action = void (*)();

// The file layer registers its "close every file" (CLOSE with no
// arguments) and "flush every file" actions once at start-up.
void kx_register_file_layer(file_layer_action close_all, file_layer_action flush_all);

// CLOSE with no arguments, as END, CLEAR and the exit path perform it.
void kx_close_all_files();

// Flushes whatever the program wrote, then ends the process at once with
// the given status. Used by the orderly exit path (after closing the files)
// and by critical errors, which flush but do not close.
[[noreturn]] void kx_exit_process(int status);
