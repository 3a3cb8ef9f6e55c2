// A clipboard peer that behaves as no well-mannered program does, for the
// end-to-end tests of the clipboard:
//   clip_peer take PIECES         asks for the CLIPBOARD as UTF8_STRING into
//                                 the property XCLIP_OUT (the one xclip uses),
//                                 takes PIECES pieces of a transfer in pieces
//                                 and exits in the middle of it; prints
//                                 "took BYTES"
//   clip_peer take PIECES again   the same, then asks again from the same
//                                 window and property and reads the whole
//                                 text to standard output
//   clip_peer serve               owns the CLIPBOARD and answers every request
//                                 with a transfer in pieces that never ends,
//                                 a piece of 256 KiB every 100 ms; prints
//                                 "serving" once it owns it
// Exits 1 when the display or the owner fails it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

Display* display = nullptr;
Atom clipboard, utf8, incr, property;

// Waits up to ms for an event that matches.
template <typename Match>
bool next_event(XEvent* event, int ms, Match match) {
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  for (int waited = 0; waited < ms;) {
    while (XPending(display)) {
      XNextEvent(display, event);
      if (match(*event)) return true;
    }
    poll(&connection, 1, 10);
    waited += 10;
  }
  return false;
}

bool read_and_delete(Window w, std::string* out, Atom* type) {
  int format = 0;
  unsigned long items = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, w, property, 0, 1 << 26, True, AnyPropertyType, type, &format, &items, &remaining,
                         &data) != Success || *type == None) {
    return false;
  }
  out->assign(reinterpret_cast<const char*>(data), format == 8 ? items : 0);
  XFree(data);
  return true;
}

// Asks for the text; the reply's type is INCR for a transfer in pieces.
bool request(Window w, Atom* type) {
  XConvertSelection(display, clipboard, utf8, property, w, CurrentTime);
  XEvent event;
  if (!next_event(&event, 5000, [](const XEvent& e) { return e.type == SelectionNotify; })) return false;
  if (event.xselection.property == None) return false;
  std::string ignored;
  return read_and_delete(w, &ignored, type);
}

// Takes pieces until count pieces (or the whole text when count < 0).
bool take_pieces(Window w, int count, std::string* text) {
  for (int taken = 0; count < 0 || taken < count; ++taken) {
    XEvent event;
    if (!next_event(&event, 5000, [](const XEvent& e) {
          return e.type == PropertyNotify && e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
        })) {
      return false;
    }
    std::string piece;
    Atom type = None;
    if (!read_and_delete(w, &piece, &type)) return false;
    XFlush(display);
    if (piece.empty()) return count < 0;
    text->append(piece);
  }
  return true;
}

int take(int pieces, bool again) {
  // The window is this client's first resource, as xclip's is, so the next
  // client the server gives this one's id range reuses its id.
  const Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, w, PropertyChangeMask);
  Atom type = None;
  if (!request(w, &type) || type != incr) return 1;
  std::string text;
  if (!take_pieces(w, pieces, &text)) return 1;
  std::printf("took %zu\n", text.size());
  if (again) {
    text.clear();
    if (!request(w, &type)) return 1;
    if (type == incr && !take_pieces(w, -1, &text)) return 1;
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
  std::fflush(stdout);
  XCloseDisplay(display);
  return 0;
}

int serve() {
  const Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, clipboard, w, CurrentTime);
  if (XGetSelectionOwner(display, clipboard) != w) return 1;
  std::printf("serving\n");
  std::fflush(stdout);
  const std::string piece(256 * 1024, 'a');
  std::vector<std::pair<Window, Atom>> streams;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == SelectionRequest) {
      const XSelectionRequestEvent& r = event.xselectionrequest;
      const long size = 1L << 40;
      XSelectInput(display, r.requestor, PropertyChangeMask);
      XChangeProperty(display, r.requestor, r.property, incr, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      streams.emplace_back(r.requestor, r.property);
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = r.requestor;
      reply.xselection.selection = r.selection;
      reply.xselection.target = r.target;
      reply.xselection.property = r.property;
      reply.xselection.time = r.time;
      XSendEvent(display, r.requestor, False, NoEventMask, &reply);
      XFlush(display);
    } else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete) {
      poll(nullptr, 0, 100);
      for (const auto& [window, atom] : streams) {
        if (window != event.xproperty.window || atom != event.xproperty.atom) continue;
        XChangeProperty(display, window, atom, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(piece.data()), static_cast<int>(piece.size()));
        XFlush(display);
      }
    }
  }
}

// A requestor that went away must not end the owner.
int ignore_error(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  const bool take_mode = argc >= 3 && std::strcmp(argv[1], "take") == 0;
  if (!take_mode && !(argc == 2 && std::strcmp(argv[1], "serve") == 0)) {
    std::fprintf(stderr, "usage: clip_peer take PIECES [again] | clip_peer serve\n");
    return 2;
  }
  display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "clip_peer: cannot open display\n");
    return 1;
  }
  XSetErrorHandler(ignore_error);
  clipboard = XInternAtom(display, "CLIPBOARD", False);
  utf8 = XInternAtom(display, "UTF8_STRING", False);
  incr = XInternAtom(display, "INCR", False);
  property = XInternAtom(display, "XCLIP_OUT", False);
  if (take_mode) return take(std::atoi(argv[2]), argc > 3 && std::strcmp(argv[3], "again") == 0);
  return serve();
}
