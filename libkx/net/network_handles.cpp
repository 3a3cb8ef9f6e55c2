#include "net/network_handles.h"

#include <cstdlib>
#include <cstring>

#include "base/error.h"
#include "values/string_create.h"

namespace {

list* specials = nullptr;
list* streams = nullptr;
list* connections = nullptr;
kx::transport* initialised_transport = nullptr;

void make_lists() {
  if (specials) return;
  specials = list_new(sizeof(kx::special_record));
  streams = list_new(sizeof(kx::stream_record));
  connections = list_new(sizeof(kx::connection_record));
}

kx::transport& ready_transport() {
  kx::transport& t = kx::active_transport();
  if (initialised_transport != &t) {
    t.tcp_init();
    initialised_transport = &t;
  }
  return t;
}

int32_t handle_of(int64_t index) { return static_cast<int32_t>(-1 - index); }

kx::connection_record* new_connection(kx::connection_kind_of_record kind, kx::tcp_connection* object, int32_t port) {
  auto* c = static_cast<kx::connection_record*>(list_get(connections, list_add(connections)));
  c->protocol = kx::protocol_tcp_ip;
  c->kind = kind;
  c->object = object;
  c->port = port;
  return c;
}

// A special handle of a stream over a new connection: the handle.
int32_t new_stream_handle(kx::connection_kind_of_record kind, kx::tcp_connection* object, int32_t port) {
  const int64_t index = list_add(specials);
  auto* special = static_cast<kx::special_record*>(list_get(specials, index));
  auto* stream = static_cast<kx::stream_record*>(list_get(streams, list_add(streams)));
  special->type = kx::special_type::stream;
  special->record = stream;
  stream->type = kx::stream_type_network;
  stream->connection = new_connection(kind, object, port);
  return handle_of(index);
}

void close_connection_record(kx::connection_record* c) {
  if (c->protocol == kx::protocol_tcp_ip) kx::active_transport().tcp_close(c->object);
  list_remove(connections, list_get_index(connections, c));
}

std::string text_of(const kxs* s) {
  return s->length > 0 ? std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length))
                       : std::string();
}

kxs* new_text(const std::string& text) {
  kxs* s = kxs_new(static_cast<int32_t>(text.size()), 1);
  if (!text.empty()) std::memcpy(s->chars, text.data(), text.size());
  return s;
}

std::string decimal_address(const uint8_t (&peer)[4]) {
  return std::to_string(peer[0]) + "." + std::to_string(peer[1]) + "." + std::to_string(peer[2]) + "." +
         std::to_string(peer[3]);
}

}  // namespace

namespace kx {

list* special_handles() {
  make_lists();
  return specials;
}
list* stream_handles() {
  make_lists();
  return streams;
}
list* connection_handles() {
  make_lists();
  return connections;
}

void network_reset() {
  if (!specials) return make_lists();
  close_all_connections();
  list_destroy(specials);
  list_destroy(streams);
  list_destroy(connections);
  specials = streams = connections = nullptr;
  initialised_transport = nullptr;
  make_lists();
}

special_record* special_of(int32_t handle) {
  if (handle >= 0) return nullptr;
  make_lists();
  return static_cast<special_record*>(list_get(specials, -1 - int64_t{handle}));
}

stream_record* stream_of(int32_t handle) {
  special_record* s = special_of(handle);
  return s && s->type == special_type::stream ? static_cast<stream_record*>(s->record) : nullptr;
}

int32_t open_client(std::string_view address) {
  if (new_error) return 0;
  parsed_address parsed;
  if (!parse_address(address, 3, parsed)) {
    error(err::illegal_function_call);
    return 0;
  }
  if (!parsed.port_in_range) return 0;
  make_lists();
  tcp_connection* object = ready_transport().tcp_client_open(parsed.host, parsed.port);
  if (!object) return 0;
  return new_stream_handle(connection_kind_of_record::client, object, parsed.port);
}

void close_network_handle(int64_t index) {
  make_lists();
  auto* special = static_cast<special_record*>(list_get(specials, index));
  if (!special) return;
  if (special->type == special_type::host) {
    close_connection_record(static_cast<connection_record*>(special->record));
  } else if (special->type == special_type::stream) {
    auto* stream = static_cast<stream_record*>(special->record);
    if (stream->type == stream_type_network) close_connection_record(stream->connection);
    if (stream->allocated) std::free(stream->buffer);
    list_remove(streams, list_get_index(streams, stream));
  }
  list_remove(specials, index);
}

void close_all_connections() {
  if (!specials) return;
  for (int64_t i = 1; i <= specials->last_index; ++i) close_network_handle(i);
}

void stream_out(stream_record* stream, const uint8_t* data, int64_t length) {
  if (stream->type != stream_type_network) return;
  const connection_record* c = stream->connection;
  if (c->protocol != protocol_tcp_ip || c->kind == connection_kind_of_record::host) return;
  active_transport().tcp_out(c->object, data, length);
}

void stream_update(stream_record* stream) {
  if (stream->type != stream_type_network) return;
  const std::string arrived = active_transport().tcp_received(stream->connection->object);
  if (arrived.empty()) return;
  const auto needed = stream->count + static_cast<int64_t>(arrived.size());
  if (needed > stream->allocated) {
    int64_t room = stream->allocated ? stream->allocated : 4096;
    while (room < needed) room *= 2;
    auto* grown = static_cast<uint8_t*>(std::realloc(stream->buffer, static_cast<size_t>(room)));
    // Without room the bytes stay unread rather than overrun the buffer.
    if (!grown) return;
    stream->buffer = grown;
    stream->allocated = room;
  }
  std::memcpy(stream->buffer + stream->count, arrived.data(), arrived.size());
  stream->count = needed;
}

std::string stream_take(stream_record* stream, int64_t most) {
  const int64_t n = most < 0 || most > stream->count ? stream->count : most;
  std::string taken(reinterpret_cast<const char*>(stream->buffer), static_cast<size_t>(n));
  if (n) std::memmove(stream->buffer, stream->buffer + n, static_cast<size_t>(stream->count - n));
  stream->count -= n;
  if (stream->count == 0) stream->end_flag = 0;
  return taken;
}

}  // namespace kx

