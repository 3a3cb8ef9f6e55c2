#pragma once
// The spellings of the runtime's functions and of its plainly shaped
// statements, with the entry point each reaches. One table serves the
// parser (which words start a statement), the checker (argument counts and
// types), the emitter (the call) and the test that every entry point has a
// spelling.
//
// Argument shapes, one letter per argument; a lower-case letter is an
// optional argument:
//   S string   I 32-bit integer   L 64-bit integer   U unsigned 32-bit
//   F SINGLE   D DOUBLE   E _FLOAT   N any number, passed as it is
//   C a colour: any number, wrapped to unsigned 32 bits (&HFF0000FF is one)
//   A the bytes of a variable, or of an array from an element to its end
//   M a _MEM value (passed by address)   V a number or a string
//   T a type name (_MEMPUT ... AS type), which converts the value before it
// Result letter M: a _MEM value.
// Result letters: S string, H INTEGER, I LONG, L _INTEGER64, U _UNSIGNED
// LONG, F SINGLE, D DOUBLE, E _FLOAT, B the type of the first argument.
// Call templates: {0}, {1}, ... are the arguments, {p} the mask of the
// optional arguments given (bit 0 the first optional one), and an omitted
// optional argument is passed as 0 (or an empty string).
#include <span>
#include <string_view>

namespace kxc {

struct builtin_function {
  std::string_view name;  // upper case, with its suffix ("LEFT$")
  std::string_view params;
  char result;
  std::string_view call;
};

struct runtime_statement {
  std::string_view name;  // upper case
  std::string_view params;
  std::string_view call;
};

// Every entry whose name is name (functions may be overloaded by their
// argument types; the first that fits is taken).
const builtin_function* find_function(std::string_view name, int index = 0);
bool is_function_name(std::string_view name);
const runtime_statement* find_statement(std::string_view name);
// A statement of irregular syntax by the name its reader gave it ("LINE",
// "GET@" for graphics, "GET#" for records).
const runtime_statement* find_shaped_statement(std::string_view name);

// The whole tables, for the test that every entry point has a spelling.
struct name_tables {
  const builtin_function* functions;
  int function_count;
  const runtime_statement* statements;
  int statement_count;
};
name_tables all_runtime_names();

// Words that begin a statement the parser reads by hand (PRINT, IF, ...),
// so that "CLS:" is a statement, not a label.
bool is_statement_word(std::string_view name);
// Those words and the statements of irregular syntax, for the lexer of
// listings whose keywords run together.
std::span<const std::string_view> statement_word_list();
std::span<const runtime_statement> shaped_statement_list();

}  // namespace kxc
