#include "platform/full_screen.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "screen/compose/presentation_state.h"

namespace {

// Whether the window manager took the window to full screen (window thread).
bool managed_full_screen = false;

// An EWMH window manager announces itself through this root property; only
// such a manager acts on the toolkit's full-screen request.
bool window_manager_present() {
  Display* display = glXGetCurrentDisplay();
  if (!display) return false;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                        &format, &count, &after, &data);
  const bool present = status == Success && data && count == 1;
  if (data) XFree(data);
  return present;
}

}  // namespace

void kx::enter_full_screen() {
  managed_full_screen = window_manager_present();
  if (managed_full_screen) {
    glutFullScreen();
    return;
  }
  glutPositionWindow(0, 0);
  glutReshapeWindow(desktop_width.load(), desktop_height.load());
}

void kx::leave_full_screen(int32_t width, int32_t height) {
  if (managed_full_screen) glutLeaveFullScreen();
  managed_full_screen = false;
  glutReshapeWindow(width, height);
}