int32_t func__openclient(kxs* address) {
  if (new_error) return 0;
  return kx::open_client(text_of(address));
}

int32_t func__openhost(kxs* address) {
  if (new_error) return 0;
  kx::parsed_address parsed;
  if (!kx::parse_address(text_of(address), 2, parsed)) {
    error(err::illegal_function_call);
    return 0;
  }
  if (!parsed.port_in_range) return 0;
  make_lists();
  kx::tcp_connection* object = ready_transport().tcp_host_open(parsed.port);
  if (!object) return 0;
  const int64_t index = list_add(specials);
  auto* special = static_cast<kx::special_record*>(list_get(specials, index));
  special->type = kx::special_type::host;
  special->record = new_connection(kx::connection_kind_of_record::host, object, parsed.port);
  return handle_of(index);
}

int32_t func__openconnection(int32_t host) {
  if (new_error) return 0;
  const kx::special_record* special = kx::special_of(host);
  if (!special || special->type != kx::special_type::host) {
    error(err::invalid_handle);
    return 0;
  }
  const auto* listener = static_cast<const kx::connection_record*>(special->record);
  kx::tcp_connection* object = ready_transport().tcp_connection_open(listener->object);
  if (!object) return 0;
  return new_stream_handle(kx::connection_kind_of_record::accepted, object, listener->port);
}

int32_t func__connected(int32_t handle) {
  if (new_error) return 0;
  const kx::special_record* special = kx::special_of(handle);
  if (special && special->type == kx::special_type::host) {
    const auto* c = static_cast<const kx::connection_record*>(special->record);
    if (c->protocol == kx::protocol_tcp_ip) return -1;
  } else if (special && special->type == kx::special_type::stream) {
    const auto* stream = static_cast<const kx::stream_record*>(special->record);
    if (stream->type == kx::stream_type_network && stream->connection->protocol == kx::protocol_tcp_ip)
      return kx::active_transport().tcp_connected(stream->connection->object) ? -1 : 0;
  }
  error(err::bad_file_name_or_number);
  return 0;
}

kxs* func__connectionaddress(int32_t handle) {
  if (new_error) return new_text(std::string());
  const kx::special_record* special = kx::special_of(handle);
  const kx::connection_record* c = nullptr;
  if (special && special->type == kx::special_type::host) {
    c = static_cast<const kx::connection_record*>(special->record);
  } else if (special && special->type == kx::special_type::stream) {
    const auto* stream = static_cast<const kx::stream_record*>(special->record);
    if (stream->type == kx::stream_type_network) c = stream->connection;
  }
  if (!c || c->protocol != kx::protocol_tcp_ip) {
    error(err::bad_file_name_or_number);
    return new_text(std::string());
  }
  std::string address = "TCP/IP:";
  if (c->kind == kx::connection_kind_of_record::host) {
    std::string mine = kx::what_is_my_ip();
    address += std::to_string(c->port) + ":" + (mine.empty() ? std::string("127.0.0.1") : mine);
  } else if (c->kind == kx::connection_kind_of_record::client) {
    address += std::to_string(c->object->port) + ":" + (c->object->host_name ? c->object->host_name : "");
  } else {
    address += std::to_string(c->object->port) + ":" + decimal_address(c->object->peer);
  }
  return new_text(address);
}
