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
// executable the working directory, however long its path. The executable
// is found through the kernel's link, or, when its path is longer than the
// kernel reports, through the name it was started by (argv[0]). When its
// folder cannot be entered, a line on standard error says so and the
// program carries on in the launch directory. A program that the translator
// runs from its build cache is told its source's folder in the environment
// variable program_folder_variable, and starts there instead.
void launch_set_directories(const char* program_name = nullptr);

namespace kx {
inline constexpr const char* program_folder_variable = "KXC_PROGRAM_FOLDER";
// The executable's path as above, or "" when it cannot be found.
std::string executable_path(const char* program_name);
// chdir that also enters paths longer than the system's limit, one
// component at a time. Returns 0 or the errno of the step that failed.
int change_directory_stepwise(const std::string& path);
}  // namespace kx

// Records the command line.
void launch_set_command_line(int argc, char** argv);
