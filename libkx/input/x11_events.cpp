#include "input/x11_events.h"

#include <array>

#include "frame/flags.h"
#include "input/key_codes.h"
#include "input/keyboard.h"

// Xlibint.h is needed for the wire-to-event hook; it defines min and max as
// macros, so it comes after every standard header.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/keysym.h>

namespace {

using wire_to_event_proc = Bool (*)(Display*, XEvent*, xEvent*);

// Written once on the window thread before the hooks are installed.
std::array<wire_to_event_proc, LASTEvent> toolkit_procs{};
Atom wm_protocols_atom = None;
Atom wm_delete_window_atom = None;

// Events given stage 1 and waiting for stage 2. The window thread writes
// and reads them (or the program thread while it holds the X11 lock, when
// the window thread is parked). When more arrive between two idle calls
// than it holds, the oldest lose their stage 2.
constexpr size_t pending_capacity = 256;
std::array<XEvent, pending_capacity> handled_events;
size_t handled_first = 0;
size_t handled_count = 0;

void remember_for_stage_two(const XEvent& event) {
  if (handled_count == pending_capacity) {
    handled_first = (handled_first + 1) % pending_capacity;
    --handled_count;
  }
  handled_events[(handled_first + handled_count) % pending_capacity] = event;
  ++handled_count;
}

bool is_delete_request(const XEvent& event) {
  if (event.type != ClientMessage) return false;
  const XClientMessageEvent& message = event.xclient;
  return message.message_type == wm_protocols_atom && message.format == 32 &&
         static_cast<Atom>(message.data.l[0]) == wm_delete_window_atom;
}

// Xlib calls this while it turns an event from the wire into an XEvent,
// before the toolkit can see it. A delete-window request is answered here
// and dropped from the queue, so the toolkit never destroys the window.
// It runs with the display locked: nothing here may call Xlib.
Bool filter_event(Display* display, XEvent* event, xEvent* wire) {
  const int type = wire->u.u.type & 0x7F;
  const Bool queued = toolkit_procs[static_cast<size_t>(type)](display, event, wire);
  if (!queued) return queued;
  int stage = 1;
  tarn_os_event_linux(event, display, &stage);
  if (is_delete_request(*event)) {
    tarn_custom_event(1);
    return False;
  }
  remember_for_stage_two(*event);
  return queued;
}

// The toolkit passes no key code for Pause, Break and Scroll Lock; they are
// taken from the X event itself, once the toolkit is done with it (outside
// the display lock, so the keysym lookup may call Xlib).
void deliver_lock_and_break_keys(const XEvent& event) {
  XKeyEvent key_event = event.xkey;
  const KeySym sym = XLookupKeysym(&key_event, 0);
  uint32_t code = 0;
  if (sym == XK_Pause || sym == XK_Break) {
    code = (key_event.state & ControlMask) || sym == XK_Break ? key::break_key : key::pause;
  } else if (sym == XK_Scroll_Lock) {
    code = key::scroll_lock;
  }
  if (code == 0) return;
  event.type == KeyPress ? keydown_vk(code) : keyup_vk(code);
}

}  // namespace

void install_x11_event_hooks(void* x11_display) {
  auto* display = static_cast<Display*>(x11_display);
  if (!display || toolkit_procs[KeyPress]) return;
  wm_protocols_atom = XInternAtom(display, "WM_PROTOCOLS", False);
  wm_delete_window_atom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  // Generic (extension) events carry cookies of their own and pass untouched.
  for (int type = KeyPress; type < GenericEvent; ++type) {
    wire_to_event_proc previous = XESetWireToEvent(display, type, filter_event);
    toolkit_procs[static_cast<size_t>(type)] = previous ? previous : _XWireToEvent;
  }
}

void x11_events_after() {
  while (handled_count > 0) {
    XEvent event = handled_events[handled_first];
    handled_first = (handled_first + 1) % pending_capacity;
    --handled_count;
    int stage = 2;
    tarn_os_event_linux(&event, X11_display.load(), &stage);
  }
}

void tarn_os_event_linux(void* x_event, void* display, int* stage) {
  const auto* event = static_cast<const XEvent*>(x_event);
  if (*stage == 1) {
    if (!X11_display.load()) {
      X11_display = display;
      X11_window = event->xany.window;
    }
    // Clipboard selection requests are answered here once the clipboard exists.
    return;
  }
  if (*stage == 2) {
    if (event->type == KeyPress || event->type == KeyRelease) deliver_lock_and_break_keys(*event);
    if (event->type == EnterNotify) {
      window_focused = -1;
    } else if (event->type == LeaveNotify) {
      window_focused = 0;
      release_held_modifiers();
    }
  }
}

int32_t tarn_custom_event(int32_t kind, int64_t a, int64_t b) {
  switch (kind) {
    case 1:
      exit_value.fetch_or(1);
      return 0;
    case 2:
      if (a != key::pause && a != key::break_key) return -1;
      b > 0 ? keydown(static_cast<uint32_t>(a)) : keyup(static_cast<uint32_t>(a));
      return 0;
    case 3:
      if (auto motion = x11_relative_motion.load()) motion(a, b);
      return 0;
    case 4:
      return 0;
    default:
      return -1;
  }
}
