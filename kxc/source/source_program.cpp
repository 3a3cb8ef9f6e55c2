#include "kxc/source/source_program.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace kxc {

namespace {

// Includes nest at most this deep: deeper is a file that includes itself.
constexpr int include_depth_max = 16;

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool read_file(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  *text = all.str();
  return true;
}

std::string directory_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string include_name(const std::string& line) {
  // '$INCLUDE: 'file'  or  REM $INCLUDE: 'file'
  const std::string up = upper(line);
  size_t at = up.find("$INCLUDE");
  if (at == std::string::npos) return {};
  const size_t first = up.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const bool comment = up[first] == '\'' || up.compare(first, 3, "REM") == 0;
  if (!comment) return {};
  at += 8;
  const size_t open = line.find('\'', at);
  if (open == std::string::npos) return {};
  const size_t close = line.find('\'', open + 1);
  if (close == std::string::npos) return {};
  return line.substr(open + 1, close - open - 1);
}

const std::string& source_program::file_line(int file, int number) const {
  static const std::string none;
  if (file < 0 || file >= static_cast<int>(file_lines_.size())) return none;
  const auto& lines = file_lines_[static_cast<size_t>(file)];
  if (number < 1 || number > static_cast<int>(lines.size())) return none;
  return lines[static_cast<size_t>(number - 1)];
}

void source_program::add_file(const std::string& name, const std::string& text, int main_line, int depth) {
  const int file = static_cast<int>(files_.size());
  files_.push_back(name);
  contents_.push_back(text);
  file_lines_.push_back(split_lines(text));
  const std::vector<std::string> lines = file_lines_.back();
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const int stands_for = file == 0 ? number : main_line;
    lines_.push_back({file, number, stands_for, lines[i]});
    const std::string included = include_name(lines[i]);
    if (included.empty()) continue;
    const position at{file, number, static_cast<int>(upper(lines[i]).find("$INCLUDE")) + 1};
    if (!read_includes_) {
      include_problems_.push_back({at, "$INCLUDE is not read here"});
      continue;
    }
    if (depth >= include_depth_max) {
      include_problems_.push_back({at, "$INCLUDE nested too deeply (does a file include itself?)"});
      continue;
    }
    std::string path = included;
    if (!path.empty() && path[0] != '/') path = directory_of(files_[0]) + path;
    std::string body;
    if (!read_file(path, &body)) {
      include_problems_.push_back({at, "cannot read included file '" + included + "'"});
      continue;
    }
    add_file(included, body, stands_for, depth + 1);
  }
}

bool source_program::load(const std::string& path, std::string* problem) {
  std::string text;
  if (!read_file(path, &text)) {
    *problem = "cannot read '" + path + "'";
    return false;
  }
  add_file(path, text, 0, 0);
  return true;
}

void source_program::load_text(const std::string& name, const std::string& text, bool read_includes) {
  read_includes_ = read_includes;
  add_file(name, text, 0, 0);
}

void diagnostics::error(const position& at, const std::string& message) {
  const std::string& name = at.file < static_cast<int>(program_.files().size())
                                ? program_.files()[static_cast<size_t>(at.file)]
                                : std::string("?");
  std::string out = name + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) + ": error: " + message + "\n";
  const std::string& line = program_.file_line(at.file, at.line);
  if (!line.empty()) {
    out += "    " + line + "\n    ";
    for (int i = 1; i < at.column && i <= static_cast<int>(line.size()); ++i) {
      out += line[static_cast<size_t>(i - 1)] == '\t' ? '\t' : ' ';
    }
    out += "^\n";
  }
  messages_.push_back({at, out});
}

std::string diagnostics::text() const {
  // In the order of the program's text, whichever phase found them.
  std::vector<message> sorted = messages_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const message& a, const message& b) {
    if (a.at.file != b.at.file) return a.at.file < b.at.file;
    if (a.at.line != b.at.line) return a.at.line < b.at.line;
    return a.at.column < b.at.column;
  });
  std::string all;
  for (const message& m : sorted) all += m.text;
  return all;
}

}  // namespace kxc
