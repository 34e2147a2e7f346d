// Paints the banner bitmap at the top-left corner of a wizard page. The
// bitmap is the size of a whole page, so it serves as the page background;
// the controls paint themselves over it.
//
// The pages grow with the screen's scale (their templates are in dialog
// units), so the banner is drawn for each scale: at 100 % it is the bitmap
// IDB_TARNEL, at the larger scales a stored picture that is unpacked into a
// bitmap of the same kind. Either way it is painted at its own size.
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

// The stored banner of a scale above 100 %, unpacked into a bitmap
// compatible with the screen (as LoadBitmapA makes one); null when it is
// missing or damaged, so that the caller falls back to IDB_TARNEL.
HBITMAP LoadScaledBanner(int percent)
{
  HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(BannerResourceId(percent)), RT_RCDATA);
  if (!found)
    return nullptr;
  const uint8_t *stored =
      static_cast<const uint8_t *>(LockResource(LoadResource(AppInstance, found)));
  const size_t storedSize = SizeofResource(AppInstance, found);
  const size_t size = BannerUnpackedSize(stored, storedSize);
  if (size == 0)
    return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
  if (!memory)
    return nullptr;
  uint8_t *bytes = static_cast<uint8_t *>(memory);
  HBITMAP bitmap = nullptr;
  PackedBanner banner;
  if (UnpackBanner(stored, storedSize, bytes, size, &banner)) {
    const BITMAPINFO *info = reinterpret_cast<const BITMAPINFO *>(bytes);
    HDC screen = GetDC(nullptr);
    bitmap = CreateCompatibleBitmap(screen, banner.width, banner.height);
    if (bitmap && SetDIBits(screen, bitmap, 0, static_cast<UINT>(banner.height),
                            bytes + banner.bitsOffset, info, DIB_RGB_COLORS) != banner.height) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
    ReleaseDC(nullptr, screen);
  }
  GlobalFree(memory);
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
