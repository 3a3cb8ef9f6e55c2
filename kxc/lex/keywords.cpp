#include "kxc/lex/keywords.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "kxc/lex/runtime_names.h"

namespace kxc {

namespace {

// Sorted, so that a lookup is a binary search.
constexpr std::string_view reserved_words[] = {
    "ACCESS", "AND", "ANY", "APPEND", "AS", "BASE", "BINARY", "BYVAL", "CALL", "CASE", "CLOSE", "COMMON",
    "CONST", "DATA", "DECLARE", "DEF", "DEFDBL", "DEFINT", "DEFLNG", "DEFSNG", "DEFSTR", "DIM", "DO",
    "DOUBLE", "ELSE", "ELSEIF", "END", "EQV", "ERASE", "ERROR", "EXIT", "FOR", "FUNCTION", "GOSUB", "GOTO",
    "IF", "IMP", "INPUT", "INTEGER", "IS", "LET", "LINE", "LONG", "LOOP", "MOD", "NEXT", "NOT", "OFF", "ON",
    "OPEN", "OPTION", "OR", "OUTPUT", "PRINT", "RANDOM", "READ", "REDIM", "REM", "RESTORE", "RESUME",
    "RETURN", "SELECT", "SHARED", "SINGLE", "STATIC", "STEP", "STOP", "STRING", "SUB", "SWAP", "SYSTEM",
    "THEN", "TO", "TYPE", "UNTIL", "USING", "WEND", "WHILE", "WRITE", "XOR", "_BIT", "_BYTE", "_DEFINE",
    "_FLOAT", "_INTEGER64", "_OFFSET", "_PRESERVE", "_UNSIGNED",
};
static_assert(std::is_sorted(std::begin(reserved_words), std::end(reserved_words)));

// Words the parser and the checker read by their spelling and that no
// table of runtime names holds: the functions whose code is generated and
// the parts of statements. (FN, which begins the name of a DEF FN, is the
// lexer's: it belongs to the name.)
constexpr std::string_view spelled_words[] = {
    "ABS", "CDBL", "CINT", "CLNG", "CSNG", "FIX", "FREE", "INT", "LBOUND", "LEN", "LOCK", "RESET",
    "LIST", "RUN", "SADD", "SEG", "SGN", "SPC", "STR$", "TAB", "UBOUND", "VARPTR", "VARSEG", "_CINT64", "_ROUND",
};

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Every word of the tables above and of the runtime's names, sorted.
const std::vector<std::string>& all_reserved_words() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> all(std::begin(reserved_words), std::end(reserved_words));
    all.insert(all.end(), std::begin(spelled_words), std::end(spelled_words));
    for (std::string_view w : statement_word_list()) all.emplace_back(w);
    const name_tables names = all_runtime_names();
    for (int i = 0; i < names.function_count; ++i) all.emplace_back(names.functions[i].name);
    for (int i = 0; i < names.statement_count; ++i) all.emplace_back(names.statements[i].name);
    // A shaped statement's name is its reader's ("GET@", "KEY ON"): its
    // first word is the spelling.
    for (const runtime_statement& s : shaped_statement_list()) {
      size_t length = 0;
      while (length < s.name.size() && word_char(s.name[length])) ++length;
      all.emplace_back(s.name.substr(0, length));
    }
    // Only words: "?" stands for PRINT but is no word.
    std::erase_if(all, [](const std::string& w) { return w.empty() || !word_char(w[0]); });
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
  }();
  return words;
}

}  // namespace

bool is_reserved_word(std::string_view upper_name) {
  return std::binary_search(std::begin(reserved_words), std::end(reserved_words), upper_name);
}

size_t reserved_word_at(std::string_view text) {
  const std::vector<std::string>& words = all_reserved_words();
  size_t run = 0;
  while (run < text.size() && word_char(text[run])) ++run;
  if (run == 0 || std::isdigit(static_cast<unsigned char>(text[0]))) return 0;
  std::string upper(text.substr(0, run));
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // The whole run with its '$' first, then ever shorter beginnings of it.
  if (run < text.size() && text[run] == '$' && std::binary_search(words.begin(), words.end(), upper + "$")) {
    return run + 1;
  }
  for (size_t length = run; length > 0; --length) {
    upper.resize(length);
    if (std::binary_search(words.begin(), words.end(), upper)) return length;
  }
  return 0;
}

}  // namespace kxc
