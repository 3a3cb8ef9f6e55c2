// The dialect's types: suffixes, names after AS, the promotion of mixed
// operands, and the C++ types that hold them.
#include "kxc/check/checker.h"

namespace kxc {

type_ref type_of_suffix(const std::string& suffix) {
  type_ref t;
  if (suffix == "%") t.base = base_type::integer;
  else if (suffix == "&") t.base = base_type::long_;
  else if (suffix == "!") t.base = base_type::single;
  else if (suffix == "#") t.base = base_type::double_;
  else if (suffix == "$") t.base = base_type::string;
  else if (suffix == "%%") t.base = base_type::byte;
  else if (suffix == "~%%") t.base = base_type::ubyte;
  else if (suffix == "~%") t.base = base_type::uinteger;
  else if (suffix == "~&") t.base = base_type::ulong;
  else if (suffix == "&&") t.base = base_type::integer64;
  else if (suffix == "~&&") t.base = base_type::uinteger64;
  else if (suffix == "##") t.base = base_type::float_;
  else if (suffix == "%&") t.base = base_type::offset;
  else if (suffix == "~%&") t.base = base_type::uoffset;
  else if (!suffix.empty() && suffix[0] == '`') {
    t.base = base_type::bit;
    t.bits = suffix.size() > 1 ? std::stoi(suffix.substr(1)) : 1;
  } else if (suffix.rfind("~`", 0) == 0) {
    t.base = base_type::ubit;
    t.bits = suffix.size() > 2 ? std::stoi(suffix.substr(2)) : 1;
  }
  return t;
}

namespace {

int integer_bytes(base_type b) {
  switch (b) {
    case base_type::bit: case base_type::ubit: case base_type::byte: case base_type::ubyte: return 1;
    case base_type::integer: case base_type::uinteger: return 2;
    case base_type::long_: case base_type::ulong: return 4;
    default: return 8;
  }
}

}  // namespace

type_ref promoted(const type_ref& a, const type_ref& b) {
  type_ref t;
  if (!a.is_numeric() || !b.is_numeric()) return t;
  if (a.is_floating() || b.is_floating()) {
    // The more precise floating type; a 64-bit integer needs a DOUBLE.
    base_type f = base_type::single;
    for (const type_ref* x : {&a, &b}) {
      base_type c = x->is_floating() ? x->base : integer_bytes(x->base) == 8 ? base_type::double_ : base_type::single;
      if (c > f) f = c;
    }
    t.base = f;
    return t;
  }
  const int wa = integer_bytes(a.base), wb = integer_bytes(b.base);
  const int w = std::max(wa, wb);
  const bool both_unsigned = a.is_unsigned() && b.is_unsigned();
  const bool wider_unsigned = (wa > wb ? a.is_unsigned() : wb > wa ? b.is_unsigned() : both_unsigned);
  switch (w) {
    case 1: t.base = wider_unsigned ? base_type::ubyte : base_type::byte; break;
    case 2: t.base = wider_unsigned ? base_type::uinteger : base_type::integer; break;
    case 4: t.base = wider_unsigned ? base_type::ulong : base_type::long_; break;
    default: t.base = wider_unsigned ? base_type::uinteger64 : base_type::integer64; break;
  }
  // Single-byte and bit operands are worked as INTEGER, as the dialect does.
  if (w == 1) t.base = base_type::integer;
  return t;
}

type_ref binary_result(const std::string& op, const type_ref& a, const type_ref& b) {
  type_ref t;
  const bool strings = a.is_string() && b.is_string();
  const bool numbers = a.is_numeric() && b.is_numeric();
  if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
    if (strings || numbers) t.base = base_type::integer;
    return t;
  }
  if (op == "+" && strings) {
    t.base = base_type::string;
    return t;
  }
  if (!numbers) return t;
  if (op == "+" || op == "-" || op == "*") return promoted(a, b);
  if (op == "/" || op == "^") {
    const type_ref p = promoted(a, b);
    t.base = p.base == base_type::float_ ? base_type::float_
             : (p.base == base_type::double_ || a.base == base_type::double_ || b.base == base_type::double_ ||
                (p.is_integer() && integer_bytes(p.base) == 8))
                 ? base_type::double_
                 : base_type::single;
    return t;
  }
  // \ MOD and the logical operators work on integers: floating operands are
  // rounded to LONG (or _INTEGER64 beside a 64-bit operand).
  auto as_integer = [](const type_ref& x) {
    type_ref r = x;
    if (x.is_floating()) r.base = base_type::long_;
    return r;
  };
  return promoted(as_integer(a), as_integer(b));
}

std::string type_word(const type_ref& t, const std::vector<record_layout>& records) {
  switch (t.base) {
    case base_type::bit: return "BIT" + std::to_string(t.bits);
    case base_type::ubit: return "UBIT" + std::to_string(t.bits);
    case base_type::byte: return "BYTE";
    case base_type::ubyte: return "UBYTE";
    case base_type::integer: return "INTEGER";
    case base_type::uinteger: return "UINTEGER";
    case base_type::long_: return "LONG";
    case base_type::ulong: return "ULONG";
    case base_type::integer64: return "INTEGER64";
    case base_type::uinteger64: return "UINTEGER64";
    case base_type::offset: return "OFFSET";
    case base_type::uoffset: return "UOFFSET";
    case base_type::single: return "SINGLE";
    case base_type::double_: return "DOUBLE";
    case base_type::float_: return "FLOAT";
    case base_type::string: return "STRING";
    case base_type::record:
      return "UDT_" + (t.record >= 0 && t.record < static_cast<int>(records.size())
                           ? records[static_cast<size_t>(t.record)].name
                           : std::string("?"));
    default: return "NONE";
  }
}

std::string cpp_type(const type_ref& t, const std::vector<record_layout>& records) {
  switch (t.base) {
    case base_type::bit: return "int64_t";
    case base_type::ubit: return "uint64_t";
    case base_type::byte: return "int8_t";
    case base_type::ubyte: return "uint8_t";
    case base_type::integer: return "int16_t";
    case base_type::uinteger: return "uint16_t";
    case base_type::long_: return "int32_t";
    case base_type::ulong: return "uint32_t";
    case base_type::integer64: return "int64_t";
    case base_type::uinteger64: return "uint64_t";
    case base_type::offset: return "int64_t";
    case base_type::uoffset: return "uint64_t";
    case base_type::single: return "float";
    case base_type::double_: return "double";
    case base_type::float_: return "long double";
    case base_type::string: return "kxs*";
    case base_type::record: return type_word(t, records);
    default: return "void";
  }
}

}  // namespace kxc
