#include "kxc/check/checker.h"

#include <cctype>
#include <optional>
#include <set>

#include "kxc/lex/runtime_names.h"

namespace kxc {

namespace {

// Limits of the dialect, each with its reason.
constexpr int dimensions_max = 60;         // the runtime's descriptors stay small
constexpr int string_locals_max = 256;     // a routine frame frees this many local strings

std::string cpp_safe(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '.') out += "__";
    else out += c;
  }
  return out;
}

class checker {
 public:
  checker(program&& ast, diagnostics& diag) : diag_(diag) { out_.ast = std::move(ast); }

  checked_program run() {
    program& p = out_.ast;
    for (int i = 0; i < 26; ++i) main_defaults_[i] = base_type::single;
    layout_records();
    // DEFtype in the main module applies to the procedures too.
    for (const stmt& s : p.routines[0].body) {
      if (s.kind == stmt_kind::deftype) apply_deftype(s, main_defaults_);
    }
    out_.routines.resize(p.routines.size());
    for (size_t i = 0; i < p.routines.size(); ++i) declare_routine(static_cast<int>(i));
    // The main module's declarations first, so that SHARED and DIM SHARED
    // names are known inside the procedures.
    check_routine(0);
    for (size_t i = 1; i < p.routines.size(); ++i) check_routine(static_cast<int>(i));
    collect_data();
    return std::move(out_);
  }

 private:
  // ---- records ----------------------------------------------------------------

  void layout_records() {
    for (const record_decl& r : out_.ast.records) {
      record_layout l;
      l.name = r.name;
      out_.records.push_back(l);
    }
    for (size_t i = 0; i < out_.ast.records.size(); ++i) {
      std::set<std::string> seen;
      for (const record_field& f : out_.ast.records[i].fields) {
        if (!seen.insert(f.name).second) diag_.error(f.at, "field " + f.name + " defined twice");
        type_ref t = named_type(f.as_type, f.fixed_length.get(), f.at);
        if (t.base == base_type::string && t.fixed_length == 0) {
          diag_.error(f.at, "a field of a TYPE needs a fixed length: STRING * n");
          t.fixed_length = 1;
        }
        if (t.is_record() && t.record >= static_cast<int>(i)) {
          diag_.error(f.at, "a TYPE may hold only TYPEs defined before it");
          t.base = base_type::single;
        }
        out_.records[i].fields.push_back({f.name, t});
      }
    }
    // _MEM: the runtime's memory-block value, under the names programs use.
    record_layout mem;
    mem.name = "_MEM";
    const auto field = [&](const char* name, base_type b) {
      type_ref t;
      t.base = b;
      mem.fields.push_back({name, t});
    };
    field("OFFSET", base_type::offset);
    field("SIZE", base_type::offset);
    field("LOCK_ID", base_type::integer64);
    field("LOCK_OFFSET", base_type::offset);
    field("TYPE", base_type::integer64);
    field("ELEMENTSIZE", base_type::offset);
    field("IMAGE", base_type::long_);
    out_.records.push_back(mem);
  }

  type_ref mem_type() const {
    type_ref t;
    t.base = base_type::record;
    t.record = record_index("_MEM");
    return t;
  }

  int record_index(const std::string& name) const {
    for (size_t i = 0; i < out_.records.size(); ++i) {
      if (out_.records[i].name == name) return static_cast<int>(i);
    }
    return -1;
  }

  // The type after AS.
  type_ref named_type(const std::string& name, const expr* fixed_length, const position& at) {
    type_ref t;
    const bool is_unsigned = name.rfind("_UNSIGNED ", 0) == 0;
    const std::string base = is_unsigned ? name.substr(10) : name;
    if (base == "INTEGER") t.base = is_unsigned ? base_type::uinteger : base_type::integer;
    else if (base == "LONG") t.base = is_unsigned ? base_type::ulong : base_type::long_;
    else if (base == "_INTEGER64") t.base = is_unsigned ? base_type::uinteger64 : base_type::integer64;
    else if (base == "_BYTE") t.base = is_unsigned ? base_type::ubyte : base_type::byte;
    else if (base == "_OFFSET") t.base = is_unsigned ? base_type::uoffset : base_type::offset;
    else if (base == "_BIT") {
      t.base = is_unsigned ? base_type::ubit : base_type::bit;
      if (fixed_length) t.bits = static_cast<int>(constant_integer(*fixed_length, 1));
      if (t.bits < 1 || t.bits > 64) {
        diag_.error(at, "_BIT * n needs n from 1 to 64");
        t.bits = 1;
      }
    } else if (is_unsigned) {
      diag_.error(at, "_UNSIGNED " + base + " is not a type");
      t.base = base_type::ulong;
    } else if (base == "SINGLE") t.base = base_type::single;
    else if (base == "DOUBLE") t.base = base_type::double_;
    else if (base == "_FLOAT") t.base = base_type::float_;
    else if (base == "STRING") {
      t.base = base_type::string;
      if (fixed_length) {
        t.fixed_length = static_cast<int>(constant_integer(*fixed_length, 1));
        if (t.fixed_length < 1 || t.fixed_length > 32767) {
          diag_.error(at, "STRING * n needs n from 1 to 32767");
          t.fixed_length = 1;
        }
      }
    } else if (const int r = record_index(base); r >= 0) {
      t.base = base_type::record;
      t.record = r;
    } else {
      diag_.error(at, "unknown type " + name);
      t.base = base_type::single;
    }
    return t;
  }

  // A whole number the translator must know: a literal or a CONST.
  int64_t constant_integer(const expr& e, int64_t fallback) {
    if (e.kind == expr_kind::number && e.text.find_first_not_of("0123456789") == std::string::npos) {
      return std::stoll(e.text.substr(0, 18));
    }
    if (e.kind == expr_kind::name && !e.has_args) {
      for (const symbol& s : out_.symbols) {
        if (s.constant && s.name == e.text && s.value) return constant_integer(*s.value, fallback);
      }
    }
    if (e.kind == expr_kind::unary && e.text == "-" && e.args[0]) return -constant_integer(*e.args[0], -fallback);
    diag_.error(e.at, "a constant whole number expected");
    return fallback;
  }

  // ---- routines ---------------------------------------------------------------

  void declare_routine(int r) {
    routine& rt = out_.ast.routines[static_cast<size_t>(r)];
    routine_info& info = out_.routines[static_cast<size_t>(r)];
    switch (rt.kind) {
      case routine_kind::main: info.cpp = "KXMAIN"; break;
      case routine_kind::sub: info.cpp = "SUB_" + cpp_safe(rt.name); break;
      case routine_kind::function: info.cpp = "FUNC_" + cpp_safe(rt.name); break;
      case routine_kind::def_fn: info.cpp = "DEF_" + cpp_safe(rt.name); break;
    }
    for (int other = 1; other < r; ++other) {
      const routine& o = out_.ast.routines[static_cast<size_t>(other)];
      if (o.name == rt.name && (o.kind == routine_kind::def_fn) == (rt.kind == routine_kind::def_fn)) {
        diag_.error(rt.at, rt.name + " is defined twice");
      }
    }
    if (rt.kind == routine_kind::function || rt.kind == routine_kind::def_fn) {
      if (!rt.as_type.empty()) info.result = named_type(rt.as_type, nullptr, rt.at);
      else if (!rt.suffix.empty()) info.result = type_of_suffix(rt.suffix);
      else info.result.base = main_defaults_[letter(rt.kind == routine_kind::def_fn ? rt.name.substr(2) : rt.name)];
      if (info.result.is_record()) diag_.error(rt.at, "a FUNCTION cannot return a TYPE");
    }
    if (r == 0) return;
    current_ = r;
    for (int i = 0; i < 26; ++i) routine_defaults_[i] = main_defaults_[i];
    for (const declaration& d : rt.params) {
      symbol s;
      s.name = d.name;
      s.type = declared_type(d);
      s.array = d.array;
      s.dimensions = -1;  // whatever the caller's array has
      s.is_param = true;
      s.by_value = d.by_value;
      s.declared = !d.as_type.empty();
      s.owner = r;
      if (d.by_value && (d.array || s.type.is_string() || s.type.is_record())) {
        diag_.error(d.at, "BYVAL takes numbers only");
        s.by_value = false;
      }
      const int index = add_symbol(std::move(s));
      info.params.push_back(index);
    }
    current_ = 0;
  }

