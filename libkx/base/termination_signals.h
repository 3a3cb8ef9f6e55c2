#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the way the window's close
// button does for a program that does not poll _EXIT: through the orderly
// exit path, which flushes and closes every open file, with status 128 plus
// the signal's number. A second signal of the same kind while that path is
// still under way (the program is stuck outside the runtime) ends the
// process at once, with the same status.

// Installs the handlers; called once at start-up.
void install_termination_handlers();

namespace kx {

// Asks for the orderly exit on behalf of a signal. Async-signal-safe: it
// only stores to lock-free atomics, or ends the process with _exit.
void request_termination(int signal);

// The same request from the handler of a signal the kernel may deliver as
// a fault (SIGFPE sent by another process): it is passed on as an ordinary
// asynchronous signal carrying the number, and request_termination runs in
// that signal's handler. A fault's handler runs at once, whatever the
// interrupted thread holds, while an asynchronous signal may be held back
// by an instrumented build until the thread is at a safe point.
void forward_termination(int signal);

}  // namespace kx
