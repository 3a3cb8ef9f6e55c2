// File statements against the same work done with C stdio and with
// pread/pwrite in the same run: PRINT # of short lines, LINE INPUT # of
// them back, and GET/PUT of random records.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/file_input.h"
#include "files/file_open_close.h"
#include "files/file_print.h"
#include "files/file_records.h"
#include "files/files_startup.h"
#include "values/byte_element.h"
#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"

namespace {

constexpr int lines = 1'000'000;
constexpr int distinct_lines = 1000;
constexpr int records = 100'000;
constexpr int record_size = 64;

// A scratch folder of this process, removed again when the program ends.
struct scratch_folder {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("kx_files_bench_" + std::to_string(getpid()));
  scratch_folder() { std::filesystem::create_directories(path); }
  ~scratch_folder() { std::filesystem::remove_all(path); }
};

std::string folder() {
  static const scratch_folder scratch;
  return scratch.path.string();
}

void fresh_runtime() {
  mem_init();
  kxs_init();
  files_init();
}

std::string line_text(int i) { return "record " + std::to_string(i * 7919 % 100000); }

kxs* literal(const std::string& s) { return kxs_new_txt_len(s.data(), static_cast<int32_t>(s.size())); }

// OPEN ... FOR OUTPUT: PRINT #1, line$ (1,000,000 times): CLOSE
void print_lines_kx(benchmark::State& state) {
  fresh_runtime();
  std::vector<kxs*> texts;
  for (int i = 0; i < distinct_lines; ++i) {
    const std::string t = line_text(i);
    kxs* s = kxs_new(static_cast<int32_t>(t.size()), 0);
    std::memcpy(s->chars, t.data(), t.size());
    texts.push_back(s);
  }
  const std::string name = folder() + "/kx_lines.txt";
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    sub_open(literal(name), 4, 0, 0, 1, 0, 0);
    kxs_cleanup(mark, 0);
    for (int i = 0; i < lines; ++i) sub_file_print(1, texts[static_cast<size_t>(i % distinct_lines)], 0, 0, 1);
    sub_close(1, 1);
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(print_lines_kx)->Unit(benchmark::kMillisecond);

void print_lines_stdio(benchmark::State& state) {
  std::vector<std::string> texts;
  for (int i = 0; i < distinct_lines; ++i) texts.push_back(line_text(i));
  const std::string name = folder() + "/c_lines.txt";
  for (auto _ : state) {
    FILE* f = std::fopen(name.c_str(), "wb");
    for (int i = 0; i < lines; ++i) {
      const std::string& t = texts[static_cast<size_t>(i % distinct_lines)];
      std::fwrite(t.data(), 1, t.size(), f);
      std::fwrite("\r\n", 1, 2, f);
    }
    std::fclose(f);
  }
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(print_lines_stdio)->Unit(benchmark::kMillisecond);

// The file both LINE INPUT cases read, written on first use, so that each
// case runs alone or in any order.
const std::string& lines_file() {
  static const std::string name = [] {
    std::string path = folder() + "/input_lines.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    for (int i = 0; i < lines; ++i) {
      const std::string t = line_text(i % distinct_lines) + "\r\n";
      std::fwrite(t.data(), 1, t.size(), f);
    }
    std::fclose(f);
    return path;
  }();
  return name;
}

// OPEN ... FOR INPUT: LINE INPUT #1, l$ (1,000,000 times): CLOSE
void line_input_kx(benchmark::State& state) {
  fresh_runtime();
  const std::string& name = lines_file();
  kxs* line = kxs_new(0, 0);
  int64_t total = 0;
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    sub_open(literal(name), 3, 0, 0, 1, 0, 0);
    kxs_cleanup(mark, 0);
    for (int i = 0; i < lines; ++i) {
      sub_file_line_input_string(1, line);
      total += line->length;
    }
    sub_close(1, 1);
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(line_input_kx)->Unit(benchmark::kMillisecond);

void line_input_stdio(benchmark::State& state) {
  const std::string& name = lines_file();
  char buffer[256];
  int64_t total = 0;
  for (auto _ : state) {
    FILE* f = std::fopen(name.c_str(), "rb");
    for (int i = 0; i < lines && std::fgets(buffer, sizeof buffer, f); ++i) {
      size_t n = std::strlen(buffer);
      while (n && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r')) --n;
      total += static_cast<int64_t>(n);
    }
    std::fclose(f);
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(line_input_stdio)->Unit(benchmark::kMillisecond);

std::vector<int64_t> random_records() {
  std::mt19937 random(42);
  std::vector<int64_t> order(records);
  for (auto& r : order) r = 1 + static_cast<int64_t>(random() % records);
  return order;
}

void make_record_file(const std::string& name) {
  std::vector<char> zeros(static_cast<size_t>(records) * record_size, 'r');
  FILE* f = std::fopen(name.c_str(), "wb");
  std::fwrite(zeros.data(), 1, zeros.size(), f);
  std::fclose(f);
}

// OPEN ... FOR RANDOM AS #1 LEN = 64: PUT #1, r, rec: GET #1, r2, rec (100,000 each)
void random_records_kx(benchmark::State& state) {
  fresh_runtime();
  const std::string name = folder() + "/kx_records.dat";
  make_record_file(name);
  const auto order = random_records();
  uint8_t record[record_size] = {};
  byte_element_struct element{reinterpret_cast<uint64_t>(record), record_size};
  const uint32_t mark = kxs_tmp_list_nexti;
  sub_open(literal(name), 1, 0, 0, 1, record_size, 1);
  kxs_cleanup(mark, 0);
  for (auto _ : state) {
    for (int i = 0; i < records; ++i) {
      record[0] = static_cast<uint8_t>(i);
      sub_put(1, order[static_cast<size_t>(i)], &element, 1);
      sub_get(1, order[static_cast<size_t>(records - 1 - i)], &element, 1);
    }
  }
  sub_close(1, 1);
  state.SetItemsProcessed(state.iterations() * records * 2);
}
BENCHMARK(random_records_kx)->Unit(benchmark::kMillisecond);

void random_records_pread(benchmark::State& state) {
  const std::string name = folder() + "/c_records.dat";
  make_record_file(name);
  const auto order = random_records();
  uint8_t record[record_size] = {};
  const int fd = ::open(name.c_str(), O_RDWR);
  for (auto _ : state) {
    for (int i = 0; i < records; ++i) {
      record[0] = static_cast<uint8_t>(i);
      if (::pwrite(fd, record, record_size, (order[static_cast<size_t>(i)] - 1) * record_size) != record_size) break;
      if (::pread(fd, record, record_size, (order[static_cast<size_t>(records - 1 - i)] - 1) * record_size) != record_size) break;
    }
  }
  ::close(fd);
  state.SetItemsProcessed(state.iterations() * records * 2);
}
BENCHMARK(random_records_pread)->Unit(benchmark::kMillisecond);

}  // namespace
