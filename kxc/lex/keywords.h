#pragma once
// The dialect's reserved words: names that are never variables.
#include <string_view>

namespace kxc {

bool is_reserved_word(std::string_view upper_name);

}  // namespace kxc
