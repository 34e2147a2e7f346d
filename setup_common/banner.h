// The banner every wizard page paints as its background. LoadBanner must
// have run before a page paints: the licence page, always the first page,
// calls it, and PaintBanner paints nothing until then.
#pragma once

#include <windows.h>

// Loads IDB_TARNEL into BannerBitmap and takes its size for painting.
void LoadBanner();

// WM_PAINT handler of the four wizard pages: BannerBitmap at (0, 0).
LRESULT PaintBanner(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
