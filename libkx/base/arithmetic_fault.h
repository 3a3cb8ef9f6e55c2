#pragma once
// A hardware arithmetic fault (integer division by zero) in compiled code
// becomes critical error 11, "Division by zero".
#include <csignal>

// The SIGFPE handler. The box and the exit cannot run inside a signal
// handler (they allocate and start a process), so the handler only bends
// the interrupted thread's context: when it returns, the thread continues in
// an ordinary function that raises the error.
void division_by_zero_handler(int signal, siginfo_t* info, void* context);

// Installs the handler for SIGFPE; compiled main routines call this on entry.
void install_division_by_zero_handler();
