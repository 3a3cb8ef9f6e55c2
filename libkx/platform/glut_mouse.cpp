#include "platform/glut_mouse.h"

#include <GL/freeglut.h>

#include "input/mouse_position.h"
#include "input/mouse_queues.h"

void GLUT_MOUSE_FUNC(int button, int state, int, int) {
  // The toolkit reports wheel steps as buttons 3 and 4 as well when no
  // wheel callback takes them; the wheel callback is registered, so only
  // the three real buttons arrive here.
  if (button < 0 || button > 2) return;
  kx::mouse_button_event(button + 1, state == GLUT_DOWN);
}

void GLUT_MOTION_FUNC(int x, int y) { kx::mouse_position_event(x, y); }

void GLUT_PASSIVEMOTION_FUNC(int x, int y) { kx::mouse_position_event(x, y); }

void GLUT_MOUSEWHEEL_FUNC(int, int direction, int, int) { kx::mouse_wheel_event(direction); }

void register_mouse_callbacks() {
  glutMouseFunc(GLUT_MOUSE_FUNC);
  glutMotionFunc(GLUT_MOTION_FUNC);
  glutPassiveMotionFunc(GLUT_PASSIVEMOTION_FUNC);
  glutMouseWheelFunc(GLUT_MOUSEWHEEL_FUNC);
}

void apply_mouse_requests() {
  int32_t x = 0, y = 0, cursor = 0;
  if (kx::take_mouse_warp_request(&x, &y)) glutWarpPointer(x, y);
  // The cursor numbers are the toolkit's own.
  if (kx::take_cursor_request(&cursor)) glutSetCursor(cursor);
}
