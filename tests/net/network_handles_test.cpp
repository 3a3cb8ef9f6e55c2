// Network handles over this program's transport (every open fails, cleanly)
// and over a stand-in transport, which shows the tables, the numbering,
// CLOSE, PUT, GET and LOF through the file statements, and the address
// lookup against a scripted local server.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "files/connection_routing.h"
#include "net/network_handles.h"
#include "values/memory_startup.h"
#include "values/string_create.h"
#include "values/string_startup.h"

namespace {

uint32_t take_error() { return new_error.exchange(0); }

std::string text_of(const kxs* s) {
  return s->length ? std::string(reinterpret_cast<const char*>(s->chars), static_cast<size_t>(s->length)) : "";
}
kxs* s(const std::string& text) { return kxs_new_txt_len(text.data(), static_cast<int32_t>(text.size())); }

// A transport in memory. Clients connect only to the local stand-in
// server, whose answer to each request is scripted.
struct stand_in_transport : kx::transport {
  struct object : kx::tcp_connection {
    std::string host;
    std::string sent;
    std::deque<std::string> arriving;  // one piece per poll
    bool connected = true;
  };
  int inits = 0;
  std::vector<std::unique_ptr<object>> objects;
  std::vector<object*> closed;
  int waiting_connections = 0;
  std::vector<std::string> server_reply;  // what a client to port 80 receives, piece by piece

  object* make(int32_t port) {
    objects.push_back(std::make_unique<object>());
    object* o = objects.back().get();
    o->port = port;
    o->peer[0] = 127, o->peer[1] = 0, o->peer[2] = 0, o->peer[3] = 1;
    o->host_name = nullptr;
    return o;
  }
  void tcp_init() override { ++inits; }
  kx::tcp_connection* tcp_client_open(const std::string& host, int32_t port) override {
    if (host != "127.0.0.1" && host != "localhost") return nullptr;
    object* o = make(port);
    o->host = host;
    o->host_name = o->host.c_str();
    if (port == 80) o->arriving.assign(server_reply.begin(), server_reply.end());
    return o;
  }
  kx::tcp_connection* tcp_host_open(int32_t port) override { return make(port); }
  kx::tcp_connection* tcp_connection_open(kx::tcp_connection* listener) override {
    if (!waiting_connections) return nullptr;
    --waiting_connections;
    object* o = make(listener->port + 1000);
    o->peer[3] = 9;
    return o;
  }
  void tcp_close(kx::tcp_connection* o) override { closed.push_back(static_cast<object*>(o)); }
  void tcp_out(kx::tcp_connection* o, const uint8_t* data, int64_t length) override {
    static_cast<object*>(o)->sent.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  }
  int32_t tcp_connected(kx::tcp_connection* o) override { return static_cast<object*>(o)->connected ? 1 : 0; }
  std::string tcp_received(kx::tcp_connection* o) override {
    auto& q = static_cast<object*>(o)->arriving;
    if (q.empty()) return "";
    std::string piece = q.front();
    q.pop_front();
    return piece;
  }
  void tcp_done() override {}
};

class NetworkHandles : public ::testing::Test {
 protected:
  void SetUp() override {
    new_error = 0;
    mem_init();
    kxs_init();
    kx::network_reset();
  }
  void TearDown() override {
    kx::network_reset();
    kx::install_transport(nullptr);
    kx::set_ip_echo_service("localhost/ip.php");
    new_error = 0;
  }
  // Installed by the tests that want it; it outlives every handle, which
  // TearDown closes through it.
  stand_in_transport t;
};

}  // namespace

