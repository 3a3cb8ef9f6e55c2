#pragma once
// One statement as the compiler emits it: the call, the temporaries swept,
// then the statement check, repeated while the check asks for it.
#include <cstdint>

#include "base/flags.h"
#include "frame/statement_check.h"
#include "values/string_lists.h"
#include "values/string_release.h"

template <typename Statement>
void statement(uint32_t line, Statement run) {
  do {
    const uint32_t mark = kxs_tmp_list_nexti;
    run();
    kxs_cleanup(mark, 0);
    if (!kxevent) break;
    evnt(line);
  } while (r);
}
