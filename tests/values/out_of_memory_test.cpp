// Every exhausted-memory path ends the process through its numbered
// critical error (status 70) instead of going on with a null block.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/process_exit.h"
#include "fresh_memory.h"
#include "values/arrays.h"
#include "values/cmem_dynamic.h"
#include "values/handle_list.h"
#include "values/mem_lock.h"
#include "values/mutex.h"
#include "values/static_pool.h"
#include "values/string_create.h"

// With AddressSanitizer, an impossible request must fail as malloc does
// (null) rather than stop the process inside the sanitizer.
extern "C" [[gnu::used]] const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

constexpr bool sanitized_build =
#ifdef __SANITIZE_ADDRESS__
    true;
#else
    false;
#endif

// Critical errors show a box through xmessage; a stand-in on PATH writes
// the box's title to stderr and answers at once, so no X program runs and
// the test sees which error ended the process.
class out_of_memory : public fresh_memory {
 protected:
  void SetUp() override {
    fresh_memory::SetUp();
    // The sanitizer's runtime does not survive a bare fork reliably; a
    // child that starts afresh does.
    GTEST_FLAG_SET(death_test_style, sanitized_build ? "threadsafe" : "fast");
    dir_ = std::filesystem::temp_directory_path() / ("kx_values_oom_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    const auto script = dir_ / "xmessage";
    std::ofstream(script) << "#!/bin/sh\nprintf '[%s]' \"$3\" >&2\nexit 1\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", dir_.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    std::filesystem::remove_all(dir_);
    fresh_memory::TearDown();
  }

 private:
  std::filesystem::path dir_;
  std::string saved_path_;
};

// Read without the heap: it is called again once the heap is used up.
uint64_t address_space_bytes() {
  char text[4096] = {};
  const int fd = open("/proc/self/status", O_RDONLY);
  const ssize_t got = fd >= 0 ? read(fd, text, sizeof text - 1) : -1;
  if (fd >= 0) close(fd);
  if (got <= 0) return 0;
  const char* field = std::strstr(text, "VmSize:");
  return field ? std::strtoull(field + 7, nullptr, 10) * 1024 : 0;
}

void set_address_space_limit(uint64_t bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_AS, &limit);
}

// Takes all memory that the heap can still hand out under a cap on the
// address space, then leaves room for small mappings only (the error box
// starts a process), so that the next sizeable allocation fails: anything
// larger than margin. With AddressSanitizer the heap's small blocks come
// from space the sanitizer reserved at start, which no cap reaches, but
// every block this test needs to fail is large and is mapped on its own,
// so the cap alone makes it fail.
void exhaust_memory(uint64_t margin = 256 << 10) {
  if (!sanitized_build) {
    // Held until the process ends, which is the point of the exercise.
    auto* taken = new std::vector<void*>;
    taken->reserve(1 << 20);
    set_address_space_limit(address_space_bytes() + (1 << 20));
    constexpr size_t chunk = 16384;
    while (taken->size() < taken->capacity()) {
      void* p = std::malloc(chunk);
      if (!p) break;
      taken->push_back(p);
    }
  }
  set_address_space_limit(address_space_bytes() + margin);
}

// How every critical error ends the process.
const ::testing::ExitedWithCode ended_critically(kx::critical_error_status);

std::string critical(int n) { return "\\[Critical Error #" + std::to_string(n - 500) + "\\]"; }

}  // namespace

TEST_F(out_of_memory, StaticPoolThatCannotGrow) {
  EXPECT_EXIT(
      {
        mem_static_size = uint64_t{1} << 46;
        mem_static_pointer = mem_static_limit;
        mem_static_malloc(8);
        std::exit(3);
      },
      ended_critically, critical(504));
}

// An array whose data the static pool cannot hold in one request, whether
// the byte count or the element count passes 32 bits.
TEST_F(out_of_memory, StaticArrayTooLargeForThePool) {
  EXPECT_EXIT({ kx::static_array_new(0, 536870912, 8); std::exit(3); }, ended_critically, critical(504));
  EXPECT_EXIT({ kx::static_array_new(INT64_MIN, INT64_MAX, 0); std::exit(3); }, ended_critically,
              critical(504));
}

TEST_F(out_of_memory, ConventionalBlocks) {
  EXPECT_EXIT({ cmem_dynamic_malloc(65537); std::exit(3); }, ended_critically, critical(505));
  EXPECT_EXIT(
      {
        for (int i = 0; i < 9; ++i) cmem_dynamic_malloc(65536);
        std::exit(3);
      },
      ended_critically, critical(506));
  EXPECT_EXIT(
      {
        cmem_dynamic_next_link = cmem_dynamic_links;  // every link handed out
        cmem_dynamic_malloc(16);
        std::exit(3);
      },
      ended_critically, critical(507));
}

