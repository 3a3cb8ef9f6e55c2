#include "files/file_fields.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "base/process_exit.h"
#include "files/file_errors.h"
#include "files/file_handles.h"
#include "files/file_records.h"
#include "files/string_transfer.h"
#include "values/string_descriptor.h"

namespace {

// The FIELD statement in progress.
struct field_statement {
  bool failed = true;
  int32_t file_number = 0;
  int64_t total = 0;
  int64_t limit = 0;
};
field_statement current;

// Exit statuses for a field list that no longer matches its file.
constexpr int field_list_bad_number = 7701;
constexpr int field_list_not_open = 7702;
constexpr int field_list_not_random = 7703;
constexpr int field_list_missing_string = 7704;

kx::field_link* link_of(kxs* s) { return static_cast<kx::field_link*>(s->field_link); }

// The record that link points at, or null when the link is stale.
gfs_file_struct* linked_record(const kx::field_link& link) {
  gfs_file_struct* record = kx::file_by_number(link.file_number);
  if (!record || record->file_type != file_type_random || record->record_id != link.record_id) return nullptr;
  return record;
}

gfs_file_struct* random_file(int32_t n) {
  gfs_file_struct* record = kx::file_by_number(n);
  if (!record) {
    error(err::bad_file_name_or_number);
    return nullptr;
  }
  if (record->file_type != file_type_random) {
    error(err::bad_file_mode);
    return nullptr;
  }
  return record;
}

}  // namespace

namespace kx {

void field_unbind(kxs* s) {
  field_link* link = link_of(s);
  if (!link) return;
  if (gfs_file_struct* record = linked_record(*link)) {
    auto& list = record->field_list;
    const auto found = std::find(list.begin(), list.end(), s);
    if (found != list.end()) list.erase(found);
  }
  delete link;
  s->field_link = nullptr;
}

void field_refresh(int32_t n) {
  if (n < 0) kx_exit_process(field_list_bad_number);
  gfs_file_struct* record = file_by_number(n);
  if (!record) kx_exit_process(field_list_not_open);
  if (record->file_type != file_type_random) kx_exit_process(field_list_not_random);
  // Assignment may not change the list, but copy it: the strings are
  // written while it is walked.
  const std::vector<kxs*> strings = record->field_list;
  for (kxs* s : strings) {
    if (!s || !s->field_link) kx_exit_process(field_list_missing_string);
    const field_link& link = *link_of(s);
    assign_bytes(s, record->record_buffer.get() + link.offset, link.width);
  }
}

}  // namespace kx

void field_new(int32_t n) {
  current.failed = true;
  if (new_error) return;
  gfs_file_struct* record = random_file(n);
  if (!record) return;
  current = field_statement{false, n, 0, record->record_length};
}

void field_add(kxs* s, int64_t width) {
  if (current.failed || new_error) return;
  current.failed = true;
  if (width < 0) {
    error(err::illegal_function_call);
    return;
  }
  if (current.total + width > current.limit) {
    error(err::field_overflow);
    return;
  }
  gfs_file_struct* record = random_file(current.file_number);
  if (!record) return;
  kx::field_unbind(s);
  s->field_link = new kx::field_link{current.file_number, record->record_id, width, current.total};
  record->field_list.push_back(s);
  kx::field_refresh(current.file_number);
  current.total += width;
  current.failed = false;
}

void lrset_field(kxs* s) {
  kx::field_link* link = link_of(s);
  if (!link) return;
  gfs_file_struct* record = linked_record(*link);
  if (!record) {
    delete link;
    s->field_link = nullptr;
    return;
  }
  uint8_t* slot = record->record_buffer.get() + link->offset;
  const int64_t have = std::min<int64_t>(s->length, link->width);
  std::memcpy(slot, s->chars, static_cast<size_t>(have));
  std::memset(slot + have, ' ', static_cast<size_t>(link->width - have));
  kx::field_refresh(link->file_number);
}

namespace {

enum class direction { get, put };

void buffer_transfer(int32_t n, int64_t rec, int32_t rec_given, direction way) {
  if (new_error) return;
  const int32_t h = kx::handle_of_number(n);
  if (h < 0) {
    error(err::bad_file_name_or_number);
    return;
  }
  gfs_file_struct& record = gfs_file[static_cast<size_t>(h)];
  if (record.file_type != file_type_random) {
    error(err::bad_file_mode);
    return;
  }
  if (way == direction::get ? !record.can_read : !record.can_write) {
    error(err::path_file_access_error);
    return;
  }
  int64_t start = -1;
  if (rec_given) {
    start = kx::record_position(record, rec);
    if (start < 0) return;
  }
  uint8_t* buffer = record.record_buffer.get();
  const int32_t result = way == direction::get ? gfs_read(h, start, buffer, record.record_length)
                                               : gfs_write(h, start, buffer, record.record_length);
  if (result != gfs_ok && !(way == direction::get && result == gfs_short_read)) {
    kx::raise_data_error(result);
    return;
  }
  if (way == direction::get) kx::field_refresh(n);
}

}  // namespace

void field_get(int32_t n, int64_t rec, int32_t rec_given) { buffer_transfer(n, rec, rec_given, direction::get); }
void field_put(int32_t n, int64_t rec, int32_t rec_given) { buffer_transfer(n, rec, rec_given, direction::put); }
