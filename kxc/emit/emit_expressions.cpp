// Expressions: values, places (lvalues and string descriptors), calls.
#include <cctype>
#include <cstdint>
#include <string>

#include "kxc/emit/emitter_state.h"
#include "kxc/lex/runtime_names.h"

namespace kxc {

namespace {

std::string int_literal(uint64_t v, const type_ref& t, const std::string& type) {
  // Radix literals keep their bit pattern: &HFFFF is -1 as an INTEGER.
  if (t.base == base_type::integer) return "static_cast<int16_t>(" + std::to_string(static_cast<int16_t>(v)) + ")";
  if (t.base == base_type::long_) return "static_cast<int32_t>(" + std::to_string(static_cast<int32_t>(v)) + ")";
  if (t.base == base_type::integer64) return "static_cast<int64_t>(" + std::to_string(static_cast<int64_t>(v)) + "LL)";
  return "static_cast<" + type + ">(" + std::to_string(v) + "ULL)";
}

bool is_relation(const std::string& op) {
  return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
}

}  // namespace

// The bytes as the inside of a C++ string literal.
std::string emitter::escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32 || c >= 127 || c == '?') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string emitter::string_literal(const std::string& bytes) {
  uses_strings_ = true;
  return "kxc::text(\"" + escaped(bytes) + "\", " + std::to_string(bytes.size()) + ")";
}

