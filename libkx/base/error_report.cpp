#include "base/error_report.h"

#include <cstdio>
#include <string_view>

#include "base/build_options.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/message_box.h"
#include "base/process_exit.h"

void write_error_report(report_texts& out, uint32_t n, uint32_t line, uint32_t include_line,
                        const char* include_file) {
  const bool untrappable = is_untrappable_error(n);
  const char* file = "main module";
  if (include_line != 0) {
    line = include_line;
    file = include_file ? include_file : "";
  }
  const std::string_view text = error_text(n);
  std::snprintf(out.body, sizeof out.body, "Line: %u (in %s)\n%.*s%s", line, file, static_cast<int>(text.size()),
                text.data(), untrappable ? "" : "\nContinue?");
  std::snprintf(out.caption, sizeof out.caption, "%s%u", untrappable ? "Critical Error #" : "Unhandled Error #", n);
}

error_report make_error_report(uint32_t n, uint32_t line, uint32_t include_line, const char* include_file) {
  report_texts texts;
  write_error_report(texts, n, line, include_line, include_file);
  return {texts.caption, texts.body};
}

report_outcome report_untrapped_error(uint32_t n, uint32_t line, uint32_t include_line,
                                      const char* include_file) {
  // Made on the stack: the report may be that memory is exhausted.
  report_texts report;
  write_error_report(report, n, line, include_line, include_file);
  if (kx::program_options.console_only) {
    // No window and no X server: the report goes to standard error, the
    // program ends, and its status says that it failed.
    std::string_view body = report.body;
    if (const size_t ask = body.rfind("\nContinue?"); ask != std::string_view::npos) body = body.substr(0, ask);
    std::fprintf(stderr, "%s\n%.*s\n", report.caption, static_cast<int>(body.size()), body.data());
    std::fflush(stderr);
    if (is_untrappable_error(n)) kx_exit_process(kx::critical_error_status);
    exit_code = kx::exit_status_unhandled_error;
    return report_outcome::end_program;
  }
  if (is_untrappable_error(n)) {
    MessageBox(0, report.body, report.caption, MB_OK);
    kx_exit_process(kx::critical_error_status);
  }
  const int32_t answer = MessageBox(0, report.body, report.caption, MB_YESNO | MB_SYSTEMMODAL);
  return answer == IDYES ? report_outcome::continue_program : report_outcome::end_program;
}