TEST_F(NetworkHandles, AddressesAreParsedAndMalformedOnesRefused) {
  struct shape {
    const char* address;
    int parts;
    bool valid;
    int32_t port;
    bool in_range;
    const char* host;
  };
  const shape cases[] = {
      {"TCP/IP:80:example", 3, true, 80, true, "example"},
      {"tcp/ip:8080:h", 3, true, 8080, true, "h"},
      {"Tcp/Ip: 12.5 :h", 3, true, 12, true, "h"},    // VAL, rounded to even
      {"TCP/IP:13.5:h", 3, true, 14, true, "h"},
      {"TCP/IP:65535:h", 3, true, 65535, true, "h"},
      {"TCP/IP:65536:h", 3, true, 0, false, "h"},
      {"TCP/IP:-1:h", 3, true, 0, false, "h"},
      {"TCP/IP:1e20:h", 3, true, 0, false, "h"},
      {"TCP/IP:abc:h", 3, true, 0, true, "h"},       // VAL of no number is 0
      {"TCP/IP:80", 3, false, 0, false, ""},
      {"TCP/IP:80:h:x", 3, false, 0, false, ""},
      {"UDP:80:h", 3, false, 0, false, ""},
      {"TCP/IP:80", 2, true, 80, true, ""},
      {"TCP/IP", 2, false, 0, false, ""},
      {"TCPIP:80", 2, false, 0, false, ""},
      {"TCP/IP:1:2:3:4:5:6:7:8:9", 2, false, 0, false, ""},
      {"TCP/IP:1:2:3:4:5:6:7:8:9:10:11:12:13:14:15:16:17:18:19:20", 3, false, 0, false, ""},
      {"", 2, false, 0, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    kx::parsed_address out;
    EXPECT_EQ(kx::parse_address(c.address, c.parts, out), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(out.port_in_range, c.in_range);
    EXPECT_EQ(out.port, c.port);
    EXPECT_EQ(out.host, c.host);
  }
}

TEST_F(NetworkHandles, WithThisProgramsTransportEveryOpenFailsCleanly) {
  EXPECT_EQ(func__openclient(s("TCP/IP:80:localhost")), 0);
  EXPECT_EQ(func__openclient(s("tcp/ip:80:127.0.0.1")), 0);
  EXPECT_EQ(func__openhost(s("TCP/IP:7000")), 0);
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(func__openclient(s("TCP/IP:80")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func__openhost(s("HTTP:80")), 0);
  EXPECT_EQ(take_error(), 5u);
  EXPECT_EQ(func__openclient(s("TCP/IP:1:2:3:4:5:6:7:8:9:10:11:12")), 0);
  EXPECT_EQ(take_error(), 5u);
  // No handle exists: each query of one is refused.
  for (const int32_t h : {-1, -2, 0, 5}) {
    SCOPED_TRACE(h);
    EXPECT_EQ(func__openconnection(h), 0);
    EXPECT_EQ(take_error(), 258u);
    EXPECT_EQ(func__connected(h), 0);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(text_of(func__connectionaddress(h)), "");
    EXPECT_EQ(take_error(), 52u);
  }
  // The lookup finds nothing, and nothing is left open by it.
  EXPECT_EQ(kx::what_is_my_ip(), "");
  EXPECT_EQ(kx::special_handles()->last_index, 0);
  // A pending error: nothing is tried.
  new_error = 7;
  EXPECT_EQ(func__openclient(s("TCP/IP:80")), 0);
  EXPECT_EQ(new_error.load(), 7u);
}

TEST_F(NetworkHandles, HandlesAreComplementsOfReusedIndexesAndCloseFreesTheirRecords) {
  kx::install_transport(&t);
  const int32_t client = func__openclient(s("TCP/IP:8080:localhost"));
  const int32_t host = func__openhost(s("TCP/IP:7000"));
  EXPECT_EQ(client, -2);  // index 1
  EXPECT_EQ(host, -3);
  EXPECT_EQ(t.inits, 1);
  EXPECT_EQ(func__openclient(s("TCP/IP:8080:far.away.example")), 0);  // refused by the transport
  EXPECT_EQ(take_error(), 0u);

  EXPECT_EQ(func__openconnection(host), 0);  // nothing waiting
  t.waiting_connections = 1;
  const int32_t accepted = func__openconnection(host);
  EXPECT_EQ(accepted, -4);
  EXPECT_EQ(func__openconnection(client), 0);
  EXPECT_EQ(take_error(), 258u);

  EXPECT_EQ(func__connected(host), -1);
  EXPECT_EQ(func__connected(client), -1);
  static_cast<stand_in_transport::object*>(t.objects[0].get())->connected = false;
  EXPECT_EQ(func__connected(client), 0);
  EXPECT_EQ(text_of(func__connectionaddress(client)), "TCP/IP:8080:localhost");
  EXPECT_EQ(text_of(func__connectionaddress(accepted)), "TCP/IP:8000:127.0.0.9");
  EXPECT_EQ(take_error(), 0u);

  // Records: two streams, three connections.
  EXPECT_EQ(kx::stream_handles()->last_index, 2);
  EXPECT_EQ(kx::connection_handles()->last_index, 3);

  // CLOSE of the host leaves its accepted connection; indexes are reused.
  kx::connection_close(accepted);  // through the file statements
  kx::connection_close(host);
  ASSERT_EQ(t.closed.size(), 2u);
  EXPECT_EQ(t.closed[0], t.objects[2].get());
  EXPECT_EQ(t.closed[1], t.objects[1].get());
  EXPECT_EQ(func__connected(host), 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(func__openhost(s("TCP/IP:7001")), -3);  // the last index released first
  EXPECT_EQ(t.inits, 1);

  // CLOSE without a number closes every connection.
  kx::connections().close_all();
  EXPECT_EQ(t.closed.size(), 4u);
  EXPECT_EQ(kx::special_of(client), nullptr);
  EXPECT_EQ(func__openclient(s("TCP/IP:1:localhost")), -3);  // 2 was closed last
}

TEST_F(NetworkHandles, FileStatementsReachStreams) {
  kx::install_transport(&t);
  const int32_t client = func__openclient(s("TCP/IP:9000:127.0.0.1"));
  const int32_t host = func__openhost(s("TCP/IP:9001"));
  auto* o = static_cast<stand_in_transport::object*>(t.objects[0].get());
  const std::string data = "ping";
  kx::connection_put(client, reinterpret_cast<const uint8_t*>(data.data()), 4);
  kx::connection_put(host, reinterpret_cast<const uint8_t*>(data.data()), 4);  // ignored
  EXPECT_EQ(take_error(), 0u);
  EXPECT_EQ(o->sent, "ping");

  // Each poll of the transport brings the next piece.
  o->arriving = {"abc", "defgh", "ij"};
  EXPECT_EQ(kx::connection_lof(client), 3);
  uint8_t four[4] = {};
  EXPECT_TRUE(kx::connection_get_fixed(client, four, 4));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(four), 4), "abcd");
  EXPECT_EQ(kx::connection_get_all(client), "efghij");
  EXPECT_FALSE(kx::connection_get_fixed(client, four, 1));
  EXPECT_EQ(kx::connection_lof(client), 0);
  EXPECT_EQ(kx::connection_eof(client), 0);
  EXPECT_EQ(take_error(), 0u);
  kx::connection_lof(host);
  EXPECT_EQ(take_error(), 52u);
  kx::connection_close(client);
  kx::connection_lof(client);
  EXPECT_EQ(take_error(), 52u);
}

TEST_F(NetworkHandles, TheLookupReadsAChunkedReplyAndRefusesBadOnes) {
  kx::install_transport(&t);
  kx::set_ip_echo_service("127.0.0.1/ip.php");
  const int32_t host = func__openhost(s("TCP/IP:5000"));

  // A chunked reply, arriving in pieces that split the headers.
  t.server_reply = {"HTTP/1.1 200 OK\r\nTransfer-Enc", "oding: chunked\r\n\r\nc\r\n203.0.", "113.77\r\n0\r\n\r\n"};
  EXPECT_EQ(text_of(func__connectionaddress(host)), "TCP/IP:5000:203.0.113.77");
  const auto* lookup = static_cast<stand_in_transport::object*>(t.objects[1].get());
  EXPECT_EQ(lookup->sent, "GET /ip.php HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(lookup->port, 80);
  EXPECT_EQ(t.closed.back(), lookup);  // the lookup closes its connection

  struct bad {
    const char* what;
    std::vector<std::string> reply;
  };
  const bad cases[] = {
      {"length 0", {"HTTP/1.1 200 OK\r\n\r\n0\r\n\r\n"}},
      {"length above 64", {"HTTP/1.1 200 OK\r\n\r\n41\r\n" + std::string(65, '1')}},
      {"length too long to read", {"HTTP/1.1 200 OK\r\n\r\nFFFFFFFFFFFFFFFFFFFF\r\n1.2.3.4"}},
      {"not an address", {"HTTP/1.1 200 OK\r\n\r\n9\r\n<b>hi</b>"}},
      {"headers never end", {"HTTP/1.1 200 OK\r\n"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    t.server_reply = c.reply;
    EXPECT_EQ(text_of(func__connectionaddress(host)), "TCP/IP:5000:127.0.0.1");
    EXPECT_EQ(take_error(), 0u);
  }
  // A service this transport cannot reach: the open fails, so does the lookup.
  kx::set_ip_echo_service("far.away.example/ip.php");
  EXPECT_EQ(kx::what_is_my_ip(), "");
  // Only the host is left open.
  EXPECT_EQ(kx::special_of(host) != nullptr, true);
  EXPECT_EQ(kx::stream_handles()->last_index, 1);
}
