// The main of every benchmark program. Besides the library's own flags it
// takes --run_in_order=NAME,NAME,...: each named benchmark then runs on its
// own, one after another in that order, inside this one process, so that a
// check can run a program's benchmarks backwards and catch one that relies
// on state an earlier one left behind. A benchmark that reports an error
// (SkipWithError, for example when its result check fails) makes the program
// end with status 1 instead of printing a figure nobody should trust.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

class checking_reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) {
        failed = true;
        std::fprintf(stderr, "benchmark %s failed: %s\n", run.benchmark_name().c_str(), run.error_message.c_str());
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  bool failed = false;
};

// A filter that matches exactly one benchmark name.
std::string exact_filter(std::string_view name) {
  std::string filter = "^";
  for (const char c : name) {
    if (std::strchr("\\^$.|?*+()[]{}", c)) filter += '\\';
    filter += c;
  }
  return filter + "$";
}

std::vector<std::string> split_names(std::string_view list) {
  std::vector<std::string> names;
  while (!list.empty()) {
    const size_t comma = list.find(',');
    if (comma != 0) names.emplace_back(list.substr(0, comma));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::string_view order_flag = "--run_in_order=";
  std::vector<std::string> order;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, order_flag.size()) == order_flag) {
      order = split_names(arg.substr(order_flag.size()));
    } else {
      rest.push_back(argv[i]);
    }
  }
  int rest_count = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  benchmark::Initialize(&rest_count, rest.data());
  if (benchmark::ReportUnrecognizedArguments(rest_count, rest.data())) return 1;
  checking_reporter reporter;
  if (order.empty()) {
    benchmark::RunSpecifiedBenchmarks(&reporter);
  } else {
    for (const std::string& name : order) {
      if (benchmark::RunSpecifiedBenchmarks(&reporter, exact_filter(name)) == 0) {
        std::fprintf(stderr, "no benchmark is named %s\n", name.c_str());
        return 1;
      }
    }
  }
  benchmark::Shutdown();
  return reporter.failed ? 1 : 0;
}
