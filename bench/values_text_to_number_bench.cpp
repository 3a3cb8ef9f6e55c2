// Text to number against the C library in the same run: VAL of a million
// numeric strings against strtod of the same strings, and INPUT # of a
// million numbers from a file against fgets and strtod of each line.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "files/file_input_numbers.h"
#include "files/file_open_close.h"
#include "files/files_startup.h"
#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_lists.h"
#include "values/string_release.h"
#include "values/string_startup.h"
#include "values/type_codes.h"
#include "values/val.h"

namespace {

constexpr int numbers = 1'000'000;
constexpr int32_t input_mode = 3;
constexpr int32_t double_type = 64 | kx::type_code::is_floating;

// Numbers as programs write them: integers, fixed-point values and
// exponent forms, of either sign.
std::vector<std::string> number_texts() {
  std::mt19937_64 random(12345);
  std::vector<std::string> texts;
  texts.reserve(numbers);
  char buffer[64];
  for (int i = 0; i < numbers; ++i) {
    const double magnitude = std::ldexp(static_cast<double>(random() % 1000000 + 1), static_cast<int>(random() % 40) - 20);
    const double value = (random() & 1) ? -magnitude : magnitude;
    switch (i % 4) {
      case 0: std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value)); break;
      case 1: std::snprintf(buffer, sizeof buffer, "%.4f", value); break;
      case 2: std::snprintf(buffer, sizeof buffer, "%.7G", value); break;
      default: std::snprintf(buffer, sizeof buffer, "%.15G", value); break;
    }
    texts.emplace_back(buffer);
  }
  return texts;
}

void fresh_runtime() {
  mem_init();
  kxs_init();
  files_init();
}

// The numbers one to a line, written once per run and removed at its end.
class numbers_file_holder {
 public:
  numbers_file_holder()
      : path_(std::filesystem::temp_directory_path() / ("kx_numbers_bench_" + std::to_string(getpid()))) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    for (const std::string& t : number_texts()) std::fprintf(f, "%s\r\n", t.c_str());
    std::fclose(f);
  }
  ~numbers_file_holder() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

std::string numbers_file() {
  static const numbers_file_holder file;
  return file.path();
}

// FOR i = 1 TO 1000000: x = VAL(t$(i)): NEXT
void val_kx(benchmark::State& state) {
  fresh_runtime();
  std::vector<kxs*> strings;
  for (const std::string& t : number_texts()) {
    kxs* s = kxs_new(static_cast<int32_t>(t.size()), 0);
    std::memcpy(s->chars, t.data(), t.size());
    strings.push_back(s);
  }
  for (auto _ : state) {
    kx_float sum = 0;
    for (kxs* s : strings) sum += func_val(s);
    benchmark::DoNotOptimize(sum);
  }
  for (kxs* s : strings) kxs_free(s);
  state.SetItemsProcessed(state.iterations() * numbers);
}
BENCHMARK(val_kx)->Unit(benchmark::kMillisecond);

void val_strtod_baseline(benchmark::State& state) {
  const std::vector<std::string> texts = number_texts();
  for (auto _ : state) {
    double sum = 0;
    for (const std::string& t : texts) sum += std::strtod(t.c_str(), nullptr);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * numbers);
}
BENCHMARK(val_strtod_baseline)->Unit(benchmark::kMillisecond);

// OPEN f$ FOR INPUT AS #1: FOR i = 1 TO 1000000: INPUT #1, x#: NEXT: CLOSE
void file_input_kx(benchmark::State& state) {
  fresh_runtime();
  const std::string path = numbers_file();
  for (auto _ : state) {
    const uint32_t mark = kxs_tmp_list_nexti;
    sub_open(kxs_new_txt(path.c_str()), input_mode, 0, 0, 1, 0, 0);
    kxs_cleanup(mark, 0);
    kx_float sum = 0;
    for (int i = 0; i < numbers; ++i) sum += func_file_input_float(1, double_type);
    sub_close(1, 1);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * numbers);
}
BENCHMARK(file_input_kx)->Unit(benchmark::kMillisecond);

// The fastest plain C for one number a line: read the line, convert it.
void file_input_fgets_strtod_baseline(benchmark::State& state) {
  const std::string path = numbers_file();
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    double sum = 0;
    char line[128];
    for (int i = 0; i < numbers && std::fgets(line, sizeof line, f); ++i) sum += std::strtod(line, nullptr);
    std::fclose(f);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * numbers);
}
BENCHMARK(file_input_fgets_strtod_baseline)->Unit(benchmark::kMillisecond);

}  // namespace
