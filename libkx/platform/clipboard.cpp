#include "platform/clipboard.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/error.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "platform/x11_events.h"
#include "values/string_descriptor.h"
#include "values/string_results.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

struct clipboard_atoms {
  Atom targets = None, utf8string = None, compoundtext = None, clipboard = None, incr = None;
};
// Interned once, by whichever thread first needs them while it may call X.
clipboard_atoms atoms;
bool atoms_ready = false;

// The text the program copied last, in code page 437: what the program
// pastes back byte for byte while it owns the selection, and what it offers
// other programs. Written by the application thread, read by the window
// thread when it answers a request.
std::mutex owned_lock;
std::string owned_text;

// Selection requests and the requestors' property deletions seen at
// stage 1, answered at stage 2.
std::mutex requests_lock;
std::vector<XSelectionRequestEvent> waiting_requests;
std::vector<XPropertyEvent> waiting_deletions;

// Texts larger than this go in pieces of this size (the INCR protocol), so
// no reply exceeds what any server takes in one request.
constexpr size_t incr_piece_bytes = 256 * 1024;

// A text being sent in pieces: each deletion of the property by the
// requestor asks for the next piece, and an empty piece ends it.
struct outgoing_transfer {
  Window requestor;
  Atom property;
  Atom type;
  std::string data;
  size_t sent = 0;
  bool finished = false;
};
std::vector<outgoing_transfer> transfers;  // window thread only

Display* display() { return static_cast<Display*>(X11_display.load()); }
Window window() { return static_cast<Window>(X11_window.load()); }

void intern_atoms(Display* d) {
  if (atoms_ready) return;
  atoms.targets = XInternAtom(d, "TARGETS", False);
  atoms.utf8string = XInternAtom(d, "UTF8_STRING", False);
  atoms.compoundtext = XInternAtom(d, "COMPOUND_TEXT", False);
  atoms.clipboard = XInternAtom(d, "CLIPBOARD", False);
  atoms.incr = XInternAtom(d, "INCR", False);
  atoms_ready = true;
}

// X errors while a reply goes to another client (a requestor window that is
// gone, a property too large) are noted here instead of ending the process.
std::atomic<int> trapped_error{0};
int note_x_error(Display*, XErrorEvent* e) {
  trapped_error = e->error_code;
  return 0;
}

class x_error_trap {
 public:
  explicit x_error_trap(Display* d) : display_(d) {
    XSync(display_, False);
    trapped_error = 0;
    previous_ = XSetErrorHandler(note_x_error);
  }
  ~x_error_trap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }
  x_error_trap(const x_error_trap&) = delete;
  x_error_trap& operator=(const x_error_trap&) = delete;

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
};

// The owned text as the requested target, or false for a target not offered.
bool text_as(Display* d, Atom target, std::string* data, Atom* type) {
  std::string text;
  {
    std::lock_guard guard(owned_lock);
    text = owned_text;
  }
  if (target == atoms.utf8string) {
    *data = kx::cp437_to_utf8(text);
    *type = atoms.utf8string;
    return true;
  }
  if (target == XA_STRING || target == atoms.compoundtext) {
    // Latin-1 holds what STRING can carry; compound text is built by Xlib
    // from the UTF-8 form.
    const std::string utf8 = kx::cp437_to_utf8(text);
    XTextProperty property{};
    char* list[] = {const_cast<char*>(utf8.c_str())};
    const XICCEncodingStyle style = target == XA_STRING ? XStringStyle : XCompoundTextStyle;
    if (Xutf8TextListToTextProperty(d, list, 1, style, &property) >= 0 && property.value) {
      data->assign(reinterpret_cast<const char*>(property.value), property.nitems);
      XFree(property.value);
    } else {
      *data = text;
    }
    *type = target;
    return true;
  }
  return false;
}

