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
// Writes the rest of CanvasBits, the 24-bit copy of the darkened picture,
// when BuildBackground left it for later (on a 32-bit display); does
// nothing otherwise or once done. Called once the first page is shown.
void CompleteCanvas();
LRESULT PaintBackground(HDC paintDc);
