#pragma once
// Test fixture for the file layer: fresh memory and strings, empty file
// tables, and a private temporary directory as the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "base/error.h"
#include "files/file_handles.h"
#include "files/file_open_close.h"
#include "files/files_startup.h"
#include "files/string_transfer.h"
#include "values/fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"

class file_test : public fresh_memory {
 protected:
  void SetUp() override {
    fresh_memory::SetUp();
    files_init();
    launch_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("kx_files_" + std::to_string(getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    new_error = 0;
    kx::close_all_files();
    new_error = 0;
    std::filesystem::current_path(launch_);
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::all, ignored);
    std::filesystem::remove_all(dir_, ignored);
    fresh_memory::TearDown();
  }

  // A temporary string over text that lives as long as the test.
  kxs* s(std::string_view text) {
    const std::string& kept = texts_.emplace_back(text);
    return kxs_new_txt_len(kept.data(), static_cast<int32_t>(kept.size()));
  }
  // A string variable (permanent), holding text.
  kxs* var(std::string_view text = "") {
    kxs* v = kxs_new(0, 0);
    kx::assign_bytes(v, reinterpret_cast<const uint8_t*>(text.data()), static_cast<int64_t>(text.size()));
    return v;
  }
  // The pending error number, which is then cleared.
  uint32_t take_error() { return new_error.exchange(0); }

  static std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  void open(std::string_view name, int32_t mode, int32_t n, int64_t record_length = 0, int32_t length_given = 0) {
    sub_open(s(name), mode, 0, 0, n, record_length, length_given);
  }

  std::filesystem::path dir_;
  std::filesystem::path launch_;
  std::deque<std::string> texts_;
  static inline int counter_ = 0;
};

// OPEN mode numbers.
inline constexpr int32_t RANDOM = 1, BINARY = 2, INPUT = 3, OUTPUT = 4, APPEND = 5;
