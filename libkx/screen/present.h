#pragma once
// Presentation: the toolkit's display and reshape callbacks (window thread).

void GLUT_DISPLAY_REQUEST();
void GLUT_RESHAPE_FUNC(int width, int height);
