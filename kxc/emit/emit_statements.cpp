// Statements: one block each, with its check; the jumps of blocks and loops.
#include <cctype>

#include "kxc/emit/emitter_state.h"
#include "kxc/lex/runtime_names.h"

namespace kxc {

std::string emitter::safe(const std::string& name) {
  std::string out;
  for (char c : name) out += c == '.' ? std::string("__") : std::string(1, c);
  return out;
}

void emitter::line(const std::string& text) {
  for (int i = 0; i < indent_; ++i) *code_ << "  ";
  *code_ << text << "\n";
}

std::string emitter::check_call(const stmt& s) const {
  if (s.include_line == 0) return "evnt(" + std::to_string(s.check_line) + ")";
  const std::string& file = p_.ast.routines.empty() || !options_.source
                                ? std::string("")
                                : options_.source->files()[static_cast<size_t>(s.include_file)];
  return "evnt(" + std::to_string(s.check_line) + ", " + std::to_string(s.include_line) + ", \"" + escaped(file) + "\")";
}

void emitter::open_statement(const stmt& s, const std::string& title) {
  std::string text = title;
  if (options_.source && title.empty()) {
    text = options_.source->file_line(s.at.file, s.at.line);
    const size_t first = text.find_first_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first);
    for (char& c : text) {
      if (c == '\\' || static_cast<unsigned char>(c) < 32) c = ' ';
    }
    if (text.size() > 100) text = text.substr(0, 100) + "...";
  }
  line("// " + std::to_string(s.at.line) + ": " + text);
}

// The shape of every compiled statement: its code, its temporaries swept,
// then the check, repeated while the check asks for it.
void emitter::checked(const stmt& s, const std::string& code, bool strings) {
  line("do {");
  ++indent_;
  for (const std::string& p : prelude_) line(p);
  prelude_.clear();
  if (!code.empty()) line(code);
  if (strings) line("kxs_cleanup(tmp_mark, 0);");
  line("if (!kxc::event_pending()) [[likely]] break;");
  line(check_call(s) + ";");
  --indent_;
  line("} while (r);");
}

// A condition: true also when it raised an error; its check comes first,
// and RESUME evaluates it again.
void emitter::emit_condition_jump(const stmt& s, const expr& cond, bool jump_when, const std::string& label,
                                  const std::string& retry) {
  uses_strings_ = false;
  const std::string c = condition(cond);
  line(retry + ":;");
  line("{");
  ++indent_;
  for (const std::string& p : prelude_) line(p);
  prelude_.clear();
  line("bool c;");
  line("c = " + c + ";");
  line("c = c || kxc::failed();");
  if (uses_strings_) line("kxs_cleanup(tmp_mark, 0);");
  line("if (kxc::event_pending()) {");
  line("  " + check_call(s) + ";");
  line("  if (r) goto " + retry + ";");
  line("}");
  line(std::string(jump_when ? "if (c)" : "if (!c)") + " goto " + label + ";");
  --indent_;
  line("}");
}

void emitter::statements(const stmt_list& body) {
  for (size_t i = 0; i < body.size(); ++i) statement(body[i], static_cast<int>(i), false);
}

std::string emitter::loop_variable(const stmt& f) const {
  const expr& v = *f.e[0];
  const symbol& s = p_.symbols[static_cast<size_t>(v.symbol)];
  if (s.is_param && !s.by_value) return "(*" + s.cpp + ")";
  return s.cpp;
}

std::string emitter::args_mask(const std::vector<expr_ptr>& args) const {
  int mask = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i]) mask |= 1 << i;
  }
  return std::to_string(mask);
}

std::string emitter::arg_or(const std::vector<expr_ptr>& args, size_t i, const type_ref& t, const std::string& fallback) {
  if (i < args.size() && args[i]) return as(*args[i], t);
  return fallback;
}

