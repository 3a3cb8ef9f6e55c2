// A long random run of statements (make temporaries, concatenate, assign,
// free and re-create variables, sweep) in both pools, checked after every
// statement against plain std::string values and the pool invariants.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "fresh_memory.h"
#include "values/string_assign.h"
#include "values/string_create.h"
#include "values/string_release.h"

namespace {

struct variable {
  kxs* s;
  std::string model;
  bool conventional;
};

struct value {
  kxs* s;
  std::string model;
};

class model_run {
 public:
  explicit model_run(uint64_t seed) : rng_(seed) {
    for (int i = 0; i < 8; ++i) vars_.push_back({kxs_new(0, 0), "", false});
    for (int i = 0; i < 4; ++i) vars_.push_back({kxs_new_cmem(0, 0), "", true});
    fixed_heap_.assign(12, ' ');
    cmem_sp -= 10;  // segment-resident storage for a fixed-length string
    fixed_.push_back({kxs_new_fixed(reinterpret_cast<uint8_t*>(fixed_heap_.data()), 12, 0), fixed_heap_});
    fixed_.push_back({kxs_new_fixed(dblock + cmem_sp, 10, 0), std::string(10, '\0')});
  }

  int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::string random_text(int length) {
    std::string t(static_cast<size_t>(length), '\0');
    for (char& c : t) c = static_cast<char>(below(256));
    return t;
  }

  int random_length(int limit) {
    const int kind = below(20);
    if (kind == 0) return 0;
    if (kind == 1) return std::min(limit, 200 + below(1800));
    return std::min(limit, below(40));
  }

  value leaf(int limit) {
    switch (below(6)) {
      case 0: {
        variable& v = vars_[static_cast<size_t>(below(static_cast<int>(vars_.size())))];
        if (static_cast<int>(v.model.size()) <= limit) return {v.s, v.model};
        return {nothingstring, ""};
      }
      case 1: {
        literals_.push_back(random_text(random_length(limit)));
        const std::string& t = literals_.back();
        return {kxs_new_txt_len(t.data(), static_cast<int32_t>(t.size())), t};
      }
      case 2: {
        const std::string t = random_text(random_length(limit));
        kxs* s = kxs_new_cmem(static_cast<int32_t>(t.size()), 1);
        put_text(s, t);
        return {s, t};
      }
      case 3: {
        value& f = fixed_[static_cast<size_t>(below(2))];
        return {f.s, f.model};
      }
      default: {
        const std::string t = random_text(random_length(limit));
        kxs* s = kxs_new(static_cast<int32_t>(t.size()), 1);
        put_text(s, t);
        return {s, t};
      }
    }
  }

  value expression(int depth, int limit) {
    if (depth == 0 || below(3) == 0) return leaf(limit);
    value a = expression(depth - 1, limit / 2);
    value b = expression(depth - 1, limit / 2);
    kxs* r = kxs_add(a.s, b.s);
    return {r, a.model + b.model};
  }

  void statement() {
    const uint32_t mark = kxs_tmp_list_nexti;
    switch (below(10)) {
      case 0: {  // free a variable and make it again (a SUB's local)
        variable& v = vars_[static_cast<size_t>(below(static_cast<int>(vars_.size())))];
        kxs_free(v.s);
        v.s = v.conventional ? kxs_new_cmem(0, 0) : kxs_new(0, 0);
        v.model.clear();
        break;
      }
      case 1: {  // assign to a fixed-length string
        value& f = fixed_[static_cast<size_t>(below(2))];
        value e = expression(2, 100);
        kxs_set(f.s, e.s);
        const auto room = static_cast<size_t>(f.s->length);
        f.model = e.model.size() >= room ? e.model.substr(0, room) : e.model + std::string(room - e.model.size(), ' ');
        break;
      }
      case 2:  // temporaries that nothing consumes: the sweep frees them
        for (int i = below(4); i >= 0; --i) leaf(100);
        break;
      case 3:
        if (below(2)) kxs_concat(0); else kxs_concat_cmem(0);
        break;
      default: {
        variable& v = vars_[static_cast<size_t>(below(static_cast<int>(vars_.size())))];
        // The conventional pool is small: keep its values short.
        value e = expression(3, v.conventional ? 1500 : 6000);
        kxs_set(v.s, e.s);
        v.model = e.model;
        break;
      }
    }
    kxs_cleanup(mark, 0);
    literals_.clear();
  }

  ::testing::AssertionResult matches() {
    for (size_t i = 0; i < vars_.size(); ++i)
      if (text_of(vars_[i].s) != vars_[i].model) return ::testing::AssertionFailure() << "variable " << i << " differs";
    for (size_t i = 0; i < fixed_.size(); ++i)
      if (text_of(fixed_[i].s) != fixed_[i].model) return ::testing::AssertionFailure() << "fixed string " << i << " differs";
    if (kxs_tmp_list_nexti != 1) return ::testing::AssertionFailure() << "temporaries left after the sweep";
    return pool_invariants_hold();
  }

 private:
  std::mt19937_64 rng_;
  std::vector<variable> vars_;
  std::vector<value> fixed_;
  std::string fixed_heap_;
  std::deque<std::string> literals_;  // stable addresses until the sweep
};

}  // namespace

using string_model = fresh_memory;

TEST_F(string_model, RandomStatementsAgreeWithStdString) {
  for (uint64_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    mem_init();
    kxs_init();
    model_run run(seed);
    for (int step = 0; step < 6000; ++step) {
      run.statement();
      ASSERT_TRUE(run.matches()) << "after statement " << step;
    }
  }
}
