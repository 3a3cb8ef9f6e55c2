#include "files/keyboard_input.h"

#include <string>

#include "base/clock.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "input/inkey.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {
constexpr uint32_t key_poll_ms = 10;
}

namespace kx {

kxs* input_from_keyboard(int32_t count) {
  std::string collected;
  collected.reserve(static_cast<size_t>(count));
  while (static_cast<int32_t>(collected.size()) < count && !stop_program.load()) {
    kxs* key = kxs_inkey();
    if (key->length > 0) collected += static_cast<char>(key->chars[0]);
    kxs_free(key);
    if (kxevent.load()) hooks.statement_check.load()(0);
    Sleep(key_poll_ms);
  }
  kxs* s = kxs_new(static_cast<int32_t>(collected.size()), 1);
  for (size_t i = 0; i < collected.size(); ++i) s->chars[i] = static_cast<uint8_t>(collected[i]);
  return s;
}

}  // namespace kx
