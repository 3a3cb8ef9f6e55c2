#pragma once
// The file statements' road to network connections. BASIC names a
// connection by a negative file number, the complement (-1 - index) of its
// index in the network layer's handle table. CLOSE, GET, PUT, EOF and LOF
// hand such numbers to the connection layer installed here: the network
// handles' own, unless a test installs another.
#include <cstdint>
#include <string>

namespace kx {

enum class connection_kind { none, stream, host };

class connection_layer {
 public:
  virtual ~connection_layer() = default;
  // What the negative number names: a data stream (a client or an accepted
  // connection), a listening host, or nothing. Must answer none for any
  // number that names no record, without reading a record.
  virtual connection_kind kind_of(int32_t number) = 0;
  // CLOSE #number of a stream or host.
  virtual void close(int32_t number) = 0;
  // CLOSE without a number: every connection.
  virtual void close_all() = 0;
  // PUT on a stream: sends the bytes.
  virtual void send(int32_t number, const uint8_t* data, int64_t count) = 0;
  // LOF of a stream: the bytes received and waiting, after taking in what
  // has arrived.
  virtual int64_t waiting(int32_t number) = 0;
  // GET from a stream: takes up to most waiting bytes (all with -1).
  virtual std::string take(int32_t number, int64_t most) = 0;
  // EOF of a stream: its end flag.
  virtual bool at_end(int32_t number) = 0;
};

// The installed layer; the network handles' when none is.
connection_layer& connections();
// Installs a layer (null: back to the network handles'). The
// layer must outlive its installation.
void install_connection_layer(connection_layer* layer);

// The statements' side: each raises 52 "Bad file name or number" for a
// number that names no stream (no host either, for CLOSE).
void connection_close(int32_t number);
void connection_put(int32_t number, const uint8_t* data, int64_t count);
// GET of fixed-size data: fills count bytes only when that many wait;
// answers whether it did.
bool connection_get_fixed(int32_t number, uint8_t* data, int64_t count);
// GET of a variable-length string: every waiting byte.
std::string connection_get_all(int32_t number);
int64_t connection_lof(int32_t number);
int32_t connection_eof(int32_t number);

}  // namespace kx
