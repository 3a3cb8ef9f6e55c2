#pragma once
// What the process was started with: its directories, its command line and
// its environment. Set once by start-up on the first thread, before any
// other thread runs; read-only afterwards.
#include <cstdint>
#include <string>

inline std::string startDir;  // the working directory at launch (_STARTDIR$)
inline std::string rootDir;   // the executable's directory, made the working directory
inline std::string func_command_str;  // the arguments joined with single blanks (COMMAND$)
inline int32_t func_command_count = 0;  // argc (_COMMANDCOUNT)
inline char** func_command_array = nullptr;  // argv
inline int32_t environ_count = 0;

// Records the launch directory, then makes the directory that holds the
// executable the working directory.
void launch_set_directories();

// Records the command line.
void launch_set_command_line(int argc, char** argv);
