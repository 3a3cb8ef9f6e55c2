#pragma once
// The optional log file "log.txt" in the working directory: created (and
// truncated) by the first call, then kept open. Nothing is added between
// entries.
#include <cstdint>
#include <string_view>

void log_event(std::string_view text);
void log_event(int64_t number);
