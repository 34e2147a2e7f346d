// The header of an uncompressed device-independent bitmap, for the tests
// that draw, read or save pictures of the screen: rows bottom-up for a
// positive height, top-down for a negative one.
#pragma once

#include <windows.h>

inline BITMAPINFO DibHeader(int width, int height, WORD bitCount)
{
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bitCount;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