  int letter(const std::string& name) const {
    const char c = name.empty() ? 'A' : name[0];
    return (c >= 'A' && c <= 'Z') ? c - 'A' : 0;
  }

  type_ref declared_type(const declaration& d) {
    if (!d.as_type.empty()) {
      if (!d.suffix.empty()) diag_.error(d.at, "a name with a suffix takes no AS type");
      return named_type(d.as_type, d.fixed_length.get(), d.at);
    }
    if (!d.suffix.empty()) return type_of_suffix(d.suffix);
    type_ref t;
    t.base = defaults()[letter(d.name)];
    return t;
  }

  base_type* defaults() { return current_ == 0 ? main_defaults_ : routine_defaults_; }

  void apply_deftype(const stmt& s, base_type* table) {
    base_type b = base_type::single;
    switch (s.number) {
      case 1: b = base_type::integer; break;
      case 2: b = base_type::long_; break;
      case 3: b = base_type::single; break;
      case 4: b = base_type::double_; break;
      case 5: b = base_type::string; break;
      default: {
        const type_ref t = named_type(s.decls.empty() ? "SINGLE" : s.decls[0].as_type, nullptr, s.at);
        if (t.is_record() || t.fixed_length) diag_.error(s.at, "_DEFINE takes a simple type");
        else b = t.base;
      }
    }
    for (int i = 0; i < 26; ++i) {
      if (s.text[static_cast<size_t>(i)] == 'x') table[i] = b;
    }
  }

  int add_symbol(symbol s) {
    s.owner = current_;
    s.global = current_ == 0 && !s.is_param;
    const std::string word = type_word(s.type, out_.records);
    if (s.constant) s.cpp = "__CONST_" + word + "_" + cpp_safe(s.name);
    else if (s.array) s.cpp = "__ARRAY_" + word + "_" + cpp_safe(s.name);
    else s.cpp = "__" + word + "_" + cpp_safe(s.name);
    out_.symbols.push_back(std::move(s));
    const int index = static_cast<int>(out_.symbols.size()) - 1;
    out_.routines[static_cast<size_t>(current_)].symbols.push_back(index);
    return index;
  }

  // ---- looking names up ---------------------------------------------------------

  bool visible(const symbol& s) const {
    if (s.owner == current_) return true;
    if (s.owner != 0) return false;
    if (s.constant) return true;
    const routine_kind k = out_.ast.routines[static_cast<size_t>(current_)].kind;
    if (k == routine_kind::def_fn) return true;  // DEF FN sees the main module's variables
    return shared_.count(&s - out_.symbols.data()) != 0 ||
           local_shared_.count(&s - out_.symbols.data()) != 0;
  }

