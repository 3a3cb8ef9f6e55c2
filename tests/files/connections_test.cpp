// Negative file numbers name network connections: CLOSE, GET, PUT, EOF and
// LOF go to the connection layer, and a number that names no connection
// gets 52 "Bad file name or number" without anything being read for it.
#include <map>

#include "file_fixture.h"
#include "files/connection_routing.h"
#include "files/file_fields.h"
#include "files/file_input.h"
#include "files/file_position.h"
#include "files/file_print.h"
#include "files/file_records.h"
#include "values/byte_element.h"
#include "values/string_release.h"

namespace {

// A connection layer with stream -1 and host -2; it records what it is
// asked to do.
struct fake_connections : kx::connection_layer {
  std::map<int32_t, kx::connection_kind> open{{-1, kx::connection_kind::stream}, {-2, kx::connection_kind::host}};
  std::string sent;
  std::string received = "hello world";
  bool end = false;
  std::vector<int32_t> closed;
  int close_alls = 0;
  kx::connection_kind kind_of(int32_t n) override {
    const auto it = open.find(n);
    return it == open.end() ? kx::connection_kind::none : it->second;
  }
  void close(int32_t n) override {
    closed.push_back(n);
    open.erase(n);
  }
  void close_all() override {
    ++close_alls;
    open.clear();
  }
  void send(int32_t, const uint8_t* data, int64_t count) override {
    sent.append(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
  }
  int64_t waiting(int32_t) override { return static_cast<int64_t>(received.size()); }
  std::string take(int32_t, int64_t most) override {
    const size_t n = most < 0 ? received.size() : std::min(received.size(), static_cast<size_t>(most));
    std::string out = received.substr(0, n);
    received.erase(0, n);
    return out;
  }
  bool at_end(int32_t) override { return end; }
};

class Connections : public file_test {
 protected:
  void TearDown() override {
    kx::install_connection_layer(nullptr);
    file_test::TearDown();
  }
  byte_element_struct element(void* address, int64_t length) {
    byte_element_struct e{};
    e.address = reinterpret_cast<uint64_t>(address);
    e.length = static_cast<int32_t>(length);
    return e;
  }
};

TEST_F(Connections, WithoutANetworkEveryNegativeNumberNamesNothing) {
  for (const int32_t n : {-1, -2, -1000, INT32_MIN}) {
    SCOPED_TRACE(n);
    kxs* v = var("kept");
    sub_get2(n, 1, v, 0);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(text_of(v), "kept");
    sub_put2(n, 1, s("data"), 0);
    EXPECT_EQ(take_error(), 52u);
    int32_t number = 7;
    byte_element_struct e = element(&number, 4);
    sub_get(n, 1, &e, 0);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(number, 7);
    sub_put(n, 1, &e, 0);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(func_eof(n), 0);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(func_lof(n), 0);
    EXPECT_EQ(take_error(), 52u);
    for (auto statement : {+[](int32_t m) { func_loc(m); }, +[](int32_t m) { func_seek(m); },
                           +[](int32_t m) { sub_seek(m, 1); }, +[](int32_t m) { sub_lock(m, 0, 0, 0); },
                           +[](int32_t m) { kxs_free(func_input(3, m, 1)); }, +[](int32_t m) { field_new(m); }}) {
      statement(n);
      EXPECT_EQ(take_error(), 52u);
    }
    // CLOSE of a number that names nothing is ignored, like PRINT # and
    // INPUT # on connections.
    sub_file_line_input_string(n, v);
    EXPECT_EQ(take_error(), 52u);
    EXPECT_EQ(text_of(v), "kept");
    sub_close(n, 1);
    sub_file_print(n, s("x"), 0, 0, 1);
    sub_file_input_string(n, v);
    EXPECT_EQ(take_error(), 0u);
    kxs_free(v);
  }
}

TEST_F(Connections, StatementsReachTheConnectionLayer) {
  fake_connections net;
  kx::install_connection_layer(&net);
  sub_put2(-1, 5, s("GET /"), 1);  // the record number plays no part
  uint8_t crlf[2] = {13, 10};
  byte_element_struct e = element(crlf, 2);
  sub_put(-1, 0, &e, 0);
  EXPECT_EQ(net.sent, "GET /\r\n");
  // A host has nothing to send on; nothing at -3.
  sub_put2(-2, 0, s("ignored"), 0);
  EXPECT_EQ(take_error(), 0u);
  sub_put2(-3, 0, s("nothing"), 0);
  EXPECT_EQ(take_error(), 52u);
  EXPECT_EQ(net.sent, "GET /\r\n");

  EXPECT_EQ(func_lof(-1), 11);
  func_lof(-2);  // a host is no stream
  EXPECT_EQ(take_error(), 52u);
  char five[5] = {};
  byte_element_struct fixed = element(five, 5);
  sub_get(-1, 0, &fixed, 0);
  EXPECT_EQ(std::string(five, 5), "hello");
  char twenty[20] = {'z'};
  byte_element_struct longer = element(twenty, 20);
  sub_get(-1, 0, &longer, 0);  // fewer bytes wait than it needs: left as it was
  EXPECT_EQ(twenty[0], 'z');
  kxs* v = var();
  sub_get2(-1, 0, v, 0);
  EXPECT_EQ(text_of(v), " world");
  EXPECT_EQ(func_lof(-1), 0);
  EXPECT_EQ(func_eof(-1), 0);
  net.end = true;
  EXPECT_EQ(func_eof(-1), -1);
  EXPECT_EQ(take_error(), 0u);

  sub_close(-2, 1);
  EXPECT_EQ(net.closed, std::vector<int32_t>{-2});
  // CLOSE without a number closes the connections and the files.
  open("f.txt", OUTPUT, 1);
  sub_close(0, 0);
  EXPECT_EQ(net.close_alls, 1);
  EXPECT_TRUE(gfs_fileno.empty());
  EXPECT_EQ(take_error(), 0u);
  kxs_free(v);
}

}  // namespace
