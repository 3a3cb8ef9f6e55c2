// Asks a window to close the way a window manager does: a WM_PROTOCOLS
// ClientMessage carrying WM_DELETE_WINDOW. Used by the end-to-end tests.
//   wm_delete WINDOW-ID     (decimal or 0x hex)
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wm_delete WINDOW-ID\n");
    return 2;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "wm_delete: cannot open display\n");
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
