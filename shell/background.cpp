// The full-screen background picture: a snapshot of the display taken while
// the main window is still 0 x 0, darkened by a checkerboard of black pixels
// on displays deeper than 8 bits (kept as it is, with its own palette, on 8
// bits or fewer), with the setup caption written large in the top-left
// corner. Built once in WM_CREATE; every WM_PAINT is one BitBlt of it.
//
// On a display of 32 bits per pixel, the common case, the snapshot goes
// straight into a DIB section in the display's own format, darkened in
// place: the pixels are copied from the display once, and painting is one
// blit from memory in the display's format. Its 24-bit copy in CanvasBits
// is written in two parts. The rows the title covers are copied before the
// title is drawn; the others, which the title never touches, only once the
// first page is on the screen (CompleteCanvas): at 3840 x 2160 that copy
// writes 25 MB of fresh memory, and nothing visible waits for it. Other
// depths take the snapshot into a bitmap compatible with the display and go
// through CanvasBits and back.
//
// The bitmap, palette, font, header block and pixel memory live until the
// process ends: nothing releases them.
#include "shell/background.h"

#include <cstddef>
#include <cstdint>

#include "shell/canvas_palette.h"
#include "shell/darken.h"
#include "shell/font_face.h"
#include "setup_common/screen.h"
#include "common/product.h"
#include "common/runs_under_wine.h"
#include "shell/startup_marks.h"

HFONT TitleFont;
HBITMAP BackgroundBitmap;
HPALETTE BackgroundPalette;
HGLOBAL CanvasInfo;
void *CanvasBits;

// The palette block and the colour table are filled by the byte layouts of
// shell/canvas_palette.h; they must be the system's own.
static_assert(sizeof(RGBQUAD) == ColourQuadSize && offsetof(RGBQUAD, rgbBlue) == 0 &&
              offsetof(RGBQUAD, rgbGreen) == 1 && offsetof(RGBQUAD, rgbRed) == 2);
static_assert(sizeof(PALETTEENTRY) == PaletteEntrySize && offsetof(PALETTEENTRY, peRed) == 0 &&
              offsetof(PALETTEENTRY, peGreen) == 1 && offsetof(PALETTEENTRY, peBlue) == 2 &&
              offsetof(PALETTEENTRY, peFlags) == 3);
static_assert(offsetof(LOGPALETTE, palPalEntry) == PaletteHeaderSize);
static_assert(sizeof(LOGFONTA::lfFaceName) == FaceNameSize);

namespace {

// The header followed by room for 256 colour-table entries.
const SIZE_T CanvasInfoSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

}  // namespace
static_assert(CanvasInfoSize == 1064);

namespace {

const COLORREF TitleShadowColour = RGB(32, 0, 64);
// The title font's height on a 96-dpi display, for which its places are given.
const int TitleHeight = 72;
const COLORREF TitleColour = PALETTERGB(64, 160, 255);

}  // namespace

HFONT MakeFont(int weight, int width, int height, BYTE charSet, const char *faceName)
{
  LOGFONTA font;
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = weight;
  font.lfItalic = 0;
  font.lfUnderline = 0;
  font.lfStrikeOut = 0;
  font.lfCharSet = charSet;
  font.lfOutPrecision = OUT_STROKE_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  // A name too long for the 32-character field is not cut: the field stays
  // empty and the system picks a face by pitch and family.
  CopyFaceName(font.lfFaceName, faceName);
  return CreateFontIndirectA(&font);
}