std::string emitter::number_literal(const expr& e) {
  const std::string type = ct(e.type);
  if (e.text[0] == '&') {
    const char radix = e.text[1];
    const int base = radix == 'H' ? 16 : radix == 'B' ? 2 : 8;
    uint64_t v = 0;
    for (size_t i = 2; i < e.text.size(); ++i) {
      const char c = e.text[i];
      const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10;
      v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (e.type.is_floating()) return "static_cast<" + type + ">(" + std::to_string(v) + "ULL)";
    return int_literal(v, e.type, type);
  }
  std::string text = e.text;
  for (char& c : text) {
    if (c == 'D') c = 'E';
  }
  if (text[0] == '.') text = "0" + text;
  if (e.type.is_integer()) {
    if (text.find_first_of(".E") != std::string::npos) return "kxc::to<" + type + ">(" + text + "L)";
    // A whole literal of an integer type: checked against the type when it
    // carries a suffix that cannot hold it (32768% is an overflow).
    const std::string digits = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
    if (digits.size() > 19 || (digits.size() == 19 && digits > "9223372036854775807")) {
      return "static_cast<" + type + ">(" + digits + "ULL)";
    }
    return "kxc::fit<" + type + ">(" + digits + "LL)";
  }
  if (text.find_first_of(".E") == std::string::npos) text += ".0";
  if (e.type.base == base_type::single) return text + "f";
  if (e.type.base == base_type::float_) return text + "L";
  return text;
}

std::string emitter::symbol_ref(int index) {
  const symbol& s = p_.symbols[static_cast<size_t>(index)];
  if (s.type.is_string()) uses_strings_ = true;
  if (s.is_param && !s.by_value && !s.array && !s.type.is_string()) return "(*" + s.cpp + ")";
  return s.cpp;
}

int emitter::array_dimensions(int index) const {
  const symbol& s = p_.symbols[static_cast<size_t>(index)];
  return s.dimensions;
}

std::string emitter::array_descriptor(int index) {
  const symbol& s = p_.symbols[static_cast<size_t>(index)];
  if (s.type.is_string()) uses_strings_ = true;
  return s.cpp;
}

std::string emitter::element(const expr& e) {
  const symbol& s = p_.symbols[static_cast<size_t>(e.symbol)];
  const std::string d = array_descriptor(e.symbol);
  std::string offset;
  const size_t dims = e.args.size();
  if (dims == 1) {
    const std::string i = "kxc::index(" + (e.args[0] ? value(*e.args[0]) : std::string("0")) + ")";
    offset = "array_check(static_cast<uint64_t>(" + i + " - " + d + "[4]), static_cast<uint64_t>(" + d + "[5]))";
  } else {
    std::string list;
    for (const expr_ptr& a : e.args) {
      if (!list.empty()) list += ", ";
      list += "kxc::index(" + (a ? value(*a) : std::string("0")) + ")";
    }
    offset = "kxc::offset(" + d + ", " + std::to_string(dims) + ", {" + list + "})";
  }
  const std::string data = d + "[0]";
  if (s.type.is_string() && s.type.fixed_length) {
    uses_strings_ = true;
    return "kxs_new_fixed(reinterpret_cast<uint8_t*>(" + data + ") + " + std::to_string(s.type.fixed_length) + " * " +
           offset + ", " + std::to_string(s.type.fixed_length) + ", 1)";
  }
  return "reinterpret_cast<" + ct(s.type) + "*>(" + data + ")[" + offset + "]";
}

std::string emitter::place(const expr& e) {
  if (e.kind == expr_kind::member) {
    const expr& base = *e.args[0];
    const std::string record = place(base);
    const record_layout& r = p_.records[static_cast<size_t>(base.type.record)];
    const field_layout& f = r.fields[static_cast<size_t>(e.field)];
    if (f.type.is_string()) {
      uses_strings_ = true;
      return "kxs_new_fixed(" + record + "." + safe(f.name) + ", " + std::to_string(f.type.fixed_length) + ", 1)";
    }
    return record + "." + safe(f.name);
  }
  switch (e.meaning) {
    case name_meaning::variable: return symbol_ref(e.symbol);
    case name_meaning::array_element: return element(e);
    case name_meaning::function_result: return "result";
    default: return value(e);
  }
}

std::string emitter::convert(const std::string& code, const type_ref& from, const type_ref& to) {
  if (from.base == to.base || !to.is_numeric() || !from.is_numeric()) return code;
  const std::string t = ct(to);
  if (to.is_floating()) return "static_cast<" + t + ">(" + code + ")";
  // To an integer: floating values round; a wider integer is range-checked.
  return "kxc::to<" + t + ">(" + code + ")";
}

std::string emitter::as(const expr& e, const type_ref& t) { return convert(value(e), e.type, t); }

// Whether e can raise no error, so that storing it or testing it needs no
// look at the pending error: numbers, scalar numeric variables, floating
// +, - and *, relations between such values, and AND, OR and XOR of
// integers. Anything else (a conversion that may overflow, checked integer
// arithmetic, a division, a call) may fail.
bool emitter::cannot_fail(const expr& e) const {
  const auto both = [&] { return cannot_fail(*e.args[0]) && cannot_fail(*e.args[1]); };
  switch (e.kind) {
    case expr_kind::number:
      if (e.type.is_floating()) return true;
      return e.text[0] != '&' && e.text.find_first_of(".ED") == std::string::npos && e.text.size() <= 4;
    case expr_kind::name: return e.meaning == name_meaning::variable && e.type.is_numeric();
    case expr_kind::unary: return (e.text == "-" || e.text == "+") && e.type.is_floating() && cannot_fail(*e.args[0]);
    case expr_kind::binary: {
      const std::string& op = e.text;
      if (op == "+" || op == "-" || op == "*") return e.type.is_floating() && both();
      if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
        return e.args[0]->type.is_numeric() && e.args[1]->type.is_numeric() && both();
      }
      if (op == "AND" || op == "OR" || op == "XOR") {
        return e.type.is_integer() && e.args[0]->type.is_integer() && e.args[1]->type.is_integer() && both();
      }
      return false;
    }
    default: return false;
  }
}

std::string emitter::condition(const expr& e) { return "(" + value(e) + ") != 0"; }

