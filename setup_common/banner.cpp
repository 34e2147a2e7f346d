// Paints the banner bitmap at the top-left corner of a wizard page. The
// bitmap is the size of a whole page, so it serves as the page background;
// the controls paint themselves over it.
#include "setup_common/banner.h"

#include "setup_common/state.h"

namespace {

// The loaded bitmap's size: what PaintBanner copies.
int BannerWidth;
int BannerHeight;

}  // namespace

void LoadBanner()
{
  BannerBitmap = LoadBitmapA(AppInstance, "IDB_TARNEL");
  BITMAP description;
  if (BannerBitmap && GetObjectA(BannerBitmap, sizeof(description), &description)) {
    BannerWidth = description.bmWidth;
    BannerHeight = description.bmHeight;
  }
}

LRESULT PaintBanner(HWND window, UINT, WPARAM, LPARAM)
{
  PAINTSTRUCT paint;
  HDC paintDc = BeginPaint(window, &paint);
  HDC memoryDc = CreateCompatibleDC(paintDc);
  HGDIOBJ previous = SelectObject(memoryDc, BannerBitmap);
  BitBlt(paintDc, 0, 0, BannerWidth, BannerHeight, memoryDc, 0, 0, SRCCOPY);
  if (previous)
    SelectObject(memoryDc, previous);
  DeleteDC(memoryDc);
  EndPaint(window, &paint);
  return 0;
}
