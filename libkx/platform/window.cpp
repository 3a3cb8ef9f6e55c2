#include "platform/window.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>

#include <X11/Xlib.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/clock.h"
#include "base/flags.h"
#include "base/hooks.h"
#include "base/message_box.h"
#include "base/process_exit.h"
#include "base/window_wake.h"
#include "platform/clipboard.h"
#include "platform/gl_render.h"
#include "platform/glut_keyboard.h"
#include "platform/glut_mouse.h"
#include "platform/present.h"
#include "platform/x11_events.h"
#include "screen/compose/presentation_state.h"
#include "screen/compose/presentation_statements.h"
#include "screen/compose/window_statements.h"

namespace {

constexpr int initial_width = 640;
constexpr int initial_height = 400;

// The longest idle wait: a safety net, since every source of window work
// wakes the wait itself.
constexpr uint32_t idle_wait_ms = 100;

// Whether the window is hidden now (window thread only).
bool window_hidden = false;

// What the application thread asked of the window: applied here, so every
// toolkit call stays on the window thread. A window shown again is exposed
// and so redrawn in full.
void apply_window_requests() {
  std::string title;
  if (kx::take_title_request(&title)) glutSetWindowTitle(title.c_str());
  if (kx::take_iconify_request()) glutIconifyWindow();
  const bool hide = screen_hide.load() != 0;
  if (hide != window_hidden) {
    if (hide) {
      glutHideWindow();
    } else {
      glutShowWindow();
    }
    window_hidden = hide;
  }
  apply_mouse_requests();
  kx::screenmove_request move;
  if (kx::take_screenmove_request(&move)) {
    if (move.middle) {
      int screen_width = glutGet(GLUT_SCREEN_WIDTH);
      for (int tries = 0; screen_width == -1 && tries < 100; ++tries) screen_width = glutGet(GLUT_SCREEN_WIDTH);
      const int screen_height = glutGet(GLUT_SCREEN_HEIGHT);
      move.x = (screen_width - glutGet(GLUT_WINDOW_WIDTH)) / 2;
      move.y = (screen_height - glutGet(GLUT_WINDOW_HEIGHT)) / 2;
    }
    glutPositionWindow(move.x, move.y);
  }
}

// The toolkit's idle callback: grants the X11 lock when the application
// thread asks for it, applies window requests, and requests a redisplay
// when there is something new to show. After a redisplay it waits one frame
// period, which caps the rate at _FPS; with nothing to show it waits until
// the display sends an event or another thread wakes it (a new frame, a
// window request), and at most idle_wait_ms, so an idle window costs a few
// wake-ups a second instead of one every frame period.
void GLUT_IDLEFUNC() {
  x11_events_after();  // the toolkit has handled the events taken since the last call
  if (x11_lock_request.load()) {
    x11_locked = 1;
    x11_lock_request = 0;
    while (x11_locked.load()) Sleep(1);
  }
  kx::expire_selection_transfers();
  apply_window_requests();
  if (!kx::renderer_has_news()) {
    x11_wait_for_events(idle_wait_ms, kx::window_wake_fd());
    return;
  }
  kx::redisplay_requested_by_idle = true;
  glutPostRedisplay();
  const double fps = max_fps.load();
  double period_ms = fps > 0 ? std::trunc(1000.0 / fps) : 1.0;
  if (period_ms < 1) period_ms = 1;
  // Returns early when the display sends anything, so a key reaches the
  // program without waiting for the period.
  x11_wait_for_events(static_cast<uint32_t>(period_ms));
}

// The toolkit's fatal errors (no display, a display that refuses the
// connection) would end the process with exit(1) while the runtime's threads
// run, and the static destructors would free memory under them. The reason
// goes to standard error as one line and the process ends at once.
void toolkit_fatal_error(const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text);
  std::fflush(nullptr);
  std::_Exit(1);
}

void toolkit_warning(const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text);
}

// Xlib calls this when the display goes away (the X server ended) and ends
// the process itself if it returns. The program is asked to end through the
// orderly path, so every file is flushed and closed, with status 1; this
// thread never returns to Xlib. Should the orderly path not finish (the
// program is stuck outside the runtime), the process ends anyway.
constexpr int64_t lost_display_grace_ms = 5000;

int display_connection_lost(Display*) {
  std::fprintf(stderr, "%s: the connection to the display was lost\n", program_invocation_short_name);
  exit_code = 1;
  close_program = 1;
  kxevent = 1;
  const int64_t start = GetTicks();
  while (GetTicks() - start < lost_display_grace_ms) Sleep(16);
  kx_exit_process(1);
}

}  // namespace

void reinit_glut_callbacks() {
  glutDisplayFunc(GLUT_DISPLAY_REQUEST);
  glutIdleFunc(GLUT_IDLEFUNC);
  register_keyboard_callbacks();
  register_mouse_callbacks();
  glutReshapeFunc(GLUT_RESHAPE_FUNC);
}

void TARN_Window_Handle(unsigned long handle) { X11_window = handle; }

bool TARN_Resizable() { return ScreenResize != 0; }

void platform_init() {
  renderer_reset();
  kx::hooks.upload_texture = kx::upload_texture;
}

int run_window(int& argc, char** argv) {
  glutInitErrorFunc(toolkit_fatal_error);
  glutInitWarningFunc(toolkit_warning);
  XSetIOErrorHandler(display_connection_lost);
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
  glutInitWindowSize(initial_width, initial_height);
  if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
    std::fprintf(stderr, "%s: the display offers no double-buffered RGBA mode with a depth buffer\n",
                 program_invocation_short_name);
    kx_exit_process(1);
  }
  // A title set before now was stored; taking the request here keeps the
  // idle callback from setting the same title again.
  std::string ignored;
  kx::take_title_request(&ignored);
  glutCreateWindow(window_title_text().c_str());
  // The hooks go in before anything reads events, so the window manager's
  // close request is never the toolkit's to act on; should one reach it
  // anyway, the toolkit keeps running and reports it as a close request.
  install_x11_event_hooks(glXGetCurrentDisplay());
  // The toolkit draws straight into its window: the drawable is the window
  // that owns the clipboard and receives its replies.
  X11_display = glXGetCurrentDisplay();
  TARN_Window_Handle(glXGetCurrentDrawable());
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
  glutCloseFunc([] { tarn_custom_event(1); });
  desktop_width = glutGet(GLUT_SCREEN_WIDTH);
  desktop_height = glutGet(GLUT_SCREEN_HEIGHT);
  window_exists = 1;

  const GLenum glew_status = glewInit();
  if (glew_status != GLEW_OK) {
    alert(reinterpret_cast<const char*>(glewGetErrorString(glew_status)));
  }
  if (glewIsSupported("GL_EXT_framebuffer_object")) framebufferobjects_supported = 1;

  reinit_glut_callbacks();
  glutMainLoop();
  return 0;
}
