// What the main window measured of the display while it was created: the
// background picture is built and painted at this size and depth.
#pragma once

#include <windows.h>

extern int ScreenWidth;
extern int ScreenHeight;
extern int ScreenBitsPerPixel;

// Measures the display through the given window's device context.
void MeasureScreen(HWND window);
