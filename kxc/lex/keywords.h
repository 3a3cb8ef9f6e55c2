#pragma once
// The dialect's reserved words: names that are never variables.
#include <cstddef>
#include <string_view>

namespace kxc {

bool is_reserved_word(std::string_view upper_name);

// For listings whose keywords run together: the length of the longest word
// the dialect reserves (a keyword, a statement's or a function's name,
// with its '$' where it has one) that begins text, in any case; 0 when none
// does. "FORI=1TO8" begins with FOR (3), "GOTO100" with GOTO (4),
// "LEFT$(A$,1)" with LEFT$ (5).
size_t reserved_word_at(std::string_view text);

}  // namespace kxc