std::string emitter::value(const expr& e) {
  switch (e.kind) {
    case expr_kind::number: return number_literal(e);
    case expr_kind::string: return string_literal(e.text);
    case expr_kind::member: return place(e);
    case expr_kind::unary: {
      const expr& a = *e.args[0];
      const std::string t = ct(e.type);
      if (e.text == "NOT") return "static_cast<" + t + ">(~" + as(a, e.type) + ")";
      if (e.text == "+") return as(a, e.type);
      if (e.type.is_floating()) return "(-" + as(a, e.type) + ")";
      return "kxc::neg<" + t + ">(" + as(a, e.type) + ")";
    }
    case expr_kind::binary: return binary(e);
    case expr_kind::type_name: return "0";  // refused by the checker
    case expr_kind::name: break;
  }
  switch (e.meaning) {
    case name_meaning::variable: return symbol_ref(e.symbol);
    case name_meaning::array_element: return element(e);
    case name_meaning::constant: {
      const symbol& c = p_.symbols[static_cast<size_t>(e.symbol)];
      if (c.type.is_string()) return value(*c.value);
      return c.cpp;
    }
    case name_meaning::function_call: return call_function(e);
    case name_meaning::function_result: return "result";
    case name_meaning::builtin: return e.builtin ? call_builtin(e) : special_builtin(e);
    default: return "0";
  }
}

std::string emitter::binary(const expr& e) {
  const expr& a = *e.args[0];
  const expr& b = *e.args[1];
  const std::string& op = e.text;
  if (a.type.is_string()) {
    uses_strings_ = true;
    if (op == "+") return "kxs_add(" + value(a) + ", " + value(b) + ")";
    static const std::pair<const char*, const char*> relations[] = {{"=", "kxs_equal"},     {"<>", "kxs_notequal"},
                                                                   {"<", "kxs_lessthan"},  {">", "kxs_greaterthan"},
                                                                   {"<=", "kxs_lessorequal"}, {">=", "kxs_greaterorequal"}};
    for (const auto& [spelling, call] : relations) {
      if (op == spelling) return "static_cast<int16_t>(" + std::string(call) + "(" + value(a) + ", " + value(b) + "))";
    }
    return "0";
  }
  if (is_relation(op)) {
    const type_ref w = promoted(a.type, b.type);
    const std::string cop = op == "=" ? "==" : op == "<>" ? "!=" : op;
    return "kxc::truth(" + as(a, w) + " " + cop + " " + as(b, w) + ")";
  }
  const std::string t = ct(e.type);
  const std::string x = as(a, e.type), y = as(b, e.type);
  if (op == "+" || op == "-" || op == "*") {
    if (e.type.is_floating()) return "(" + x + " " + op + " " + y + ")";
    const char* f = op == "+" ? "add" : op == "-" ? "sub" : "mul";
    return "kxc::" + std::string(f) + "<" + t + ">(" + x + ", " + y + ")";
  }
  if (op == "/") return "kxc::divide<" + t + ">(" + x + ", " + y + ")";
  if (op == "^") return "kxc::power<" + t + ">(" + x + ", " + y + ")";
  if (op == "\\") return "kxc::int_divide<" + t + ">(" + x + ", " + y + ")";
  if (op == "MOD") return "kxc::modulo<" + t + ">(" + x + ", " + y + ")";
  if (op == "AND") return "static_cast<" + t + ">(" + x + " & " + y + ")";
  if (op == "OR") return "static_cast<" + t + ">(" + x + " | " + y + ")";
  if (op == "XOR") return "static_cast<" + t + ">(" + x + " ^ " + y + ")";
  if (op == "EQV") return "static_cast<" + t + ">(~(" + x + " ^ " + y + "))";
  if (op == "IMP") return "static_cast<" + t + ">(~" + x + " | " + y + ")";
  return "0";
}

bool emitter::is_plain_place(const expr& e) const {
  if (e.parenthesized) return false;
  if (e.kind == expr_kind::member) return is_plain_place(*e.args[0]);
  return e.kind == expr_kind::name &&
         (e.meaning == name_meaning::variable || e.meaning == name_meaning::array_element);
}

std::string emitter::temporary(const std::string& type, const std::string& init) {
  const std::string name = fresh("arg");
  prelude_.push_back(type + " " + name + "; " + name + " = " + init + ";");
  return name;
}

// A BYREF argument: the variable itself when it is one of the parameter's
// type, else a temporary holding the value (so the caller's literal or
// expression is not changed).
std::string emitter::address_of(const expr& e, const type_ref& param) {
  if (param.is_string()) {
    // The descriptor itself, or a temporary copy of a parenthesised one.
    if (e.parenthesized && is_plain_place(e) == false && e.kind != expr_kind::string &&
        (e.kind == expr_kind::name || e.kind == expr_kind::member)) {
      uses_strings_ = true;
      return "kxc::copy(" + value(e) + ")";
    }
    return value(e);
  }
  if (param.is_record()) return "&" + place(e);
  // A field of a record may lie at any address, so it goes as a copy.
  if (is_plain_place(e) && e.kind != expr_kind::member && e.type.base == param.base) return "&" + place(e);
  return "&" + temporary(ct(param), as(e, param));
}

