#include "setup_common/screen.h"

int ScreenWidth;
int ScreenHeight;
int ScreenBitsPerPixel;

void MeasureScreen(HWND window)
{
  HDC dc = GetDC(window);
  ScreenWidth = GetDeviceCaps(dc, HORZRES);
  ScreenHeight = GetDeviceCaps(dc, VERTRES);
  ScreenBitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
}