namespace {

// Under Wine the display is usually an X server, and every read of the
// screen comes back in a reply buffer of the read's full size that the X
// library allocates afresh: one read of a 3840 x 2160 screen faults in 33 MB
// of new pages, about 20 ms before the backdrop can appear. Reads of at most
// XReadBytes stay below the C library's 128 KB threshold for a mapping of
// their own, so one heap block serves every band. On Windows the screen is
// read in one call: what many small screen reads cost there has not been
// measured.
const uint32_t XReadBytes = 120 * 1024;

// Copies the whole display into the bitmap selected into memoryDc, whose
// pixels have bitsPerPixel bits: in one read on Windows, and under Wine in
// bands of as many lines as fit in XReadBytes (in one read should one line
// not fit). Wine's display drivers other than X11 get the same bands; they
// have not been measured.
void CopyScreen(HDC memoryDc, HDC displayDc, uint32_t bitsPerPixel)
{
  int32_t band = ScreenHeight;
  if (RunsUnderWine()) {
    const int32_t rows =
        RowsThatFit(ScreenHeight, DibRowSize(ScreenWidth, bitsPerPixel), XReadBytes);
    if (rows > 0)
      band = rows;
  }
  for (int32_t top = 0; top < ScreenHeight; top += band)
    BitBlt(memoryDc, 0, top, ScreenWidth, band < ScreenHeight - top ? band : ScreenHeight - top,
           displayDc, 0, top, SRCCOPY);
}

// Copies the whole display into a new bitmap compatible with it, which is
// left selected nowhere.
HBITMAP TakeSnapshot(HDC displayDc, HDC memoryDc)
{
  HBITMAP bitmap = CreateCompatibleBitmap(displayDc, ScreenWidth, ScreenHeight);
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  CopyScreen(memoryDc, displayDc,
             ScreenBitsPerPixel > 0 ? static_cast<uint32_t>(ScreenBitsPerPixel) : 32);
  if (previous)
    SelectObject(memoryDc, previous);
  return bitmap;
}

// The header of the bitmap's device-independent copy: bottom-up rows, 8 or
// 24 bits per pixel by the display's depth, room for 256 colours.
void FillCanvasHeader(BITMAPINFOHEADER *header, HBITMAP bitmap)
{
  BITMAP description = {};
  // 24 bytes in the 32-bit build; the 64-bit BITMAP is larger by its pointer.
  GetObjectA(bitmap, sizeof(description), &description);
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = description.bmWidth;
  header->biHeight = description.bmHeight;
  header->biPlanes = 1;
  header->biBitCount = CanvasBitCount(ScreenBitsPerPixel);
  header->biCompression = BI_RGB;
  header->biSizeImage = DibImageSize(header->biWidth, header->biHeight, header->biBitCount);
  header->biXPelsPerMeter = 0;
  header->biYPelsPerMeter = 0;
  header->biClrUsed = 256;
  header->biClrImportant = 0;
}

// Reads the bitmap's pixels into CanvasBits: first the system completes the
// header and colour table, then the pixels go into memory committed for the
// image size as it now stands, plus 3 bytes. Returns the buffer's size and,
// in lines, how many scan lines were read: only as many whole rows as the
// buffer holds, so a header whose image size came back smaller than its rows
// cannot make the system write past the buffer.
SIZE_T ReadCanvasPixels(HDC displayDc, HBITMAP bitmap, BITMAPINFO *info, UINT *lines)
{
  BITMAPINFOHEADER *header = &info->bmiHeader;
  GetDIBits(displayDc, bitmap, 0, static_cast<UINT>(header->biHeight), nullptr, info,
            DIB_RGB_COLORS);
  const uint64_t wanted = static_cast<uint64_t>(header->biSizeImage) + 3;
  CanvasBits = wanted <= static_cast<uint64_t>(SIZE_MAX)
                   ? VirtualAlloc(nullptr, static_cast<SIZE_T>(wanted), MEM_COMMIT, PAGE_READWRITE)
                   : nullptr;
  const SIZE_T size = CanvasBits ? static_cast<SIZE_T>(wanted) : 0;
  *lines = static_cast<UINT>(
      RowsThatFit(header->biHeight, DibRowSize(header->biWidth, header->biBitCount), size));
  if (*lines > 0)
    GetDIBits(displayDc, bitmap, 0, *lines, CanvasBits, info, DIB_RGB_COLORS);
  return size;
}

// A logical palette of the snapshot's 256 colours, each kept in its own
// system palette slot. With no memory for the block there is no palette.
HPALETTE MakeCanvasPalette(const BITMAPINFO *info)
{
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, CanvasPaletteBlockSize);
  if (!block)
    return nullptr;
  HPALETTE palette = nullptr;
  uint8_t *bytes = static_cast<uint8_t *>(GlobalLock(block));
  if (bytes &&
      FillCanvasPalette(bytes, CanvasPaletteBlockSize,
                        reinterpret_cast<const uint8_t *>(info->bmiColors), 256 * sizeof(RGBQUAD)))
    palette = CreatePalette(reinterpret_cast<const LOGPALETTE *>(bytes));
  GlobalUnlock(block);
  GlobalFree(block);
  return palette;
}

// Copies the whole display into a new bottom-up 32-bit DIB section, left
// selected nowhere; its pixels in *pixels. Rows are stored as CanvasBits
// stores them, so row r of both is the same screen line.
HBITMAP TakeSnapshotSection(HDC displayDc, HDC memoryDc, uint32_t **pixels)
{
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = ScreenWidth;
  format.bmiHeader.biHeight = ScreenHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(displayDc, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap)
    return nullptr;
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  CopyScreen(memoryDc, displayDc, 32);
  // The pixels are read directly next: the blit must have landed.
  GdiFlush();
  if (previous)
    SelectObject(memoryDc, previous);
  *pixels = static_cast<uint32_t *>(bits);
  return bitmap;
}

