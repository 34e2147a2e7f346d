// Paints the banner bitmap at the top-left corner of a wizard page. The
// bitmap is the size of a whole page, so it serves as the page background;
// the controls paint themselves over it.
//
// The pages grow with the screen's scale (their templates are in dialog
// units), so the banner is drawn for each scale: at 100 % it is the bitmap
// IDB_TARNEL, at the larger scales a stored picture that is unpacked into an
// 8-bit bitmap. Either way it is painted at its own size.
#include "setup_common/banner.h"

#include "setup_common/banner_scale.h"
#include "setup_common/state.h"
#include "resources/resource.h"

static_assert(IDR_BANNER_125 == BannerResourceId(125) && IDR_BANNER_150 == BannerResourceId(150) &&
              IDR_BANNER_175 == BannerResourceId(175) && IDR_BANNER_200 == BannerResourceId(200) &&
              IDR_BANNER_225 == BannerResourceId(225) && IDR_BANNER_250 == BannerResourceId(250) &&
              IDR_BANNER_300 == BannerResourceId(300));

namespace {

// The loaded bitmap's size: what PaintBanner copies.
int BannerWidth;
int BannerHeight;

// The stored banner of a scale above 100 %, unpacked straight into an
// 8-bit DIB section with its own colour table; null when it is missing or
// damaged, so that the caller falls back to IDB_TARNEL. No screen-format
// copy is made: at 200 % that conversion and its 3 MB cost as much as the
// unpacking, before the first page could appear, while a blit from the
// 8-bit section costs about a millisecond at each paint.
HBITMAP LoadScaledBanner(int percent)
{
  HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(BannerResourceId(percent)), RT_RCDATA);
  if (!found)
    return nullptr;
  const uint8_t *stored =
      static_cast<const uint8_t *>(LockResource(LoadResource(AppInstance, found)));
  const size_t storedSize = SizeofResource(AppInstance, found);
  // The BITMAPINFO: header and 256 colours, aligned for the system's use.
  alignas(BITMAPINFO) uint8_t head[BannerHeadSize];
  static_assert(BannerHeadSize == sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  PackedBanner banner;
  if (!ReadBannerHead(stored, storedSize, head, &banner))
    return nullptr;
  void *rows = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO *>(head),
                                    DIB_RGB_COLORS, &rows, nullptr, 0);
  if (bitmap && !UnpackBannerRows(stored, storedSize, banner, static_cast<uint8_t *>(rows),
                                  banner.rowsSize)) {
    DeleteObject(bitmap);
    bitmap = nullptr;
  }
  return bitmap;
}

}  // namespace

void LoadBanner()
{
  HDC screen = GetDC(nullptr);
  const int percent = BannerPercentForDpi(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  BannerBitmap = percent > 100 ? LoadScaledBanner(percent) : nullptr;
  if (!BannerBitmap)
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
