#pragma once
// The statements of the graphics, image, window, device and record
// families, whose syntax is irregular: coordinates with STEP, '-' between
// corners, parts left out between commas, option words (B, BF, _SMOOTH,
// _CLIP, PSET ...). Each is read into a runtime call of the shaped-statement
// table: its arguments in the table's order (an omitted one is null) and, in
// stmt::number, the mask of given parts in the bit layout its entry point
// expects.
#include <string>

#include "kxc/lex/token.h"
#include "kxc/parse/ast.h"

namespace kxc {

// What the statement readers need of the parser.
class token_reader {
 public:
  virtual ~token_reader() = default;
  virtual const token& peek(size_t ahead) const = 0;
  virtual const token& next() = 0;
  virtual bool accept(const char* word) = 0;
  virtual void expect(const char* word) = 0;
  virtual bool at_statement_end() const = 0;
  virtual expr_ptr expression() = 0;
  virtual expr_ptr variable() = 0;
  // A type name as an expression of kind type_name (INTEGER, _UNSIGNED LONG, ...).
  virtual expr_ptr type_expression() = 0;
  virtual stmt make(stmt_kind kind) const = 0;
  [[noreturn]] virtual void fail(const token& at, const std::string& message) = 0;
};

// Reads the statement that starts with word (the current token) when it is
// one of these families, and returns true; false leaves the tokens alone.
bool read_shaped_statement(token_reader& in, const std::string& word, stmt_list& out);

}  // namespace kxc