void answer(Display* d, const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.send_event = True;
  reply.display = d;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  // An obsolete requestor names no property: the target serves as one.
  reply.property = request.property != None ? request.property : request.target;
  x_error_trap trap(d);
  std::string data;
  Atom type = None;
  if (request.target == atoms.targets) {
    const Atom offered[3] = {XA_STRING, atoms.utf8string, atoms.compoundtext};
    XChangeProperty(d, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 3);
  } else if (text_as(d, request.target, &data, &type) && data.size() <= incr_piece_bytes) {
    XChangeProperty(d, request.requestor, reply.property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
  } else if (!data.empty() && request.property != None) {
    // Announced with its size; the pieces follow as the requestor deletes
    // the property.
    XSelectInput(d, request.requestor, PropertyChangeMask);
    const long size = static_cast<long>(data.size());
    XChangeProperty(d, request.requestor, reply.property, atoms.incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    transfers.push_back({request.requestor, reply.property, type, std::move(data)});
  } else {
    reply.property = None;  // a target not offered, or text too large for one request
  }
  XSync(d, False);
  if (trapped_error.load() && reply.property != None) reply.property = None;
  XEvent event{};
  event.xselection = reply;
  XSendEvent(d, request.requestor, False, NoEventMask, &event);
}

// The requestor took a piece of an INCR transfer: the next one goes, or the
// empty piece that ends it. A requestor that is gone ends its transfer.
void send_next_piece(Display* d, const XPropertyEvent& deleted) {
  for (outgoing_transfer& t : transfers) {
    if (t.finished || t.requestor != deleted.window || t.property != deleted.atom) continue;
    const size_t n = std::min(incr_piece_bytes, t.data.size() - t.sent);
    x_error_trap trap(d);
    XChangeProperty(d, t.requestor, t.property, t.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(t.data.data() + t.sent), static_cast<int>(n));
    t.sent += n;
    if (n == 0) {
      t.finished = true;
      XSelectInput(d, t.requestor, NoEventMask);
    }
    XSync(d, False);
    if (trapped_error.load()) t.finished = true;
    break;
  }
  std::erase_if(transfers, [](const outgoing_transfer& t) { return t.finished; });
}

// Reads a whole property of the program's window and deletes it; false
// when it is missing. type receives the property's type.
bool read_property(Display* d, Atom property, std::string* out, Atom* type) {
  Atom actual = None;
  int format = 0;
  unsigned long items = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window(), property, 0, 0, False, AnyPropertyType, &actual, &format, &items, &remaining,
                         &data) != Success) {
    return false;
  }
  if (data) XFree(data);
  *type = actual;
  if (actual == None) return false;
  data = nullptr;
  const long words = static_cast<long>((remaining + 3) / 4);
  if (XGetWindowProperty(d, window(), property, 0, words, True, AnyPropertyType, &actual, &format, &items,
                         &remaining, &data) != Success) {
    return false;
  }
  const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
  out->assign(reinterpret_cast<const char*>(data), data ? items * unit : 0);
  if (data) XFree(data);
  return true;
}

// Waits for an event of type on the program's window, up to ms milliseconds.
bool wait_for_event(Display* d, int type, XEvent* event, int ms, Atom property = None) {
  for (int i = 0; i < ms; ++i) {
    while (XCheckTypedWindowEvent(d, window(), type, event)) {
      if (type != PropertyNotify) return true;
      if (event->xproperty.atom == property && event->xproperty.state == PropertyNewValue) return true;
    }
    Sleep(1);
  }
  return false;
}

constexpr int notify_timeout_ms = 10000;
constexpr int incr_chunk_timeout_ms = 2000;

// The text of an INCR transfer, whose first piece the deletion of the INCR
// property has asked for: each deletion asks the owner for the next piece,
// and an empty piece ends it.
bool read_incremental(Display* d, std::string* out, Atom* type) {
  for (;;) {
    XEvent event;
    if (!wait_for_event(d, PropertyNotify, &event, incr_chunk_timeout_ms, atoms.clipboard)) return false;
    std::string piece;
    if (!read_property(d, atoms.clipboard, &piece, type)) return false;
    XFlush(d);
    if (piece.empty()) return true;
    out->append(piece);
  }
}

