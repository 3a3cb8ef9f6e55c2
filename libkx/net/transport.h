#pragma once
// The transport beneath the network handles: the layer that would move
// bytes over TCP/IP. The handle front end calls only these operations, so a
// socket transport can be installed in place of the one this program has,
// which opens nothing (transport_none.cpp).
#include <cstdint>
#include <string>

namespace kx {

// What every transport object shows the front end, for
// _CONNECTIONADDRESS$. A transport may keep more behind it.
struct tcp_connection {
  int32_t port;
  uint8_t peer[4];         // the peer's IPv4 address, network order
  const char* host_name;   // client connections: the host name opened; else null
};

class transport {
 public:
  virtual ~transport() = default;
  // Once per process, before the first open.
  virtual void tcp_init() = 0;
  // A connection, a listening host, or a connection accepted from a host;
  // null when the connection fails or (accepting) none is waiting.
  virtual tcp_connection* tcp_client_open(const std::string& host, int32_t port) = 0;
  virtual tcp_connection* tcp_host_open(int32_t port) = 0;
  virtual tcp_connection* tcp_connection_open(tcp_connection* listener) = 0;
  // Closes and frees the object.
  virtual void tcp_close(tcp_connection* object) = 0;
  virtual void tcp_out(tcp_connection* object, const uint8_t* data, int64_t length) = 0;
  // Non-zero while the peer is connected.
  virtual int32_t tcp_connected(tcp_connection* object) = 0;
  // The bytes that have arrived since the last call (the stream's buffer
  // takes them before GET and LOF).
  virtual std::string tcp_received(tcp_connection* object) = 0;
  // Shutdown.
  virtual void tcp_done() = 0;
};

// The installed transport; this program's own (no connections) when none is.
transport& active_transport();
// Installs a transport (null: back to the one without connections). It must
// outlive its installation, and no connection may be open across a change.
void install_transport(transport* replacement);

}  // namespace kx
