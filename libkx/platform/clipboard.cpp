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
#include "base/window_wake.h"
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
// requestor asks for the next piece, and an empty piece ends it. A transfer
// belongs to one request: it ends when its requestor's window is destroyed
// (the server may give the id to the next client at once), when the same
// window asks again into the same property, and when the requestor takes
// no piece for outgoing_idle_ms.
struct outgoing_transfer {
  Window requestor;
  Atom property;
  Atom type;
  Time time;  // the request's; a deletion stamped before it is not this transfer's
  std::string data;
  size_t sent = 0;
  int64_t last_activity_ms = 0;
  bool finished = false;
};
std::vector<outgoing_transfer> transfers;  // window thread only
constexpr int64_t outgoing_idle_ms = 5000;

// Requestor windows destroyed while a transfer to them ran, seen at stage 1.
std::vector<Window> waiting_destroyed;

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
    const int unconverted = Xutf8TextListToTextProperty(d, list, 1, style, &property);
    // Compound text that cannot hold every character is refused, so the
    // requestor can ask for UTF8_STRING instead of getting a text with
    // holes. STRING is Latin-1 by definition and stands in for the rest.
    const bool refused = unconverted < 0 || (target == atoms.compoundtext && unconverted > 0);
    if (!refused && property.value) {
      data->assign(reinterpret_cast<const char*>(property.value), property.nitems);
    } else if (target == XA_STRING && !refused) {
      *data = text;
    }
    if (property.value) XFree(property.value);
    if (refused) return false;
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
    // A window that asks again into the same property has given up the
    // transfer running there.
    std::erase_if(transfers, [&](const outgoing_transfer& t) {
      return t.requestor == request.requestor && t.property == reply.property;
    });
    XSelectInput(d, request.requestor, PropertyChangeMask | StructureNotifyMask);
    const long size = static_cast<long>(data.size());
    XChangeProperty(d, request.requestor, reply.property, atoms.incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    transfers.push_back({request.requestor, reply.property, type, request.time, std::move(data), 0, GetTicks()});
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
    if (t.time != CurrentTime && deleted.time < t.time) continue;
    t.last_activity_ms = GetTicks();
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

// Ends the transfers to a window: its events are no longer asked for, and
// its text is freed.
void drop_transfers_to(Display* d, Window requestor, bool window_gone) {
  const size_t before = transfers.size();
  std::erase_if(transfers, [&](const outgoing_transfer& t) { return t.requestor == requestor; });
  if (transfers.size() == before || window_gone) return;
  x_error_trap trap(d);
  XSelectInput(d, requestor, NoEventMask);
}

// Pastes use a connection of the program's own: the owner's reply and the
// pieces of a transfer come to a window on it, so the window thread keeps
// handling the toolkit's connection (redraws, keys, the close button) while
// a paste runs, and no lock is held for it. Application thread only.
class paste_connection {
 public:
  paste_connection() = default;
  paste_connection(const paste_connection&) = delete;
  paste_connection& operator=(const paste_connection&) = delete;
  ~paste_connection() {
    if (display_) XCloseDisplay(display_);
  }
  // Opened on first use, under the X11 lock: Xlib's list of connections is
  // shared with the window thread.
  Display* get() {
    if (display_ || tried_) return display_;
    tried_ = true;
    if (!x11_lock()) return nullptr;
    display_ = XOpenDisplay(DisplayString(display()));
    x11_unlock();
    if (display_) {
      utf8string = XInternAtom(display_, "UTF8_STRING", False);
      clipboard = XInternAtom(display_, "CLIPBOARD", False);
      incr = XInternAtom(display_, "INCR", False);
    }
    return display_;
  }
  Atom utf8string = None, clipboard = None, incr = None;

 private:
  Display* display_ = nullptr;
  bool tried_ = false;
};
paste_connection paster;

// An incoming text is given up after this long in all, or once it grows
// past this size; the paste is then empty, as every failed paste is.
constexpr int64_t paste_total_ms = 10000;
constexpr size_t paste_max_bytes = size_t{64} << 20;
// An owner sending in pieces must send the next one within this time.
constexpr int64_t paste_piece_ms = 2000;

// The program is ending: a paste in progress gives up at once.
bool program_ending() { return stop_program.load() || close_program.load() || exit_value.load(); }

// The receiving side of one paste: a window made for it and destroyed after
// it, so an owner still sending pieces of an abandoned transfer writes to a
// window that is gone instead of into the next paste.
class paste_window {
 public:
  explicit paste_window(Display* d) : display_(d) {
    window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(d, window_, PropertyChangeMask);
  }
  ~paste_window() {
    XDestroyWindow(display_, window_);
    XSync(display_, True);  // events of this paste are not the next one's
  }
  paste_window(const paste_window&) = delete;
  paste_window& operator=(const paste_window&) = delete;
  Window id() const { return window_; }

  // Reads the whole property and deletes it; false when it is missing.
  // type receives the property's type.
  bool read_property(Atom property, std::string* out, Atom* type) {
    Atom actual = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property, 0, 0, False, AnyPropertyType, &actual, &format, &items,
                           &remaining, &data) != Success) {
      return false;
    }
    if (data) XFree(data);
    *type = actual;
    if (actual == None) return false;
    data = nullptr;
    const long words = static_cast<long>((remaining + 3) / 4);
    if (XGetWindowProperty(display_, window_, property, 0, words, True, AnyPropertyType, &actual, &format, &items,
                           &remaining, &data) != Success) {
      return false;
    }
    const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    out->assign(reinterpret_cast<const char*>(data), data ? items * unit : 0);
    if (data) XFree(data);
    return true;
  }

  // Waits until deadline (GetTicks) for an event of type on the window; a
  // property event must be a new value of property.
  bool wait_for_event(int type, XEvent* event, int64_t deadline, Atom property = None) {
    while (GetTicks() < deadline && !program_ending()) {
      while (XCheckTypedWindowEvent(display_, window_, type, event)) {
        if (type != PropertyNotify) return true;
        if (event->xproperty.atom == property && event->xproperty.state == PropertyNewValue) return true;
      }
      Sleep(1);
    }
    return false;
  }

 private:
  Display* display_;
  Window window_;
};

