// Placeholder until the background canvas lands: no picture, so the main
// window shows its class background.
#include "shell/background.h"

HFONT TitleFont;
HBITMAP BackgroundBitmap;
HPALETTE BackgroundPalette;
HGLOBAL CanvasInfo;
void *CanvasBits;

HFONT MakeFont(int, int, int, BYTE, const char *) { return nullptr; }
HBITMAP BuildBackground(HWND) { return nullptr; }
LRESULT PaintBackground(HDC) { return 0; }
