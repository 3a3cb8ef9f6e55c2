#pragma once
// Splits one line of source into tokens. The lexer knows the dialect's
// reserved words (lex/keywords.h) but nothing of statements: it only reads
// DATA and REM to the end of their statement or line as raw text.
#include <string>

#include "kxc/lex/token.h"
#include "kxc/source/diagnostics.h"

namespace kxc {

// How names are told apart. Spaced: a name runs as long as letters and
// digits do, the way the dialect reads it. Crunched: for listings written
// for the BASICs whose keywords run together without blanks, a reserved
// word is read wherever it begins outside strings, DATA and REM, so a name
// ends where a reserved word begins ("FORI=1TO8" is FOR I = 1 TO 8, and
// "SCORE" is SC OR E, as those BASICs read it); GO TO and GO SUB are GOTO
// and GOSUB. Names that begin with '_', which those BASICs did not have,
// are read whole.
enum class lex_style : unsigned char { spaced, crunched };

token_line lex_line(const std::string& text, int file, int line, diagnostics& diag,
                    lex_style style = lex_style::spaced);

}  // namespace kxc
