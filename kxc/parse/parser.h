#pragma once
// Statements and expressions of the whole program, line by line, into the
// syntax tree. The parser never looks at characters (that is the lexer's)
// and knows nothing of types or names (that is the checker's). A statement
// it cannot read is reported and skipped: it goes on at the next statement.
#include "kxc/lex/lexer.h"
#include "kxc/parse/ast.h"
#include "kxc/source/diagnostics.h"
#include "kxc/source/source_program.h"

namespace kxc {

// Lines are read in style, or crunched from a $CRUNCHED metacommand on.
program parse_program(const source_program& source, diagnostics& diag, lex_style style = lex_style::spaced);

}  // namespace kxc
