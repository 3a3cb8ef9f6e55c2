#pragma once
// The program's own images: making, copying and freeing them, choosing the
// source and destination, blending and transparency, and their sizes.
// Optional image arguments are flagged in passed and default to the write
// page.
#include <cstdint>

// passed bit 1: mode given. -index, or -1 when memory ran out.
int32_t func__newimage(int32_t width, int32_t height, int32_t mode, int32_t passed);
int32_t func__copyimage(int32_t image, int32_t mode, int32_t passed);
void sub__freeimage(int32_t image, int32_t passed);
// CLEAR: every valid image from index 2 up that is neither a screen page
// nor one of the runtime's own.
void freeallimages();

void sub__source(int32_t image);
void sub__dest(int32_t image);
int32_t func__source();
int32_t func__dest();
int32_t func__display();

void sub__blend(int32_t image, int32_t passed);
void sub__dontblend(int32_t image, int32_t passed);
int32_t func__blend(int32_t image, int32_t passed);

// _CLEARCOLOR: none = 1 for NONE; passed bit 1 colour given, bit 2 image.
void sub__clearcolor(int32_t none, uint32_t colour, int32_t image, int32_t passed);
int32_t func__clearcolor(int32_t image, int32_t passed);
// _SETALPHA alpha, c1 TO c2, image: passed bits 1 c1, 2 c2, 4 image.
void sub__setalpha(int32_t alpha, uint32_t c1, uint32_t c2, int32_t image, int32_t passed);

int32_t func__width(int32_t image, int32_t passed);
int32_t func__height(int32_t image, int32_t passed);
int32_t func__pixelsize(int32_t image, int32_t passed);
uint32_t func__defaultcolor(int32_t image, int32_t passed);
uint32_t func__backgroundcolor(int32_t image, int32_t passed);
