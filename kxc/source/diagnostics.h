#pragma once
// Located messages about a program: "FILE:LINE:COLUMN: error: MESSAGE", the
// source line, and a caret under the column. Every phase records its errors
// here and goes on, so one run reports as many as it can find.
#include <string>
#include <vector>

namespace kxc {

// A place in the program's text: which file (an index into the program's
// file list), which line of that file (1-based) and which column (1-based).
struct position {
  int file = 0;
  int line = 0;
  int column = 1;
};

class source_program;

class diagnostics {
 public:
  explicit diagnostics(const source_program& program) : program_(program) {}

  void error(const position& at, const std::string& message);
  int count() const { return static_cast<int>(messages_.size()); }
  // Every message, in the order found, each with its line and caret.
  std::string text() const;

 private:
  struct message {
    position at;
    std::string text;
  };
  const source_program& program_;
  std::vector<message> messages_;
};

}  // namespace kxc
