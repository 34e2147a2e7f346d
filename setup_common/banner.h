// The banner every wizard page paints as its background. LoadBanner must
// have run before a page paints: the licence page, always the first page,
// calls it, and PaintBanner paints nothing until then.
#pragma once

#include <windows.h>

// Loads the banner drawn for the screen's scale (its dpi, LOGPIXELSY) into
// BannerBitmap and takes its size for painting: IDB_TARNEL at 100 %, the
// stored one at a larger scale (IDB_TARNEL again should that one be
// missing or damaged).
void LoadBanner();

// WM_PAINT handler of the four wizard pages: BannerBitmap at (0, 0).
LRESULT PaintBanner(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
