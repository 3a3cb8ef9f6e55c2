#pragma once
// The program's environment: ENVIRON changes it, ENVIRON$ reads it, and
// SHELL and RUN hand it to the programs they start. It begins as a copy of
// the process environment and lives apart from it, because the process
// environment is read with getenv on the window thread at any time (by the
// toolkit while it starts, by the GL driver on its first draws and later),
// and putenv may move that array under such a reader. The process
// environment itself is never changed after start-up.
// Application thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kx {

// The value of the variable, if it is set.
std::optional<std::string_view> program_environment_value(std::string_view name);
// The n-th entry, "NAME=value", 1-based; none beyond the last.
std::optional<std::string_view> program_environment_entry(int64_t n);
// "NAME=value" sets or replaces NAME; "NAME" alone removes it. The name is
// not empty and the entry holds no zero byte (the caller checks).
void program_environment_set(std::string_view entry);
// The entries as a null-terminated array for posix_spawn, valid until the
// next change.
char* const* program_environment_block();

}  // namespace kx
