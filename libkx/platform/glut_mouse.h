#pragma once
// The toolkit's mouse callbacks (window thread), and the pointer requests
// the application thread leaves for the window thread.

void GLUT_MOUSE_FUNC(int button, int state, int x, int y);
void GLUT_MOTION_FUNC(int x, int y);
void GLUT_PASSIVEMOTION_FUNC(int x, int y);
void GLUT_MOUSEWHEEL_FUNC(int wheel, int direction, int x, int y);

// Registers the four callbacks with the toolkit for the current window.
void register_mouse_callbacks();
// Carries out a waiting pointer warp or cursor change.
void apply_mouse_requests();
