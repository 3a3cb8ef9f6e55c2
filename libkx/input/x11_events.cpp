#include "input/x11_events.h"

#include "frame/flags.h"

// Xlibint.h is needed for the wire-to-event hook; it defines min and max as
// macros, so it comes after every standard header.
#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace {

using wire_to_event_proc = Bool (*)(Display*, XEvent*, xEvent*);

// Written once on the window thread before the filter is installed.
wire_to_event_proc toolkit_client_message_proc = nullptr;
Atom wm_protocols_atom = None;
Atom wm_delete_window_atom = None;

// Xlib calls this while it turns a ClientMessage from the wire into an
// event, before the toolkit can see it. A delete-window request is answered
// here and dropped from the queue, so the toolkit never destroys the
// window; every other event passes on unchanged. It runs with the display
// locked: it must not call Xlib.
Bool filter_client_message(Display* display, XEvent* event, xEvent* wire) {
  const Bool queued = toolkit_client_message_proc(display, event, wire);
  if (!queued || event->type != ClientMessage) return queued;
  const XClientMessageEvent& message = event->xclient;
  if (message.message_type == wm_protocols_atom && message.format == 32 &&
      static_cast<Atom>(message.data.l[0]) == wm_delete_window_atom) {
    tarn_custom_event(1);
    return False;
  }
  return queued;
}

}  // namespace

void install_x11_event_hooks(void* x11_display) {
  auto* display = static_cast<Display*>(x11_display);
  if (!display || toolkit_client_message_proc) return;
  wm_protocols_atom = XInternAtom(display, "WM_PROTOCOLS", False);
  wm_delete_window_atom = XInternAtom(display, "WM_DELETE_WINDOW", False);
  toolkit_client_message_proc = XESetWireToEvent(display, ClientMessage, filter_client_message);
  if (!toolkit_client_message_proc) toolkit_client_message_proc = _XWireToEvent;
}

int32_t tarn_custom_event(int32_t kind, int64_t, int64_t) {
  switch (kind) {
    case 1:
      exit_value.fetch_or(1);
      return 0;
    case 4:
      return 0;
    default:
      return -1;
  }
}