void emitter::statement(const stmt& s, int index, bool nested) {
  prelude_.clear();
  uses_strings_ = false;
  const stmt_list& body = p_.ast.routines[static_cast<size_t>(current_)].body;
  const std::string I = std::to_string(index);
  type_ref int32;
  int32.base = base_type::long_;
  type_ref uint32;
  uint32.base = base_type::ulong;
  type_ref dbl;
  dbl.base = base_type::double_;
  type_ref flt;
  flt.base = base_type::single;
  type_ref int64;
  int64.base = base_type::integer64;
  switch (s.kind) {
    case stmt_kind::label: {
      line("LBL_" + safe(s.text) + ":;");
      if (s.number >= 0 && p_.line_numbers) line("last_line = " + std::to_string(s.number) + ";");
      for (const std::string& h : p_.handlers) {
        if (h == s.text && current_ == 0) {
          // The handler's label: its check ignores r.
          line("if (kxc::event_pending()) " + check_call(s) + ";");
          line("r = 0;");
        }
      }
      return;
    }
    case stmt_kind::nothing:
    case stmt_kind::deftype:
    case stmt_kind::data:
    case stmt_kind::const_decl:
    case stmt_kind::option_base:
      return;
    default: break;
  }
  open_statement(s, "");
  switch (s.kind) {
    case stmt_kind::let: emit_let(s); return;
    case stmt_kind::print:
    case stmt_kind::lprint:
      if (s.file) emit_file_print(s);
      else emit_print(s);
      return;
    case stmt_kind::write_file: emit_write(s); return;
    case stmt_kind::input:
      if (s.file) emit_file_input(s);
      else emit_input(s);
      return;
    case stmt_kind::if_line: emit_if_line(s, index); return;
    case stmt_kind::if_block:
      emit_condition_jump(s, *s.e[0], false, "B_" + std::to_string(s.jump_targets.empty() ? index : s.jump_targets[0]),
                          "C_" + I);
      return;
    case stmt_kind::elseif: {
      const stmt& head = body[static_cast<size_t>(s.jump)];
      const int end = head.jump_targets.back();
      line("goto E_" + std::to_string(end) + ";");
      line("B_" + I + ":;");
      int next = end;
      for (size_t k = 0; k + 1 < head.jump_targets.size(); ++k) {
        if (head.jump_targets[k] == index) next = head.jump_targets[k + 1];
      }
      emit_condition_jump(s, *s.e[0], false, "B_" + std::to_string(next), "C_" + I);
      return;
    }
    case stmt_kind::else_block: {
      const stmt& head = body[static_cast<size_t>(s.jump)];
      line("goto E_" + std::to_string(head.jump_targets.back()) + ";");
      line("B_" + I + ":;");
      return;
    }
    case stmt_kind::end_if:
      line("B_" + I + ":;");
      line("E_" + I + ":;");
      return;
    case stmt_kind::for_loop: emit_for(s, index); return;
    case stmt_kind::next: emit_next(s, index); return;
    case stmt_kind::while_loop:
      emit_condition_jump(s, *s.e[0], false, "X_" + std::to_string(s.jump), "B_" + I);
      return;
    case stmt_kind::wend:
      line("goto B_" + std::to_string(s.jump) + ";");
      line("X_" + I + ":;");
      return;
    case stmt_kind::do_loop:
      line("B_" + I + ":;");
      if (!s.e.empty()) emit_condition_jump(s, *s.e[0], s.text == "UNTIL", "X_" + std::to_string(s.jump), "D_" + I);
      return;
    case stmt_kind::loop:
      if (!s.e.empty()) {
        emit_condition_jump(s, *s.e[0], s.text == "WHILE", "B_" + std::to_string(s.jump), "D_" + I);
      } else {
        if (true) line("if (kxc::event_pending()) " + check_call(s) + ";");
        line("goto B_" + std::to_string(s.jump) + ";");
      }
      line("X_" + I + ":;");
      return;
    case stmt_kind::exit_block: {
      if (s.text == "SUB" || s.text == "FUNCTION" || s.text == "DEF") {
        line("goto exit_routine;");
        return;
      }
      const stmt& loop = body[static_cast<size_t>(s.jump)];
      if (s.text == "FOR") line("goto X_" + std::to_string(loop.jump) + "_" + std::to_string(loop.variant) + ";");
      else line("goto X_" + std::to_string(loop.jump) + ";");
      return;
    }
    case stmt_kind::select_case: emit_select(s, index); return;
    case stmt_kind::case_clause: emit_case(s, index); return;
    case stmt_kind::end_select:
      line("B_" + I + ":;");
      line("X_" + I + ":;");
      return;
    case stmt_kind::goto_line:
      line("if (kxc::event_pending()) " + check_call(s) + ";");
      line("goto " + label_of(s.targets[0].name) + ";");
      return;
    case stmt_kind::gosub: emit_gosub_to(s, label_of(s.targets[0].name)); return;
    case stmt_kind::return_gosub: emit_return(s); return;
    case stmt_kind::on_goto: emit_on_goto(s); return;
    case stmt_kind::end_program:
    case stmt_kind::system_exit: {
      std::string code;
      if (!s.e.empty()) code = "exit_code = " + as(*s.e[0], int32) + "; ";
      code += s.kind == stmt_kind::end_program ? "sub_end();" : "sub_system();";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::stop_program: checked(s, "sub_end();", false); return;
    case stmt_kind::dim: emit_dim(s); return;
    case stmt_kind::erase: {
      std::string code;
      for (const expr_ptr& v : s.e) {
        if (v->symbol < 0) continue;
        const symbol& a = p_.symbols[static_cast<size_t>(v->symbol)];
        code += "kx::array_erase(" + array_descriptor(v->symbol) + ", " + std::to_string(std::max(a.dimensions, 1)) +
                ", " + element_bytes(a) + ", " + array_kind(a) + "); ";
      }
      checked(s, code, true);
      return;
    }
    case stmt_kind::read: emit_read(s); return;
    case stmt_kind::restore: {
      std::string offset = "0";
      if (!s.targets.empty()) {
        auto it = p_.data_offsets.find(s.targets[0].name);
        offset = it == p_.data_offsets.end() ? std::to_string(p_.data.size()) : std::to_string(it->second);
      }
      checked(s, "data_offset = " + offset + ";", false);
      return;
    }
    case stmt_kind::swap: {
      const expr& a = *s.e[0];
      const expr& b = *s.e[1];
      std::string code;
      if (a.type.is_string()) code = "swap_string(" + place(a) + ", " + place(b) + ");";
      else if (a.type.is_record()) code = "swap_block(&" + place(a) + ", &" + place(b) + ", sizeof(" + ct(a.type) + "));";
      else if (a.kind == expr_kind::member || b.kind == expr_kind::member)
        code = "swap_block(&" + place(a) + ", &" + place(b) + ", sizeof(" + ct(a.type) + "));";
      else code = "std::swap(" + place(a) + ", " + place(b) + ");";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::call: emit_call(s); return;
    case stmt_kind::on_error:
      checked(s, "sub_on_error_goto(" + std::to_string(s.targets.empty() ? 0 : s.number) + ");", false);
      return;
    case stmt_kind::resume: {
      std::string code;
      if (s.text == "NEXT") code = "if (resume_next()) return true;";
      else if (s.targets.empty()) code = "if (resume_retry()) return true;";
      else code = "if (resume_next()) { kxc::leave_all_frames(); throw kxc::resume_at{" + std::to_string(s.number) + "}; }";
      if (current_ != 0 && s.text == "NEXT") code = "if (resume_next()) goto exit_routine;";
      if (current_ != 0 && s.text != "NEXT") code = "if (resume_retry()) goto exit_routine;";
      checked(s, code, false);
      return;
    }
    case stmt_kind::error_stmt: checked(s, "kxc::raise(" + as(*s.e[0], int32) + ");", uses_strings_); return;
    case stmt_kind::on_trap:
    case stmt_kind::trap_switch: emit_trap(s); return;
    case stmt_kind::runtime_call: emit_runtime_call(s); return;
    case stmt_kind::open_file: emit_open(s); return;
    case stmt_kind::close_file: {
      std::string code;
      if (s.e.empty()) code = "sub_close(0, 0);";
      for (const expr_ptr& n : s.e) code += "sub_close(" + as(*n, int32) + ", 1); ";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::randomize: {
      std::string code;
      if (s.e.empty()) code = "sub_randomize(0, 0);";
      else code = "sub_randomize(" + as(*s.e[0], dbl) + ", " + (s.flag ? "3" : "1") + ");";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::mid_assign: {
      const std::string code = "sub_mid(" + place(*s.e[0]) + ", " + as(*s.e[1], int32) + ", " +
                               arg_or(s.e, 2, int32, "0") + ", " + value(*s.e[3]) + ", " + (s.e[2] ? "1" : "0") + ");";
      checked(s, code, true);
      return;
    }
    case stmt_kind::clear: checked(s, "sub_clear(0, 0, 0, 0);", true); return;
    case stmt_kind::sleep:
      checked(s, "sub_sleep(" + arg_or(s.e, 0, int32, "0") + ", " + (s.e.empty() ? "0" : "1") + ");", uses_strings_);
      return;
    case stmt_kind::screen_stmt: {
      const std::string code = "kxg_screen(" + arg_or(s.e, 0, int32, "0") + ", " + arg_or(s.e, 1, int32, "0") + ", " +
                               arg_or(s.e, 2, int32, "0") + ", " + arg_or(s.e, 3, int32, "0") + ", " + args_mask(s.e) + ");";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::color_stmt: {
      const std::string code = "kxg_sub_color(" + arg_or(s.e, 0, uint32, "0") + ", " + arg_or(s.e, 1, uint32, "0") + ", " +
                               arg_or(s.e, 2, uint32, "0") + ", " + args_mask(s.e) + ");";
      checked(s, code, uses_strings_);
      return;
    }
    case stmt_kind::locate: {
      std::string code = "kxg_sub_locate(";
      for (size_t i = 0; i < 5; ++i) code += arg_or(s.e, i, int32, "0") + ", ";
      checked(s, code + args_mask(s.e) + ");", uses_strings_);
      return;
    }
    case stmt_kind::cls:
      checked(s, "sub_cls(" + arg_or(s.e, 0, int32, "0") + ", " + arg_or(s.e, 1, uint32, "0") + ", " + args_mask(s.e) + ");",
              uses_strings_);
      return;
    case stmt_kind::width:
      checked(s, "kxsub_width(kx_width_screen, " + arg_or(s.e, 0, int32, "0") + ", " + arg_or(s.e, 1, int32, "0") + ", " +
                     args_mask(s.e) + ");",
              uses_strings_);
      return;
    case stmt_kind::view_print:
      checked(s, "kxg_sub_view_print(" + arg_or(s.e, 0, int32, "0") + ", " + arg_or(s.e, 1, int32, "0") + ", " +
                     (s.e.empty() ? "0" : "1") + ");",
              uses_strings_);
      return;
    case stmt_kind::field_stmt:
    default: return;
  }
}

void emitter::emit_if_line(const stmt& s, int index) {
  const std::string retry = fresh("IFL_");
  uses_strings_ = false;
  const std::string c = condition(*s.e[0]);
  line(retry + ":;");
  line("{");
  ++indent_;
  for (const std::string& p : prelude_) line(p);
  prelude_.clear();
  line("bool c;");
  line("c = " + c + ";");
  line("c = c || kxc::failed();");
  if (uses_strings_) line("kxs_cleanup(tmp_mark, 0);");
  line("if (kxc::event_pending()) {");
  line("  " + check_call(s) + ";");
  line("  if (r) goto " + retry + ";");
  line("}");
  line("if (c) {");
  ++indent_;
  for (const stmt& t : s.then_part) statement(t, index, true);
  --indent_;
  if (!s.else_part.empty()) {
    line("} else {");
    ++indent_;
    for (const stmt& t : s.else_part) statement(t, index, true);
    --indent_;
  }
  line("}");
  --indent_;
  line("}");
}

void emitter::emit_let(const stmt& s) {
  const expr& target = *s.e[0];
  const expr& v = *s.e[1];
  std::string code;
  if (target.type.is_string()) {
    uses_strings_ = true;
    const std::string dest = place(target);
    // S$ = S$ + X$ grows S$ in place.
    if (v.kind == expr_kind::binary && v.text == "+" && target.kind == expr_kind::name &&
        target.meaning == name_meaning::variable && !target.type.fixed_length && v.args[0]->kind == expr_kind::name &&
        v.args[0]->meaning == name_meaning::variable && v.args[0]->symbol == target.symbol) {
      const expr& x = *v.args[1];
      if (x.kind == expr_kind::string) {
        code = "kxs_append_txt_len(" + dest + ", \"" + escaped(x.text) + "\", " + std::to_string(x.text.size()) + ");";
      } else {
        code = "kxs_append(" + dest + ", " + value(x) + ");";
      }
    } else {
      // A value whose making failed leaves the variable as it was.
      code = "kxs* v; v = " + value(v) + "; if (!kxc::failed()) kxs_set(" + dest + ", v);";
    }
  } else {
    const std::string t = ct(target.type);
    const std::string from = target.type.is_record() ? place(v) : as(v, target.type);
    if (target.kind == expr_kind::name && target.meaning == name_meaning::variable) {
      // A plain variable: stored straight, so that it may live in a register.
      code = t + " v; v = " + from + "; if (!kxc::failed()) " + place(target) + " = v;";
    } else {
      // An element or field: its place first (an index may fail), then the
      // value, copied in as bytes: a field of a record may lie at any address.
      code = "void* p; p = &" + place(target) + "; " + t + " v; v = " + from +
             "; if (!kxc::failed()) std::memcpy(p, &v, sizeof v);";
    }
  }
  checked(s, code, uses_strings_);
}

void emitter::emit_print(const stmt& s) {
  if (s.using_format) {
    emit_print_using(s, "");
    return;
  }
  const bool printer = s.kind == stmt_kind::lprint;
  const std::string print = printer ? "kxs_lprint" : "kxs_print";
  std::string code;
  for (const auto& item : s.items) {
    if (item.sep == ',') {
      code += printer ? "if (!kxc::failed()) kxs_lprint(func_tab_lprint(0), 0); " : "if (!kxc::failed()) tab(); ";
      continue;
    }
    if (item.sep) continue;
    const expr& v = *item.value;
    std::string one;
    if (v.kind == expr_kind::name && v.has_args && (v.text == "TAB" || v.text == "SPC") && v.type.base == base_type::none) {
      type_ref int32;
      int32.base = base_type::long_;
      const std::string n = as(*v.args[0], int32);
      const std::string fn = v.text == "TAB" ? (printer ? "func_tab_lprint" : "func_tab") : (printer ? "func_spc_lprint" : "func_spc");
      one = print + "(" + fn + "(" + n + "), 0);";
      uses_strings_ = true;
    } else if (v.type.is_string()) {
      one = print + "(" + value(v) + ", 0);";
    } else {
      type_ref shown = v.type;
      if (shown.base == base_type::bit || shown.base == base_type::offset) shown.base = base_type::integer64;
      if (printer) {
        one = "kxs_lprint(kxs_add(kxs_str(" + as(v, shown) + "), kxs_new_txt_len(\" \", 1)), 0);";
      } else {
        one = "kxc::print_number(" + as(v, shown) + ");";
      }
      uses_strings_ = true;
    }
    code += "if (!kxc::failed()) " + one + " ";
  }
  if (s.items.empty() || !s.items.back().sep) code += "if (!kxc::failed()) " + print + "(kxs_new(0, 1), 1);";
  checked(s, code, true);
}

void emitter::emit_print_using(const stmt& s, const std::string& file) {
  // Each value is formatted into one string, which is printed at the end.
  std::string code = "kxs* format; format = " + value(*s.using_format) + "; kxs* out; out = kxs_new(0, 1); int32_t at; at = 0; ";
  for (const auto& item : s.items) {
    if (item.sep) continue;
    const expr& v = *item.value;
    const std::string x = value(v);
    std::string call;
    switch (v.type.base) {
      case base_type::string: call = "print_using(format, at, out, " + x + ")"; break;
      case base_type::single: call = "print_using_single(format, " + x + ", at, out)"; break;
      case base_type::double_: call = "print_using_double(format, " + x + ", at, out)"; break;
      case base_type::float_: call = "print_using_float(format, " + x + ", at, out)"; break;
      case base_type::uinteger64: case base_type::uoffset: case base_type::ubit:
        call = "print_using_uinteger64(format, static_cast<uint64_t>(" + x + "), at, out)";
        break;
      default: call = "print_using_integer64(format, static_cast<int64_t>(" + x + "), at, out)"; break;
    }
    code += "if (!kxc::failed()) at = " + call + "; ";
  }
  const bool newline = s.items.empty() || !s.items.back().sep;
  if (file.empty()) {
    code += std::string(s.kind == stmt_kind::lprint ? "kxs_lprint" : "kxs_print") + "(out, " + (newline ? "1" : "0") + ");";
  } else {
    code += "sub_file_print(" + file + ", out, 0, 0, " + (newline ? "1" : "0") + ");";
  }
  uses_strings_ = true;
  checked(s, code, true);
}

void emitter::emit_file_print(const stmt& s) {
  type_ref int32;
  int32.base = base_type::long_;
  const std::string n = temporary("int32_t", as(*s.file, int32));
  if (s.using_format) {
    emit_print_using(s, n);
    return;
  }
  std::string code;
  for (const auto& item : s.items) {
    if (item.sep == ',') {
      code += "if (!kxc::failed()) sub_file_print(" + n + ", kxs_new(0, 1), 0, 1, 0); ";
      continue;
    }
    if (item.sep) continue;
    const expr& v = *item.value;
    if (v.kind == expr_kind::name && v.has_args && (v.text == "TAB" || v.text == "SPC") && v.type.base == base_type::none) {
      const std::string fn = v.text == "TAB" ? "func_tab_file" : "func_spc_file";
      code += "if (!kxc::failed()) sub_file_print(" + n + ", " + fn + "(" + as(*v.args[0], int32) + ", " + n + "), 0, 0, 0); ";
    } else if (v.type.is_string()) {
      code += "if (!kxc::failed()) sub_file_print(" + n + ", " + value(v) + ", 0, 0, 0); ";
    } else {
      type_ref shown = v.type;
      if (shown.base == base_type::bit || shown.base == base_type::offset) shown.base = base_type::integer64;
      code += "if (!kxc::failed()) sub_file_print(" + n + ", kxs_str(" + as(v, shown) + "), 1, 0, 0); ";
    }
  }
  if (s.items.empty() || !s.items.back().sep) code += "if (!kxc::failed()) sub_file_print(" + n + ", kxs_new(0, 1), 0, 0, 1);";
  uses_strings_ = true;
  checked(s, code, true);
}

void emitter::emit_write(const stmt& s) {
  // The items joined by commas, strings in quotation marks, numbers
  // without their leading blank.
  std::string code = "kxs* line; line = kxs_new(0, 1); ";
  bool first = true;
  for (const expr_ptr& v : s.e) {
    if (!first) code += "line = kxs_add(line, kxc::text(\",\", 1)); ";
    first = false;
    if (v->type.is_string()) {
      code += "line = kxs_add(kxs_add(kxs_add(line, kxc::text(\"\\\"\", 1)), " + value(*v) + "), kxc::text(\"\\\"\", 1)); ";
    } else {
      type_ref shown = v->type;
      if (shown.base == base_type::bit || shown.base == base_type::offset) shown.base = base_type::integer64;
      code += "line = kxs_add(line, kxs_ltrim(kxs_str(" + as(*v, shown) + "))); ";
    }
  }
  if (s.file) {
    type_ref int32;
    int32.base = base_type::long_;
    code += "sub_file_print(" + as(*s.file, int32) + ", line, 0, 0, 1);";
  } else {
    code += "kxs_print(line, 1);";
  }
  uses_strings_ = true;
  checked(s, code, true);
}

void emitter::emit_input(const stmt& s) {
  std::string code;
  if (s.using_format) code += "kxs_print(" + value(*s.using_format) + ", 0); ";
  if (!s.flag && !s.flag2) code += "kxs_print(kxc::text(\"? \", 2), 0); ";
  int i = 1;
  for (const expr_ptr& v : s.e) {
    const std::string n = std::to_string(i++);
    std::string type = type_code(v->type);
    if (s.flag) type += " | kx::type_code::line_input";
    code += "kxs_input_variabletypes[" + n + "] = " + type + "; ";
    if (v->type.is_string()) {
      code += "kxs_input_variableoffsets[" + n + "] = " + place(*v) + "; ";
    } else {
      code += "kxs_input_variableoffsets[" + n + "] = &" + place(*v) + "; ";
    }
  }
  code += "kxs_input(" + std::to_string(s.e.size()) + ", " + (s.text == ";" ? "0" : "1") + ");";
  uses_strings_ = true;
  checked(s, code, true);
}

void emitter::emit_file_input(const stmt& s) {
  type_ref int32;
  int32.base = base_type::long_;
  const std::string n = temporary("int32_t", as(*s.file, int32));
  std::string code;
  for (const expr_ptr& v : s.e) {
    const expr& target = *v;
    if (s.flag) {
      code += "if (!kxc::failed()) sub_file_line_input_string(" + n + ", " + place(target) + "); ";
    } else if (target.type.is_string()) {
      code += "if (!kxc::failed()) sub_file_input_string(" + n + ", " + place(target) + "); ";
    } else if (target.type.base == base_type::integer64 || target.type.base == base_type::offset) {
      code += "if (!kxc::failed()) { int64_t v = func_file_input_int64(" + n + "); if (!kxc::failed()) " + place(target) +
              " = kxc::to<" + ct(target.type) + ">(v); } ";
    } else if (target.type.base == base_type::uinteger64 || target.type.base == base_type::uoffset) {
      code += "if (!kxc::failed()) { uint64_t v = func_file_input_uint64(" + n + "); if (!kxc::failed()) " + place(target) +
              " = v; } ";
    } else {
      code += "if (!kxc::failed()) { kx_float v = func_file_input_float(" + n + ", " + type_code(target.type) +
              "); if (!kxc::failed()) " + place(target) + " = static_cast<" + ct(target.type) + ">(v); } ";
    }
  }
  uses_strings_ = true;
  checked(s, code, true);
}

void emitter::emit_read(const stmt& s) {
  std::string code;
  for (const expr_ptr& v : s.e) {
    const expr& target = *v;
    const std::string args = "program_data, &data_offset, program_data_length";
    if (target.type.is_string()) {
      code += "if (!kxc::failed()) sub_read_string(" + args + ", " + place(target) + "); ";
    } else if (target.type.base == base_type::integer64 || target.type.base == base_type::offset) {
      code += "if (!kxc::failed()) { int64_t v = func_read_int64(" + args + "); if (!kxc::failed()) " + place(target) + " = v; } ";
    } else if (target.type.base == base_type::uinteger64 || target.type.base == base_type::uoffset) {
      code += "if (!kxc::failed()) { uint64_t v = func_read_uint64(" + args + "); if (!kxc::failed()) " + place(target) + " = v; } ";
    } else {
      code += "if (!kxc::failed()) { kx_float v = func_read_float(" + args + ", " + type_code(target.type) +
              "); if (!kxc::failed()) " + place(target) + " = static_cast<" + ct(target.type) + ">(v); } ";
    }
  }
  uses_strings_ = uses_strings_ || true;
  checked(s, code, true);
}

// A loop variable of one byte counts in a 16-bit counter stored into the
// variable at every pass, before the end test: FOR b = 0 TO 255 ends, with
// b = 0 after the store of 256, instead of overflowing.
static bool counts_apart(const type_ref& t) {
  return t.base == base_type::byte || t.base == base_type::ubyte || t.base == base_type::bit || t.base == base_type::ubit;
}

// The test that the loop goes on: its direction is known when STEP is a
// literal (or absent).
std::string emitter::for_test(const stmt& f, const std::string& now) const {
  const std::string k = std::to_string(f.number);
  if (f.e.size() <= 3) return now + " <= FOR_END_" + k;
  const expr& step = *f.e[3];
  if (step.kind == expr_kind::number) return now + " <= FOR_END_" + k;
  if (step.kind == expr_kind::unary && step.text == "-" && step.args[0]->kind == expr_kind::number) {
    return now + " >= FOR_END_" + k;
  }
  return "(FOR_STEP_" + k + " >= 0 ? " + now + " <= FOR_END_" + k + " : " + now + " >= FOR_END_" + k + ")";
}

void emitter::emit_for(const stmt& s, int index) {
  const expr& v = *s.e[0];
  const std::string var = loop_variable(s);
  const std::string k = std::to_string(s.number);
  const bool apart = counts_apart(v.type);
  type_ref counter = v.type;
  if (apart) counter.base = base_type::integer;
  const std::string t = ct(counter);
  const std::string now = apart ? "FOR_CTR_" + k : var;
  std::string code = now + " = " + as(*s.e[1], counter) + "; FOR_END_" + k + " = " + as(*s.e[2], counter) + "; FOR_STEP_" +
                     k + " = " + (s.e.size() > 3 ? as(*s.e[3], counter) : "static_cast<" + t + ">(1)") + ";";
  checked(s, code, uses_strings_);
  if (apart) line(var + " = static_cast<" + ct(v.type) + ">(" + now + ");");
  const std::string exit = "X_" + std::to_string(s.jump) + "_" + std::to_string(s.variant);
  line("if (!(" + for_test(s, now) + ")) goto " + exit + ";");
  line("F_" + std::to_string(index) + ":;");
}

void emitter::emit_next(const stmt& s, int index) {
  const stmt_list& body = p_.ast.routines[static_cast<size_t>(current_)].body;
  for (size_t n = 0; n < s.jump_targets.size(); ++n) {
    const stmt& f = body[static_cast<size_t>(s.jump_targets[n])];
    const expr& v = *f.e[0];
    const std::string var = loop_variable(f);
    const std::string k = std::to_string(f.number);
    const bool apart = counts_apart(v.type);
    const std::string now = apart ? "FOR_CTR_" + k : var;
    const std::string t = apart ? std::string("int16_t") : ct(v.type);
    const std::string step = v.type.is_floating() ? now + " + FOR_STEP_" + k : "kxc::add<" + t + ">(" + now + ", FOR_STEP_" + k + ")";
    prelude_.clear();
    checked(s, now + " = " + step + ";", false);
    if (apart) line(var + " = static_cast<" + ct(v.type) + ">(" + now + ");");
    line("if (" + for_test(f, now) + ") goto F_" + std::to_string(s.jump_targets[n]) + ";");
    const std::string label = "X_" + std::to_string(index) + "_" + std::to_string(n);
    if (emitted_labels_.insert(label).second) line(label + ":;");
  }
}

void emitter::emit_select(const stmt& s, int index) {
  const expr& v = *s.e[0];
  const std::string sel = "SEL_" + std::to_string(index);
  std::string code;
  if (v.type.is_string()) code = "kxs_set(" + sel + ", " + value(v) + ");";
  else code = sel + " = " + value(v) + ";";
  checked(s, code, uses_strings_);
  const std::string first = s.jump_targets.empty() ? "X_" + std::to_string(s.jump) : "B_" + std::to_string(s.jump_targets[0]);
  line("goto " + first + ";");
}

void emitter::emit_case(const stmt& s, int index) {
  const stmt_list& body = p_.ast.routines[static_cast<size_t>(current_)].body;
  const stmt& head = body[static_cast<size_t>(s.jump)];
  const std::string end = "X_" + std::to_string(head.jump);
  line("goto " + end + ";");
  line("B_" + std::to_string(index) + ":;");
  if (s.text == "ELSE") return;
  std::string next = end;
  for (size_t k = 0; k + 1 < head.jump_targets.size(); ++k) {
    if (head.jump_targets[k] == index) next = "B_" + std::to_string(head.jump_targets[k + 1]);
  }
  // The items as one condition, built as an expression on the selector.
  const expr& selector = *head.e[0];
  const std::string sel = "SEL_" + std::to_string(s.jump);
  uses_strings_ = false;
  std::string cond;
  for (const case_item& c : s.cases) {
    if (!cond.empty()) cond += " || ";
    auto compare = [&](const std::string& op, const expr& x) {
      if (selector.type.is_string()) {
        uses_strings_ = true;
        const char* call = op == "=" ? "kxs_equal" : op == "<>" ? "kxs_notequal" : op == "<" ? "kxs_lessthan"
                           : op == ">" ? "kxs_greaterthan" : op == "<=" ? "kxs_lessorequal" : "kxs_greaterorequal";
        return std::string(call) + "(" + sel + ", " + value(x) + ") != 0";
      }
      const type_ref w = promoted(selector.type, x.type);
      const std::string cop = op == "=" ? "==" : op == "<>" ? "!=" : op;
      return "(" + convert(sel, selector.type, w) + " " + cop + " " + as(x, w) + ")";
    };
    if (c.high) cond += "(" + compare(">=", *c.low) + " && " + compare("<=", *c.high) + ")";
    else if (!c.relation.empty()) cond += compare(c.relation, *c.low);
    else cond += compare("=", *c.low);
  }
  const std::string retry = "C_" + std::to_string(index);
  line(retry + ":;");
  line("{");
  ++indent_;
  for (const std::string& p : prelude_) line(p);
  prelude_.clear();
  line("bool c;");
  line("c = " + cond + ";");
  line("c = c || kxc::failed();");
  if (uses_strings_) line("kxs_cleanup(tmp_mark, 0);");
  line("if (kxc::event_pending()) {");
  line("  " + check_call(s) + ";");
  line("  if (r) goto " + retry + ";");
  line("}");
  line("if (!c) goto " + next + ";");
  --indent_;
  line("}");
}

void emitter::emit_dim(const stmt& s) {
  std::string code;
  const bool redim = s.text == "REDIM";
  for (size_t i = 0; i < s.decls.size() && i < s.jump_targets.size(); ++i) {
    const declaration& d = s.decls[i];
    const symbol& a = p_.symbols[static_cast<size_t>(s.jump_targets[i])];
    if (!d.array || (!a.dynamic && !redim)) continue;
    if (d.bounds.empty()) continue;
    std::string lower, upper;
    type_ref int64;
    int64.base = base_type::integer64;
    for (const auto& b : d.bounds) {
      if (!lower.empty()) {
        lower += ", ";
        upper += ", ";
      }
      lower += b.first ? as(*b.first, int64) : std::to_string(p_.option_base) + "LL";
      upper += as(*b.second, int64);
    }
    const std::string dims = std::to_string(d.bounds.size());
    code += "{ const int64_t lower[] = {" + lower + "}; const int64_t upper[] = {" + upper + "}; ";
    if (redim) {
      code += "kx::array_redim(" + array_descriptor(s.jump_targets[i]) + ", " + dims + ", lower, upper, " + element_bytes(a) +
              ", " + array_kind(a) + ", " + (s.flag ? "true" : "false") + "); } ";
    } else {
      code += "kx::array_dim(" + array_descriptor(s.jump_targets[i]) + ", " + dims + ", lower, upper, " + element_bytes(a) +
              ", " + array_kind(a) + ", false); } ";
    }
  }
  if (code.empty()) {
    // A declaration only: nothing to do, but a pending event still has its
    // check here, as every line of the program has.
    line("if (kxc::event_pending()) " + check_call(s) + ";");
    return;
  }
  checked(s, code, true);
}

void emitter::emit_call(const stmt& s) {
  if (s.jump < 0) return;
  const std::string code = p_.routines[static_cast<size_t>(s.jump)].cpp + "(" + procedure_arguments(s.e, s.jump) + ");";
  checked(s, code, true);
}

void emitter::emit_gosub_to(const stmt& s, const std::string& target) {
  return_places_.push_back(fresh("RETURN_"));
  const std::string place_id = std::to_string(return_places_.size());
  line("push_return_point(" + place_id + ");");
  line("if (kxc::event_pending()) " + check_call(s) + ";");
  line("goto " + target + ";");
  line(return_places_.back() + ":;");
}

void emitter::emit_return(const stmt& s) {
  // The return places are known only once the routine is emitted: the
  // switch goes through one dispatch label at the routine's end.
  line("do {");
  ++indent_;
  line("if (next_return_point > rp_base) {");
  line("  return_place = return_point[--next_return_point];");
  line("  if (kxc::event_pending()) " + check_call(s) + ";");
  if (!s.targets.empty()) line("  goto " + label_of(s.targets[0].name) + ";");
  else line("  goto return_dispatch;");
  line("}");
  line("error(err::return_without_gosub);");
  line("if (!kxc::event_pending()) [[likely]] break;");
  line(check_call(s) + ";");
  --indent_;
  line("} while (r);");
}

void emitter::emit_on_goto(const stmt& s) {
  type_ref int64;
  int64.base = base_type::integer64;
  const std::string n = fresh("choice");
  line("{");
  ++indent_;
  line("int64_t " + n + ";");
  const std::string v = as(*s.e[0], int64);
  checked(s, n + " = " + v + "; if (" + n + " < 0 || " + n + " > 255) error(err::illegal_function_call);", uses_strings_);
  const bool gosub = s.text == "GOSUB";
  std::string place_id;
  if (gosub) {
    return_places_.push_back(fresh("RETURN_"));
    place_id = std::to_string(return_places_.size());
  }
  line("switch (" + n + ") {");
  for (size_t i = 0; i < s.targets.size(); ++i) {
    std::string go = "goto " + label_of(s.targets[i].name) + ";";
    if (gosub) go = "push_return_point(" + place_id + "); " + go;
    line("  case " + std::to_string(i + 1) + ": " + go);
  }
  line("  default: break;");
  line("}");
  --indent_;
  line("}");
  if (gosub) line(return_places_.back() + ":;");
}

void emitter::emit_trap(const stmt& s) {
  type_ref int32;
  int32.base = base_type::long_;
  type_ref dbl;
  dbl.base = base_type::double_;
  std::string code;
  if (s.kind == stmt_kind::on_trap) {
    const std::string id = s.jump >= 0 ? std::to_string(10000 + s.jump) : std::to_string(s.number);
    if (s.text == "TIMER") {
      if (s.e.size() > 1) code = "ontimer_setup(" + as(*s.e[0], int32) + ", " + as(*s.e[1], dbl) + ", " + id + ", 0);";
      else code = "ontimer_setup(0, " + as(*s.e[0], dbl) + ", " + id + ", 0);";
    } else if (s.text == "KEY") {
      code = "onkey_setup(" + as(*s.e[0], int32) + ", " + id + ", 0);";
    } else {
      code = "onstrig_setup(" + as(*s.e[0], int32) + ", " + arg_or(s.e, 1, int32, "0") + ", " +
             (s.e.size() > 1 ? "1" : "0") + ", " + id + ", 0);";
    }
  } else {
    const std::string action = std::to_string(s.number);
    if (s.text == "TIMER") {
      code = s.e.empty() ? "sub_timer(0, " + action + ", 0);" : "sub_timer(" + as(*s.e[0], int32) + ", " + action + ", 1);";
    } else if (s.text == "KEY") {
      code = "sub_key(" + arg_or(s.e, 0, int32, "0") + ", " + action + ");";
    } else {
      code = "sub_strig(" + arg_or(s.e, 0, int32, "0") + ", " + arg_or(s.e, 1, int32, "0") + ", " + action + ", " +
             args_mask(s.e) + ");";
    }
  }
  checked(s, code, uses_strings_);
}

void emitter::emit_open(const stmt& s) {
  type_ref int32;
  int32.base = base_type::long_;
  type_ref int64;
  int64.base = base_type::integer64;
  std::string code;
  if (s.flag) {
    code = "sub_open_shortform(" + value(*s.e[0]) + ", " + as(*s.e[1], int32) + ", " + value(*s.e[2]) + ", " +
           arg_or(s.e, 3, int64, "0") + ", " + (s.e.size() > 3 ? "1" : "0") + ");";
  } else {
    code = "sub_open(" + value(*s.e[0]) + ", " + std::to_string(s.variant) + ", " + std::to_string(s.number) + ", " +
           s.targets[0].name + ", " + as(*s.e[1], int32) + ", " + arg_or(s.e, 2, int64, "0") + ", " +
           (s.e.size() > 2 ? "1" : "0") + ");";
  }
  checked(s, code, true);
}

void emitter::emit_runtime_call(const stmt& s) {
  type_ref int32;
  int32.base = base_type::long_;
  std::string code;
  if (s.text == "NAME") code = "sub_name(" + value(*s.e[0]) + ", " + value(*s.e[1]) + ");";
  else if (s.text == "LSET") code = "sub_lset(" + place(*s.e[0]) + ", " + value(*s.e[1]) + ");";
  else if (s.text == "RSET") code = "sub_rset(" + place(*s.e[0]) + ", " + value(*s.e[1]) + ");";
  else if (s.text == "DATE$") code = "sub_date(" + value(*s.e[0]) + ");";
  else if (s.text == "TIME$") code = "sub_time(" + value(*s.e[0]) + ");";
  else if (s.text == "DEF SEG") code = "sub_defseg(" + arg_or(s.e, 0, int32, "0") + ", " + (s.e.empty() ? "0" : "1") + ");";
  else if (s.text == "_CONSOLE") code = "sub__console(" + std::to_string(s.number) + ");";
  else if (s.text == "_ASSERT") {
    if (s.e.size() > 1) {
      code = "{ kxs* m; m = " + value(*s.e[1]) + "; sub__assert(" + as(*s.e[0], int32) +
             ", std::string_view(reinterpret_cast<const char*>(m->chars), static_cast<size_t>(m->length)), 1); }";
    } else {
      code = "sub__assert(" + as(*s.e[0], int32) + ", std::string_view(), 0);";
    }
  } else if (const runtime_statement* shaped = s.variant == 1 ? find_shaped_statement(s.text) : nullptr) {
    code = table_call(shaped->params, shaped->call, s.e, s.number) + ";";
  } else if (const runtime_statement* rs = find_statement(s.text)) {
    code = table_call(rs->params, rs->call, s.e) + ";";
  }
  checked(s, code, true);
}

}  // namespace kxc
