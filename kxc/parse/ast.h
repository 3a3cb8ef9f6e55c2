#pragma once
// The syntax tree: what the parser builds and the checker annotates. A
// routine's body is a flat list of statements; blocks (IF ... END IF, DO ...
// LOOP, FOR ... NEXT, SELECT CASE) are statements that open and close them,
// matched by the checker, so that GOTO may go anywhere a listing sends it.
// Only the one-line IF holds statements of its own.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kxc/source/diagnostics.h"

namespace kxc {

// The value types of the dialect.
enum class base_type : uint8_t {
  none,
  bit, ubit, byte, ubyte, integer, uinteger, long_, ulong, integer64, uinteger64, offset, uoffset,
  single, double_, float_,
  string,
  record,
};

struct type_ref {
  base_type base = base_type::none;
  int fixed_length = 0;  // STRING * n; 0 = variable length
  int record = -1;       // index of the TYPE for base_type::record
  int bits = 1;          // _BIT * n

  bool is_string() const { return base == base_type::string; }
  bool is_record() const { return base == base_type::record; }
  bool is_numeric() const { return base != base_type::none && base != base_type::string && base != base_type::record; }
  bool is_integer() const { return is_numeric() && base < base_type::single; }
  bool is_floating() const { return base >= base_type::single && base <= base_type::float_; }
  bool is_unsigned() const {
    return base == base_type::ubit || base == base_type::ubyte || base == base_type::uinteger ||
           base == base_type::ulong || base == base_type::uinteger64 || base == base_type::uoffset;
  }
  bool operator==(const type_ref& o) const {
    return base == o.base && fixed_length == o.fixed_length && record == o.record && bits == o.bits;
  }
};

struct expr;
using expr_ptr = std::unique_ptr<expr>;

enum class expr_kind : uint8_t {
  number,  // text, suffix
  string,  // text
  name,    // text, suffix; args when written with parentheses (has_args)
  member,  // args[0] . text   (record field)
  unary,   // text: "-", "+", "NOT"; args[0]
  binary,  // text: the operator; args[0], args[1]
  type_name,  // a type written as an argument (_MEMGET's third): text the type, args[0] a STRING * length
};

// What a name turned out to be, filled in by the checker.
enum class name_meaning : uint8_t {
  unresolved,
  variable,       // a scalar variable (symbol)
  array_element,  // symbol(args)
  whole_array,    // symbol() as an argument
  constant,       // a CONST (symbol)
  function_call,  // a FUNCTION or DEF FN of the program (routine)
  function_result,// the routine's own name on the left of '=' inside it
  builtin,        // a function of the runtime (builtin)
};

struct builtin_function;

struct expr {
  expr_kind kind = expr_kind::number;
  position at;
  std::string text;
  std::string suffix;
  bool has_args = false;
  bool parenthesized = false;  // written in parentheses: a value, never a variable passed by reference
  std::vector<expr_ptr> args;  // an omitted optional argument is a null pointer

