#pragma once
// Directories and file names outside open files: CHDIR, MKDIR, RMDIR, KILL,
// NAME, FILES, the existence tests and the current, start and special
// folders. Every name goes to the system unchanged apart from backslashes,
// which become slashes.
#include <cstdint>

struct kxs;

void sub_chdir(kxs* path);
void sub_mkdir(kxs* path);
void sub_rmdir(kxs* path);
// KILL name: one file, or every file matching * and ? in the last part of
// the name.
void sub_kill(kxs* name);
// NAME old AS new: refuses (58) to replace an existing name.
void sub_name(kxs* old_name, kxs* new_name);
void sub_files(kxs* pattern, int32_t given);
int32_t func__fileexists(kxs* name);
int32_t func__direxists(kxs* name);
kxs* func__cwd();
kxs* func__startdir();
kxs* func__dir(kxs* folder);
