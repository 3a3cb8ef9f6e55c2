#pragma once
// Names as the system takes them: backslashes become slashes and nothing
// else changes. A name holding a zero byte has no system form (the system
// would read only its first part, which names some other file).
#include <optional>
#include <string>

struct kxs;

namespace kx {
std::optional<std::string> system_path(const kxs* name);
}  // namespace kx
