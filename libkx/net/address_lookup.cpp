// The public-address lookup behind a host's _CONNECTIONADDRESS$: one HTTP
// request to an IP-echo service over the installed transport.
#include <string>

#include "base/clock.h"
#include "base/error.h"
#include "net/network_handles.h"

namespace {

// The service's host followed by its path. The default stays on this
// machine; a program with a real transport names its public service here.
std::string& service() {
  static std::string text = "localhost/ip.php";
  return text;
}

constexpr int64_t lookup_limit_ms = 5000;
constexpr uint32_t poll_ms = 50;
constexpr size_t longest_address = 64;

// The chunk-size line as hexadecimal; -1 when it is no size the reply may
// have (at most 16 digits are read, as no larger count fits).
int64_t chunk_size(std::string_view line) {
  int64_t value = 0;
  size_t digits = 0;
  for (const char c : line) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    if (++digits > 15) return -1;
    value = value * 16 + d;
  }
  return value;
}

// What a service may answer: an IPv4 or IPv6 address, nothing else.
bool address_shaped(std::string_view text) {
  bool digit = false, separator = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digit = true;
    else if (c == '.' || c == ':') separator = true;
    else if (!((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return digit && separator;
}

}  // namespace

namespace kx {

void set_ip_echo_service(std::string_view text) { service() = std::string(text); }
std::string_view ip_echo_service() { return service(); }

std::string what_is_my_ip() {
  const std::string& text = service();
  const size_t slash = text.find('/');
  const std::string host = text.substr(0, slash);
  const std::string path = slash == std::string::npos ? std::string() : text.substr(slash);
  const int32_t handle = open_client("TCP/IP:80:" + host);
  if (!handle) return std::string();
  stream_record* stream = stream_of(handle);
  const std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
  stream_out(stream, reinterpret_cast<const uint8_t*>(request.data()), static_cast<int64_t>(request.size()));

  // Timed by the monotonic clock, which never jumps back at midnight.
  const int64_t start = GetTicks();
  std::string response, result;
  int64_t length = -1;
  for (;;) {
    Sleep(poll_ms);
    stream_update(stream);
    response += stream_take(stream, -1);
    if (length < 0) {
      const size_t headers_end = response.find("\r\n\r\n");
      const size_t line_end = headers_end == std::string::npos ? headers_end : response.find("\r\n", headers_end + 4);
      if (line_end != std::string::npos) {
        length = chunk_size(std::string_view(response).substr(headers_end + 4, line_end - headers_end - 4));
        response.erase(0, line_end + 2);
        // A length the reply cannot have ends the lookup with nothing.
        if (length < 1 || length > static_cast<int64_t>(longest_address)) break;
      }
    }
    if (length > 0 && static_cast<int64_t>(response.size()) >= length) {
      const std::string answer = response.substr(0, static_cast<size_t>(length));
      if (address_shaped(answer)) result = answer;
      break;
    }
    if (GetTicks() - start > lookup_limit_ms || new_error) break;
  }
  close_network_handle(-1 - int64_t{handle});
  return result;
}

}  // namespace kx
