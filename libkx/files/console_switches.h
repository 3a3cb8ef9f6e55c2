#pragma once
// The console and window-visibility switches. A program built with a
// console has a console image (standard output and input).
#include <cstdint>

struct kxs;

// _CONSOLE: the console image handle; 0 without a console, -1 while an
// error is pending.
int32_t func__console();
// _CONSOLE ON/OFF: only a program built with a console has one to switch.
void sub__console(int32_t on);
// _SCREENSHOW: shows the window, or lets it be created when the program
// started hidden.
void sub__screenshow();
// _SCREENHIDE: hides the window.
void sub__screenhide();
// _SCREENHIDE function: -1 while hidden.
int32_t func__screenhide();
// _ECHO: prints a line on the console image, whatever the destination.
// Without a console there is nothing to print on (handle 0 would name the
// program's own screen page), so the text goes nowhere.
void sub__echo(kxs* text);
// _CONSOLETITLE: accepted; there is no console to title.
void sub__consoletitle(kxs* text);
