#pragma once
// Splits one line of source into tokens. The lexer knows the dialect's
// reserved words (lex/keywords.h) but nothing of statements: it only reads
// DATA and REM to the end of their statement or line as raw text.
#include <string>

#include "kxc/lex/token.h"
#include "kxc/source/diagnostics.h"

namespace kxc {

token_line lex_line(const std::string& text, int file, int line, diagnostics& diag);

}  // namespace kxc
