#include "platform/x11_events.h"

#include <poll.h>

#include <array>

#include "base/clock.h"
#include "base/flags.h"
#include "base/window_wake.h"
#include "input/key_codes.h"
#include "input/keyboard.h"
#include "input/lock_keys.h"
#include "input/mouse_queues.h"
#include "platform/clipboard.h"
#include "platform/x11_keysyms.h"

// Xlibint.h is needed for the wire-to-event hook; it defines min and max as
// macros, so it comes after every standard header.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

using wire_to_event_proc = Bool (*)(Display*, XEvent*, xEvent*);

// Written once on the window thread before the hooks are installed.
// Indexed by event type: the core types and the keyboard extension's.
std::array<wire_to_event_proc, 128> toolkit_procs{};
int xkb_event_type = -1;  // the keyboard extension's event type, once known
Atom wm_protocols_atom = None;
Atom wm_delete_window_atom = None;

// Events given stage 1 and waiting for stage 2, in the order Xlib queued
// them, which is the order the toolkit handles them in. The window thread
// writes and reads them (or the program thread while it holds the X11 lock,
// when the window thread is parked). When more arrive between two idle
// calls than it holds, the oldest lose their stage 2.
struct seen_event {
  XEvent event;
  bool reported = false;  // a key event the toolkit has reported through a callback
};
constexpr size_t pending_capacity = 256;
std::array<seen_event, pending_capacity> handled_events;
size_t handled_first = 0;
size_t handled_count = 0;
unsigned int numlock_mask = Mod2Mask;  // found on the display at installation
Display* hooked_display = nullptr;     // the toolkit's connection, once hooked

seen_event& seen_at(size_t i) { return handled_events[(handled_first + i) % pending_capacity]; }

void remember_for_stage_two(const XEvent& event) {
  if (handled_count == pending_capacity) {
    handled_first = (handled_first + 1) % pending_capacity;
    --handled_count;
  }
  handled_events[(handled_first + handled_count) % pending_capacity] = seen_event{event, false};
  ++handled_count;
}

bool is_key_event(const XEvent& event) { return event.type == KeyPress || event.type == KeyRelease; }

// Whether the toolkit reports this key through its character callbacks:
// it does when the key gives text.
bool gives_text(const XEvent& event) {
  XKeyEvent key_event = event.xkey;
  char text[8];
  KeySym sym = NoSymbol;
  return XLookupString(&key_event, text, sizeof text, &sym, nullptr) > 0;
}

// The code the event's own symbols give the key, or 0 when the toolkit's
// report is the right one. The unshifted symbol names the physical key;
// the symbol in effect catches Break and SysReq, which some maps put on a
// shifted level.
uint32_t code_from_symbols(const XEvent& event) {
  XKeyEvent key_event = event.xkey;
  if (const uint32_t code = kx::x11_keysym_code(XLookupKeysym(&key_event, 0), key_event.state, numlock_mask,
                                                ControlMask)) {
    return code;
  }
  char text[8];
  KeySym sym = NoSymbol;
  XLookupString(&key_event, text, sizeof text, &sym, nullptr);
  return kx::x11_keysym_code(sym, key_event.state, numlock_mask, ControlMask);
}

// A key event that the toolkit handled without a callback (lock keys,
// Pause, Break) is delivered at its stage 2, in its place among the keys.
void deliver_unreported_key(const XEvent& event) {
  const uint32_t code = code_from_symbols(event);
  if (code == 0) return;
  event.type == KeyPress ? keydown_vk(code) : keyup_vk(code);
}

// Stage 2 for the oldest count events.
void finish_oldest(size_t count) {
  while (count-- > 0 && handled_count > 0) {
    seen_event seen = handled_events[handled_first];
    handled_first = (handled_first + 1) % pending_capacity;
    --handled_count;
    if (is_key_event(seen.event) && !seen.reported) deliver_unreported_key(seen.event);
    int stage = 2;
    tarn_os_event_linux(&seen.event, X11_display.load(), &stage);
  }
}

// Events that carry the modifier state tell the lock keys' state with it;
// the keyboard extension's state events tell it the moment a lock changes.
void note_event_lock_state(const XEvent& event) {
  if (event.type == xkb_event_type) {
    const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
    if (xkb.any.xkb_type != XkbStateNotify) return;
    const unsigned int locked = xkb.state.locked_mods;
    note_lock_state((locked & LockMask) != 0, (locked & numlock_mask) != 0);
    return;
  }
  unsigned int state;
  switch (event.type) {
    case KeyPress: case KeyRelease: state = event.xkey.state; break;
    case ButtonPress: case ButtonRelease: state = event.xbutton.state; break;
    case MotionNotify: state = event.xmotion.state; break;
    case EnterNotify: case LeaveNotify: state = event.xcrossing.state; break;
    default: return;
  }
  note_lock_state((state & LockMask) != 0, (state & numlock_mask) != 0);
}

Bool filter_event(Display* display, XEvent* event, xEvent* wire);