std::string emitter::procedure_arguments(const std::vector<expr_ptr>& args, int r) {
  const routine_info& info = p_.routines[static_cast<size_t>(r)];
  std::string list;
  for (size_t i = 0; i < args.size() && i < info.params.size(); ++i) {
    if (!list.empty()) list += ", ";
    const symbol& param = p_.symbols[static_cast<size_t>(info.params[i])];
    const expr& a = *args[i];
    if (param.array) {
      list += array_descriptor(a.symbol);
    } else if (param.by_value) {
      list += as(a, param.type);
    } else {
      list += address_of(a, param.type);
    }
  }
  return list;
}

std::string emitter::call_function(const expr& e) {
  const routine_info& info = p_.routines[static_cast<size_t>(e.routine)];
  if (info.result.is_string()) uses_strings_ = true;
  return info.cpp + "(" + procedure_arguments(e.args, e.routine) + ")";
}

// A call from the runtime's table: each argument converted to its letter's
// type, an omitted optional one passed as 0 (or an empty string), {p} the
// mask of the optional ones given.
std::string emitter::table_call(std::string_view params, std::string_view tpl, const std::vector<expr_ptr>& given_args,
                                int mask) {
  std::vector<std::string> args;
  int passed = 0, optional = 0;
  for (size_t i = 0; i < params.size(); ++i) {
    const char c = params[i];
    const bool is_optional = std::islower(static_cast<unsigned char>(c));
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool given = i < given_args.size() && given_args[i];
    if (is_optional) {
      if (given) passed |= 1 << optional;
      ++optional;
    }
    if (!given) {
      args.push_back(u == 'S' ? "kxs_new(0, 1)" : "0");
      continue;
    }
    const expr& a = *given_args[i];
    type_ref t;
    switch (u) {
      case 'S': args.push_back(value(a)); continue;
      case 'N': args.push_back(value(a)); continue;
      case 'A': args.push_back(bytes_of(a)); continue;
      case 'M': args.push_back(mem_pointer(a)); continue;
      case 'T': args.push_back(""); continue;
      case 'V': {
        // Converted to the type that follows (_MEMPUT ... AS type), if one does.
        const bool typed = i + 1 < params.size() && std::toupper(static_cast<unsigned char>(params[i + 1])) == 'T' &&
                           i + 1 < given_args.size() && given_args[i + 1];
        args.push_back(typed ? as(a, given_args[i + 1]->type) : value(a));
        continue;
      }
      case 'C':
        t.base = base_type::integer64;
        args.push_back("static_cast<uint32_t>(" + as(a, t) + ")");
        continue;
      case 'H': t.base = base_type::integer; break;
      case 'I': t.base = base_type::long_; break;
      case 'L': t.base = base_type::integer64; break;
      case 'U': t.base = base_type::ulong; break;
      case 'F': t.base = base_type::single; break;
      case 'E': t.base = base_type::float_; break;
      default: t.base = base_type::double_; break;
    }
    args.push_back(as(a, t));
  }
  std::string call;
  for (size_t i = 0; i < tpl.size(); ++i) {
    if (tpl[i] == '{') {
      const size_t close = tpl.find('}', i);
      const std::string_view key = tpl.substr(i + 1, close - i - 1);
      if (key == "p") call += std::to_string(mask >= 0 ? mask : passed);
      else call += args[static_cast<size_t>(std::stoi(std::string(key)))];
      i = close;
    } else {
      call += tpl[i];
    }
  }
  return call;
}

