#pragma once
// The toolkit's keyboard callbacks (window thread). The pointer coordinates
// they receive are ignored.

void GLUT_KEYBOARD_FUNC(unsigned char ch, int x, int y);
void GLUT_KEYBOARDUP_FUNC(unsigned char ch, int x, int y);
void GLUT_SPECIAL_FUNC(int key, int x, int y);
void GLUT_SPECIALUP_FUNC(int key, int x, int y);

// A character key: Ctrl+letter comes back as the letter, DEL as Delete.
void GLUT_key_ascii(int ch, int pressed);
// A special key: function, cursor and modifier keys.
void GLUT_key_special(int key, int pressed);

// Registers the four callbacks with the toolkit for the current window.
void register_keyboard_callbacks();
