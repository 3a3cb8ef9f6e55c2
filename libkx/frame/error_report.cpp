#include "frame/error_report.h"

#include <new>

#include "frame/error.h"
#include "frame/message_box.h"
#include "frame/process_exit.h"

error_report make_error_report(uint32_t n, uint32_t line, uint32_t include_line, const char* include_file) {
  const bool untrappable = is_untrappable_error(n);
  std::string_view file = "main module";
  if (include_line != 0) {
    line = include_line;
    file = include_file ? include_file : "";
  }
  error_report report;
  report.body = "Line: " + std::to_string(line) + " (in ";
  report.body += file;
  report.body += ")\n";
  report.body += error_text(n);
  if (!untrappable) report.body += "\nContinue?";
  report.caption = untrappable ? "Critical Error #" : "Unhandled Error #";
  report.caption += std::to_string(n);
  return report;
}

report_outcome report_untrapped_error(uint32_t n, uint32_t line, uint32_t include_line,
                                      const char* include_file) {
  error_report report;
  try {
    report = make_error_report(n, line, include_line, include_file);
  } catch (const std::bad_alloc&) {
    kx_exit_process(0);  // no memory even for the report's text
  }
  if (is_untrappable_error(n)) {
    MessageBox(0, report.body, report.caption, MB_OK);
    kx_exit_process(0);
  }
  const int32_t answer = MessageBox(0, report.body, report.caption, MB_YESNO | MB_SYSTEMMODAL);
  return answer == IDYES ? report_outcome::continue_program : report_outcome::end_program;
}
