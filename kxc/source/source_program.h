#pragma once
// The program's text: the main file and every file it includes, split into
// lines (CR LF or LF), with $INCLUDE expanded in place. Each line of the
// expanded program remembers where it came from, for diagnostics and for
// the statement check, which names a line of an included file by its own
// number and the file's name.
#include <string>
#include <vector>

#include "kxc/source/diagnostics.h"

namespace kxc {

struct source_line {
  int file = 0;       // index into files()
  int number = 0;     // line in that file, 1-based
  int main_line = 0;  // line of the main file that stands for it: itself, or the $INCLUDE
  std::string text;
};

class source_program {
 public:
  // Reads path and its includes; a file that cannot be read is an error at
  // the line that names it (or a plain error for the main file).
  bool load(const std::string& path, std::string* problem);
  // A program held in memory (tests, the fuzzer); includes are read from
  // the working directory, or refused when read_includes is false.
  void load_text(const std::string& name, const std::string& text, bool read_includes = true);

  const std::vector<source_line>& lines() const { return lines_; }
  const std::vector<std::string>& files() const { return files_; }
  // The raw text of a line of a file, for the caret display.
  const std::string& file_line(int file, int number) const;
  // Every file's whole contents, for the build cache's key.
  const std::vector<std::string>& contents() const { return contents_; }
  // $INCLUDE problems found while loading (reported by the checker's
  // diagnostics).
  struct include_problem {
    position at;
    std::string message;
  };
  const std::vector<include_problem>& include_problems() const { return include_problems_; }

 private:
  void add_file(const std::string& name, const std::string& text, int main_line, int depth);

  std::vector<std::string> files_;
  std::vector<std::vector<std::string>> file_lines_;
  std::vector<std::string> contents_;
  std::vector<source_line> lines_;
  std::vector<include_problem> include_problems_;
  bool read_includes_ = true;
};

// The name an $INCLUDE metacommand on this line names, or empty.
std::string include_name(const std::string& line);

}  // namespace kxc
