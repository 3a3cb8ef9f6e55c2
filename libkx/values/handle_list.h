#pragma once
// Handle tables: fixed-size records addressed by 1-based 64-bit indexes that
// never move once allocated. Each record is followed by an index word that
// holds the record's own index while it is in use and 0 when it is free.
// Released indexes are reused last-released first.
//
// A thread-safe list serialises list_add on add_lock and list_remove (and
// the reuse of released indexes) on remove_lock, in that order when both are
// taken. list_get takes no lock: records never move, and replaced index
// tables stay allocated until the list is destroyed.
#include <atomic>
#include <cstdint>

#include "values/mutex.h"

struct list {
  int64_t structure_size;
  int64_t record_stride;  // structure_size rounded up to 8, plus the index word
  uint8_t* current_block;
  int64_t block_used;
  int64_t block_capacity;
  int64_t* free_stack;  // used from position 1
  int64_t* free_stack_previous;
  std::atomic<int64_t> free_count;
  int64_t free_capacity;
  uint8_t* blocks[64];  // from position 1
  int64_t block_count;
  std::atomic<uint8_t**> index_table;  // index -> record
  uint8_t** index_table_previous;  // the table replaced last; all replaced tables stay until list_destroy
  std::atomic<int64_t> last_index;
  int64_t index_capacity;
  MUTEX* add_lock;
  MUTEX* remove_lock;
};

list* list_new(int64_t structure_size);
list* list_new_threadsafe(int64_t structure_size);
// Index of a zero-filled record; the first index of a list is 1.
int64_t list_add(list* L);
// -1 when the record was in use and is now released, else 0.
int32_t list_remove(list* L, int64_t index);
// The record, or null for an index that is not in use.
void* list_get(list* L, int64_t index);
int64_t list_get_index(list* L, void* record);
void list_destroy(list* L);
