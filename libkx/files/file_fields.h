#pragma once
// FIELD: string variables bound to slices of a RANDOM file's record buffer,
// LSET/RSET into them, and GET/PUT of the whole buffer.
#include <cstdint>

struct kxs;

// FIELD #n, w AS s$, ...: field_new(n), then field_add(s$, w) per clause.
// After the first failing clause the remaining ones do nothing.
void field_new(int32_t n);
void field_add(kxs* s, int64_t width);
// After LSET or RSET has updated a fielded s: copies it into the record
// buffer (blank-padded or cut to the field's width). A stale link is dropped.
void lrset_field(kxs* s);
// GET/PUT #n, [rec] with the record buffer.
void field_get(int32_t n, int64_t rec, int32_t rec_given);
void field_put(int32_t n, int64_t rec, int32_t rec_given);

namespace kx {
// The link FIELD attaches to a string (kxs::field_link).
struct field_link {
  int32_t file_number;
  int64_t record_id;  // of the file record at binding time
  int64_t width;
  int64_t offset;  // in the record buffer
};
// Unbinds s from its file (if the link is current) and drops the link.
void field_unbind(kxs* s);
// Copies each fielded string of file number n from the record buffer.
void field_refresh(int32_t n);
}  // namespace kx