std::string paste_foreign(Display* d) {
  // Property changes on the window tell when an INCR transfer's pieces come;
  // the toolkit's own event mask is restored afterwards.
  XWindowAttributes attributes{};
  XGetWindowAttributes(d, window(), &attributes);
  XSelectInput(d, window(), attributes.your_event_mask | PropertyChangeMask);
  XDeleteProperty(d, window(), atoms.clipboard);
  XConvertSelection(d, atoms.clipboard, atoms.utf8string, atoms.clipboard, window(), CurrentTime);
  XFlush(d);
  std::string data;
  Atom type = None;
  bool ok = false;
  XEvent event;
  if (wait_for_event(d, SelectionNotify, &event, notify_timeout_ms) && event.xselection.property == atoms.clipboard) {
    // The changes so far were the owner writing the reply; only those after
    // the reply is taken belong to a transfer in pieces.
    while (XCheckTypedWindowEvent(d, window(), PropertyNotify, &event)) {
    }
    ok = read_property(d, atoms.clipboard, &data, &type);
    if (ok && type == atoms.incr) {
      data.clear();
      ok = read_incremental(d, &data, &type);
    }
  }
  XSelectInput(d, window(), attributes.your_event_mask);
  XFlush(d);
  if (!ok) return {};
  if (const size_t zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
  return type == XA_STRING ? kx::latin1_to_cp437(data) : kx::utf8_to_cp437(data);
}

}  // namespace

bool x11_lock() {
  if (!window_exists.load() || !display()) return false;
  x11_lock_request = 1;
  while (!x11_locked.load()) {
    if (stop_program.load()) kx::park_application_thread();
    Sleep(1);
  }
  return true;
}

void x11_unlock() { x11_locked = 0; }

int32_t kx::x11filter(void* x_event) {
  const auto* event = static_cast<const XEvent*>(x_event);
  if (event->type == SelectionRequest) {
    std::lock_guard guard(requests_lock);
    waiting_requests.push_back(event->xselectionrequest);
  } else if (event->type == PropertyNotify && event->xproperty.state == PropertyDelete &&
             event->xproperty.window != window()) {
    std::lock_guard guard(requests_lock);
    waiting_deletions.push_back(event->xproperty);
  }
  return 1;
}

void kx::answer_selection_requests() {
  std::vector<XSelectionRequestEvent> requests;
  std::vector<XPropertyEvent> deletions;
  {
    std::lock_guard guard(requests_lock);
    requests.swap(waiting_requests);
    deletions.swap(waiting_deletions);
  }
  Display* d = display();
  if (!d || (requests.empty() && deletions.empty())) return;
  intern_atoms(d);
  for (const XSelectionRequestEvent& request : requests) answer(d, request);
  for (const XPropertyEvent& deleted : deletions) send_next_piece(d, deleted);
}

void sub__clipboard(kxs* text) {
  if (new_error.load()) return;
  std::string copied(reinterpret_cast<const char*>(text->chars), static_cast<size_t>(text->length));
  // Text after an embedded zero byte is not kept, as C strings end there.
  if (const size_t zero = copied.find('\0'); zero != std::string::npos) copied.resize(zero);
  if (!x11_lock()) {
    std::lock_guard guard(owned_lock);
    owned_text = copied;
    return;
  }
  Display* d = display();
  intern_atoms(d);
  {
    std::lock_guard guard(owned_lock);
    owned_text = copied;
  }
  XStoreBytes(d, copied.data(), static_cast<int>(copied.size()));
  XSetSelectionOwner(d, atoms.clipboard, window(), CurrentTime);
  XFlush(d);
  x11_unlock();
}

kxs* func__clipboard() {
  if (new_error.load()) return kx::empty_result();
  std::string text;
  if (x11_lock()) {
    Display* d = display();
    intern_atoms(d);
    const Window owner = XGetSelectionOwner(d, atoms.clipboard);
    if (owner == window()) {
      std::lock_guard guard(owned_lock);
      text = owned_text;
    } else if (owner != None) {
      text = paste_foreign(d);
    }
    x11_unlock();
  } else {
    // Without a window the program's own clipboard is the only one.
    std::lock_guard guard(owned_lock);
    text = owned_text;
  }
  return kx::text_result(text.data(), text.size());
}
