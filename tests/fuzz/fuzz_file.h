#pragma once
// A file for the fuzz targets that read files: the file layer started once,
// and the input's bytes written to a file of this process's own.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "files/files_startup.h"
#include "fuzz_input.h"

// The memory model, strings and the file layer, made once per process.
inline void fuzz_files_once() {
  fuzz_runtime_once();
  static const bool ready = [] {
    files_init();
    return true;
  }();
  (void)ready;
}

// Writes contents to /tmp/kx_<tag>_<pid> and returns that name.
inline const std::string& fuzz_file_with(const char* tag, std::string_view contents) {
  static const std::string name = std::string("/tmp/kx_") + tag + "_" + std::to_string(getpid());
  if (FILE* f = std::fopen(name.c_str(), "wb")) {
    std::fwrite(contents.data(), 1, contents.size(), f);
    std::fclose(f);
  }
  return name;
}
