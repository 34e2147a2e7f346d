// The full-screen background: the desktop as it was when setup started,
// darkened, with the product title written large in the top-left corner.
// Built once while the main window is created, painted on every WM_PAINT.
#pragma once

#include <windows.h>

extern HFONT TitleFont;
extern HBITMAP BackgroundBitmap;
extern HPALETTE BackgroundPalette;
extern HGLOBAL CanvasInfo;
extern void *CanvasBits;

HFONT MakeFont(int weight, int width, int height, BYTE charSet, const char *faceName);
HBITMAP BuildBackground(HWND window);
LRESULT PaintBackground(HDC paintDc);
