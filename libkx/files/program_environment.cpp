#include "files/program_environment.h"

#include <unordered_map>
#include <vector>

extern char** environ;

namespace {

class environment_table {
 public:
  std::optional<std::string_view> value(std::string_view name) {
    load();
    const auto found = index_.find(std::string(name));
    if (found == index_.end()) return std::nullopt;
    return std::string_view(entries_[found->second]).substr(name.size() + 1);
  }

  std::optional<std::string_view> entry(int64_t n) {
    load();
    if (n < 1 || n > static_cast<int64_t>(entries_.size())) return std::nullopt;
    return entries_[static_cast<size_t>(n - 1)];
  }

  void set(std::string_view text) {
    load();
    const size_t equals = text.find('=');
    const std::string name(text.substr(0, equals));
    const auto found = index_.find(name);
    block_.clear();
    if (equals == std::string_view::npos) {
      if (found == index_.end()) return;
      entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(found->second));
      rebuild_index();
      return;
    }
    if (found != index_.end()) {
      entries_[found->second] = text;
      return;
    }
    index_.emplace(name, entries_.size());
    entries_.emplace_back(text);
  }

  char* const* block() {
    load();
    if (block_.empty()) {
      block_.reserve(entries_.size() + 1);
      for (std::string& e : entries_) block_.push_back(e.data());
      block_.push_back(nullptr);
    }
    return block_.data();
  }

 private:
  // The process environment as it was when the program first used its own.
  void load() {
    if (loaded_) return;
    loaded_ = true;
    for (char** e = environ; e && *e; ++e) {
      const std::string_view text(*e);
      const size_t equals = text.find('=');
      if (equals == std::string_view::npos || index_.contains(std::string(text.substr(0, equals)))) continue;
      index_.emplace(std::string(text.substr(0, equals)), entries_.size());
      entries_.emplace_back(text);
    }
  }

  void rebuild_index() {
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].substr(0, entries_[i].find('=')), i);
  }

  bool loaded_ = false;
  std::vector<std::string> entries_;  // in the order the program's children get them
  std::unordered_map<std::string, size_t> index_;  // name to its entry
  std::vector<char*> block_;          // empty until asked for after a change
};

environment_table& table() {
  static environment_table t;
  return t;
}

}  // namespace

std::optional<std::string_view> kx::program_environment_value(std::string_view name) { return table().value(name); }

std::optional<std::string_view> kx::program_environment_entry(int64_t n) { return table().entry(n); }

void kx::program_environment_set(std::string_view entry) { table().set(entry); }

char* const* kx::program_environment_block() { return table().block(); }