  // Filled in by the checker.
  type_ref type;
  name_meaning meaning = name_meaning::unresolved;
  int symbol = -1;   // variable, array or constant
  int routine = -1;  // function_call
  const builtin_function* builtin = nullptr;
  int field = -1;    // member: the field's index in its record
};

enum class stmt_kind : uint8_t {
  label,          // a line number or label; text, number (line number or -1)
  let,            // target = e[0]  (target is e[0], value e[1])
  print,          // PRINT [#file,] [USING fmt;] items
  lprint,
  write_file,     // WRITE [#n,] items
  input,          // INPUT / LINE INPUT
  if_line,        // IF e[0] THEN then_part ELSE else_part (one line)
  if_block,       // IF e[0] THEN (end of line)
  elseif,         // ELSEIF e[0] THEN
  else_block,     // ELSE
  end_if,
  for_loop,       // FOR e[0] = e[1] TO e[2] [STEP e[3]]
  next,           // NEXT [e...]
  while_loop,     // WHILE e[0]
  wend,
  do_loop,        // DO [WHILE|UNTIL e[0]]; text "WHILE"/"UNTIL"/""
  loop,           // LOOP [WHILE|UNTIL e[0]]
  exit_block,     // EXIT FOR/DO/SUB/FUNCTION/DEF/WHILE: text
  select_case,    // SELECT CASE e[0]
  case_clause,    // CASE items (cases) or CASE ELSE (text "ELSE")
  end_select,
  goto_line,      // GOTO target
  gosub,          // GOSUB target
  return_gosub,   // RETURN [target]
  on_goto,        // ON e[0] GOTO/GOSUB targets; text "GOTO"/"GOSUB"
  end_program,    // END
  stop_program,   // STOP
  system_exit,    // SYSTEM
  dim,            // DIM/REDIM/STATIC/SHARED declarations
  erase,          // ERASE names
  const_decl,     // CONST name = e
  deftype,        // DEFINT etc.: text the type letter set
  data,           // DATA raw
  read,           // READ vars
  restore,        // RESTORE [target]
  swap,           // SWAP e[0], e[1]
  call,           // CALL name(args) / name args
  on_error,       // ON ERROR GOTO target (0 = off)
  resume,         // RESUME [NEXT | target]
  error_stmt,     // ERROR n
  on_trap,        // ON TIMER(n)/KEY(n)/STRIG(n) GOSUB target
  trap_switch,    // TIMER/KEY(n)/STRIG(n) ON/OFF/STOP
  runtime_call,   // a statement of the runtime's tables (variant 1: a shaped statement, number its mask)
  open_file,      // OPEN
  close_file,     // CLOSE [#]n,...
  randomize,      // RANDOMIZE [e]
  mid_assign,     // MID$(v, s[, n]) = e
  clear,          // CLEAR
  sleep,          // SLEEP [e]
  screen_stmt,    // SCREEN args
  color_stmt,     // COLOR args
  locate,         // LOCATE args
  cls,            // CLS [e]
  width,          // WIDTH args
  view_print,     // VIEW PRINT [a TO b]
  option_base,    // OPTION BASE n
  field_stmt,     // FIELD #n, w AS v$, ...
  nothing,        // a statement with no code (DECLARE, comments, metacommands)
};

// One CASE item: a value, a range (TO), or IS with a relation.
struct case_item {
  expr_ptr low, high;  // high set for a TO range
  std::string relation;  // IS relation ("<", ">=", ...), empty otherwise
};

// A jump target: a line number or a label, as written.
struct target_ref {
  std::string name;  // upper-case label or the line number's digits
  position at;
};

// A declared name in DIM, REDIM, SHARED, STATIC, or a parameter.
struct declaration {
  std::string name;
  std::string suffix;
  position at;
  bool array = false;                        // written with parentheses
  std::vector<std::pair<expr_ptr, expr_ptr>> bounds;  // (lower or null, upper)
  std::string as_type;                       // the type after AS, upper case ("" = none)
  expr_ptr fixed_length;                     // STRING * n
  bool by_value = false;                     // BYVAL parameter
};

struct stmt {
  stmt_kind kind = stmt_kind::nothing;
  position at;
  int check_line = 0;    // the line passed to the statement check
  int include_line = 0;  // its line in an included file, 0 in the main file
  int include_file = 0;  // that file's index
  std::string text;      // a keyword variant, a name, a label
  int number = -1;       // a line number
  std::vector<expr_ptr> e;
  std::vector<target_ref> targets;
  std::vector<declaration> decls;
  std::vector<case_item> cases;
  std::vector<stmt> then_part, else_part;  // one-line IF
  // PRINT items: an expression, or a separator (';' or ',') as sep.
  struct print_item {
    expr_ptr value;
    char sep = 0;
  };
  std::vector<print_item> items;
  expr_ptr file;         // #n of PRINT, INPUT, WRITE, GET, PUT
  expr_ptr using_format; // PRINT USING
  bool flag = false;     // a variant: LINE INPUT, REDIM _PRESERVE, INPUT ; (no newline), SHARED in DIM
  bool flag2 = false;    // INPUT's prompt ended with ',' (no "? "); DIM SHARED
  int variant = 0;       // the statement table's entry for runtime_call; open mode etc.

  // Filled in by the checker.
  int jump = -1;         // matched block or loop index
  std::vector<int> jump_targets;
};

using stmt_list = std::vector<stmt>;

enum class routine_kind : uint8_t { main, sub, function, def_fn };

struct routine {
  routine_kind kind = routine_kind::main;
  std::string name;    // upper case, no suffix
  std::string suffix;  // of a FUNCTION or DEF FN
  std::string as_type; // FUNCTION ... AS type
  position at;
  std::vector<declaration> params;
  bool is_static = false;  // SUB ... STATIC
  stmt_list body;
  // DEF FN on one line: its value.
  expr_ptr value;
};

struct record_field {
  std::string name;
  std::string as_type;
  expr_ptr fixed_length;
  position at;
};

struct record_decl {
  std::string name;
  position at;
  std::vector<record_field> fields;
};

// What metacommands and options asked for.
struct program_options {
  bool console = false;
  bool console_only = false;
  bool asserts = false;
  bool resizable = false;
  bool start_hidden = false;
  bool crunched = false;  // keywords run together (lex/lexer.h)
};

struct program {
  std::vector<routine> routines;  // routines[0] is the main program
  std::vector<record_decl> records;
  program_options options;
};

}  // namespace kxc
