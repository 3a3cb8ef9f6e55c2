#pragma once
// The emitter's working state, shared by its three parts: expressions
// (emit_expressions.cpp), statements (emit_statements.cpp) and the
// program's frame of globals, routines and entry points (emit_program.cpp).
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kxc/check/checked_program.h"
#include "kxc/check/checker.h"
#include "kxc/emit/emitter.h"

namespace kxc {

class emitter {
 public:
  emitter(const checked_program& p, const emit_options& o) : p_(p), options_(o) {}
  std::string run();

 private:
  // ---- expressions (emit_expressions.cpp) ----
  // C++ for the value of e, of C++ type cpp_type(e.type).
  std::string value(const expr& e);
  // The value converted to type t.
  std::string as(const expr& e, const type_ref& t);
  std::string convert(const std::string& code, const type_ref& from, const type_ref& to);
  std::string condition(const expr& e);
  // An lvalue (numbers, records) or a kxs* (strings) for a variable,
  // array element or field.
  std::string place(const expr& e);
  std::string number_literal(const expr& e);
  std::string string_literal(const std::string& bytes);
  static std::string escaped(const std::string& bytes);
  // mask: the passed mask a statement's reader built; -1 to make it from
  // the optional arguments given.
  std::string table_call(std::string_view params, std::string_view tpl, const std::vector<expr_ptr>& args,
                         int mask = -1);
  std::string bytes_of(const expr& e);
  std::string mem_pointer(const expr& e);
  std::string mem_type_code(const expr& e);
  std::string mem_lock_of(const expr& e);
  std::string symbol_ref(int s);
  std::string element(const expr& e);
  std::string call_function(const expr& e);
  std::string call_builtin(const expr& e);
  std::string special_builtin(const expr& e);
  std::string binary(const expr& e);
  // Arguments of a program procedure: addresses for BYREF, values for BYVAL.
  std::string procedure_arguments(const std::vector<expr_ptr>& args, int routine);
  std::string address_of(const expr& e, const type_ref& param_type);
  bool is_plain_place(const expr& e) const;
  std::string temporary(const std::string& type, const std::string& init);
  std::string array_descriptor(int symbol);
  int array_dimensions(int symbol) const;
  static std::string type_code(const type_ref& t);
  std::string ct(const type_ref& t) const { return cpp_type(t, p_.records); }

  // ---- statements (emit_statements.cpp) ----
  void statements(const stmt_list& body);
  void statement(const stmt& s, int index, bool nested);
  void open_statement(const stmt& s, const std::string& title);
  void close_statement(const stmt& s, bool strings);
  void checked(const stmt& s, const std::string& code, bool strings);
  void emit_if_line(const stmt& s, int index);
  void emit_condition_jump(const stmt& s, const expr& cond, bool jump_when, const std::string& label,
                           const std::string& retry_label);
  void emit_print(const stmt& s);
  void emit_file_print(const stmt& s);
  void emit_print_using(const stmt& s, const std::string& file);
  void emit_write(const stmt& s);
  void emit_input(const stmt& s);
  void emit_file_input(const stmt& s);
  void emit_let(const stmt& s);
  void emit_for(const stmt& s, int index);
  std::string for_test(const stmt& f, const std::string& now) const;
  void emit_next(const stmt& s, int index);
  void emit_select(const stmt& s, int index);
  void emit_case(const stmt& s, int index);
  void emit_dim(const stmt& s);
  void emit_read(const stmt& s);
  void emit_call(const stmt& s);
  void emit_runtime_call(const stmt& s);
  void emit_open(const stmt& s);
  void emit_trap(const stmt& s);
  void emit_return(const stmt& s);
  void emit_on_goto(const stmt& s);
  void emit_gosub_to(const stmt& s, const std::string& target);
  std::string check_call(const stmt& s) const;
  std::string label_of(const std::string& target) const { return "LBL_" + safe(target); }
  std::string loop_variable(const stmt& for_stmt) const;
  std::string args_mask(const std::vector<expr_ptr>& args) const;
  std::string arg_or(const std::vector<expr_ptr>& args, size_t i, const type_ref& t, const std::string& fallback);
  static std::string safe(const std::string& name);
  void line(const std::string& text);
  std::string fresh(const char* stem) { return std::string(stem) + std::to_string(counter_++); }

  // ---- the program (emit_program.cpp) ----
  void records();
  void globals();
  void data();
  void prototypes();
  void allocation();
  void clearing();
  void routine(int r);
  void main_routine();
  void dispatch();
  std::string declare_symbol(const symbol& s, bool local);
  std::string element_bytes(const symbol& s) const;
  std::string for_state(const stmt& s) const;
  std::string array_kind(const symbol& s) const;
  std::string signature(int r) const;
  std::string implicit_dim(const symbol& s);

  const checked_program& p_;
  const emit_options& options_;
  std::ostringstream out_;
  std::ostringstream* code_ = nullptr;
  int indent_ = 1;
  int counter_ = 0;
  int current_ = 0;  // the routine being emitted
  // Statement-level temporaries that must be declared before the statement's code.
  std::vector<std::string> prelude_;
  std::vector<std::string> return_places_;  // the GOSUB return points of the routine
  std::set<std::string> emitted_labels_;
  bool uses_strings_ = false;  // the statement made or used strings
};

}  // namespace kxc
