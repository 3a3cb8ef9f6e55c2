#include "input/mouse_queues.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "base/error.h"
#include "input/devices.h"
#include "input/mouse_position.h"

int32_t mouse_message_queue_default = 0;

namespace {

struct mouse_message_queue {
  std::unique_ptr<mouse_message[]> messages{new mouse_message[mouse_queue_last_index + 1]()};
  int32_t current = 0;
  int32_t last = 0;
  int32_t parent = 0;
  int32_t child = 0;
};

// Guards the queue table and every queue in it. Handles are 1-based indexes
// into the table; queues stay for the rest of the run.
std::mutex queue_lock;
std::vector<std::unique_ptr<mouse_message_queue>> queues;
int32_t first_queue = 0;

// Counts the changes to any queue, so that a program polling _MOUSEINPUT on
// an empty queue does not take the lock on every pass (and keep the window
// thread's appends waiting for it): it looks again only after a change.
std::atomic<uint64_t> queue_changes{0};
// The queue found empty last and the change count then (application thread).
int32_t empty_queue = -1;
uint64_t empty_since = 0;

// Holds queue_lock for a change and counts it.
class queue_change {
 public:
  queue_change() : guard_(queue_lock) {}
  ~queue_change() { queue_changes.fetch_add(1, std::memory_order_release); }
  queue_change(const queue_change&) = delete;
  queue_change& operator=(const queue_change&) = delete;

 private:
  std::lock_guard<std::mutex> guard_;
};

int32_t next_index(int32_t i) { return i == mouse_queue_last_index ? 0 : i + 1; }

mouse_message_queue* find(int32_t handle) {
  if (handle < 1 || handle > static_cast<int32_t>(queues.size())) return nullptr;
  return queues[static_cast<size_t>(handle - 1)].get();
}

// Appends a message; when the ring is full the oldest message goes.
// Caller holds queue_lock.
mouse_message& append(mouse_message_queue& q) {
  const mouse_message previous = q.messages[static_cast<size_t>(q.last)];
  const int32_t i = next_index(q.last);
  if (i == q.current) q.current = next_index(q.current);
  mouse_message& m = q.messages[static_cast<size_t>(i)];
  m = previous;
  m.movementx = 0;
  m.movementy = 0;
  q.last = i;
  return m;
}

int32_t add_queue() {
  queues.push_back(std::make_unique<mouse_message_queue>());
  return static_cast<int32_t>(queues.size());
}

// The queue a read names; raises 258 for a handle that is no queue.
mouse_message_queue* queue_for_read(int32_t q, int32_t given) {
  mouse_message_queue* queue = find(given ? q : mouse_message_queue_default);
  if (!queue) error(err::invalid_handle);
  return queue;
}

// The pipe a statement names: 258 for a handle that is no queue, 5 for the
// default queue, which is no pipe. Caller holds queue_lock.
mouse_message_queue* pipe_named(int32_t q) {
  mouse_message_queue* queue = find(q);
  if (!queue) {
    error(err::invalid_handle);
    return nullptr;
  }
  if (q == mouse_message_queue_default) {
    error(err::illegal_function_call);
    return nullptr;
  }
  return queue;
}

// A snapshot on the mouse device for a button change.
void device_button(int32_t button, bool down) {
  if (button <= 3) {
    kx::add_device_event(2, [&](device_record& d, uint8_t* event) {
      setDeviceEventButtonValue(d, event, button, down ? 1 : 0);
    });
    return;
  }
  if (!down) return;
  const float step = button == 4 ? -1.0f : 1.0f;
  kx::add_device_event(2, [&](device_record& d, uint8_t* event) { setDeviceEventWheelValue(d, event, 3, step); });
  kx::add_device_event(2, [&](device_record& d, uint8_t* event) { setDeviceEventWheelValue(d, event, 3, 0.0f); });
}

}  // namespace

int32_t mouse_message_queue_first() {
  std::lock_guard guard(queue_lock);
  return first_queue;
}

void kx::mouse_queues_init() {
  queue_change change;
  queues.clear();
  mouse_message_queue_default = add_queue();
  first_queue = mouse_message_queue_default;
}

void kx::mouse_button_event(int32_t button, bool down) {
  if (button < 1 || button > 5) return;
  {
    queue_change change;
    if (mouse_message_queue* q = find(first_queue)) {
      mouse_message& m = append(*q);
      const uint32_t bit = 1u << (button - 1);
      m.buttons = down ? (m.buttons | bit) : (m.buttons & ~bit);
    }
  }
  device_button(button, down);
}

void kx::mouse_wheel_event(int32_t direction) {
  if (direction == 0) return;
  const int32_t button = direction > 0 ? 4 : 5;
  mouse_button_event(button, true);
  mouse_button_event(button, false);
}

void kx::mouse_position_event(int32_t x, int32_t y) {
  {
    queue_change change;
    if (mouse_message_queue* q = find(first_queue)) {
      // Two messages, so a program that reads one message per loop pass
      // still sees the position when it reads in step with the events.
      for (int i = 0; i < 2; ++i) {
        mouse_message& m = append(*q);
        m.x = static_cast<int16_t>(x);
        m.y = static_cast<int16_t>(y);
      }
    }
  }
  const device_axes axes = kx::mouse_device_axes(x, y);
  kx::add_device_event(2, [&](device_record& d, uint8_t* event) {
    setDeviceEventAxisValue(d, event, 1, axes.x);
    setDeviceEventAxisValue(d, event, 2, axes.y);
  });
}