  // A variable or array: a declared one of that name (when the reference
  // has no suffix or the suffix agrees), else the one of the suffix's type.
  int find(const std::string& name, const std::string& suffix, bool array) {
    const type_ref by_suffix = suffix.empty() ? type_ref{} : type_of_suffix(suffix);
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
      for (int i = static_cast<int>(out_.symbols.size()) - 1; i >= 0; --i) {
        const symbol& s = out_.symbols[static_cast<size_t>(i)];
        if (s.name != name || s.array != array || s.constant || !visible(s)) continue;
        // Locals first, then the main module's.
        if (pass == 0 && s.owner != current_) continue;
        if (suffix.empty()) {
          if (s.declared || s.type.base == defaults()[letter(name)]) {
            if (s.declared || (!s.type.fixed_length && !s.type.is_record())) {
              found = i;
              break;
            }
          }
        } else if (s.type.base == by_suffix.base && (by_suffix.base != base_type::bit || s.type.bits == by_suffix.bits)) {
          found = i;
          break;
        }
      }
    }
    return found;
  }

  int find_constant(const std::string& name) const {
    for (int i = static_cast<int>(out_.symbols.size()) - 1; i >= 0; --i) {
      const symbol& s = out_.symbols[static_cast<size_t>(i)];
      if (s.constant && s.name == name && (s.owner == current_ || s.owner == 0)) return i;
    }
    return -1;
  }

  int find_routine(const std::string& name, bool functions) const {
    const auto& rs = out_.ast.routines;
    for (size_t i = 1; i < rs.size(); ++i) {
      const bool is_function = rs[i].kind == routine_kind::function || rs[i].kind == routine_kind::def_fn;
      if (rs[i].name == name && is_function == functions) return static_cast<int>(i);
    }
    return -1;
  }

  int implicit_variable(const std::string& name, const std::string& suffix, const position& at, bool array,
                        int dimensions) {
    symbol s;
    s.name = name;
    if (!suffix.empty()) {
      s.type = type_of_suffix(suffix);
    } else {
      s.type.base = defaults()[letter(name)];
    }
    s.array = array;
    s.dimensions = dimensions;
    s.implicit_array = array;
    const int index = add_symbol(std::move(s));
    check_string_locals(at);
    return index;
  }

  void check_string_locals(const position& at) {
    if (current_ == 0) return;
    int strings = 0;
    for (int i : out_.routines[static_cast<size_t>(current_)].symbols) {
      const symbol& s = out_.symbols[static_cast<size_t>(i)];
      if (!s.array && !s.is_param && !s.is_static && s.type.is_string() && !s.type.fixed_length) ++strings;
    }
    if (strings > string_locals_max) diag_.error(at, "too many string variables in one procedure");
  }

  // ---- expressions ----------------------------------------------------------------

  // "a.b.c" is one word to the lexer: a record variable a and its fields,
  // or, when no record variable a exists, a plain name with dots in it.
  void split_dotted(expr& e) {
    if (e.kind != expr_kind::name) return;
    const size_t dot = e.text.find('.');
    if (dot == std::string::npos || dot == 0 || e.text.back() == '.') return;
    const std::string first = e.text.substr(0, dot);
    const int base = find(first, "", e.has_args);
    if (base < 0 || !out_.symbols[static_cast<size_t>(base)].type.is_record()) return;
    // Rebuild as member(member(first, b), c) ...
    std::vector<std::string> parts;
    size_t from = dot + 1;
    while (from <= e.text.size()) {
      const size_t next = e.text.find('.', from);
      parts.push_back(e.text.substr(from, next == std::string::npos ? std::string::npos : next - from));
      if (next == std::string::npos) break;
      from = next + 1;
    }
    expr_ptr inner = std::make_unique<expr>();
    inner->kind = expr_kind::name;
    inner->at = e.at;
    inner->text = first;
    inner->has_args = e.has_args;
    inner->args = std::move(e.args);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      expr_ptr m = std::make_unique<expr>();
      m->kind = expr_kind::member;
      m->at = e.at;
      m->text = parts[i];
      m->args.push_back(std::move(inner));
      inner = std::move(m);
    }
    e.kind = expr_kind::member;
    e.text = parts.back();
    e.has_args = false;
    e.args.clear();
    e.args.push_back(std::move(inner));
  }

  void expression(expr& e) {
    split_dotted(e);
    switch (e.kind) {
      case expr_kind::number: number(e); return;
      case expr_kind::string: e.type.base = base_type::string; return;
      case expr_kind::name: name(e, false); return;
      case expr_kind::member: member(e); return;
      case expr_kind::type_name:
        diag_.error(e.at, "a type name is not a value here");
        e.type.base = base_type::single;
        return;
      case expr_kind::unary: {
        expression(*e.args[0]);
        const type_ref& a = e.args[0]->type;
        if (!a.is_numeric()) {
          mismatch(e, "a number");
          e.type.base = base_type::single;
          return;
        }
        if (e.text == "NOT") {
          e.type = binary_result("AND", a, a);
        } else {
          e.type = a;
          if (a.is_integer() && (a.base == base_type::byte || a.base == base_type::ubyte || a.base == base_type::bit ||
                                 a.base == base_type::ubit))
            e.type.base = base_type::integer;
          if (e.type.is_unsigned() && e.text == "-") e.type = promoted(a, type_ref{base_type::long_});
          e.type.bits = 1;
        }
        return;
      }
      case expr_kind::binary: {
        expression(*e.args[0]);
        expression(*e.args[1]);
        e.type = binary_result(e.text, e.args[0]->type, e.args[1]->type);
        if (e.type.base == base_type::none) {
          diag_.error(e.at, "type mismatch: '" + e.text + "' between " + describe(e.args[0]->type) + " and " +
                                describe(e.args[1]->type));
          e.type.base = e.args[0]->type.is_string() ? base_type::string : base_type::single;
        }
        return;
      }
    }
  }

  static std::string describe(const type_ref& t) {
    if (t.is_string()) return "a string";
    if (t.is_record()) return "a record";
    if (t.is_numeric()) return "a number";
    return "nothing";
  }

  void mismatch(const expr& e, const std::string& wanted) {
    diag_.error(e.at, "type mismatch: " + wanted + " expected, found " + describe(e.type));
  }

  void number(expr& e) {
    if (!e.suffix.empty()) {
      e.type = type_of_suffix(e.suffix);
      if (e.type.is_string()) {
        diag_.error(e.at, "a number cannot have the suffix $");
        e.type.base = base_type::single;
      }
      return;
    }
    if (e.text[0] == '&') {
      const char radix = e.text[1];
      const int bits_per_digit = radix == 'H' ? 4 : radix == 'B' ? 1 : 3;
      size_t digits = e.text.size() - 2;
      const size_t first = e.text.find_first_not_of('0', 2);
      digits = first == std::string::npos ? 0 : e.text.size() - first;
      const size_t bits = digits * static_cast<size_t>(bits_per_digit);
      e.type.base = bits <= 16 ? base_type::integer : bits <= 32 ? base_type::long_ : base_type::integer64;
      if (bits > 64 + (bits_per_digit == 3 ? 2 : 0)) diag_.error(e.at, "number too large");
      return;
    }
    const bool decimal = e.text.find_first_of(".ED") != std::string::npos;
    if (!decimal) {
      const std::string digits = e.text.substr(std::min(e.text.find_first_not_of('0'), e.text.size() - 1));
      if (digits.size() <= 4 || (digits.size() == 5 && digits <= "32767")) e.type.base = base_type::integer;
      else if (digits.size() < 10 || (digits.size() == 10 && digits <= "2147483647")) e.type.base = base_type::long_;
      else e.type.base = base_type::double_;
      return;
    }
    // More than seven significant digits, or a D exponent, make a DOUBLE.
    size_t significant = 0;
    bool started = false;
    for (char c : e.text) {
      if (c == 'E' || c == 'D') break;
      if (c >= '1' && c <= '9') started = true;
      if (started && std::isdigit(static_cast<unsigned char>(c))) ++significant;
    }
    e.type.base = (e.text.find('D') != std::string::npos || significant > 7) ? base_type::double_ : base_type::single;
  }

  // A name as a value (or, with target, as the left side of '=').
  void name(expr& e, bool target) {
    const routine& here = out_.ast.routines[static_cast<size_t>(current_)];
    // The routine's own name on the left of '=': its result.
    if (target && !e.has_args && current_ != 0 &&
        (here.kind == routine_kind::function || here.kind == routine_kind::def_fn) && here.name == e.text) {
      e.meaning = name_meaning::function_result;
      e.type = out_.routines[static_cast<size_t>(current_)].result;
      e.routine = current_;
      return;
    }
    if (e.has_args) {
      if (e.args.empty()) {  // name(): a whole array
        const int a = find(e.text, e.suffix, true);
        if (a >= 0) {
          whole_array(e, a);
          return;
        }
      }
      const int a = find(e.text, e.suffix, true);
      if (a >= 0) {
        array_element(e, a);
        return;
      }
      if (const int fn = find_routine(e.text, true); fn >= 0 && suffix_fits(fn, e.suffix)) {
        function_call(e, fn);
        return;
      }
      const std::string full = e.text + e.suffix;
      if (is_function_name(full)) {
        builtin(e, full);
        return;
      }
      if (special_function(e)) return;
      if (target || !is_function_name(full)) {
        // An array used before any DIM: 0 TO 10 in each dimension.
        if (static_cast<int>(e.args.size()) > dimensions_max) diag_.error(e.at, "too many dimensions");
        const int made = implicit_variable(e.text, e.suffix, e.at, true, static_cast<int>(e.args.size()));
        array_element(e, made);
        return;
      }
    }
    if (const int c = find_constant(e.text); c >= 0 && !target) {
      e.meaning = name_meaning::constant;
      e.symbol = c;
      e.type = out_.symbols[static_cast<size_t>(c)].type;
      return;
    }
    if (const int v = find(e.text, e.suffix, false); v >= 0) {
      e.meaning = name_meaning::variable;
      e.symbol = v;
      e.type = out_.symbols[static_cast<size_t>(v)].type;
      return;
    }
    if (!target) {
      if (const int fn = find_routine(e.text, true); fn >= 0 && suffix_fits(fn, e.suffix)) {
        function_call(e, fn);
        return;
      }
      const std::string full = e.text + e.suffix;
      if (is_function_name(full)) {
        builtin(e, full);
        return;
      }
      if (special_function(e)) return;
    }
    if (e.text.rfind("FN", 0) == 0 && find_routine(e.text, true) < 0 && !target) {
      diag_.error(e.at, "function " + e.text + " is not defined");
    }
    const int made = implicit_variable(e.text, e.suffix, e.at, false, 0);
    e.meaning = name_meaning::variable;
    e.symbol = made;
    e.type = out_.symbols[static_cast<size_t>(made)].type;
  }

  bool suffix_fits(int fn, const std::string& suffix) const {
    return suffix.empty() || type_of_suffix(suffix).base == out_.routines[static_cast<size_t>(fn)].result.base;
  }

  void array_element(expr& e, int a) {
    symbol& s = out_.symbols[static_cast<size_t>(a)];
    e.meaning = name_meaning::array_element;
    e.symbol = a;
    e.type = s.type;
    if (s.dimensions >= 0 && static_cast<int>(e.args.size()) != s.dimensions) {
      diag_.error(e.at, "array " + s.name + " has " + std::to_string(s.dimensions) + " dimension" +
                            (s.dimensions == 1 ? "" : "s"));
    }
    for (expr_ptr& i : e.args) {
      if (!i) {
        diag_.error(e.at, "an index expected");
        continue;
      }
      expression(*i);
      if (!i->type.is_numeric()) mismatch(*i, "a number");
    }
  }

  void function_call(expr& e, int fn) {
    e.meaning = name_meaning::function_call;
    e.routine = fn;
    e.type = out_.routines[static_cast<size_t>(fn)].result;
    arguments(e.args, fn, e.at);
  }

  // Arguments of a SUB or FUNCTION of the program.
  void arguments(std::vector<expr_ptr>& args, int fn, const position& at) {
    const routine_info& info = out_.routines[static_cast<size_t>(fn)];
    const std::string& routine_name = out_.ast.routines[static_cast<size_t>(fn)].name;
    if (args.size() != info.params.size()) {
      diag_.error(at, routine_name + " takes " + std::to_string(info.params.size()) + " argument" +
                          (info.params.size() == 1 ? "" : "s") + ", not " + std::to_string(args.size()));
    }
    for (size_t i = 0; i < args.size(); ++i) {
      if (!args[i]) {
        diag_.error(at, "argument " + std::to_string(i + 1) + " of " + routine_name + " is missing");
        continue;
      }
      expr& a = *args[i];
      // A copy: checking the argument may add symbols, which moves the table.
      std::optional<symbol> param;
      if (i < info.params.size()) param = out_.symbols[static_cast<size_t>(info.params[i])];
      const symbol* p = param ? &*param : nullptr;
      if (p && p->array) {
        if (a.kind == expr_kind::name && a.has_args && a.args.empty()) {
          name(a, false);
          if (a.meaning != name_meaning::whole_array) {
            diag_.error(a.at, "array " + a.text + " is not defined");
          } else if (!(out_.symbols[static_cast<size_t>(a.symbol)].type == p->type)) {
            diag_.error(a.at, "parameter type mismatch: the array's type differs from " + p->name + "()");
          }
        } else {
          diag_.error(a.at, "parameter " + p->name + "() takes a whole array: name()");
        }
        continue;
      }
      expression(a);
      if (!p) continue;
      if (p->type.is_string() != a.type.is_string() || p->type.is_record() != a.type.is_record() ||
          (p->type.is_record() && !(p->type == a.type))) {
        diag_.error(a.at, "parameter type mismatch: " + p->name + " takes " + describe(p->type));
      }
    }
  }

  // A runtime function from the table: the first entry whose arity and
  // argument kinds fit.
  void builtin(expr& e, const std::string& full) {
    for (expr_ptr& a : e.args) {
      if (a) expression(*a);
    }
    const builtin_function* chosen = nullptr;
    for (int k = 0;; ++k) {
      const builtin_function* f = find_function(full, k);
      if (!f) break;
      if (fits(*f, e.args)) {
        chosen = f;
        break;
      }
    }
    if (!chosen) {
      const builtin_function* f = find_function(full, 0);
      diag_.error(e.at, "wrong arguments for " + full + " (" + shape_text(f->params) + ")");
      e.type.base = f->result == 'S' ? base_type::string : base_type::single;
      return;
    }
    e.meaning = name_meaning::builtin;
    e.builtin = chosen;
    e.type = chosen->result == 'M' ? mem_type() : result_type(chosen->result, e.args);
  }

  static std::string shape_text(std::string_view params) {
    std::string out;
    for (char c : params) {
      if (!out.empty()) out += ", ";
      const bool optional = std::islower(static_cast<unsigned char>(c));
      const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      out += optional ? "[" : "";
      out += u == 'S' ? "string" : "number";
      out += optional ? "]" : "";
    }
    return out;
  }

  static bool fits(const builtin_function& f, const std::vector<expr_ptr>& args) {
    size_t required = 0;
    for (char c : f.params) required += std::isupper(static_cast<unsigned char>(c)) ? 1 : 0;
    if (args.size() < required || args.size() > f.params.size()) return false;
    for (size_t i = 0; i < args.size(); ++i) {
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(f.params[i])));
      if (!args[i]) {
        if (std::isupper(static_cast<unsigned char>(f.params[i]))) return false;
        continue;
      }
      if (c == 'M') {
        if (!args[i]->type.is_record()) return false;
        continue;
      }
      if (c == 'V') {
        if (args[i]->type.is_record()) return false;
        continue;
      }
      if ((c == 'S') != args[i]->type.is_string()) return false;
      if (c != 'S' && !args[i]->type.is_numeric()) return false;
    }
    return true;
  }

  static type_ref result_type(char r, const std::vector<expr_ptr>& args) {
    type_ref t;
    switch (r) {
      case 'S': t.base = base_type::string; break;
      case 'H': t.base = base_type::integer; break;
      case 'I': t.base = base_type::long_; break;
      case 'L': t.base = base_type::integer64; break;
      case 'U': t.base = base_type::ulong; break;
      case 'F': t.base = base_type::single; break;
      case 'D': t.base = base_type::double_; break;
      case 'E': t.base = base_type::float_; break;
      case 'B':  // SIN and kin: SINGLE unless the argument is more precise
        t.base = base_type::single;
        if (!args.empty() && args[0]) {
          const type_ref& a = args[0]->type;
          if (a.base == base_type::float_) t.base = base_type::float_;
          else if (a.base == base_type::double_ ||
              (a.is_integer() && (a.base == base_type::integer64 || a.base == base_type::uinteger64)))
            t.base = base_type::double_;
        }
        break;
      default: t.base = base_type::single;
    }
    return t;
  }

  // Functions whose types follow their argument, and those that take an
  // array: handled by the emitter by name.
  bool special_function(expr& e) {
    const std::string full = e.text + e.suffix;
    static const std::set<std::string> same_type = {"ABS", "INT", "FIX", "_ROUND"};
    if (same_type.count(full) || full == "SGN" || full == "STR$" || full == "CINT" || full == "CLNG" ||
        full == "CSNG" || full == "CDBL" || full == "_CINT64" || full == "LEN") {
      if (e.args.size() != 1 || !e.args[0]) {
        diag_.error(e.at, full + " takes one argument");
        e.type.base = full == "STR$" ? base_type::string : base_type::single;
        return true;
      }
      expr& a = *e.args[0];
      if (full == "LEN") {
        if (a.kind == expr_kind::name || a.kind == expr_kind::member) name_or_member(a);
        else expression(a);
        e.type.base = base_type::long_;
      } else {
        expression(a);
        if (!a.type.is_numeric()) mismatch(a, "a number");
        if (same_type.count(full)) {
          e.type = a.type;
          if (full == "_ROUND") e.type.base = base_type::integer64;
          if (e.type.base == base_type::bit || e.type.base == base_type::byte) e.type.base = base_type::integer;
        } else if (full == "SGN") {
          e.type.base = base_type::integer;
        } else if (full == "STR$") {
          e.type.base = base_type::string;
        } else if (full == "CINT") {
          e.type.base = base_type::integer;
        } else if (full == "CLNG") {
          e.type.base = base_type::long_;
        } else if (full == "_CINT64") {
          e.type.base = base_type::integer64;
        } else if (full == "CSNG") {
          e.type.base = base_type::single;
        } else {
          e.type.base = base_type::double_;
        }
      }
      e.meaning = name_meaning::builtin;
      return true;
    }
    if (full == "VARPTR" || full == "VARSEG" || full == "SADD") {
      diag_.error(e.at, full + " is not supported: the program's variables do not live in the emulated memory "
                             "(use _MEM, or VARPTR$ for DRAW)");
      e.meaning = name_meaning::builtin;
      e.type.base = base_type::long_;
      return true;
    }
    if (full == "_MEM" || full == "_OFFSET") {
      // _MEM(variable or array) and _OFFSET(variable); _MEM(offset, size).
      e.meaning = name_meaning::builtin;
      e.type = full == "_MEM" ? mem_type() : type_ref{base_type::offset};
      if (full == "_MEM" && e.args.size() == 2 && e.args[0] && e.args[1]) {
        numeric(e.args[0].get());
        numeric(e.args[1].get());
      } else if (e.args.size() == 1 && e.args[0]) {
        bytes_argument(*e.args[0]);
      } else {
        diag_.error(e.at, full + " takes a variable or array" + std::string(full == "_MEM" ? ", or an offset and a size" : ""));
      }
      return true;
    }
    if (full == "_MEMGET") {
      // _MEMGET(block, offset, type): a value of that type read from the block.
      e.meaning = name_meaning::builtin;
      e.type.base = base_type::long_;
      if (e.args.size() != 3 || !e.args[0] || !e.args[1] || !e.args[2] || e.args[2]->kind != expr_kind::type_name) {
        diag_.error(e.at, "_MEMGET takes a _MEM value, an offset and a type");
        return true;
      }
      expression(*e.args[0]);
      if (!(e.args[0]->type == mem_type())) mismatch(*e.args[0], "a _MEM value");
      numeric(e.args[1].get());
      expr& t = *e.args[2];
      t.type = named_type(t.text, t.args.empty() ? nullptr : t.args[0].get(), t.at);
      e.type = t.type;
      if (t.type.is_string() && !t.type.fixed_length) diag_.error(t.at, "_MEMGET reads a type of fixed size");
      return true;
    }
    if (full == "LBOUND" || full == "UBOUND") {
      if (e.args.empty() || e.args.size() > 2 || !e.args[0] || e.args[0]->kind != expr_kind::name) {
        diag_.error(e.at, full + " takes an array and an optional dimension");
      } else {
        expr& a = *e.args[0];
        const int s = find(a.text, a.suffix, true);
        if (s < 0) {
          diag_.error(a.at, "array " + a.text + " is not defined");
        } else {
          whole_array(a, s);
        }
        if (e.args.size() == 2 && e.args[1]) expression(*e.args[1]);
      }
      e.meaning = name_meaning::builtin;
      e.type.base = base_type::long_;
      return true;
    }
    return false;
  }

  void name_or_member(expr& e) {
    if (e.kind == expr_kind::member) member(e);
    else name(e, false);
  }

  void member(expr& e) {
    expr& base = *e.args[0];
    split_dotted(base);
    if (base.kind == expr_kind::member) member(base);
    else name(base, false);
    if (!base.type.is_record()) {
      diag_.error(e.at, "." + e.text + ": " + (base.kind == expr_kind::name ? base.text : "this") + " is not a record");
      e.type.base = base_type::single;
      return;
    }
    const record_layout& r = out_.records[static_cast<size_t>(base.type.record)];
    for (size_t i = 0; i < r.fields.size(); ++i) {
      if (r.fields[i].name == e.text) {
        e.field = static_cast<int>(i);
        e.type = r.fields[i].type;
        return;
      }
    }
    diag_.error(e.at, "TYPE " + r.name + " has no field " + e.text);
    e.type.base = base_type::single;
  }

  // A variable as a target of '=', READ, INPUT, SWAP, FOR.
  void target(expr& e) {
    split_dotted(e);
    if (e.kind == expr_kind::member) {
      member(e);
      return;
    }
    if (e.kind != expr_kind::name) {
      diag_.error(e.at, "a variable expected");
      return;
    }
    name(e, true);
    if (e.meaning == name_meaning::constant) diag_.error(e.at, "a constant cannot be assigned");
    if (e.meaning == name_meaning::builtin || e.meaning == name_meaning::function_call) {
      diag_.error(e.at, e.text + e.suffix + " is a function, not a variable");
    }
  }

  void condition(expr& e) {
    expression(e);
    if (!e.type.is_numeric()) mismatch(e, "a number (a condition)");
  }

  void numeric(expr* e) {
    if (!e) return;
    expression(*e);
    if (!e->type.is_numeric()) mismatch(*e, "a number");
  }

  void string_value(expr* e) {
    if (!e) return;
    expression(*e);
    if (!e->type.is_string()) mismatch(*e, "a string");
  }

  void assignable(const expr& target_expr, const expr& value) {
    const type_ref& t = target_expr.type;
    const type_ref& v = value.type;
    if (t.is_string() != v.is_string() || t.is_record() != v.is_record() || (t.is_record() && !(t == v))) {
      diag_.error(value.at, "type mismatch: " + describe(t) + " cannot take " + describe(v));
    }
  }

  // ---- statements -----------------------------------------------------------------

  struct open_block {
    stmt_kind kind;
    size_t index;
    std::string variable;  // FOR
  };

  void check_routine(int r) {
    current_ = r;
    local_shared_.clear();
    for (int i = 0; i < 26; ++i) routine_defaults_[i] = main_defaults_[i];
    routine& rt = out_.ast.routines[static_cast<size_t>(r)];
    routine_info& info = out_.routines[static_cast<size_t>(r)];
    // Labels first: a GOTO may jump forward.
    for (size_t i = 0; i < rt.body.size(); ++i) {
      const stmt& s = rt.body[i];
      if (s.kind != stmt_kind::label) continue;
      if (s.number >= 0) out_.line_numbers = true;
      if (!info.labels.emplace(s.text, static_cast<int>(i)).second) {
        diag_.error(s.at, (s.number >= 0 ? "line " : "label ") + s.text + " is defined twice");
      }
    }
    if (rt.value) {  // DEF FN on one line
      expression(*rt.value);
      assignable_result(info.result, *rt.value);
    }
    for (stmt& s : rt.body) statement(s, r);
    match_blocks(r);
    current_ = 0;
  }

  void assignable_result(const type_ref& result, const expr& value) {
    if (result.is_string() != value.type.is_string()) {
      diag_.error(value.at, "type mismatch: the function returns " + describe(result));
    }
  }

  void check_target(const target_ref& t) {
    const routine_info& info = out_.routines[static_cast<size_t>(current_)];
    if (!info.labels.count(t.name)) {
      const bool digits = !t.name.empty() && std::isdigit(static_cast<unsigned char>(t.name[0]));
      diag_.error(t.at, (digits ? "line " : "label ") + t.name + " is not defined" +
                            (current_ ? " in this procedure" : ""));
    }
  }

  int main_entry(std::vector<std::string>& list, const target_ref& t) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i] == t.name) return static_cast<int>(i) + 1;
    }
    list.push_back(t.name);
    return static_cast<int>(list.size());
  }

  void statement(stmt& s, int r) {
    switch (s.kind) {
      case stmt_kind::let: {
        target(*s.e[0]);
        expression(*s.e[1]);
        assignable(*s.e[0], *s.e[1]);
        break;
      }
      case stmt_kind::print:
      case stmt_kind::lprint:
        if (s.file) numeric(s.file.get());
        if (s.using_format) string_value(s.using_format.get());
        for (auto& item : s.items) {
          if (!item.value) continue;
          expr& v = *item.value;
          if (v.kind == expr_kind::name && v.has_args && (v.text == "TAB" || v.text == "SPC") && v.suffix.empty()) {
            if (v.args.size() != 1 || !v.args[0]) diag_.error(v.at, v.text + " takes one argument");
            else numeric(v.args[0].get());
            v.meaning = name_meaning::builtin;
            v.type.base = base_type::none;
            continue;
          }
          expression(v);
          if (v.type.is_record()) diag_.error(v.at, "a record cannot be printed");
        }
        break;
      case stmt_kind::write_file:
        if (s.file) numeric(s.file.get());
        for (auto& v : s.e) {
          expression(*v);
          if (v->type.is_record()) diag_.error(v->at, "a record cannot be written");
        }
        break;
      case stmt_kind::input:
        if (s.file) numeric(s.file.get());
        for (auto& v : s.e) {
          target(*v);
          if (v->type.is_record()) diag_.error(v->at, "a record cannot be read by INPUT");
          if (s.flag && !v->type.is_string()) diag_.error(v->at, "LINE INPUT reads into a string variable");
        }
        break;
      case stmt_kind::if_line:
        condition(*s.e[0]);
        for (stmt& t : s.then_part) statement(t, r);
        for (stmt& t : s.else_part) statement(t, r);
        break;
      case stmt_kind::if_block:
      case stmt_kind::elseif:
      case stmt_kind::while_loop:
        condition(*s.e[0]);
        break;
      case stmt_kind::do_loop:
      case stmt_kind::loop:
        if (!s.e.empty()) condition(*s.e[0]);
        break;
      case stmt_kind::for_loop: {
        target(*s.e[0]);
        if (!s.e[0]->type.is_numeric() || s.e[0]->kind != expr_kind::name ||
            s.e[0]->meaning != name_meaning::variable) {
          diag_.error(s.e[0]->at, "FOR needs a numeric variable");
        }
        for (size_t i = 1; i < s.e.size(); ++i) numeric(s.e[i].get());
        s.number = out_.routines[static_cast<size_t>(r)].for_count++;
        break;
      }
      case stmt_kind::next:
        for (auto& v : s.e) target(*v);
        break;
      case stmt_kind::select_case:
        expression(*s.e[0]);
        if (s.e[0]->type.is_record()) diag_.error(s.e[0]->at, "SELECT CASE of a record");
        break;
      case stmt_kind::case_clause:
        for (case_item& c : s.cases) {
          expression(*c.low);
          if (c.high) expression(*c.high);
        }
        break;
      case stmt_kind::goto_line:
      case stmt_kind::gosub:
        check_target(s.targets[0]);
        break;
      case stmt_kind::return_gosub:
      case stmt_kind::restore:
        if (!s.targets.empty() && s.kind == stmt_kind::return_gosub) check_target(s.targets[0]);
        if (!s.targets.empty() && s.kind == stmt_kind::restore) restore_targets_.push_back(s.targets[0]);
        break;
      case stmt_kind::on_goto:
        numeric(s.e[0].get());
        for (const target_ref& t : s.targets) check_target(t);
        break;
      case stmt_kind::end_program:
      case stmt_kind::system_exit:
        for (auto& v : s.e) numeric(v.get());
        break;
      case stmt_kind::dim: dim(s); break;
      case stmt_kind::erase:
        for (auto& v : s.e) {
          if (v->kind != expr_kind::name || v->has_args) {
            diag_.error(v->at, "ERASE takes array names");
            continue;
          }
          const int a = find(v->text, v->suffix, true);
          if (a < 0) {
            diag_.error(v->at, "array " + v->text + " is not defined");
            continue;
          }
          whole_array(*v, a);
        }
        break;
      case stmt_kind::const_decl: {
        expression(*s.e[0]);
        symbol c;
        c.name = s.decls[0].name;
        c.constant = true;
        c.value = s.e[0].get();
        c.type = s.decls[0].suffix.empty() ? s.e[0]->type : type_of_suffix(s.decls[0].suffix);
        if (c.type.is_string() != s.e[0]->type.is_string()) diag_.error(s.at, "type mismatch in CONST");
        if (find_constant(c.name) >= 0 &&
            out_.symbols[static_cast<size_t>(find_constant(c.name))].owner == current_) {
          diag_.error(s.decls[0].at, "constant " + c.name + " is defined twice");
        }
        s.number = add_symbol(std::move(c));
        break;
      }
      case stmt_kind::deftype:
        if (current_ != 0) apply_deftype(s, routine_defaults_);
        break;
      case stmt_kind::read:
        for (auto& v : s.e) {
          target(*v);
          if (v->type.is_record()) diag_.error(v->at, "READ into a record");
        }
        break;
      case stmt_kind::swap:
        target(*s.e[0]);
        target(*s.e[1]);
        if (!(s.e[0]->type.base == s.e[1]->type.base && s.e[0]->type.record == s.e[1]->type.record)) {
          diag_.error(s.e[1]->at, "SWAP needs two variables of one type");
        }
        break;
      case stmt_kind::call: {
        const int fn = find_routine(s.text, false);
        if (fn < 0) {
          if (find_routine(s.text, true) >= 0) diag_.error(s.at, s.text + " is a FUNCTION; CALL takes a SUB");
          else diag_.error(s.at, "unknown statement or SUB " + s.text);
          for (auto& a : s.e) {
            if (a) expression(*a);
          }
          break;
        }
        s.jump = fn;
        arguments(s.e, fn, s.at);
        break;
      }
      case stmt_kind::on_error:
        if (!s.targets.empty()) {
          if (current_ != 0) {
            diag_.error(s.at, "ON ERROR GOTO in a procedure: its handler must be in the main module");
            break;
          }
          check_target(s.targets[0]);
          s.number = main_entry(out_.handlers, s.targets[0]);
        }
        break;
      case stmt_kind::resume:
        if (!s.targets.empty()) {
          if (current_ != 0) diag_.error(s.at, "RESUME with a target belongs in the main module's handler");
          else check_target(s.targets[0]);
          s.number = main_entry(out_.resume_labels, s.targets[0]);
        }
        break;
      case stmt_kind::error_stmt: numeric(s.e[0].get()); break;
      case stmt_kind::on_trap:
        for (auto& v : s.e) numeric(v.get());
        if (const int sub = find_routine(s.targets[0].name, false); sub >= 0 &&
            out_.routines[static_cast<size_t>(sub)].params.size() <= 1 &&
            !out_.routines[static_cast<size_t>(current_)].labels.count(s.targets[0].name)) {
          s.jump = sub;  // a SUB as the handler
          break;
        }
        if (current_ != 0) {
          diag_.error(s.at, "ON " + s.text + " GOSUB in a procedure: its handler must be in the main module");
          break;
        }
        check_target(s.targets[0]);
        s.number = main_entry(out_.trap_labels, s.targets[0]);
        break;
      case stmt_kind::trap_switch:
        for (auto& v : s.e) numeric(v.get());
        break;
      case stmt_kind::open_file:
        if (s.flag) {
          string_value(s.e[0].get());
          numeric(s.e[1].get());
          string_value(s.e[2].get());
          if (s.e.size() > 3) numeric(s.e[3].get());
        } else {
          string_value(s.e[0].get());
          for (size_t i = 1; i < s.e.size(); ++i) numeric(s.e[i].get());
        }
        break;
      case stmt_kind::close_file:
        for (auto& v : s.e) numeric(v.get());
        break;
      case stmt_kind::randomize:
        for (auto& v : s.e) numeric(v.get());
        break;
      case stmt_kind::mid_assign:
        target(*s.e[0]);
        if (!s.e[0]->type.is_string()) mismatch(*s.e[0], "a string variable");
        numeric(s.e[1].get());
        numeric(s.e[2].get());
        string_value(s.e[3].get());
        break;
      case stmt_kind::sleep:
      case stmt_kind::screen_stmt:
      case stmt_kind::color_stmt:
      case stmt_kind::locate:
      case stmt_kind::cls:
      case stmt_kind::width:
      case stmt_kind::view_print:
        for (auto& v : s.e) numeric(v.get());
        break;
      case stmt_kind::field_stmt:
        numeric(s.file.get());
        for (size_t i = 0; i + 1 < s.e.size(); i += 2) {
          numeric(s.e[i].get());
          target(*s.e[i + 1]);
          if (!s.e[i + 1]->type.is_string() || s.e[i + 1]->type.fixed_length) {
            diag_.error(s.e[i + 1]->at, "FIELD takes variable-length string variables");
          }
        }
        break;
      case stmt_kind::runtime_call: runtime_call(s); break;
      case stmt_kind::option_base:
        if (current_ != 0) diag_.error(s.at, "OPTION BASE belongs in the main module");
        option_base_ = s.number;
        out_.option_base = s.number;
        break;
      case stmt_kind::nothing:
        if (s.text == "$DYNAMIC") dynamic_ = true;
        if (s.text == "$STATIC") dynamic_ = false;
        break;
      default: break;
    }
  }

  void runtime_call(stmt& s) {
    if (s.text == "NAME") {
      string_value(s.e[0].get());
      string_value(s.e[1].get());
      return;
    }
    if (s.text == "LSET" || s.text == "RSET") {
      target(*s.e[0]);
      if (!s.e[0]->type.is_string()) mismatch(*s.e[0], "a string variable");
      string_value(s.e[1].get());
      return;
    }
    if (s.text == "DATE$" || s.text == "TIME$") {
      string_value(s.e[0].get());
      return;
    }
    if (s.text == "_ASSERT") {
      numeric(s.e[0].get());
      if (s.e.size() > 1) string_value(s.e[1].get());
      return;
    }
    if (s.text == "DEF SEG") {
      for (auto& v : s.e) numeric(v.get());
      return;
    }
    if (s.text == "_CONSOLE") return;
    if (s.variant == 1) {
      shaped_call(s);
      return;
    }
    const runtime_statement* rs = find_statement(s.text);
    if (!rs) return;
    arguments(s, *rs);
  }

  // A statement of irregular syntax: some take a different entry point by
  // the type of an argument.
  void shaped_call(stmt& s) {
    if ((s.text == "PAINT") && s.e[2]) {
      expression(*s.e[2]);
      if (s.e[2]->type.is_string()) s.text = "PAINT$";
    }
    if ((s.text == "GET#" || s.text == "PUT#") && s.e[2]) {
      bytes_argument(*s.e[2]);
      if (s.e[2]->type.is_string() && !s.e[2]->type.fixed_length && s.e[2]->meaning != name_meaning::whole_array) {
        s.text = s.text == "GET#" ? "GET$#" : "PUT$#";
      }
    }
    if (s.text == "PALETTE USING") {
      bytes_argument(*s.e[0]);
      const base_type b = s.e[0]->type.base;
      if (s.e[0]->meaning != name_meaning::array_element && s.e[0]->meaning != name_meaning::whole_array) {
        diag_.error(s.e[0]->at, "PALETTE USING takes an array");
      } else if (b != base_type::integer && b != base_type::long_) {
        diag_.error(s.e[0]->at, "PALETTE USING takes an INTEGER or LONG array");
      }
      expr_ptr bits = std::make_unique<expr>();
      bits->kind = expr_kind::number;
      bits->at = s.e[0]->at;
      bits->text = b == base_type::integer ? "16" : "32";
      s.e.push_back(std::move(bits));
    }
    if (s.text == "ABSOLUTE") {
      // The routine's arguments are variables, copied into the data segment
      // and back; the last argument is the routine's offset.
      if (s.e.empty()) {
        diag_.error(s.at, "CALL ABSOLUTE needs the routine's offset");
        return;
      }
      for (size_t i = 0; i + 1 < s.e.size(); ++i) {
        expr& a = *s.e[i];
        bytes_argument(a);
        const bool place = a.meaning == name_meaning::variable || a.meaning == name_meaning::array_element ||
                           a.kind == expr_kind::member;
        if (!place || a.type.is_record() || (a.type.is_string() && !a.type.fixed_length)) {
          diag_.error(a.at, "CALL ABSOLUTE passes numeric variables, elements or fields");
        }
      }
      numeric(s.e.back().get());
      return;
    }
    if (s.text == "RUN") {
      if (!s.e.empty()) string_value(s.e[0].get());
      return;
    }
    const runtime_statement* rs = find_shaped_statement(s.text);
    if (!rs) return;
    arguments(s, *rs);
  }

  // e names array a as a whole (a procedure's argument, LBOUND, ERASE, GET).
  void whole_array(expr& e, int a) const {
    e.meaning = name_meaning::whole_array;
    e.symbol = a;
    e.type = out_.symbols[static_cast<size_t>(a)].type;
  }

  // A variable, record, field or array whose bytes a statement reads or
  // writes; an array's name alone stands for the whole array.
  void bytes_argument(expr& e) {
    if (e.meaning != name_meaning::unresolved) return;
    if (e.kind == expr_kind::name && !e.has_args && find(e.text, e.suffix, false) < 0) {
      const int a = find(e.text, e.suffix, true);
      if (a >= 0) {
        whole_array(e, a);
        return;
      }
    }
    target(e);
  }

  void arguments(stmt& s, const runtime_statement& rs_ref) {
    const runtime_statement* rs = &rs_ref;
    size_t required = 0;
    for (char c : rs->params) required += std::isupper(static_cast<unsigned char>(c)) ? 1 : 0;
    if (s.e.size() < required || s.e.size() > rs->params.size()) {
      diag_.error(s.at, s.text + " takes " + shape_text(rs->params));
      return;
    }
    for (size_t i = 0; i < s.e.size(); ++i) {
      if (!s.e[i]) {
        if (std::isupper(static_cast<unsigned char>(rs->params[i]))) diag_.error(s.at, s.text + " needs argument " + std::to_string(i + 1));
        continue;
      }
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rs->params[i])));
      if (letter == 'M') {
        expression(*s.e[i]);
        if (!(s.e[i]->type == mem_type())) mismatch(*s.e[i], "a _MEM value");
      } else if (letter == 'T') {
        expr& t = *s.e[i];
        t.type = named_type(t.text, t.args.empty() ? nullptr : t.args[0].get(), t.at);
        if (!t.type.is_numeric() && !(t.type.is_string() && t.type.fixed_length)) diag_.error(t.at, "a type of fixed size expected");
      } else if (letter == 'V') {
        expression(*s.e[i]);
        if (s.e[i]->type.is_record()) mismatch(*s.e[i], "a number or a string");
      } else if (letter == 'A') {
        bytes_argument(*s.e[i]);
        if (s.e[i]->type.is_string() && !s.e[i]->type.fixed_length) {
          diag_.error(s.e[i]->at, s.text.substr(0, 3) + " takes a variable of fixed size here");
        }
      } else if (s.e[i]->meaning != name_meaning::unresolved || s.e[i]->type.base != base_type::none) {
        // Already typed (PAINT's fill): only the kind is checked.
        if ((letter == 'S') != s.e[i]->type.is_string()) mismatch(*s.e[i], letter == 'S' ? "a string" : "a number");
      } else if (letter == 'S') {
        string_value(s.e[i].get());
      } else {
        numeric(s.e[i].get());
      }
    }
  }

  void dim(stmt& s) {
    const bool shared_here = s.text == "SHARED";
    const bool is_static = s.text == "STATIC";
    const bool redim = s.text == "REDIM";
    if (shared_here && current_ == 0) diag_.error(s.at, "SHARED belongs in a procedure; use DIM SHARED");
    if (s.flag2 && current_ != 0 && !shared_here) diag_.error(s.at, "DIM SHARED belongs in the main module");
    for (declaration& d : s.decls) {
      for (auto& b : d.bounds) {
        numeric(b.first.get());
        numeric(b.second.get());
      }
      const type_ref t = declared_type(d);
      if (shared_here) {
        // SHARED x inside a procedure: the main module's x.
        const int saved = current_;
        current_ = 0;
        int found = find(d.name, d.suffix, d.array);
        if (found < 0) {
          symbol v;
          v.name = d.name;
          v.type = t;
          v.array = d.array;
          v.dimensions = d.array ? -1 : 0;
          v.declared = !d.as_type.empty();
          found = add_symbol(std::move(v));
        }
        current_ = saved;
        local_shared_.insert(found);
        d.by_value = false;
        continue;
      }
      int existing = find_own(d.name, t, d.array);
      if (existing >= 0 && !redim) {
        symbol& e = out_.symbols[static_cast<size_t>(existing)];
        if (!(d.array && e.implicit_array)) {
          diag_.error(d.at, (d.array ? "array " : "variable ") + d.name + " is defined twice");
        }
      }
      if (existing < 0) {
        symbol v;
        v.name = d.name;
        v.type = t;
        v.array = d.array;
        v.dimensions = d.array ? static_cast<int>(d.bounds.size()) : 0;
        v.declared = !d.as_type.empty();
        v.is_static = is_static;
        existing = add_symbol(std::move(v));
        check_string_locals(d.at);
      }
      symbol& v = out_.symbols[static_cast<size_t>(existing)];
      if (d.array) {
        if (static_cast<int>(d.bounds.size()) > dimensions_max) diag_.error(d.at, "too many dimensions");
        if (v.dimensions >= 0 && !d.bounds.empty() && v.dimensions != static_cast<int>(d.bounds.size()) &&
            !v.implicit_array) {
          diag_.error(d.at, "array " + d.name + " has " + std::to_string(v.dimensions) + " dimensions");
        }
        if (!d.bounds.empty()) v.dimensions = static_cast<int>(d.bounds.size());
        v.implicit_array = false;
        bool constant_bounds = true;
        for (auto& b : d.bounds) {
          if ((b.first && !is_literal(*b.first)) || !is_literal(*b.second)) constant_bounds = false;
        }
        if (redim || dynamic_ || !constant_bounds || current_ != 0) v.dynamic = true;
      }
      if (s.flag2 && current_ == 0) shared_.insert(existing);
      s.jump_targets.push_back(existing);
    }
  }

  // Bounds the translator knows: literals and constants, so the array is
  // static.
  bool is_literal(const expr& e) const {
    if (e.kind == expr_kind::number) return true;
    if (e.kind == expr_kind::name && e.meaning == name_meaning::constant) return true;
    if ((e.kind == expr_kind::unary || e.kind == expr_kind::binary) && !e.args.empty()) {
      for (const expr_ptr& a : e.args) {
        if (!a || !is_literal(*a)) return false;
      }
      return e.kind == expr_kind::unary || e.text == "+" || e.text == "-" || e.text == "*";
    }
    return false;
  }

  int find_own(const std::string& name, const type_ref& t, bool array) const {
    for (int i : out_.routines[static_cast<size_t>(current_)].symbols) {
      const symbol& s = out_.symbols[static_cast<size_t>(i)];
      if (s.name == name && s.array == array && !s.constant && s.type.base == t.base) return i;
    }
    return -1;
  }

  // ---- blocks -----------------------------------------------------------------------

  // Matches IF/ELSEIF/ELSE/END IF, DO/LOOP, WHILE/WEND, SELECT/CASE/END SELECT
  // and FOR/NEXT. A NEXT closes the innermost open FOR of its variable; a
  // NEXT inside a one-line IF continues that FOR without closing it, and a
  // NEXT whose FOR was closed already goes back to the latest FOR of its
  // variable, as interpreters let old listings do.
  void match_blocks(int r) {
    stmt_list& body = out_.ast.routines[static_cast<size_t>(r)].body;
    std::vector<open_block> open;
    std::vector<std::pair<std::string, size_t>> closed_fors;
    auto fail_open = [&](const open_block& b, const std::string& what) {
      diag_.error(body[b.index].at, what);
    };
    for (size_t i = 0; i < body.size(); ++i) {
      stmt& s = body[i];
      auto top_is = [&](stmt_kind k) { return !open.empty() && open.back().kind == k; };
      switch (s.kind) {
        case stmt_kind::if_block: open.push_back({s.kind, i, {}}); break;
        case stmt_kind::elseif:
        case stmt_kind::else_block:
          if (!top_is(stmt_kind::if_block)) {
            diag_.error(s.at, std::string(s.kind == stmt_kind::elseif ? "ELSEIF" : "ELSE") + " without IF");
            break;
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump_targets.push_back(static_cast<int>(i));
          break;
        case stmt_kind::end_if:
          if (!top_is(stmt_kind::if_block)) {
            diag_.error(s.at, "END IF without IF");
            break;
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump_targets.push_back(static_cast<int>(i));
          open.pop_back();
          break;
        case stmt_kind::do_loop:
        case stmt_kind::while_loop:
        case stmt_kind::select_case:
          open.push_back({s.kind, i, {}});
          break;
        case stmt_kind::loop:
          if (!top_is(stmt_kind::do_loop)) {
            diag_.error(s.at, "LOOP without DO");
            break;
          }
          if (!body[open.back().index].e.empty() && !s.e.empty()) {
            diag_.error(s.at, "a DO loop tests at one end only");
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump = static_cast<int>(i);
          open.pop_back();
          break;
        case stmt_kind::wend:
          if (!top_is(stmt_kind::while_loop)) {
            diag_.error(s.at, "WEND without WHILE");
            break;
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump = static_cast<int>(i);
          open.pop_back();
          break;
        case stmt_kind::case_clause:
          if (!top_is(stmt_kind::select_case)) {
            diag_.error(s.at, "CASE without SELECT CASE");
            break;
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump_targets.push_back(static_cast<int>(i));
          break;
        case stmt_kind::end_select:
          if (!top_is(stmt_kind::select_case)) {
            diag_.error(s.at, "END SELECT without SELECT CASE");
            break;
          }
          s.jump = static_cast<int>(open.back().index);
          body[open.back().index].jump = static_cast<int>(i);
          open.pop_back();
          break;
        case stmt_kind::for_loop:
          open.push_back({s.kind, i, s.e[0]->text + s.e[0]->suffix + "#" + std::to_string(s.e[0]->symbol)});
          break;
        case stmt_kind::next:
          next_statement(s, i, open, closed_fors, body, false);
          break;
        case stmt_kind::if_line:
          for (stmt_list* part : {&s.then_part, &s.else_part}) {
            for (stmt& t : *part) {
              if (t.kind == stmt_kind::next) next_statement(t, i, open, closed_fors, body, true);
              if (t.kind == stmt_kind::exit_block) exit_target(t, open, body);
            }
          }
          break;
        case stmt_kind::exit_block: exit_target(s, open, body); break;
        default: break;
      }
    }
    for (const open_block& b : open) {
      switch (b.kind) {
        case stmt_kind::if_block: fail_open(b, "IF without END IF"); break;
        case stmt_kind::do_loop: fail_open(b, "DO without LOOP"); break;
        case stmt_kind::while_loop: fail_open(b, "WHILE without WEND"); break;
        case stmt_kind::select_case: fail_open(b, "SELECT CASE without END SELECT"); break;
        case stmt_kind::for_loop:
          if (body[b.index].jump < 0) fail_open(b, "FOR without NEXT");
          break;
        default: break;
      }
    }
  }

  static std::string for_key(const expr& v) { return v.text + v.suffix + "#" + std::to_string(v.symbol); }

  void next_statement(stmt& s, size_t at, std::vector<open_block>& open,
                      std::vector<std::pair<std::string, size_t>>& closed, stmt_list& body, bool conditional) {
    // NEXT a, b closes a, then b. Without a name: the innermost FOR.
    const size_t count = s.e.empty() ? 1 : s.e.size();
    for (size_t k = 0; k < count; ++k) {
      int matched = -1;
      const std::string key = s.e.empty() ? std::string() : for_key(*s.e[k]);
      for (int j = static_cast<int>(open.size()) - 1; j >= 0; --j) {
        const open_block& b = open[static_cast<size_t>(j)];
        if (b.kind != stmt_kind::for_loop) {
          if (key.empty()) break;
          continue;
        }
        if (key.empty() || b.variable == key) {
          matched = j;
          break;
        }
      }
      size_t for_index = 0;
      if (matched >= 0) {
        for_index = open[static_cast<size_t>(matched)].index;
        if (!conditional) {
          // Inner FORs left open are closed with it.
          for (size_t j = static_cast<size_t>(matched); j < open.size(); ++j) {
            if (open[j].kind == stmt_kind::for_loop) closed.emplace_back(open[j].variable, open[j].index);
          }
          bool blocks_between = false;
          for (size_t j = static_cast<size_t>(matched) + 1; j < open.size(); ++j) {
            if (open[j].kind != stmt_kind::for_loop) blocks_between = true;
          }
          if (blocks_between) {
            diag_.error(s.at, "NEXT inside a block that its FOR does not contain");
            return;
          }
          open.resize(static_cast<size_t>(matched));
        }
      } else {
        bool found = false;
        for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
          if (key.empty() || it->first == key) {
            for_index = it->second;
            found = true;
            break;
          }
        }
        if (!found) {
          diag_.error(s.e.empty() ? s.at : s.e[k]->at, "NEXT without FOR");
          return;
        }
      }
      s.jump_targets.push_back(static_cast<int>(for_index));
      // The loop ends after its last NEXT: after this variable's step.
      body[for_index].jump = static_cast<int>(at);
      body[for_index].variant = static_cast<int>(k);
    }
  }

  void exit_target(stmt& s, const std::vector<open_block>& open, stmt_list& body) {
    const std::string& what = s.text;
    if (what == "SUB" || what == "FUNCTION" || what == "DEF") {
      const routine_kind k = out_.ast.routines[static_cast<size_t>(current_)].kind;
      if ((what == "SUB" && k != routine_kind::sub) || (what == "FUNCTION" && k != routine_kind::function) ||
          (what == "DEF" && k != routine_kind::def_fn)) {
        diag_.error(s.at, "EXIT " + what + " outside a " + what);
      }
      return;
    }
    const stmt_kind wanted = what == "FOR" ? stmt_kind::for_loop : what == "DO" ? stmt_kind::do_loop : stmt_kind::while_loop;
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
      if (it->kind == wanted) {
        s.jump = static_cast<int>(it->index);
        return;
      }
    }
    diag_.error(s.at, "EXIT " + what + " outside a " + what + " loop");
    static_cast<void>(body);
  }

  // ---- DATA ---------------------------------------------------------------------------

  // The items of one DATA statement as READ takes them: blanks around an
  // item go, a quoted item keeps its marks, items are joined by commas.
  static std::string compact_data(const std::string& raw) {
    std::string out;
    size_t i = 0;
    for (;;) {
      while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
      std::string item;
      if (i < raw.size() && raw[i] == '"') {
        const size_t close = raw.find('"', i + 1);
        const size_t end = close == std::string::npos ? raw.size() : close + 1;
        item = raw.substr(i, end - i);
        if (close == std::string::npos) item += '"';
        i = end;
        while (i < raw.size() && raw[i] != ',') ++i;
      } else {
        const size_t comma = std::min(raw.find(',', i), raw.size());
        item = raw.substr(i, comma - i);
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
        i = comma;
      }
      out += item;
      if (i >= raw.size()) break;
      out += ',';
      ++i;
    }
    return out;
  }

  void collect_data() {
    // Every DATA statement of the program in order, wherever it stands.
    std::map<std::string, size_t> label_at_data;
    for (size_t r = 0; r < out_.ast.routines.size(); ++r) {
      std::vector<std::string> pending_labels;
      for (const stmt& s : out_.ast.routines[r].body) {
        if (s.kind == stmt_kind::label && r == 0) pending_labels.push_back(s.text);
        if (s.kind != stmt_kind::data) continue;
        if (!out_.data.empty()) out_.data += ',';
        for (const std::string& l : pending_labels) out_.data_offsets.emplace(l, static_cast<int64_t>(out_.data.size()));
        pending_labels.clear();
        out_.data += compact_data(s.text);
      }
      for (const std::string& l : pending_labels) {
        out_.data_offsets.emplace(l, static_cast<int64_t>(out_.data.size()));
      }
    }
    // A RESTORE to a line without DATA goes to the first DATA after it.
    for (const target_ref& t : restore_targets_) {
      if (!out_.routines[0].labels.count(t.name)) diag_.error(t.at, "RESTORE target " + t.name + " is not defined");
    }
  }

  diagnostics& diag_;
  checked_program out_;
  int current_ = 0;
  base_type main_defaults_[26];
  base_type routine_defaults_[26];
  std::set<int64_t> shared_;        // DIM SHARED symbols of the main module
  std::set<int64_t> local_shared_;  // SHARED in the current procedure
  std::vector<target_ref> restore_targets_;
  int option_base_ = 0;
  bool dynamic_ = false;

 public:
  int option_base() const { return option_base_; }
};

}  // namespace

checked_program check_program(program&& ast, diagnostics& diag) { return checker(std::move(ast), diag).run(); }

}  // namespace kxc
