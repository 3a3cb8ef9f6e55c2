#pragma once
// Names and types: resolves every name of the program (variables, arrays,
// constants, procedures, the runtime's functions), gives every expression
// its type by the dialect's rules (suffixes, AS, DEFtype, SINGLE by
// default; mixed arithmetic promoted to the more precise type), matches
// blocks and loops, and finds every jump target. Errors are recorded and
// the check goes on, so that one run reports them all.
#include "kxc/check/checked_program.h"
#include "kxc/source/diagnostics.h"

namespace kxc {

checked_program check_program(program&& ast, diagnostics& diag);

// Type rules shared with the emitter.
type_ref type_of_suffix(const std::string& suffix);
// The type of a binary operation's result, or base_type::none when the
// operands do not go together.
type_ref binary_result(const std::string& op, const type_ref& a, const type_ref& b);
// The type two numeric operands are worked in.
type_ref promoted(const type_ref& a, const type_ref& b);
// The C++ type that holds a value of the type.
std::string cpp_type(const type_ref& t, const std::vector<record_layout>& records);
// The C++ name part of a type: SINGLE, STRING, UDT_NAME ...
std::string type_word(const type_ref& t, const std::vector<record_layout>& records);

}  // namespace kxc
