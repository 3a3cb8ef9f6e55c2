#pragma once
// Serial-port names: "COM" and a port number, a colon, and comma-separated
// options. A name that passes is opened as an ordinary file of that name;
// no serial device is driven.
#include <cstdint>
#include <string_view>

struct gfs_file_struct;

// 0 when name is not a serial-port name, -1 when it is one but malformed,
// 1 when valid; a valid name's options are stored in record.
int32_t gfs_open_com_syntax(std::string_view name, gfs_file_struct& record);
