#include "files/file_errors.h"

#include "base/error.h"
#include "files/file_error_codes.h"

namespace kx {

uint32_t data_error_number(int64_t code) {
  return error_for_code(data_code_errors, static_cast<int32_t>(code), data_code_default_error);
}

void raise_data_error(int64_t code) {
  if (code >= 0) return;
  error(data_error_number(code));
}

void raise_open_error(int32_t code) { error(error_for_code(open_code_errors, code, open_code_default_error)); }

}  // namespace kx
