#include "values/handle_list.h"

#include "base/message_box.h"
#include "base/process_exit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Placeholders keep every pointer valid before the first growth.
constexpr size_t placeholder_bytes = 8;
constexpr int64_t max_blocks = 64;

std::atomic_ref<int64_t> index_word(const list* L, uint8_t* record) {
  return std::atomic_ref<int64_t>(*reinterpret_cast<int64_t*>(record + L->record_stride - 8));
}

// A list that cannot get memory cannot continue: report and end, as the
// other exhausted-memory paths do. The text is made without the heap, which
// has just refused a block.
[[noreturn]] void list_out_of_memory(int64_t record_stride) {
  char text[96];
  std::snprintf(text, sizeof text, "list_add: failed to allocate new buffer, structure size: %lld",
                static_cast<long long>(record_stride));
  alert(std::string_view(text));
  kx_exit_process(kx::critical_error_status);
}

[[noreturn]] void list_out_of_memory(const list* L) { list_out_of_memory(L->record_stride); }

void* checked_calloc(const list* L, size_t count, size_t size) {
  void* p = std::calloc(count, size);
  if (!p) list_out_of_memory(L);
  return p;
}

// Makes a table used from position 1 (the index table or the free stack)
// twice as large plus one, with the old entries copied.
template <class T>
T* doubled_table(const list* L, const T* current, int64_t& capacity) {
  T* grown = static_cast<T*>(checked_calloc(L, static_cast<size_t>(capacity * 2 + 2), sizeof(T)));
  std::memcpy(grown, current, static_cast<size_t>(capacity + 1) * sizeof(T));
  capacity = capacity * 2 + 1;
  return grown;
}

// The free stack is only used under remove_lock: the stack replaced last
// time is released now.
void grow_free_stack(list* L) {
  int64_t* grown = doubled_table(L, L->free_stack, L->free_capacity);
  std::free(L->free_stack_previous);
  L->free_stack_previous = L->free_stack;
  L->free_stack = grown;
}

// list_get reads the index table without a lock and may be preempted while
// holding a table pointer across any number of growths, so replaced tables
// are never released before list_destroy. Each table keeps the one it
// replaced in its unused slot 0; together they cost less than the current
// table again.
uint8_t** grow_index_table(list* L, uint8_t** current) {
  uint8_t** grown = doubled_table(L, current, L->index_capacity);
  grown[0] = reinterpret_cast<uint8_t*>(current);
  L->index_table_previous = current;
  return grown;
}

void new_block(list* L) {
  if (L->block_count + 1 >= max_blocks) list_out_of_memory(L);
  const int64_t records = L->block_capacity * 2 + 2;  // slot 0 is never used
  auto* block = static_cast<uint8_t*>(checked_calloc(L, static_cast<size_t>(records), static_cast<size_t>(L->record_stride)));
  L->blocks[++L->block_count] = block;
  L->current_block = block;
  L->block_capacity = L->block_capacity * 2 + 1;
  L->block_used = 0;
}

}  // namespace

list* list_new(int64_t structure_size) {
  const int64_t record_stride = ((structure_size + 7) & ~int64_t{7}) + 8;
  auto* L = new (std::nothrow) list{};
  if (!L) list_out_of_memory(record_stride);
  L->structure_size = structure_size;
  L->record_stride = record_stride;
  L->current_block = static_cast<uint8_t*>(checked_calloc(L, 1, placeholder_bytes));
  L->blocks[1] = L->current_block;
  L->block_count = 1;
  L->free_stack = static_cast<int64_t*>(checked_calloc(L, 1, sizeof(int64_t)));
  L->index_table.store(static_cast<uint8_t**>(checked_calloc(L, 1, sizeof(uint8_t*))));
  return L;
}

list* list_new_threadsafe(int64_t structure_size) {
  list* L = list_new(structure_size);
  L->add_lock = new_mutex();
  L->remove_lock = new_mutex();
  // A thread-safe list without its locks would race: report it as the list's
  // own exhausted memory.
  if (!L->add_lock || !L->remove_lock) list_out_of_memory(L);
  return L;
}

int64_t list_add(list* L) {
  kx::mutex_guard adding(L->add_lock);
  if (L->free_count.load(std::memory_order_acquire) > 0) {
    // Only list_add takes from the stack, and adds are serialised, so the
    // count seen above can only have grown meanwhile.
    kx::mutex_guard removing(L->remove_lock);
    const int64_t index = L->free_stack[L->free_count.load(std::memory_order_relaxed)];
    L->free_count.fetch_sub(1, std::memory_order_relaxed);
    uint8_t* record = L->index_table.load(std::memory_order_relaxed)[index];
    std::memset(record, 0, static_cast<size_t>(L->structure_size));
    index_word(L, record).store(index, std::memory_order_release);
    return index;
  }

  if (L->block_used >= L->block_capacity) new_block(L);
  const int64_t index = L->last_index.load(std::memory_order_relaxed) + 1;
  uint8_t* record = L->current_block + ++L->block_used * L->record_stride;
  index_word(L, record).store(index, std::memory_order_relaxed);
  uint8_t** table = L->index_table.load(std::memory_order_relaxed);
  if (index > L->index_capacity) {
    table = grow_index_table(L, table);
    L->index_table.store(table, std::memory_order_release);
  }
  table[index] = record;
  // Publishing the new last index makes the table entry and record visible.
  L->last_index.store(index, std::memory_order_release);
  return index;
}

int32_t list_remove(list* L, int64_t index) {
  kx::mutex_guard removing(L->remove_lock);
  if (index < 1 || index > L->last_index.load(std::memory_order_acquire)) return 0;
  uint8_t* record = L->index_table.load(std::memory_order_acquire)[index];
  auto word = index_word(L, record);
  if (word.load(std::memory_order_relaxed) == 0) return 0;
  const int64_t count = L->free_count.load(std::memory_order_relaxed) + 1;
  if (count > L->free_capacity) grow_free_stack(L);
  L->free_stack[count] = index;
  word.store(0, std::memory_order_release);
  L->free_count.store(count, std::memory_order_release);
  return -1;
}

void* list_get(list* L, int64_t index) {
  if (index <= 0 || index > L->last_index.load(std::memory_order_acquire)) return nullptr;
  uint8_t* record = L->index_table.load(std::memory_order_acquire)[index];
  if (index_word(L, record).load(std::memory_order_acquire) == 0) return nullptr;
  return record;
}

int64_t list_get_index(list* L, void* record) {
  return index_word(L, static_cast<uint8_t*>(record)).load(std::memory_order_acquire);
}

void list_destroy(list* L) {
  for (int64_t b = 1; b <= L->block_count; ++b) std::free(L->blocks[b]);
  for (uint8_t** table = L->index_table.load(); table;) {
    auto** replaced = reinterpret_cast<uint8_t**>(table[0]);
    std::free(table);
    table = replaced;
  }
  std::free(L->free_stack);
  std::free(L->free_stack_previous);
  delete L;
}
