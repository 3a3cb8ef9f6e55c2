#include "files/string_transfer.h"

#include "values/string_assign.h"
#include "values/string_create.h"

#include <cstring>

namespace kx {

void assign_bytes(kxs* target, const uint8_t* source, int64_t count) {
  // A temporary read-only view over the bytes: assignment copies it into
  // the target's pool and frees the view.
  kxs_set(target, kxs_new_txt_len(source, static_cast<int32_t>(count)));
}

kxs* new_temporary(std::string_view text) {
  kxs* s = kxs_new(static_cast<int32_t>(text.size()), 1);
  if (!text.empty()) std::memcpy(s->chars, text.data(), text.size());
  return s;
}

}  // namespace kx
