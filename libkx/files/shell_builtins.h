#pragma once
// The command interpreter built-ins of the old PC system.
#include <array>
#include <string_view>

namespace kx {
inline constexpr std::array<std::string_view, 46> shell_builtin_words{
    "ASSOC",  "BREAK", "BCDBOOT", "BCDEDIT",  "CALL",  "CD",    "CHDIR", "CLS",    "COLOR", "COPY",
    "DATE",   "DEFRAG", "DEL",    "DIR",      "ECHO",  "ENDLOCAL", "ERASE", "FOR", "FTYPE", "GOTO",
    "GRAFTABL", "IF",  "MD",      "MKDIR",    "MKLINK", "MOVE", "PATH",  "PAUSE",  "POPD",  "PROMPT",
    "PUSHD",  "RD",    "REM",     "REN",      "RENAME", "RMDIR", "SET",  "SETLOCAL", "SHIFT", "START",
    "TIME",   "TITLE", "TYPE",    "VER",      "VERIFY", "VOL"};
}  // namespace kx
