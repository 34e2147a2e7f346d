// What the main window measured of the display while it was created: the
// background picture is built and painted at this size and depth, and its
// title drawn at this scale.
#pragma once

#include <windows.h>

extern int ScreenWidth;
extern int ScreenHeight;
extern int ScreenBitsPerPixel;
// Dots per inch of the display (LOGPIXELSY): 96 at 100 %, 192 at 200 %.
// 96 until the display is measured.
extern int ScreenDpi;

// A length of the 96-dpi design in the display's pixels: value x ScreenDpi
// / 96, rounded; exactly value at 96 dpi.
int ScaleToScreen(int value);

// Measures the display through the given window's device context.
void MeasureScreen(HWND window);
