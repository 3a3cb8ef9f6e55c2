#pragma once
// The statements and functions that control presentation.
#include <cstdint>
#include <string>

struct kxs;

void sub__display();
void sub__autodisplay();
int32_t func__autodisplay();
// Forces one composition and waits until it has happened.
void display_now();

// _FULLSCREEN [mode][, smooth]: passed bits 1 and 2.
void sub__fullscreen(int32_t mode, int32_t smooth, int32_t passed);
int32_t func__fullscreen();
int32_t func__fullscreensmooth();
// _ALLOWFULLSCREEN: what the keyboard's toggle may choose. Mode 3 stores -1
// (the toggle is off), 4 or 0 store 0 (any mode), others that mode; smooth
// 2 stores -1 (unsmoothed only), 3 or 0 store 0 (either), others as given.
void sub__allowfullscreen(int32_t mode, int32_t smooth, int32_t passed);

// _RESIZE [ON|OFF][, scaling]: onoff 1 ON, 2 OFF; passed bits 1 and 2.
void sub__resize(int32_t onoff, int32_t scaling, int32_t passed);
int32_t func__resize();
int32_t func__resizewidth();
int32_t func__resizeheight();
int32_t func__scaledwidth();
int32_t func__scaledheight();

void sub__title(kxs* text);
// The window's title as the window is created: "Untitled" until _TITLE.
std::string window_title_text();

// _DISPLAYORDER: up to four layer kinds, 0 = none (passed bits 1-8).
void sub__displayorder(int32_t a, int32_t b, int32_t c, int32_t d, int32_t passed);
void sub__glrender(int32_t mode);

int32_t func_screenwidth();
int32_t func_screenheight();
void sub_screenicon();
int32_t func_screenicon();
int32_t func_windowexists();

namespace kx {
// A title to apply, taken once by the window thread; false when none.
bool take_title_request(std::string* title);
// An iconify request, taken once by the window thread.
bool take_iconify_request();
}  // namespace kx
