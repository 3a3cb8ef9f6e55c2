// Random sequences of PUT, GET and SEEK on a BINARY file, checked step by
// step against a plain byte vector, then against the file on disk.
#include <random>
#include <vector>

#include "file_fixture.h"
#include "files/file_position.h"
#include "files/file_records.h"

namespace {

using BinaryModel = file_test;

TEST_F(BinaryModel, RandomPutGetSeekAgreeWithAByteModel) {
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    std::vector<uint8_t> model;
    int64_t position = 0;  // 0-based
    const std::string name = "model" + std::to_string(seed);
    open(name, BINARY, 1);
    ASSERT_EQ(take_error(), 0u);
    // Sizes from single bytes to more than the stream's buffer, places
    // near each other (the buffered window) and far apart.
    auto size = [&] {
      const uint32_t kind = random() % 10;
      return static_cast<int64_t>(kind < 6 ? 1 + random() % 16 : kind < 9 ? 1 + random() % 3000 : 60000 + random() % 20000);
    };
    auto place = [&] {
      const uint32_t kind = random() % 4;
      const int64_t end = static_cast<int64_t>(model.size());
      if (kind == 0) return static_cast<int64_t>(random() % (end + 1));
      if (kind == 1) return end + static_cast<int64_t>(random() % 5000);  // leaves a gap
      return std::max<int64_t>(0, position + static_cast<int64_t>(random() % 200) - 100);
    };
    for (int step = 0; step < 1500; ++step) {
      const uint32_t op = random() % 10;
      const bool at_position = random() % 2;
      const int64_t where = at_position ? place() : position;
      if (op < 4) {
        std::vector<uint8_t> bytes(static_cast<size_t>(size()));
        for (auto& b : bytes) b = static_cast<uint8_t>(random());
        generic_put(1, at_position ? where : -1, bytes.data(), static_cast<int64_t>(bytes.size()));
        ASSERT_EQ(take_error(), 0u);
        const size_t end = static_cast<size_t>(where) + bytes.size();
        if (model.size() < end) model.resize(end, 0);
        std::copy(bytes.begin(), bytes.end(), model.begin() + where);
        position = static_cast<int64_t>(end);
      } else if (op < 8) {
        const int64_t count = size();
        std::vector<uint8_t> got(static_cast<size_t>(count), 0xAB);
        generic_get(1, at_position ? where : -1, got.data(), count);
        ASSERT_EQ(take_error(), 0u);
        std::vector<uint8_t> expected(static_cast<size_t>(count), 0);
        const int64_t available = std::max<int64_t>(0, std::min<int64_t>(count, static_cast<int64_t>(model.size()) - where));
        std::copy(model.begin() + where, model.begin() + where + available, expected.begin());
        ASSERT_EQ(got, expected) << "step " << step;
        position = where + available;
        ASSERT_EQ(func_eof(1), available < count ? -1 : 0) << "step " << step;
      } else {
        const int64_t target = place();
        sub_seek(1, target + 1);
        position = target;
      }
      ASSERT_EQ(func_seek(1), position + 1) << "step " << step;
      ASSERT_EQ(func_lof(1), static_cast<int64_t>(model.size())) << "step " << step;
    }
    sub_close(1, 1);
    ASSERT_EQ(take_error(), 0u);
    const std::string disk = read_file(name);
    ASSERT_EQ(disk.size(), model.size());
    EXPECT_TRUE(std::equal(model.begin(), model.end(), reinterpret_cast<const uint8_t*>(disk.data())));
  }
}

}  // namespace
