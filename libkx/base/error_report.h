#pragma once
// The box shown for an error that no handler takes.
#include <cstdint>
#include <string>

// The caption and body of the report: "Unhandled Error #53" with
// "Line: 18 (in main module)\nFile not found\nContinue?", or for the
// untrappable errors "Critical Error #300" without the question.
struct error_report {
  std::string caption;
  std::string body;
};
error_report make_error_report(uint32_t n, uint32_t line, uint32_t include_line, const char* include_file);

// The same texts in fixed buffers, made without the heap; an include file's
// name too long for the body is cut.
struct report_texts {
  char caption[32];
  char body[1024];
};
void write_error_report(report_texts& out, uint32_t n, uint32_t line, uint32_t include_line,
                        const char* include_file);

enum class report_outcome { continue_program, end_program };

// Shows the report of pending error n and acts on the answer: an ordinary
// error answered Yes continues (the caller clears the error), anything else
// ends the program through the orderly path; an untrappable error shows an
// OK box and exits the process at once.
report_outcome report_untrapped_error(uint32_t n, uint32_t line, uint32_t include_line,
                                      const char* include_file);
