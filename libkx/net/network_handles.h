#pragma once
// Network connections as negative file handles: clients, listening hosts
// and connections accepted from hosts, kept in three handle tables. BASIC
// sees the complement (-1 - index) of a record's index in the table of
// special handles; 0 means "none".
#include <cstdint>
#include <string>
#include <string_view>

#include "net/transport.h"
#include "values/handle_list.h"

struct kxs;

namespace kx {

enum class special_type : uint8_t { stream = 1, host = 2 };
enum class connection_kind_of_record : uint8_t { client = 1, host = 2, accepted = 3 };
inline constexpr uint8_t protocol_tcp_ip = 1;
inline constexpr uint8_t stream_type_network = 1;

struct connection_record {
  uint8_t protocol;
  connection_kind_of_record kind;
  tcp_connection* object;
  int32_t port;
};

struct stream_record {
  uint8_t* buffer;
  int64_t count;      // bytes in the buffer
  int64_t allocated;  // the buffer's size; it is freed with the stream when non-zero
  uint8_t end_flag;   // reset to 0 when the buffer is emptied
  uint8_t type;
  connection_record* connection;
};

struct special_record {
  special_type type;
  void* record;  // stream_record (stream) or connection_record (host)
};

// The three tables, made on first use.
list* special_handles();
list* stream_handles();
list* connection_handles();
// Closes every connection and empties the tables (start-up, and tests).
void network_reset();

// The record a handle names, or null for 0, a non-negative number or one
// that names no record.
special_record* special_of(int32_t handle);
// The stream of a handle that names a stream, else null.
stream_record* stream_of(int32_t handle);

// An address split at ":" into its parts: protocol "TCP/IP" (any case), the
// port, and for clients the host name. False for any other shape.
struct parsed_address {
  int32_t port = 0;
  bool port_in_range = false;  // 0 to 65535
  std::string host;
};
bool parse_address(std::string_view address, int parts_wanted, parsed_address& out);

// _OPENCLIENT of a text address: the handle, or 0 (error 5 for a malformed
// address, none for a failed connection).
int32_t open_client(std::string_view address);

// CLOSE of the record at a special-handle index.
void close_network_handle(int64_t index);
// CLOSE without a number: every connection.
void close_all_connections();
// PUT on a stream: sends through the transport (clients and accepted
// connections only).
void stream_out(stream_record* stream, const uint8_t* data, int64_t length);
// Takes what has arrived into the stream's buffer (before GET and LOF).
void stream_update(stream_record* stream);
// Takes up to most buffered bytes (all with most < 0).
std::string stream_take(stream_record* stream, int64_t most);

// The public address of this machine, or "". The service is named by a
// host followed by a path ("host/ip.php").
std::string what_is_my_ip();
void set_ip_echo_service(std::string_view service);
std::string_view ip_echo_service();

}  // namespace kx

int32_t func__openclient(kxs* address);
int32_t func__openhost(kxs* address);
int32_t func__openconnection(int32_t host);
int32_t func__connected(int32_t handle);
kxs* func__connectionaddress(int32_t handle);