// The address and length of what GET, PUT and PALETTE USING read or
// write: a variable, a record or one of its fields, a whole array, or an
// array from an element to its end.
std::string emitter::bytes_of(const expr& e) {
  const std::string record = fresh("bytes");
  prelude_.push_back("byte_element_struct " + record + ";");
  const std::string info = ", &" + record + ")";
  if (e.meaning == name_meaning::whole_array || e.meaning == name_meaning::array_element) {
    const symbol& s = p_.symbols[static_cast<size_t>(e.symbol)];
    const std::string d = array_descriptor(e.symbol);
    const std::string dims = s.dimensions > 0 ? std::to_string(s.dimensions) : "kxc::dimensions_of(" + d + ")";
    std::string first = d + "[0]";
    if (e.meaning == name_meaning::array_element) {
      first = s.type.is_string() ? "reinterpret_cast<uint64_t>(" + element(e) + "->chars)"
                                 : "reinterpret_cast<uint64_t>(&" + element(e) + ")";
    }
    return "kxc::array_bytes(" + d + ", " + dims + ", static_cast<uint64_t>(" + first + "), " + element_bytes(s) + info;
  }
  const std::string p = place(e);
  if (e.type.is_string()) return "kxc::string_bytes(" + p + info;
  return "byte_element(reinterpret_cast<uint64_t>(&" + p + "), sizeof(" + p + ")" + info;
}

// A _MEM value's address for the runtime: the variable itself, or a
// temporary holding the value of an expression.
std::string emitter::mem_pointer(const expr& e) {
  if (is_plain_place(e) || e.kind == expr_kind::member || e.meaning == name_meaning::array_element) {
    return "reinterpret_cast<mem_block*>(&" + place(e) + ")";
  }
  return "reinterpret_cast<mem_block*>(&" + temporary("UDT__MEM", value(e)) + ")";
}

// What _MEM(x).TYPE holds: the element's size in bytes, plus 128 for an
// integer, 256 for a floating type, 512 for a fixed-length string, 1024
// when unsigned, 8192 for _OFFSET, 32768 for a TYPE, 65536 for an array.
std::string emitter::mem_type_code(const expr& e) {
  const type_ref& t = e.type;
  const bool array = e.meaning == name_meaning::whole_array || e.meaning == name_meaning::array_element;
  std::string code = t.is_string() ? std::to_string(t.fixed_length) : "sizeof(" + ct(t) + ")";
  int flags = array ? 65536 : 0;
  if (t.is_integer()) flags += 128;
  if (t.is_floating()) flags += 256;
  if (t.is_string()) flags += 512;
  if (t.is_unsigned()) flags += 1024;
  if (t.base == base_type::offset || t.base == base_type::uoffset) flags += 8192;
  if (t.is_record()) flags += 32768;
  return code + ", " + std::to_string(flags);
}

// The lock of the memory a variable or array lives in: the array's own, a
// procedure's (for its local variables, released when it returns), or the
// program's.
std::string emitter::mem_lock_of(const expr& e) {
  const expr* base = &e;
  while (base->kind == expr_kind::member) base = base->args[0].get();
  if (base->symbol < 0) return "kxc::program_lock()";
  const symbol& s = p_.symbols[static_cast<size_t>(base->symbol)];
  if (s.array) {
    const std::string d = array_descriptor(base->symbol);
    const std::string dims = s.dimensions > 0 ? std::to_string(s.dimensions) : "kxc::dimensions_of(" + d + ")";
    return "reinterpret_cast<mem_lock*>(" + d + "[kx::array_lock_word(" + dims + ")])";
  }
  if (!s.global && !s.is_static && !s.is_param && s.owner != 0) return "frame.lock()";
  return "kxc::program_lock()";
}

std::string emitter::call_builtin(const expr& e) {
  const std::string call = table_call(e.builtin->params, e.builtin->call, e.args);
  if (e.type.is_string()) {
    uses_strings_ = true;
    return call;
  }
  return "static_cast<" + ct(e.type) + ">(" + call + ")";
}

