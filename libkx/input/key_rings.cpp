#include "input/key_rings.h"

#include <algorithm>

kx::spsc_ring<int32_t, keyhit_size> keyhit;
scancode_queue port60h;
held_keys keyheld_buffer;

void scancode_queue::push(uint8_t code) {
  ring_.push(code);
  last_pushed_ = code;
  any_pushed_ = true;
}

void scancode_queue::push_make(uint8_t code) {
  // An auto-repeat of the key still waiting at the end of the queue adds nothing.
  if (!ring_.empty() && any_pushed_.load() && last_pushed_.load() == code) return;
  push(code);
}

void scancode_queue::push_break(uint8_t code) {
  const auto break_code = static_cast<uint8_t>(code + 128);
  if (!ring_.empty() && any_pushed_.load() && last_pushed_.load() == break_code) return;
  push(break_code);
}

uint8_t scancode_queue::take() {
  uint8_t code;
  if (ring_.pop(&code)) front_ = code;
  return front_;
}

void scancode_queue::clear() { ring_.clear(); }

void scancode_queue::reset() {
  ring_.reset();
  any_pushed_ = false;
  last_pushed_ = 0;
  front_ = 0x81;
}

void held_keys::add(uint32_t code) {
  std::lock_guard<std::mutex> guard(lock_);
  if (std::find(codes_.begin(), codes_.end(), code) == codes_.end()) codes_.push_back(code);
}

void held_keys::remove(uint32_t code) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = std::find(codes_.begin(), codes_.end(), code);
  if (it != codes_.end()) codes_.erase(it);
}

bool held_keys::contains(uint32_t code) const {
  std::lock_guard<std::mutex> guard(lock_);
  return std::find(codes_.begin(), codes_.end(), code) != codes_.end();
}

void held_keys::toggle(uint32_t code) {
  std::lock_guard<std::mutex> guard(lock_);
  const auto it = std::find(codes_.begin(), codes_.end(), code);
  if (it != codes_.end()) {
    codes_.erase(it);
  } else {
    codes_.push_back(code);
  }
}

std::vector<uint32_t> held_keys::snapshot() const {
  std::lock_guard<std::mutex> guard(lock_);
  return codes_;
}

void held_keys::clear() {
  std::lock_guard<std::mutex> guard(lock_);
  codes_.clear();
}
