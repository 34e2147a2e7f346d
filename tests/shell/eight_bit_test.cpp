// The background builder on a display of 8 bits per pixel: the palette path.
// Not part of the unit run (its display has 24 bits): the end-to-end scenario
// background.eight_bit_display runs this program on its own 8-bit display.
#include "shell/background.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "setup_common/screen.h"
#include "shell/darken.h"

namespace {

struct Canvas8 {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

// The bitmap's pixels as an 8-bit DIB with the colour table the system gives.
std::vector<uint8_t> ReadIndices(HBITMAP bitmap, Canvas8 *info)
{
  std::memset(info, 0, sizeof(*info));
  info->header.biSize = sizeof(BITMAPINFOHEADER);
  info->header.biWidth = ScreenWidth;
  info->header.biHeight = ScreenHeight;
  info->header.biPlanes = 1;
  info->header.biBitCount = 8;
  info->header.biCompression = BI_RGB;
  std::vector<uint8_t> bits(DibImageSize(ScreenWidth, ScreenHeight, 8));
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  const int lines = GetDIBits(display, bitmap, 0, ScreenHeight, bits.data(),
                              reinterpret_cast<BITMAPINFO *>(info), DIB_RGB_COLORS);
  DeleteDC(display);
  EXPECT_EQ(lines, ScreenHeight);
  return bits;
}

// A plain snapshot of the display, taken the way the builder takes its own.
HBITMAP Snapshot()
{
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(display);
  HBITMAP bitmap = CreateCompatibleBitmap(display, ScreenWidth, ScreenHeight);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, ScreenWidth, ScreenHeight, display, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteDC(display);
  return bitmap;
}

}  // namespace

TEST(EightBitBackground, KeepsEveryPixelAndTakesThePaletteOfTheSnapshot)
{
  MeasureScreen(nullptr);
  ASSERT_EQ(ScreenBitsPerPixel, 8) << "run this on an 8-bit display";

  // The desktop as it is, before the builder takes its own snapshot.
  HBITMAP before = Snapshot();
  Canvas8 beforeInfo;
  const std::vector<uint8_t> beforeIndices = ReadIndices(before, &beforeInfo);

  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  TitleFont = MakeFont(400, 0, 72, DEFAULT_CHARSET, "Arial Black");
  BackgroundBitmap = BuildBackground(window);
  ASSERT_NE(BackgroundBitmap, nullptr);

  // An 8-bit device-independent copy with its 256-entry colour table.
  const BITMAPINFO *info = static_cast<const BITMAPINFO *>(GlobalLock(CanvasInfo));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->bmiHeader.biBitCount, 8);
  EXPECT_EQ(info->bmiHeader.biSizeImage, DibImageSize(ScreenWidth, ScreenHeight, 8));

  // The palette holds the colour table's 256 colours, none collapsed.
  ASSERT_NE(BackgroundPalette, nullptr);
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetPaletteEntries(BackgroundPalette, 0, 256, entries), 256u);
  int differing = 0;
  for (int i = 0; i < 256; ++i)
    if (entries[i].peRed != info->bmiColors[i].rgbRed ||
        entries[i].peGreen != info->bmiColors[i].rgbGreen ||
        entries[i].peBlue != info->bmiColors[i].rgbBlue || entries[i].peFlags != PC_NOCOLLAPSE)
      ++differing;
  EXPECT_EQ(differing, 0) << "palette entries that differ from the colour table";

  // Nothing darkened: the pixel memory is the snapshot, index for index, and
  // the colours those indices stand for are the desktop's.
  const uint8_t *bits = static_cast<const uint8_t *>(CanvasBits);
  ASSERT_NE(bits, nullptr);
  size_t sameColour = 0, pixels = 0;
  const uint32_t rowSize = DibRowSize(ScreenWidth, 8);
  for (int r = 0; r < ScreenHeight; ++r) {
    for (int x = 0; x < ScreenWidth; ++x, ++pixels) {
      const RGBQUAD &a = info->bmiColors[bits[static_cast<size_t>(r) * rowSize + x]];
      const RGBQUAD &b = beforeInfo.colours[beforeIndices[static_cast<size_t>(r) * rowSize + x]];
      if (a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue)
        ++sameColour;
    }
  }
  EXPECT_EQ(sameColour, pixels) << "pixels whose colour changed in the pixel memory";
  size_t black = 0;
  for (int x = 0; x < ScreenWidth; ++x) {
    const RGBQUAD &c = info->bmiColors[bits[x]];
    if (c.rgbRed == 0 && c.rgbGreen == 0 && c.rgbBlue == 0)
      ++black;
  }
  EXPECT_LT(black, static_cast<size_t>(ScreenWidth) / 2) << "bottom line looks darkened";
  GlobalUnlock(CanvasInfo);

  // Painting selects and realises the palette, then puts the old one back.
  HDC paintDc = GetDC(window);
  HGDIOBJ paletteBefore = GetCurrentObject(paintDc, OBJ_PAL);
  EXPECT_EQ(PaintBackground(paintDc), 0);
  EXPECT_EQ(GetCurrentObject(paintDc, OBJ_PAL), paletteBefore);
  ReleaseDC(window, paintDc);

  // The bitmap is selected nowhere any more.
  HDC other = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(other, BackgroundBitmap);
  EXPECT_NE(previous, nullptr);
  if (previous)
    SelectObject(other, previous);
  DeleteDC(other);
  DeleteObject(before);
  DestroyWindow(window);
}
