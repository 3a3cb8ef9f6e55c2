#pragma once
// The mouse message queues. Every pointer or button change appends a
// message to the first queue; _MOUSEINPUT steps a queue's current message
// forward and the mouse functions read the current message. A pipe is a
// queue stacked on the first one: new messages go to it, and the program
// hands messages down to its parent with _MOUSEINPUTPIPE.
//
// The window thread appends and the application thread reads and steps;
// one lock guards every queue, so a message is never read half-written and
// the appender and the reader never both move `current`.
#include <cstdint>

struct mouse_message {
  int16_t x;  // window pixels
  int16_t y;
  uint32_t buttons;  // bit 0 left, 1 middle, 2 right, 3 wheel up, 4 wheel down
  int16_t movementx;
  int16_t movementy;
};

inline constexpr int32_t mouse_queue_last_index = 65535;  // a ring of 65,536 messages

// Handles of the queue made at start-up (read without a queue argument) and
// of the queue new events go to.
extern int32_t mouse_message_queue_default;
int32_t mouse_message_queue_first();

// _MOUSEINPUT [(q)]: -1 when a message was taken.
int32_t func__mouseinput(int32_t q, int32_t given);
int32_t func__mousebutton(int32_t n, int32_t q, int32_t given);
int32_t func__mousewheel(int32_t q, int32_t given);
float func__mousemovementx(int32_t q, int32_t given);
float func__mousemovementy(int32_t q, int32_t given);
int32_t func__mousepipeopen();
void sub__mouseinputpipe(int32_t q);
void sub__mousepipeclose(int32_t q);

namespace kx {

// Start-up (and tests): one empty default queue that is also the first.
void mouse_queues_init();

// Window thread: the events. Buttons are 1 left, 2 middle, 3 right, 4 wheel
// up, 5 wheel down; positions are window pixels.
void mouse_button_event(int32_t button, bool down);
void mouse_position_event(int32_t x, int32_t y);
// One wheel step: direction > 0 is away from the user (button 4).
void mouse_wheel_event(int32_t direction);
// A relative movement reported by the window layer (custom event kind 3).
void mouse_relative_event(int32_t dx, int32_t dy);

// The current message of queue q, or false (error raised) when q is not a
// queue. Application thread.
bool mouse_current_message(int32_t q, int32_t given, mouse_message* out);
// The newest message of queue q, whatever _MOUSEINPUT has taken: nothing
// moves. False (error raised) when q is not a queue. Application thread.
bool mouse_newest_message(int32_t q, int32_t given, mouse_message* out);
// Messages of queue q not yet taken by _MOUSEINPUT (tests and benchmarks).
int32_t mouse_pending_messages(int32_t q);

}  // namespace kx
