// This program's transport: it has no TCP/IP, so every open fails and
// nothing is ever sent or received.
#include "net/transport.h"

namespace {

class transport_none final : public kx::transport {
 public:
  void tcp_init() override { initialised_ = true; }
  kx::tcp_connection* tcp_client_open(const std::string&, int32_t) override { return nullptr; }
  kx::tcp_connection* tcp_host_open(int32_t) override { return nullptr; }
  kx::tcp_connection* tcp_connection_open(kx::tcp_connection*) override { return nullptr; }
  void tcp_close(kx::tcp_connection*) override {}
  void tcp_out(kx::tcp_connection*, const uint8_t*, int64_t) override {}
  int32_t tcp_connected(kx::tcp_connection*) override { return 0; }
  std::string tcp_received(kx::tcp_connection*) override { return std::string(); }
  void tcp_done() override { initialised_ = false; }

 private:
  bool initialised_ = false;
};

transport_none none;
kx::transport* installed = &none;

}  // namespace

namespace kx {

transport& active_transport() { return *installed; }

void install_transport(transport* replacement) { installed = replacement ? replacement : &none; }

}  // namespace kx
