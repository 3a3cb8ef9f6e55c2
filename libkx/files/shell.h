#pragma once
// SHELL in its forms: commands run through the system's command
// interpreter, waited for or left running. A statement whose shell cannot
// be started raises error 5; a function gives -1.
#include <cstdint>

struct kxs;

// SHELL [cmd$]: runs cmd$ and waits; nothing without a command.
void sub_shell(kxs* command, int32_t given);
// SHELL(cmd$): the command's exit code, -1 when the interpreter could not
// start, 0 for an empty command.
int64_t func_shell(kxs* command);
// _SHELLHIDE(cmd$): the raw wait status (-1 when the interpreter could not
// start); an empty command raises 5.
int64_t func__shellhide(kxs* command);
// SHELL _HIDE cmd$ (flags: bit 0 don't wait, bit 1 command given).
void sub_shell2(kxs* command, int32_t flags);
// SHELL _DONTWAIT cmd$ (flags: bit 0 also hidden, bit 1 command given).
void sub_shell3(kxs* command, int32_t flags);
// SHELL _HIDE _DONTWAIT cmd$ (flags: bit 1 command given).
void sub_shell4(kxs* command, int32_t flags);
// 1 when word, upper-cased, is a built-in of the old PC command
// interpreter; the SHELL forms here do not consult it.
int32_t cmd_command(kxs* word);

namespace kx {
// Starts command through /bin/sh -c without waiting: the child's process id,
// or -1. The child is a fresh program image: it shares none of this
// process's buffers or exit handlers.
int64_t start_detached(const char* command);
// Collects the exit status of detached children that have finished.
void reap_detached();
}  // namespace kx