void kx::mouse_relative_event(int32_t dx, int32_t dy) {
  queue_change change;
  mouse_message_queue* q = find(first_queue);
  if (!q) return;
  mouse_message& m = append(*q);
  m.movementx = static_cast<int16_t>(dx);
  m.movementy = static_cast<int16_t>(dy);
  append(*q);
}

bool kx::mouse_current_message(int32_t q, int32_t given, mouse_message* out) {
  std::lock_guard guard(queue_lock);
  mouse_message_queue* queue = queue_for_read(q, given);
  if (!queue) return false;
  *out = queue->messages[static_cast<size_t>(queue->current)];
  return true;
}

bool kx::mouse_newest_message(int32_t q, int32_t given, mouse_message* out) {
  std::lock_guard guard(queue_lock);
  mouse_message_queue* queue = queue_for_read(q, given);
  if (!queue) return false;
  *out = queue->messages[static_cast<size_t>(queue->last)];
  return true;
}

int32_t kx::mouse_pending_messages(int32_t q) {
  std::lock_guard guard(queue_lock);
  mouse_message_queue* queue = find(q);
  if (!queue) return 0;
  const int32_t n = queue->last - queue->current;
  return n >= 0 ? n : n + mouse_queue_last_index + 1;
}

int32_t func__mouseinput(int32_t q, int32_t given) {
  if (new_error.load()) return 0;
  const int32_t handle = given ? q : mouse_message_queue_default;
  const uint64_t changes = queue_changes.load(std::memory_order_acquire);
  if (handle == empty_queue && changes == empty_since) return 0;
  std::lock_guard guard(queue_lock);
  mouse_message_queue* queue = queue_for_read(q, given);
  if (!queue) return 0;
  if (queue->current == queue->last) {
    empty_queue = handle;
    empty_since = changes;
    return 0;
  }
  queue->current = next_index(queue->current);
  return -1;
}

int32_t func__mousebutton(int32_t n, int32_t q, int32_t given) {
  if (new_error.load()) return 0;
  if (n <= 0) {
    error(err::illegal_function_call);
    return 0;
  }
  mouse_message m{};
  if (!kx::mouse_current_message(q, given, &m) || n > 3) return 0;
  // 1 left, 2 right, 3 middle, while the message keeps left, middle, right.
  constexpr uint32_t bits[4] = {0, 1u << 0, 1u << 2, 1u << 1};
  return (m.buttons & bits[n]) ? -1 : 0;
}

int32_t func__mousewheel(int32_t q, int32_t given) {
  if (new_error.load()) return 0;
  mouse_message m{};
  if (!kx::mouse_current_message(q, given, &m)) return 0;
  const uint32_t wheel = m.buttons & (8u | 16u);
  if (wheel == 8u) return -1;
  if (wheel == 16u) return 1;
  return 0;
}

float func__mousemovementx(int32_t q, int32_t given) {
  if (new_error.load()) return 0;
  mouse_message m{};
  return kx::mouse_current_message(q, given, &m) ? m.movementx : 0;
}

float func__mousemovementy(int32_t q, int32_t given) {
  if (new_error.load()) return 0;
  mouse_message m{};
  return kx::mouse_current_message(q, given, &m) ? m.movementy : 0;
}

int32_t func__mousepipeopen() {
  if (new_error.load()) return 0;
  queue_change change;
  const int32_t handle = add_queue();
  mouse_message_queue* q = find(handle);
  q->parent = first_queue;
  if (mouse_message_queue* below = find(first_queue)) below->child = handle;
  first_queue = handle;
  return handle;
}

void sub__mouseinputpipe(int32_t q) {
  if (new_error.load()) return;
  queue_change change;
  mouse_message_queue* queue = pipe_named(q);
  if (!queue) return;
  mouse_message_queue* parent = find(queue->parent);
  if (!parent) {
    error(err::illegal_function_call);  // closed
    return;
  }
  const mouse_message passed = queue->messages[static_cast<size_t>(queue->current)];
  append(*parent) = passed;
}

// Closing a pipe takes it out of the stack: its parent becomes the first
// queue again when it was the first, and its child (if any) hands its
// messages to the parent from now on. Its handle stays valid and reads
// what it holds.
void sub__mousepipeclose(int32_t q) {
  if (new_error.load()) return;
  queue_change change;
  mouse_message_queue* queue = pipe_named(q);
  if (!queue) return;
  if (queue->parent == 0 && queue->child == 0 && first_queue != q) return;  // closed before
  mouse_message_queue* parent = find(queue->parent);
  mouse_message_queue* child = find(queue->child);
  if (child) child->parent = queue->parent;
  if (parent) parent->child = queue->child;
  if (first_queue == q) first_queue = queue->parent;
  queue->parent = 0;
  queue->child = 0;
}
