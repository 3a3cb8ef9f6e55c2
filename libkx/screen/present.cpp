#include "screen/present.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

namespace {
// Window thread only.
int display_x = 640;
int display_y = 400;
bool window_needs_redraw = true;
bool in_display = false;
}  // namespace

void GLUT_DISPLAY_REQUEST() {
  if (in_display) return;
  // Nothing changed since the last redraw: return without swapping, so an
  // idle window costs nothing. Composed frames are drawn here once the
  // composer hands them over.
  if (!window_needs_redraw) return;
  in_display = true;
  glViewport(0, 0, display_x, display_y);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
  window_needs_redraw = false;
  in_display = false;
}

void GLUT_RESHAPE_FUNC(int width, int height) {
  display_x = width;
  display_y = height;
  window_needs_redraw = true;
}