int ScaleWithTitle(int length);

// The section's rows not yet copied into CanvasBits: rows 0 to
// PendingRows - 1 of SectionPixels, bottom-up.
uint32_t *SectionPixels;
int32_t PendingRows;
size_t CanvasBitsSize;

// Screen lines at the top that the title may cover: its offset and font
// height, and half a line more for glyphs that reach below the cell.
int TitleLines()
{
  return ScaleWithTitle(13 + TitleHeight + TitleHeight / 2);
}

// The header completed by the system as for any bitmap, the pixel memory
// committed for its image size plus 3 bytes, then the section darkened in
// place; the rows of the top titleLines screen lines (from an even row, so
// the checkerboard's phase is that of the whole picture) in the same pass
// written into CanvasBits, the rest left for CompleteCanvas.
void DarkenSection(HDC displayDc, HBITMAP bitmap, uint32_t *pixels, int titleLines)
{
  CanvasInfo = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, CanvasInfoSize);
  BITMAPINFO *info = static_cast<BITMAPINFO *>(GlobalLock(CanvasInfo));
  if (!info)
    return;  // no header, no pixels: the section keeps the plain snapshot
  FillCanvasHeader(&info->bmiHeader, bitmap);
  GetDIBits(displayDc, bitmap, 0, static_cast<UINT>(info->bmiHeader.biHeight), nullptr, info,
            DIB_RGB_COLORS);
  const uint64_t wanted = static_cast<uint64_t>(info->bmiHeader.biSizeImage) + 3;
  CanvasBits = wanted <= static_cast<uint64_t>(SIZE_MAX)
                   ? VirtualAlloc(nullptr, static_cast<SIZE_T>(wanted), MEM_COMMIT, PAGE_READWRITE)
                   : nullptr;
  const size_t pixelsSize = static_cast<size_t>(DibImageSize(ScreenWidth, ScreenHeight, 32));
  if (CanvasBits && info->bmiHeader.biBitCount == 24 && ScreenHeight > 0 && ScreenWidth > 0) {
    CanvasBitsSize = static_cast<size_t>(wanted);
    int32_t band = ScreenHeight - (titleLines < ScreenHeight ? titleLines : ScreenHeight);
    band -= band % 2;
    const size_t words = static_cast<size_t>(band) * static_cast<uint32_t>(ScreenWidth);
    const size_t bytes24 = static_cast<size_t>(band) * DibRowSize(ScreenWidth, 24);
    DarkenInPlace32(pixels, pixelsSize, ScreenWidth, band);
    if (words * 4 <= pixelsSize && bytes24 <= CanvasBitsSize)
      DarkenAndCopy32(pixels + words, pixelsSize - words * 4, ScreenWidth, ScreenHeight - band,
                      static_cast<uint8_t *>(CanvasBits) + bytes24, CanvasBitsSize - bytes24);
    SectionPixels = pixels;
    PendingRows = band;
  }
  GlobalUnlock(CanvasInfo);
}

// Reads, darkens (or takes the palette of) and writes back the bitmap's
// pixels through CanvasInfo and CanvasBits.
void ProcessCanvas(HDC displayDc, HBITMAP bitmap)
{
  CanvasInfo = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, CanvasInfoSize);
  BITMAPINFO *info = static_cast<BITMAPINFO *>(GlobalLock(CanvasInfo));
  if (!info)
    return;  // no header, no pixels: the bitmap keeps the plain snapshot
  FillCanvasHeader(&info->bmiHeader, bitmap);

  UINT lines = 0;
  const SIZE_T size = ReadCanvasPixels(displayDc, bitmap, info, &lines);
  const BITMAPINFOHEADER &header = info->bmiHeader;
  if (header.biBitCount == 24)
    DarkenCheckerboard(static_cast<uint8_t *>(CanvasBits), size, header.biWidth, header.biHeight);
  else if (header.biBitCount == 8)
    BackgroundPalette = MakeCanvasPalette(info);

  if (lines > 0)
    SetDIBits(displayDc, bitmap, 0, lines, CanvasBits, info, DIB_RGB_COLORS);
  GlobalUnlock(CanvasInfo);
}