std::string emitter::special_builtin(const expr& e) {
  const std::string full = e.text + e.suffix;
  const expr* a = e.args.empty() ? nullptr : e.args[0].get();
  const std::string t = ct(e.type);
  if (full == "ABS") return "kxc::abs_of<" + t + ">(" + as(*a, e.type) + ")";
  if (full == "INT") return "kxc::int_of<" + t + ">(" + as(*a, e.type) + ")";
  if (full == "FIX") return "kxc::fix_of<" + t + ">(" + as(*a, e.type) + ")";
  if (full == "SGN") return "kxc::sgn_of(" + value(*a) + ")";
  if (full == "STR$") {
    uses_strings_ = true;
    type_ref shown = a->type;
    if (shown.base == base_type::bit || shown.base == base_type::offset) shown.base = base_type::integer64;
    if (shown.base == base_type::ubit || shown.base == base_type::uoffset) shown.base = base_type::uinteger64;
    return "kxs_str(" + as(*a, shown) + ")";
  }
  if (full == "CINT" || full == "CLNG" || full == "CSNG" || full == "CDBL" || full == "_ROUND" || full == "_CINT64") {
    if (e.type.is_integer()) return "kxc::to<" + t + ">(" + value(*a) + ")";
    return "static_cast<" + t + ">(" + value(*a) + ")";
  }
  if (full == "LEN") {
    if (a->type.is_string()) {
      uses_strings_ = true;
      return "kxs_len(" + value(*a) + ")";
    }
    if (a->type.is_record() || a->type.is_numeric()) {
      if (a->type.base == base_type::float_) return "static_cast<int32_t>(32)";
      return "static_cast<int32_t>(sizeof(" + ct(a->type) + "))";
    }
    return "0";
  }
  if (full == "_MEM" && e.args.size() == 2) {
    type_ref offset;
    offset.base = base_type::offset;
    return "func__mem_at_offset(" + as(*e.args[0], offset) + ", " + as(*e.args[1], offset) + ")";
  }
  if (full == "_MEM") return "kxc::mem_of(" + bytes_of(*a) + ", " + mem_type_code(*a) + ", " + mem_lock_of(*a) + ")";
  if (full == "_OFFSET") return "static_cast<int64_t>(" + bytes_of(*a) + "->address)";
  if (full == "_MEMGET") {
    type_ref offset;
    offset.base = base_type::offset;
    const std::string block = mem_pointer(*a), at = as(*e.args[1], offset);
    if (e.type.is_string()) {
      uses_strings_ = true;
      return "kxc::mem_read_string(" + block + ", " + at + ", " + std::to_string(e.type.fixed_length) + ")";
    }
    return "kxc::mem_read<" + t + ">(" + block + ", " + at + ")";
  }
  if (full == "LBOUND" || full == "UBOUND") {
    const expr& array = *e.args[0];
    if (array.symbol < 0) return "0";
    const std::string dim = e.args.size() > 1 && e.args[1] ? "kxc::to<int32_t>(" + value(*e.args[1]) + ")" : "1";
    int dims = array_dimensions(array.symbol);
    const std::string count = dims >= 0 ? std::to_string(dims) : "kxc::dimensions_of(" + array_descriptor(array.symbol) + ")";
    return "static_cast<int32_t>(func_" + std::string(full == "LBOUND" ? "lbound" : "ubound") + "(" +
           array_descriptor(array.symbol) + ", " + dim + ", " + count + "))";
  }
  return "0";
}

std::string emitter::type_code(const type_ref& t) {
  switch (t.base) {
    case base_type::string: return "kx::type_code::is_string";
    case base_type::single: return "(32 | kx::type_code::is_floating)";
    case base_type::double_: return "(64 | kx::type_code::is_floating)";
    case base_type::float_: return "(256 | kx::type_code::is_floating)";
    case base_type::byte: return "8";
    case base_type::ubyte: return "(8 | kx::type_code::is_unsigned)";
    case base_type::bit: return "64";
    case base_type::ubit: return "(64 | kx::type_code::is_unsigned)";
    case base_type::integer: return "16";
    case base_type::uinteger: return "(16 | kx::type_code::is_unsigned)";
    case base_type::long_: return "32";
    case base_type::ulong: return "(32 | kx::type_code::is_unsigned)";
    case base_type::integer64: case base_type::offset: return "64";
    case base_type::uinteger64: case base_type::uoffset: return "(64 | kx::type_code::is_unsigned)";
    default: return "0";
  }
}

}  // namespace kxc