// Asks the keyboard extension to report every change of the locked
// modifiers, and passes its events through the filter as well.
void watch_lock_changes(Display* display) {
  int opcode = 0, event_base = 0, error_base = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (!XkbQueryExtension(display, &opcode, &event_base, &error_base, &major, &minor)) return;
  if (event_base <= 0 || event_base >= static_cast<int>(toolkit_procs.size())) return;
  // Xlib's own conversion of the extension's events, which the filter wraps.
  const wire_to_event_proc previous = XESetWireToEvent(display, event_base, filter_event);
  if (!previous) {
    XESetWireToEvent(display, event_base, nullptr);
    return;
  }
  toolkit_procs[static_cast<size_t>(event_base)] = previous;
  xkb_event_type = event_base;
  XkbSelectEventDetails(display, XkbUseCoreKbd, XkbStateNotify, XkbModifierLockMask, XkbModifierLockMask);
}

// The lock state before the first event, from the pointer query's modifiers.
void note_initial_lock_state(Display* display) {
  Window root, child;
  int root_x, root_y, x, y;
  unsigned int state = 0;
  if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &root_x, &root_y, &x, &y, &state)) {
    note_lock_state((state & LockMask) != 0, (state & numlock_mask) != 0);
  }
}

unsigned int find_numlock_mask(Display* display) {
  const KeyCode numlock = XKeysymToKeycode(display, XK_Num_Lock);
  XModifierKeymap* map = XGetModifierMapping(display);
  if (!map) return Mod2Mask;
  unsigned int mask = Mod2Mask;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int k = 0; k < map->max_keypermod; ++k) {
      if (numlock != 0 && map->modifiermap[modifier * map->max_keypermod + k] == numlock) mask = 1u << modifier;
    }
  }
  XFreeModifiermap(map);
  return mask;
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

}  // namespace

void install_x11_event_hooks(void* x11_display) {
  auto* display = static_cast<Display*>(x11_display);
  if (!display || toolkit_procs[KeyPress]) return;
  wm_protocols_atom = XInternAtom(display, "WM_PROTOCOLS", False);
  wm_delete_window_atom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  numlock_mask = find_numlock_mask(display);
  hooked_display = display;
  note_initial_lock_state(display);
  watch_lock_changes(display);
  // Generic (extension) events carry cookies of their own and pass untouched.
  for (int type = KeyPress; type < GenericEvent; ++type) {
    wire_to_event_proc previous = XESetWireToEvent(display, type, filter_event);
    toolkit_procs[static_cast<size_t>(type)] = previous ? previous : _XWireToEvent;
  }
}

void x11_events_after() {
  // Events Xlib has queued but the toolkit has not yet taken wait for a
  // later pass.
  auto* display = static_cast<Display*>(X11_display.load());
  const size_t waiting = display ? static_cast<size_t>(XEventsQueued(display, QueuedAlready)) : 0;
  finish_oldest(handled_count > waiting ? handled_count - waiting : 0);
}

void x11_wait_for_events(uint32_t ms, int wake_fd) {
  if (!hooked_display && wake_fd < 0) {
    Sleep(ms);
    return;
  }
  // Events already read from the connection are not seen by poll.
  if (hooked_display && XEventsQueued(hooked_display, QueuedAfterFlush) > 0) return;
  pollfd watched[2] = {{hooked_display ? ConnectionNumber(hooked_display) : -1, POLLIN, 0}, {wake_fd, POLLIN, 0}};
  poll(watched, 2, static_cast<int>(ms));
  if (wake_fd >= 0 && (watched[1].revents & POLLIN)) kx::drain_window_wake();
}

uint32_t x11_key_callback_code(bool pressed, bool text, uint32_t toolkit_code) {
  const int type = pressed ? KeyPress : KeyRelease;
  for (size_t i = 0; i < handled_count; ++i) {
    seen_event& seen = seen_at(i);
    if (seen.reported || seen.event.type != type || gives_text(seen.event) != text) continue;
    // The toolkit handles events in order: everything before this one is done.
    finish_oldest(i);
    seen_event& current = seen_at(0);
    current.reported = true;
    const uint32_t code = code_from_symbols(current.event);
    return code != 0 ? code : toolkit_code;
  }
  return toolkit_code;
}

void tarn_os_event_linux(void* x_event, void* display, int* stage) {
  const auto* event = static_cast<const XEvent*>(x_event);
  if (*stage == 1) {
    if (!X11_display.load()) {
      X11_display = display;
      X11_window = event->xany.window;
    }
    note_event_lock_state(*event);
    // Xlib is busy converting this event: a selection request is answered
    // at stage 2.
    kx::x11filter(x_event);
    return;
  }
  if (*stage == 2) {
    if (event->type == SelectionRequest || event->type == PropertyNotify || event->type == DestroyNotify) {
      kx::answer_selection_requests();
    }
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
      kx::mouse_relative_event(static_cast<int32_t>(a), static_cast<int32_t>(b));
      return 0;
    case 4:
      return 0;
    default:
      return -1;
  }
}
