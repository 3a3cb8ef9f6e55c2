#include "values/string_release.h"

namespace kx {

void field_link_release(kxs* s) {
  if (kxs_field_link_detach) kxs_field_link_detach(s);
  s->field_link = nullptr;
}

void sweep_temporaries(uint32_t mark) {
  if (mark < 1) mark = 1;  // slot 0 is never a temporary
  while (kxs_tmp_list_nexti > mark) {
    kxs* s = kxs_tmp_list[--kxs_tmp_list_nexti];
    if (!is_free_slot(s)) kxs_free(s);
  }
}

}  // namespace kx
