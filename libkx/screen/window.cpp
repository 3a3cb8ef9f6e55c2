#include "screen/window.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <GL/glx.h>

#include <cmath>
#include <mutex>
#include <string>

#include "frame/clock.h"
#include "frame/flags.h"
#include "frame/message_box.h"
#include "input/glut_keyboard.h"
#include "input/x11_events.h"
#include "screen/present.h"

int framebufferobjects_supported = 0;

namespace {

constexpr int initial_width = 640;
constexpr int initial_height = 400;

std::mutex title_mutex;
std::string window_title;  // guarded by title_mutex; empty = never set

// The toolkit's idle callback: grants the X11 lock when the application
// thread asks for it, requests a redisplay, and sleeps one frame period.
void GLUT_IDLEFUNC() {
  x11_events_after();  // the toolkit has handled the events taken since the last call
  if (x11_lock_request.load()) {
    x11_locked = 1;
    x11_lock_request = 0;
    while (x11_locked.load()) Sleep(1);
  }
  glutPostRedisplay();
  const double fps = max_fps.load();
  double period_ms = fps > 0 ? std::trunc(1000.0 / fps) : 1.0;
  if (period_ms < 1) period_ms = 1;
  Sleep(static_cast<uint32_t>(period_ms));
}

}  // namespace

std::string window_title_text() {
  std::lock_guard<std::mutex> lock(title_mutex);
  return window_title.empty() ? std::string("Untitled") : window_title;
}

int run_window(int& argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
  glutInitWindowSize(initial_width, initial_height);
  if (!glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) std::exit(1);
  glutCreateWindow(window_title_text().c_str());
  window_exists = 1;

  const GLenum glew_status = glewInit();
  if (glew_status != GLEW_OK) {
    alert(reinterpret_cast<const char*>(glewGetErrorString(glew_status)));
  }
  if (glewIsSupported("GL_EXT_framebuffer_object")) framebufferobjects_supported = 1;

  install_x11_event_hooks(glXGetCurrentDisplay());

  glutDisplayFunc(GLUT_DISPLAY_REQUEST);
  glutIdleFunc(GLUT_IDLEFUNC);
  register_keyboard_callbacks();
  glutReshapeFunc(GLUT_RESHAPE_FUNC);
  glutMainLoop();
  return 0;
}
