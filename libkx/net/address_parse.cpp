// The address strings of _OPENCLIENT and _OPENHOST: "TCP/IP:port:host" and
// "TCP/IP:port".
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "net/network_handles.h"
#include "values/rounding.h"

namespace {

constexpr int most_parts = 10;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The number at the front of a text as VAL reads it: blanks, a sign, digits
// with one point, an exponent (E or D); 0 when there is none.
double number_at_front(std::string_view text) {
  std::string number;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && is_blank(text[i])) ++i;
  };
  auto digits = [&] {
    for (skip_blanks(); i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); skip_blanks())
      number += text[i++];
  };
  skip_blanks();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
  digits();
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    digits();
  }
  if (i < text.size() && (std::toupper(static_cast<unsigned char>(text[i])) == 'E' ||
                          std::toupper(static_cast<unsigned char>(text[i])) == 'D')) {
    std::string exponent = "e";
    ++i;
    skip_blanks();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) exponent += text[i++];
    const size_t before = exponent.size();
    for (skip_blanks(); i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); skip_blanks())
      exponent += text[i++];
    if (exponent.size() > before) number += exponent;
  }
  const double value = std::strtod(number.c_str(), nullptr);
  return std::isfinite(value) ? value : 0;
}

bool is_tcp_ip(std::string_view protocol) {
  constexpr std::string_view name = "TCP/IP";
  if (protocol.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(protocol[i])) != name[i]) return false;
  }
  return true;
}

}  // namespace

namespace kx {

bool parse_address(std::string_view address, int parts_wanted, parsed_address& out) {
  // An address of more parts than the table holds is malformed, and
  // nothing is stored past the table's end.
  std::array<std::string_view, most_parts> parts;
  int count = 0;
  size_t start = 0;
  for (;;) {
    const size_t colon = address.find(':', start);
    if (count == most_parts) return false;
    parts[static_cast<size_t>(count++)] = address.substr(start, colon == std::string_view::npos ? colon : colon - start);
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (count < 2 || count != parts_wanted || !is_tcp_ip(parts[0])) return false;
  // Rounded as every conversion to an integer is; INT32_MIN when far out.
  const int32_t port = kxr_double_to_long(number_at_front(parts[1]));
  out.port_in_range = port >= 0 && port <= 65535;
  out.port = out.port_in_range ? port : 0;
  out.host = parts_wanted == 3 ? std::string(parts[2]) : std::string();
  return true;
}

}  // namespace kx
