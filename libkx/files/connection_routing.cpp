#include "files/connection_routing.h"

#include <cstring>

#include "base/error.h"
#include "net/network_handles.h"

namespace {

// The network handles' layer: negative numbers name the records of the
// network layer's handle tables.
class network_connections final : public kx::connection_layer {
 public:
  kx::connection_kind kind_of(int32_t number) override {
    const kx::special_record* special = kx::special_of(number);
    if (!special) return kx::connection_kind::none;
    return special->type == kx::special_type::host ? kx::connection_kind::host : kx::connection_kind::stream;
  }
  void close(int32_t number) override { kx::close_network_handle(-1 - int64_t{number}); }
  void close_all() override { kx::close_all_connections(); }
  void send(int32_t number, const uint8_t* data, int64_t count) override {
    kx::stream_out(kx::stream_of(number), data, count);
  }
  int64_t waiting(int32_t number) override {
    kx::stream_record* stream = kx::stream_of(number);
    kx::stream_update(stream);
    return stream->count;
  }
  std::string take(int32_t number, int64_t most) override {
    kx::stream_record* stream = kx::stream_of(number);
    kx::stream_update(stream);
    return kx::stream_take(stream, most);
  }
  bool at_end(int32_t number) override { return kx::stream_of(number)->end_flag != 0; }
};

network_connections network;
kx::connection_layer* installed = &network;

// Whether number names a stream; raises 52 when it does not.
bool is_stream(int32_t number) {
  if (installed->kind_of(number) == kx::connection_kind::stream) return true;
  error(err::bad_file_name_or_number);
  return false;
}

}  // namespace

namespace kx {

connection_layer& connections() { return *installed; }

void install_connection_layer(connection_layer* layer) { installed = layer ? layer : &network; }

void connection_close(int32_t number) {
  // Like a file number not in use, a number that names nothing is ignored.
  if (installed->kind_of(number) != connection_kind::none) installed->close(number);
}

void connection_put(int32_t number, const uint8_t* data, int64_t count) {
  const connection_kind kind = installed->kind_of(number);
  if (kind == connection_kind::none) {
    error(err::bad_file_name_or_number);
    return;
  }
  // A host has nothing to send on: the PUT is ignored.
  if (kind == connection_kind::stream) installed->send(number, data, count);
}

bool connection_get_fixed(int32_t number, uint8_t* data, int64_t count) {
  if (!is_stream(number)) return false;
  if (count <= 0 || installed->waiting(number) < count) return false;
  const std::string bytes = installed->take(number, count);
  if (static_cast<int64_t>(bytes.size()) != count) return false;
  std::memcpy(data, bytes.data(), bytes.size());
  return true;
}

std::string connection_get_all(int32_t number) {
  if (!is_stream(number)) return std::string();
  return installed->take(number, -1);
}

int64_t connection_lof(int32_t number) { return is_stream(number) ? installed->waiting(number) : 0; }

int32_t connection_eof(int32_t number) {
  if (!is_stream(number)) return 0;
  return installed->at_end(number) ? -1 : 0;
}

}  // namespace kx
