#include "files/serial_syntax.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "files/file_handles.h"

namespace {

constexpr int32_t not_serial = 0;
constexpr int32_t malformed = -1;
constexpr int64_t number_cap = 1'000'000'000;  // beyond any accepted value; stops overflow
constexpr int64_t timeout_limit = 65536;
constexpr size_t positional_items = 4;

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// One option: up to three capital letters, then digits. Either may be absent.
struct item {
  std::string word;
  std::optional<int64_t> number;
  std::string text;  // as written, upper-cased
};

// Parses one item; false when it is malformed. A period is allowed only
// where a stop-bits value stands.
bool parse_item(std::string_view text, bool allow_period, item& out) {
  out = item{};
  out.text = std::string(text);
  if (allow_period) {
    // Stop bits are read as text: "1", "1.5", "2" or nothing.
    return text.empty() || text == "1" || text == "1.5" || text == "2";
  }
  size_t i = 0;
  while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z') ++i;
  if (i > 3) return false;
  out.word = std::string(text.substr(0, i));
  if (i == text.size()) return true;
  const std::string_view digits = text.substr(i);
  if (digits.size() > 1 && digits[0] == '0') return false;
  int64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;  // also a letter after a digit
    value = std::min(number_cap, value * 10 + (c - '0'));
  }
  out.number = value;
  return true;
}

struct keyword_state {
  bool rs = false, mode = false, tb = false, rb = false, lf = false, cd = false, cs = false, ds = false,
       op = false;
};

}  // namespace

int32_t gfs_open_com_syntax(std::string_view name, gfs_file_struct& record) {
  record.port = 0;
  if (name.size() <= 3 || upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M') return not_serial;
  size_t i = 3;
  int64_t port = 0;
  for (;; ++i) {
    if (i == name.size()) return not_serial;  // no colon
    const char c = name[i];
    if (c == ':') break;
    if (c < '0' || c > '9') return not_serial;
    // "COM01:" is a file name; "COM0:" names port 0, which is malformed.
    if (i == 3 && c == '0' && i + 1 < name.size() && name[i + 1] >= '0' && name[i + 1] <= '9') return not_serial;
    port = std::min(number_cap, port * 10 + (c - '0'));
  }
  if (port < 1 || port > 255) return malformed;

  std::string rest(name.substr(i + 1));
  std::transform(rest.begin(), rest.end(), rest.begin(), upper);

  std::optional<int64_t> baud, data_bits, cd, cs, ds, op;
  std::optional<int32_t> parity, stop_bits;
  keyword_state seen;
  int8_t ascii_mode = 0, lf_mode = 0, rs_mode = 0;

  size_t index = 0;
  size_t start = 0;
  // An empty option list still holds one (empty) item.
  for (bool more = true; more; ++index) {
    const size_t comma = rest.find(',', start);
    more = comma != std::string::npos;
    const std::string_view text = std::string_view(rest).substr(start, more ? comma - start : std::string::npos);
    start = more ? comma + 1 : rest.size();
    item it;
    if (!parse_item(text, index == 3, it)) return malformed;
    if (index < positional_items) {
      switch (index) {
        case 0:
          if (!it.word.empty() || (it.number && *it.number == 0)) return malformed;
          if (it.number) baud = *it.number;
          break;
        case 1: {
          if (it.number) return malformed;
          static constexpr std::array<std::string_view, 6> parities{"N", "E", "O", "S", "M", "PE"};
          if (!it.word.empty()) {
            const auto found = std::find(parities.begin(), parities.end(), it.word);
            if (found == parities.end()) return malformed;
            parity = static_cast<int32_t>(found - parities.begin());
          }
          break;
        }
        case 2:
          if (!it.word.empty()) return malformed;
          if (it.number) {
            if (*it.number < 5 || *it.number > 8) return malformed;
            data_bits = *it.number;
          }
          break;
        case 3:
          if (it.text == "1") stop_bits = 10;
          if (it.text == "1.5") stop_bits = 15;
          if (it.text == "2") stop_bits = 20;
          break;
      }
      continue;
    }
    if (it.word.empty()) return malformed;
    if (it.number && *it.number >= timeout_limit) return malformed;
    auto once = [](bool& flag) {
      if (flag) return false;
      flag = true;
      return true;
    };
    const std::string& w = it.word;
    if (w == "RS") {
      if (!once(seen.rs)) return malformed;
      rs_mode = 1;
    } else if (w == "BIN" || w == "ASC") {
      if (!once(seen.mode)) return malformed;
      ascii_mode = w == "ASC" ? 1 : 0;
    } else if (w == "TB") {
      if (!once(seen.tb)) return malformed;
    } else if (w == "RB") {
      if (!once(seen.rb)) return malformed;
    } else if (w == "LF") {
      if (!once(seen.lf)) return malformed;
      lf_mode = 1;
    } else if (w == "CD") {
      if (!once(seen.cd)) return malformed;
      cd = it.number.value_or(0);
    } else if (w == "CS") {
      if (!once(seen.cs)) return malformed;
      cs = it.number.value_or(1000);
    } else if (w == "DS") {
      if (!once(seen.ds)) return malformed;
      ds = it.number.value_or(1000);
    } else if (w == "OP") {
      if (!once(seen.op)) return malformed;
      op = it.number.value_or(10000);
    } else {
      return malformed;
    }
  }

  record.port = static_cast<uint8_t>(port);
  record.baud = static_cast<int32_t>(baud.value_or(300));
  record.parity = static_cast<int8_t>(parity.value_or(1));
  record.data_bits = static_cast<int8_t>(data_bits.value_or(7));
  if (stop_bits) {
    record.stop_bits = static_cast<int8_t>(*stop_bits);
  } else if (record.baud > 110) {
    record.stop_bits = 10;
  } else {
    record.stop_bits = record.data_bits == 5 ? 15 : 20;
  }
  record.ascii_mode = ascii_mode;
  record.lf_mode = ascii_mode ? lf_mode : 0;
  record.rs_mode = rs_mode;
  record.cd_ms = static_cast<int32_t>(cd.value_or(0));
  record.cs_ms = static_cast<int32_t>(cs.value_or(1000));
  record.ds_ms = static_cast<int32_t>(ds.value_or(1000));
  record.op_ms = static_cast<int32_t>(op.value_or(std::min<int64_t>(65535, std::max(record.cd_ms, record.ds_ms) * 10)));
  return 1;
}