TEST_F(out_of_memory, DescriptorFreeStackAndMainPool) {
  EXPECT_EXIT(
      {
        kxs* d = kxs_new_descriptor();
        kxs_malloc_freed_num = kxs_malloc_freed_size = uint64_t{1} << 46;
        kxs_free_descriptor(d);
        std::exit(3);
      },
      ended_critically, critical(508));
  EXPECT_EXIT(
      {
        kxs_data_size = uint64_t{1} << 46;
        kxs_sp = kxs_data_size - 8;
        kxs_new(100, 0);
        std::exit(3);
      },
      ended_critically, critical(512));
}

TEST_F(out_of_memory, MemoryLockStackThatCannotGrow) {
  EXPECT_EXIT(
      {
        new_mem_lock();
        mem_lock* lock = mem_lock_tmp;
        mem_lock_freed_n = mem_lock_freed_max = uint64_t{1} << 46;
        free_mem_lock(lock);
        std::exit(3);
      },
      ended_critically, critical(504));
}

TEST_F(out_of_memory, ConventionalPoolAndLegacyDescriptors) {
  EXPECT_EXIT({ kxs_new_cmem(65400, 0); std::exit(3); }, ended_critically, critical(513));
  EXPECT_EXIT(
      {
        kxs_new_cmem(static_cast<int32_t>(cmem_sp - kxs_cmem_sp - 2), 0);  // text fits, descriptor does not
        std::exit(3);
      },
      ended_critically, critical(514));
  EXPECT_EXIT(
      {
        kxs_new_cmem(static_cast<int32_t>(cmem_sp - kxs_cmem_sp - 2), 1);
        kxs_new_fixed(dblock + 1000, 4, 0);
        std::exit(3);
      },
      ended_critically, critical(515));
  // The same requests with room to spare succeed.
  kxs* s = kxs_new_cmem(static_cast<int32_t>(cmem_sp - kxs_cmem_sp - 4), 0);
  EXPECT_EQ(s->chars + s->length, reinterpret_cast<uint8_t*>(s->legacy_descriptor));
}

TEST_F(out_of_memory, BlocksAndListsThatCannotGrow) {
  EXPECT_EXIT(
      {
        kxs_malloc_next = kxs_malloc_block_size;  // the first block is used up
        exhaust_memory();
        kxs_new_descriptor();
        std::exit(3);
      },
      ended_critically, critical(508));
  EXPECT_EXIT(
      {
        for (int i = 0; i < 65535; ++i) kxs_new(0, 0);
        exhaust_memory();
        kxs_new(0, 0);
        kxs_new(0, 0);
        std::exit(3);
      },
      ended_critically, critical(510));
  EXPECT_EXIT(
      {
        for (int i = 0; i < 65534; ++i) kxs_new_cmem(0, 1);
        kxs_free_descriptor(kxs_new_descriptor());  // the next descriptor block is already there
        exhaust_memory();
        kxs_new_cmem(0, 1);
        std::exit(3);
      },
      ended_critically, critical(509));
  EXPECT_EXIT(
      {
        for (int i = 0; i < 65535; ++i) kxs_new_txt("t");
        exhaust_memory();
        kxs_new_txt("t");
        std::exit(3);
      },
      ended_critically, critical(511));
  EXPECT_EXIT(
      {
        new_mem_lock();  // the first block of locks
        mem_lock_next = mem_lock_max;  // and it is used up
        exhaust_memory(128 << 10);  // a block of locks is smaller than the usual margin
        new_mem_lock();
        std::exit(3);
      },
      ended_critically, critical(504));
}

namespace {

// Leaves the heap unable to hand out even its smallest blocks. The sanitizer
// serves small blocks from space it reserved at start, which no cap on the
// address space reaches, so this is for the plain build only.
// Blocks freed earlier wait in bins of their own size, so every small size
// is taken until the heap refuses it.
// The blocks are chained through their first word, which keeps every call
// from being optimised away.
void exhaust_small_blocks() {
  exhaust_memory();
  static void* chain = nullptr;
  for (size_t size = 4096; size >= 16; size -= 16) {
    while (void* block = std::malloc(size)) {
      *static_cast<void**>(block) = chain;
      chain = block;
    }
  }
}

}  // namespace

// The reports of exhausted memory are made without the heap: when not even
// 48 bytes are left, the box is still shown and the process ends cleanly,
// where an exception from making the text would abort it.
TEST_F(out_of_memory, ReportsNeedNoHeapWhenNothingIsLeft) {
  if (sanitized_build) GTEST_SKIP() << "small blocks come from the sanitizer's own reserve";
  EXPECT_EXIT(
      {
        exhaust_small_blocks();
        list_new(40);
        std::exit(3);
      },
      ended_critically, "\\[Alert\\]");
  EXPECT_EXIT(
      {
        exhaust_small_blocks();
        std::exit(new_mutex() == nullptr ? 4 : 3);
      },
      ::testing::ExitedWithCode(4), "");
  EXPECT_EXIT(
      {
        kxs_malloc_next = kxs_malloc_block_size;
        exhaust_small_blocks();
        kxs_new_descriptor();
        std::exit(3);
      },
      ended_critically, critical(508));
}