// The text of an INCR transfer, whose first piece the deletion of the INCR
// property has asked for: each deletion asks the owner for the next piece,
// and an empty piece ends it.
bool read_incremental(Display* d, paste_window& w, int64_t deadline, std::string* out, Atom* type) {
  for (;;) {
    XEvent event;
    const int64_t piece_deadline = std::min(deadline, GetTicks() + paste_piece_ms);
    if (!w.wait_for_event(PropertyNotify, &event, piece_deadline, paster.clipboard)) return false;
    std::string piece;
    if (!w.read_property(paster.clipboard, &piece, type)) return false;
    XFlush(d);
    if (piece.empty()) return true;
    if (out->size() + piece.size() > paste_max_bytes) return false;
    out->append(piece);
  }
}

std::string paste_foreign(Display* d) {
  const int64_t deadline = GetTicks() + paste_total_ms;
  paste_window w(d);
  XConvertSelection(d, paster.clipboard, paster.utf8string, paster.clipboard, w.id(), CurrentTime);
  XFlush(d);
  std::string data;
  Atom type = None;
  bool ok = false;
  XEvent event;
  if (w.wait_for_event(SelectionNotify, &event, deadline) && event.xselection.property == paster.clipboard) {
    // The changes so far were the owner writing the reply; only those after
    // the reply is taken belong to a transfer in pieces.
    while (XCheckTypedWindowEvent(d, w.id(), PropertyNotify, &event)) {
    }
    ok = w.read_property(paster.clipboard, &data, &type);
    if (ok && data.size() > paste_max_bytes) ok = false;
    if (ok && type == paster.incr) {
      data.clear();
      ok = read_incremental(d, w, deadline, &data, &type);
    }
  }
  if (!ok) return {};
  if (const size_t zero = data.find('\0'); zero != std::string::npos) data.resize(zero);
  return type == XA_STRING ? kx::latin1_to_cp437(data) : kx::utf8_to_cp437(data);
}

}  // namespace

bool x11_lock() {
  if (!window_exists.load() || !display()) return false;
  x11_lock_request = 1;
  // The idle callback may be waiting for events: it grants the lock at once
  // instead of after its wait.
  kx::wake_window_thread();
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
  } else if (event->type == DestroyNotify && event->xdestroywindow.window != window()) {
    std::lock_guard guard(requests_lock);
    waiting_destroyed.push_back(event->xdestroywindow.window);
  }
  return 1;
}

void kx::answer_selection_requests() {
  std::vector<XSelectionRequestEvent> requests;
  std::vector<XPropertyEvent> deletions;
  std::vector<Window> destroyed;
  {
    std::lock_guard guard(requests_lock);
    requests.swap(waiting_requests);
    deletions.swap(waiting_deletions);
    destroyed.swap(waiting_destroyed);
  }
  Display* d = display();
  if (!d || (requests.empty() && deletions.empty() && destroyed.empty())) return;
  intern_atoms(d);
  // Events come in the server's order: a window destroyed before a request
  // names its id again is dropped first, and a deletion after the window's
  // destruction finds no transfer.
  for (const Window w : destroyed) drop_transfers_to(d, w, true);
  for (const XSelectionRequestEvent& request : requests) answer(d, request);
  for (const XPropertyEvent& deleted : deletions) send_next_piece(d, deleted);
}

void kx::expire_selection_transfers() {
  if (transfers.empty()) return;
  Display* d = display();
  const int64_t now = GetTicks();
  std::vector<Window> idle;
  for (const outgoing_transfer& t : transfers) {
    if (now - t.last_activity_ms >= outgoing_idle_ms) idle.push_back(t.requestor);
  }
  for (const Window w : idle) drop_transfers_to(d, w, false);
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
  Display* d = window_exists.load() ? paster.get() : nullptr;
  const Window owner = d ? XGetSelectionOwner(d, paster.clipboard) : None;
  if (!d || owner == window()) {
    // The program's own text, or without a window the only clipboard.
    std::lock_guard guard(owned_lock);
    text = owned_text;
  } else if (owner != None) {
    text = paste_foreign(d);
  }
  return kx::text_result(text.data(), text.size());
}
