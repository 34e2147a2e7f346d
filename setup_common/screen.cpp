#include "setup_common/screen.h"

int ScreenWidth;
int ScreenHeight;
int ScreenBitsPerPixel;
int ScreenDpi = 96;

void MeasureScreen(HWND window)
{
  HDC dc = GetDC(window);
  ScreenWidth = GetDeviceCaps(dc, HORZRES);
  ScreenHeight = GetDeviceCaps(dc, VERTRES);
  ScreenBitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ScreenDpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
}

int ScaleToScreen(int value)
{
  return MulDiv(value, ScreenDpi, 96);
}
