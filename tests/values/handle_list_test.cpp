#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "values/handle_list.h"
#include "values/rotate.h"

namespace {

struct record {
  int64_t a;
  int32_t b;
  uint8_t c;  // 13 bytes of payload: not a multiple of 8
};

struct list_owner {
  list* L;
  explicit list_owner(list* l) : L(l) {}
  ~list_owner() { list_destroy(L); }
};

}  // namespace

TEST(handle_list, AddRemoveReuse) {
  list_owner owner(list_new(sizeof(record)));
  list* L = owner.L;
  EXPECT_EQ(list_get(L, 1), nullptr);
  const int64_t first = list_add(L);
  EXPECT_EQ(first, 1);
  auto* r = static_cast<record*>(list_get(L, 1));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(list_get_index(L, r), 1);
  std::memset(r, 0xAB, sizeof(record));

  EXPECT_EQ(list_remove(L, 1), -1);
  EXPECT_EQ(list_remove(L, 1), 0);  // twice: not in use any more
  EXPECT_EQ(list_get(L, 1), nullptr);
  EXPECT_EQ(list_get_index(L, r), 0);

  EXPECT_EQ(list_add(L), 1);  // reused, zero-filled, same place
  EXPECT_EQ(list_get(L, 1), r);
  EXPECT_EQ(r->a, 0);
  EXPECT_EQ(r->b, 0);
  EXPECT_EQ(r->c, 0);

  for (int64_t bad : {int64_t{0}, int64_t{-1}, int64_t{2}, int64_t{1000}}) {
    EXPECT_EQ(list_get(L, bad), nullptr);
    EXPECT_EQ(list_remove(L, bad), 0);
  }
}

TEST(handle_list, RecordsNeverMoveAndIndexesComeBackLastReleasedFirst) {
  list_owner owner(list_new(sizeof(record)));
  list* L = owner.L;
  std::vector<record*> where;
  for (int64_t i = 1; i <= 5000; ++i) {
    ASSERT_EQ(list_add(L), i);
    auto* r = static_cast<record*>(list_get(L, i));
    r->a = i;
    where.push_back(r);
  }
  for (int64_t i = 1; i <= 5000; ++i) {
    ASSERT_EQ(list_get(L, i), where[i - 1]);
    ASSERT_EQ(where[i - 1]->a, i);
    ASSERT_EQ(list_get_index(L, where[i - 1]), i);
  }
  EXPECT_EQ(list_remove(L, 10), -1);
  EXPECT_EQ(list_remove(L, 4000), -1);
  EXPECT_EQ(list_remove(L, 77), -1);
  EXPECT_EQ(list_add(L), 77);
  EXPECT_EQ(list_add(L), 4000);
  EXPECT_EQ(list_add(L), 10);
  EXPECT_EQ(list_add(L), 5001);
  EXPECT_EQ(where[3999]->a, 0);
  // Removing many grows the free stack; all come back in reverse order.
  for (int64_t i = 1; i <= 3000; ++i) ASSERT_EQ(list_remove(L, i), -1);
  for (int64_t i = 3000; i >= 1; --i) ASSERT_EQ(list_add(L), i);
}

// Adders, removers and a lock-free reader on one thread-safe list: every
// index is handed to one owner at a time and records stay where they are.
TEST(handle_list, ThreadSafeListUnderContention) {
  list_owner owner(list_new_threadsafe(sizeof(record)));
  list* L = owner.L;
  constexpr int workers = 4;
  constexpr int rounds = 4000;
  std::atomic<bool> done{false};
  std::atomic<int> duplicate{0};
  std::atomic<int> misread{0}, lost{0}, failed_remove{0};
  std::vector<std::atomic<int>> owners(workers * rounds + 2);

  std::thread reader([&] {
    while (!done) {
      const int64_t last = L->last_index.load();
      for (int64_t i = 1; i <= last; ++i) {
        void* r = list_get(L, i);
        if (!r) continue;
        const int64_t word = list_get_index(L, r);
        if (word != i && word != 0) misread++;
      }
    }
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < workers; ++t) {
    threads.emplace_back([&, t] {
      std::vector<int64_t> mine;
      for (int n = 0; n < rounds; ++n) {
        const int64_t index = list_add(L);
        if (owners[index].fetch_add(1) != 0) duplicate++;
        static_cast<record*>(list_get(L, index))->a = t;
        mine.push_back(index);
        if (n % 3 == 2) {
          const int64_t gone = mine[mine.size() / 2];
          mine.erase(mine.begin() + static_cast<long>(mine.size() / 2));
          owners[gone].fetch_sub(1);
          if (list_remove(L, gone) != -1) failed_remove++;
        }
      }
      for (int64_t index : mine)
        if (static_cast<record*>(list_get(L, index))->a != t) lost++;
    });
  }
  for (auto& t : threads) t.join();
  done = true;
  reader.join();
  EXPECT_EQ(duplicate.load(), 0);
  EXPECT_EQ(misread.load(), 0);
  EXPECT_EQ(lost.load(), 0);
  EXPECT_EQ(failed_remove.load(), 0);
  EXPECT_LE(L->last_index.load(), workers * rounds);
}

TEST(rotate, RotatesModulo32) {
  EXPECT_EQ(rotateLeft(0x80000001u, 1), 0x00000003u);
  EXPECT_EQ(rotateLeft(0x80000001u, 33), 0x00000003u);
  EXPECT_EQ(rotateLeft(0x12345678u, 0), 0x12345678u);
  EXPECT_EQ(rotateLeft(0x12345678u, 32), 0x12345678u);
  EXPECT_EQ(rotateLeft(0xF0000000u, 4), 0x0000000Fu);
}

TEST(mutex, WrappersLockAndToleratesNull) {
  MUTEX* m = new_mutex();
  lock_mutex(m);
  std::thread other([&] { EXPECT_NE(pthread_mutex_trylock(m), 0); });
  other.join();
  unlock_mutex(m);
  std::thread again([&] {
    EXPECT_EQ(pthread_mutex_trylock(m), 0);
    pthread_mutex_unlock(m);
  });
  again.join();
  lock_mutex(nullptr);  // lists without locks pass null
  unlock_mutex(nullptr);
  free_mutex(m);
}
