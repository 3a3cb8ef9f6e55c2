#include "values/byte_element.h"

#include "values/static_pool.h"

byte_element_struct* byte_element(uint64_t address, int32_t length, byte_element_struct* info) {
  info->address = address;
  info->length = length < 0 ? 0 : length;
  return info;
}

byte_element_struct* byte_element(uint64_t address, int32_t length) {
  auto* info = reinterpret_cast<byte_element_struct*>(mem_static_malloc(sizeof(byte_element_struct)));
  return byte_element(address, length, info);
}
