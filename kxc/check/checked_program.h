#pragma once
// The program as the checker leaves it for the emitter: the syntax tree
// with every name resolved and every expression typed, the symbols of each
// routine, the record layouts, the DATA text, the jump targets and the ids
// of error handlers and trap handlers.
#include <map>
#include <string>
#include <vector>

#include "kxc/parse/ast.h"

namespace kxc {

struct symbol {
  std::string name;  // the BASIC name, upper case
  type_ref type;
  bool array = false;
  int dimensions = 0;
  bool global = false;        // main-level storage (shared by the routines that may see it)
  bool is_param = false;
  bool by_value = false;
  bool is_static = false;     // a STATIC local: kept between calls
  bool dynamic = false;       // a dynamic array ($DYNAMIC, REDIM, or bounds that are not constant)
  bool constant = false;      // a CONST
  const expr* value = nullptr;  // its value
  bool implicit_array = false;  // used with indexes but never dimensioned: 0 TO 10 each
  bool declared = false;        // by DIM or AS (a reference without suffix then names it)
  int owner = 0;                // the routine whose symbol it is
  std::string cpp;              // the C++ name
};

struct field_layout {
  std::string name;
  type_ref type;
};

struct record_layout {
  std::string name;
  std::vector<field_layout> fields;
};

struct routine_info {
  std::vector<int> symbols;  // every symbol the routine owns, parameters first
  std::vector<int> params;
  type_ref result;           // FUNCTION and DEF FN
  std::string cpp;           // C++ name: KXMAIN, SUB_X, FUNC_X, FN_X
  std::map<std::string, int> labels;  // label or line number -> statement index
  int for_count = 0;         // FOR statements, each with its own end and step
};

struct checked_program {
  program ast;
  std::vector<symbol> symbols;
  std::vector<routine_info> routines;
  std::vector<record_layout> records;
  std::string data;  // every DATA statement's items, joined by commas
  // RESTORE target -> offset into data.
  std::map<std::string, int64_t> data_offsets;
  // ON ERROR GOTO targets in order: handler index i + 1 is handlers[i].
  std::vector<std::string> handlers;
  // GOSUB targets of ON TIMER, ON KEY and ON STRIG in main code: trap id i + 1.
  std::vector<std::string> trap_labels;
  // RESUME targets: entry i + 1 of the main routine.
  std::vector<std::string> resume_labels;
  int option_base = 0;        // the lower bound of arrays DIMmed without one
  bool line_numbers = false;  // a line-numbered program sets last_line (ERL)
};

}  // namespace kxc
