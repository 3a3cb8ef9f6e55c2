#pragma once
// The tokens of one source line.
#include <string>
#include <vector>

#include "kxc/source/diagnostics.h"

namespace kxc {

enum class tok : unsigned char {
  end,        // end of the line
  name,       // an identifier or a keyword; text upper case, suffix apart
  number,     // a numeric literal; text as written, suffix apart
  string,     // a string literal; text without the quotation marks
  op,         // an operator or punctuation: + - * / \ ^ = < > <= >= <> ( ) , ; : # .
  data_text,  // the raw items of DATA, up to the end of the statement
  comment,    // ' or REM and the rest of the line (text: after the marker)
};

struct token {
  tok kind = tok::end;
  std::string text;
  // A type suffix written after a name or number: % & ! # $ %% ## ~% ~& ~%% ` ~` %& ~%&,
  // or $ followed by nothing else.
  std::string suffix;
  bool keyword = false;  // a reserved word (tok::name)
  position at;

  bool is(const char* word) const { return (kind == tok::name || kind == tok::op) && text == word; }
  bool is_keyword(const char* word) const { return kind == tok::name && keyword && text == word; }
};

// Tokens of one line, always ending with tok::end.
struct token_line {
  std::vector<token> tokens;
};

}  // namespace kxc
