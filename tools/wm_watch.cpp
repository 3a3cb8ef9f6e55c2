// Watches what a window manager would be asked through the root window and
// prints one line for each request: "WM_CHANGE_STATE <window> <state>" (3 is
// iconic). The end-to-end tests run without a window manager, so this is
// how they see that a program asked to be iconified.
//   wm_watch SECONDS     prints "watching" once it listens, then exits after
//                        the given time
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wm_watch SECONDS\n");
    return 2;
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[1]));
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "wm_watch: cannot open display\n");
    return 1;
  }
  // Requests to a window manager are sent to the root with the substructure
  // masks; selecting the notify mask receives them without taking over the
  // redirection a real manager would.
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  const Atom change_state = XInternAtom(display, "WM_CHANGE_STATE", False);
  XSync(display, False);
  std::printf("watching\n");
  std::fflush(stdout);
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (std::chrono::steady_clock::now() < until) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && event.xclient.message_type == change_state) {
        std::printf("WM_CHANGE_STATE %lu %ld\n", event.xclient.window, event.xclient.data.l[0]);
        std::fflush(stdout);
      }
    }
    poll(&connection, 1, 50);
  }
  XCloseDisplay(display);
  return 0;
}