// A length that belongs to the 72-pixel title, for the title font's real
// height: exactly the length at 72.
int ScaleWithTitle(int length)
{
  LOGFONTA font;
  if (!TitleFont || GetObjectA(TitleFont, sizeof(font), &font) != sizeof(font) ||
      font.lfHeight <= 0)
    return length;
  return MulDiv(length, font.lfHeight, TitleHeight);
}

// Writes the caption twice into the bitmap, transparently: a dark copy at
// (10, 10) and the light one 3 pixels right and down over it. Those are the
// places for the 72-pixel font of a 96-dpi display; on a larger scale the
// font is larger (main_window.cpp) and the places grow with it, so the title
// keeps its look. Every object selected here is selected back.
void DrawTitle(HWND window, HBITMAP bitmap)
{
  HDC windowDc = GetDC(window);
  HDC titleDc = CreateCompatibleDC(windowDc);
  HPALETTE oldPalette = nullptr;
  if (BackgroundPalette)
    oldPalette = SelectPalette(titleDc, BackgroundPalette, FALSE);
  HGDIOBJ oldBitmap = SelectObject(titleDc, bitmap);
  HGDIOBJ oldFont = SelectObject(titleDc, TitleFont);

  const int length = lstrlenA(SetupCaption);
  SetBkMode(titleDc, TRANSPARENT);
  SetTextColor(titleDc, TitleShadowColour);
  TextOutA(titleDc, ScaleWithTitle(10), ScaleWithTitle(10), SetupCaption, length);
  SetTextColor(titleDc, TitleColour);
  TextOutA(titleDc, ScaleWithTitle(13), ScaleWithTitle(13), SetupCaption, length);

  if (oldFont)
    SelectObject(titleDc, oldFont);
  if (oldPalette)
    SelectPalette(titleDc, oldPalette, FALSE);
  if (oldBitmap)
    SelectObject(titleDc, oldBitmap);
  DeleteDC(titleDc);
  ReleaseDC(window, windowDc);
}

}  // namespace

HBITMAP BuildBackground(HWND window)
{
  HDC displayDc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC memoryDc = CreateCompatibleDC(displayDc);
  // Without a bitmap there is nothing to draw into; the main window then
  // shows its class background.
  HBITMAP bitmap = nullptr;
  if (ScreenBitsPerPixel == 32) {
    uint32_t *pixels = nullptr;
    bitmap = TakeSnapshotSection(displayDc, memoryDc, &pixels);
    MarkStartup(MarkSnapshot);
    if (bitmap)
      DarkenSection(displayDc, bitmap, pixels, TitleLines());
  } else {
    bitmap = TakeSnapshot(displayDc, memoryDc);
    MarkStartup(MarkSnapshot);
    if (bitmap)
      ProcessCanvas(displayDc, bitmap);
  }
  DeleteDC(displayDc);
  DeleteDC(memoryDc);
  MarkStartup(MarkDarkening);
  if (bitmap)
    DrawTitle(window, bitmap);
  MarkStartup(MarkTitle);
  return bitmap;
}

void CompleteCanvas()
{
  if (PendingRows == 0)
    return;
  // The title was drawn through GDI: its batch must have landed before the
  // section's memory is read, although the rows read here lie below it.
  GdiFlush();
  Copy32To24(SectionPixels,
             static_cast<size_t>(PendingRows) * 4 * static_cast<uint32_t>(ScreenWidth), ScreenWidth,
             PendingRows, static_cast<uint8_t *>(CanvasBits), CanvasBitsSize);
  PendingRows = 0;
}

LRESULT PaintBackground(HDC paintDc)
{
  HDC memoryDc = CreateCompatibleDC(paintDc);
  HPALETTE oldPaintPalette = nullptr;
  HPALETTE oldMemoryPalette = nullptr;
  if (BackgroundPalette) {
    oldPaintPalette = SelectPalette(paintDc, BackgroundPalette, FALSE);
    RealizePalette(paintDc);
    oldMemoryPalette = SelectPalette(memoryDc, BackgroundPalette, FALSE);
  }
  HGDIOBJ oldBitmap = SelectObject(memoryDc, BackgroundBitmap);
  // The whole picture every time: clipping limits what reaches the screen.
  BitBlt(paintDc, 0, 0, ScreenWidth, ScreenHeight, memoryDc, 0, 0, SRCCOPY);
  if (oldPaintPalette)
    SelectPalette(paintDc, oldPaintPalette, FALSE);
  if (oldMemoryPalette)
    SelectPalette(memoryDc, oldMemoryPalette, FALSE);
  if (oldBitmap)
    SelectObject(memoryDc, oldBitmap);
  DeleteDC(memoryDc);
  return 0;
}
