// The background builder and painter on a real display under Wine: a
// full-screen window shows a known picture, the builder snapshots it through
// a 0 x 0 window as the main window does, and the tests read back the header,
// the pixel memory and the finished bitmap.
#include "shell/background.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "setup_common/screen.h"
#include "shell/darken.h"
#include "tests/shell/dib_header.h"

namespace {

struct Rgb {
  uint8_t red, green, blue;
  bool operator==(const Rgb &) const = default;
};

// The known picture: no black pixel, green never 0 and blue never above 179,
// so neither title colour (32, 0, 64) / (64, 160, 255) occurs in it.
Rgb PictureColour(int x, int y)
{
  return Rgb{static_cast<uint8_t>(16 + (x * 5 + y) % 200), static_cast<uint8_t>(20 + (y * 3) % 180),
             static_cast<uint8_t>(30 + (x + 2 * y) % 150)};
}

LRESULT CALLBACK PictureWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message != WM_PAINT)
    return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const int width = ScreenWidth;
  const int height = ScreenHeight;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = PictureColour(x, y);
      pixels[static_cast<size_t>(y) * width + x] = (c.red << 16) | (c.green << 8) | c.blue;
    }
  }
  BITMAPINFO info = DibHeader(width, -height, 32);  // top-down: row y is screen line y
  SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  EndPaint(window, &paint);
  return 0;
}

void PumpFor(DWORD ms)
{
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

// A bitmap's pixels as a bottom-up 24-bit DIB, the canvas layout.
std::vector<uint8_t> ReadBitmap(HBITMAP bitmap, int width, int height)
{
  std::vector<uint8_t> bits(DibImageSize(width, height, 24));
  BITMAPINFO info = DibHeader(width, height, 24);
  HDC screen = GetDC(nullptr);
  const int lines = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(lines, height);
  return bits;
}

// Pixel at screen position (x, y) of a bottom-up 24-bit DIB.
Rgb DibPixel(const uint8_t *bits, int width, int height, int x, int y)
{
  const uint8_t *p = bits + static_cast<size_t>(height - 1 - y) * DibRowSize(width, 24) + 3 * x;
  return Rgb{p[2], p[1], p[0]};
}

const Rgb Black{0, 0, 0};
const Rgb TitleLight{64, 160, 255};
const Rgb TitleDark{32, 0, 64};
// The title's 72-pixel cell from (10, 10) ends well above this line.
const int BelowTitle = 10 + 72 + 40;

class BackgroundTest : public testing::Test {
protected:
  void SetUp() override
  {
    MeasureScreen(nullptr);
    ASSERT_GT(ScreenBitsPerPixel, 8) << "these checks need a display deeper than 8 bits";

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PictureWndProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZvPicture";
    RegisterClassA(&windowClass);
    picture =
        CreateWindowExA(WS_EX_TOPMOST, "ZvPicture", "", WS_POPUP | WS_VISIBLE, 0, 0, ScreenWidth,
                        ScreenHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(picture, nullptr);
    UpdateWindow(picture);
    PumpFor(500);

    // Like the main window while it is created: visible, 0 x 0.
    window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    TitleFont = MakeFont(400, 0, 72, DEFAULT_CHARSET, "Arial Black");
    ASSERT_NE(TitleFont, nullptr);
    BackgroundBitmap = BuildBackground(window);
    CompleteCanvas();
    ASSERT_NE(BackgroundBitmap, nullptr);
  }

  void TearDown() override
  {
    if (window)
      DestroyWindow(window);
    if (picture)
      DestroyWindow(picture);
  }

  HWND picture = nullptr;
  HWND window = nullptr;
};

}  // namespace

TEST(MakeFont, FillsEveryFieldOfTheDescription)
{
  HFONT font = MakeFont(400, 0, 72, DEFAULT_CHARSET, "Arial Black");
  ASSERT_NE(font, nullptr);
  LOGFONTA made;
  std::memset(&made, 0x5A, sizeof(made));
  ASSERT_EQ(GetObjectA(font, sizeof(made), &made), static_cast<int>(sizeof(made)));
  EXPECT_EQ(made.lfHeight, 72);
  EXPECT_EQ(made.lfWidth, 0);
  EXPECT_EQ(made.lfEscapement, 0);
  EXPECT_EQ(made.lfOrientation, 0);
  EXPECT_EQ(made.lfWeight, 400);
  EXPECT_EQ(made.lfItalic, 0);
  EXPECT_EQ(made.lfUnderline, 0);
  EXPECT_EQ(made.lfStrikeOut, 0);
  EXPECT_EQ(made.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(made.lfOutPrecision, 3);       // OUT_STROKE_PRECIS
  EXPECT_EQ(made.lfClipPrecision, 2);      // CLIP_STROKE_PRECIS
  EXPECT_EQ(made.lfQuality, 1);            // DRAFT_QUALITY
  EXPECT_EQ(made.lfPitchAndFamily, 0x22);  // VARIABLE_PITCH | FF_SWISS
  EXPECT_STREQ(made.lfFaceName, "Arial Black");
  DeleteObject(font);

  // Other arguments reach their own fields.
  font = MakeFont(700, 12, 30, ANSI_CHARSET, nullptr);
  ASSERT_NE(font, nullptr);
  ASSERT_EQ(GetObjectA(font, sizeof(made), &made), static_cast<int>(sizeof(made)));
  EXPECT_EQ(made.lfWeight, 700);
  EXPECT_EQ(made.lfWidth, 12);
  EXPECT_EQ(made.lfHeight, 30);
  EXPECT_EQ(made.lfCharSet, ANSI_CHARSET);
  EXPECT_STREQ(made.lfFaceName, "");
  DeleteObject(font);
}

TEST(MakeFont, FaceNameTooLongForTheFieldIsLeftEmpty)
{
  const char *name = "A face name that is far too long for the field";
  HFONT font = MakeFont(400, 0, 72, DEFAULT_CHARSET, name);
  ASSERT_NE(font, nullptr);
  LOGFONTA made;
  ASSERT_EQ(GetObjectA(font, sizeof(made), &made), static_cast<int>(sizeof(made)));
  EXPECT_STREQ(made.lfFaceName, "");
  DeleteObject(font);
}

TEST_F(BackgroundTest, HeaderAndPixelMemoryDescribeTheSnapshot)
{
  BITMAP description;
  ASSERT_EQ(GetObjectA(BackgroundBitmap, sizeof(description), &description),
            static_cast<int>(sizeof(description)));
  EXPECT_EQ(description.bmWidth, ScreenWidth);
  EXPECT_EQ(description.bmHeight, ScreenHeight);

  ASSERT_NE(CanvasInfo, nullptr);
  EXPECT_EQ(GlobalSize(CanvasInfo), 1064u);
  EXPECT_EQ(GlobalFlags(CanvasInfo) & GMEM_LOCKCOUNT, 0u) << "left locked";
  const BITMAPINFOHEADER *header = static_cast<const BITMAPINFOHEADER *>(GlobalLock(CanvasInfo));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biWidth, ScreenWidth);
  EXPECT_EQ(header->biHeight, ScreenHeight);  // positive: bottom-up
  EXPECT_EQ(header->biPlanes, 1);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header->biSizeImage, DibRowSize(ScreenWidth, 24) * ScreenHeight);
  const DWORD imageSize = header->biSizeImage;
  GlobalUnlock(CanvasInfo);

  ASSERT_NE(CanvasBits, nullptr);
  MEMORY_BASIC_INFORMATION memory;
  ASSERT_NE(VirtualQuery(CanvasBits, &memory, sizeof(memory)), 0u);
  EXPECT_EQ(memory.State, static_cast<DWORD>(MEM_COMMIT));
  EXPECT_EQ(memory.Protect, static_cast<DWORD>(PAGE_READWRITE));
  EXPECT_GE(memory.RegionSize, imageSize + 3);
  EXPECT_EQ(BackgroundPalette, nullptr) << "no palette on a display deeper than 8 bits";
}

// CanvasBits holds the darkened snapshot before the title: every pixel is
// either black (x + storage row even) or exactly the picture's colour.
TEST_F(BackgroundTest, PixelMemoryIsTheCheckerboardOverThePicture)
{
  const uint8_t *bits = static_cast<const uint8_t *>(CanvasBits);
  ASSERT_NE(bits, nullptr);
  int wrong = 0;
  for (int y = 0; y < ScreenHeight && wrong < 10; ++y) {
    const int storageRow = ScreenHeight - 1 - y;
    for (int x = 0; x < ScreenWidth && wrong < 10; ++x) {
      const Rgb expected = (x + storageRow) % 2 == 0 ? Black : PictureColour(x, y);
      const Rgb got = DibPixel(bits, ScreenWidth, ScreenHeight, x, y);
      if (!(got == expected)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << int(got.red) << ","
                      << int(got.green) << "," << int(got.blue) << ", expected "
                      << int(expected.red) << "," << int(expected.green) << ","
                      << int(expected.blue);
        ++wrong;
      }
    }
  }
  // The bottom screen line begins black, the line above it with the picture.
  EXPECT_EQ(DibPixel(bits, ScreenWidth, ScreenHeight, 0, ScreenHeight - 1), Black);
  EXPECT_EQ(DibPixel(bits, ScreenWidth, ScreenHeight, 0, ScreenHeight - 2),
            PictureColour(0, ScreenHeight - 2));
}

// The bitmap is the checkerboard with the two title copies over it: the
// light one from (13, 13), the dark one from (10, 10), only in the corner.
TEST_F(BackgroundTest, BitmapCarriesTheTitleInTheTopLeftCorner)
{
  const std::vector<uint8_t> bitmap = ReadBitmap(BackgroundBitmap, ScreenWidth, ScreenHeight);
  const uint8_t *canvas = static_cast<const uint8_t *>(CanvasBits);
  int lightCount = 0, darkCount = 0;
  int lightLeft = ScreenWidth, lightTop = ScreenHeight, lightBottom = -1;
  int darkLeft = ScreenWidth, darkTop = ScreenHeight;
  int changedBelowTitle = 0;
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; ++x) {
      const Rgb got = DibPixel(bitmap.data(), ScreenWidth, ScreenHeight, x, y);
      if (got == TitleLight) {
        ++lightCount;
        lightLeft = std::min(lightLeft, x);
        lightTop = std::min(lightTop, y);
        lightBottom = std::max(lightBottom, y);
      } else if (got == TitleDark) {
        ++darkCount;
        darkLeft = std::min(darkLeft, x);
        darkTop = std::min(darkTop, y);
      }
      if (y >= BelowTitle && !(got == DibPixel(canvas, ScreenWidth, ScreenHeight, x, y)))
        ++changedBelowTitle;
    }
  }
  EXPECT_GT(lightCount, 500) << "light title copy missing";
  EXPECT_GT(darkCount, 50) << "dark title copy missing";
  EXPECT_GE(lightLeft, 13);
  EXPECT_GE(lightTop, 13);
  EXPECT_LT(lightLeft, 13 + 30);
  EXPECT_LT(lightTop, 13 + 40);
  EXPECT_LT(lightBottom, BelowTitle);
  EXPECT_GE(darkLeft, 10);
  EXPECT_GE(darkTop, 10);
  EXPECT_LT(darkLeft, lightLeft) << "the dark copy shows left of the light one";
  EXPECT_EQ(changedBelowTitle, 0) << "pixels below the title differ from the darkened snapshot";
}

// Painting is one copy of the whole bitmap; afterwards the bitmap is selected
// nowhere, so another context can take it.
TEST_F(BackgroundTest, PaintCopiesTheWholePictureAndPutsSelectionsBack)
{
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  BITMAPINFO info = DibHeader(ScreenWidth, ScreenHeight, 24);
  void *targetBits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &targetBits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  const size_t size = DibImageSize(ScreenWidth, ScreenHeight, 24);
  std::memset(targetBits, 0x77, size);
  HGDIOBJ old = SelectObject(target, section);

  EXPECT_EQ(PaintBackground(target), 0);
  GdiFlush();
  const std::vector<uint8_t> bitmap = ReadBitmap(BackgroundBitmap, ScreenWidth, ScreenHeight);
  EXPECT_EQ(std::memcmp(targetBits, bitmap.data(), size), 0) << "painted picture differs";

  SelectObject(target, old);
  DeleteObject(section);
  DeleteDC(target);

  HDC other = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(other, BackgroundBitmap);
  EXPECT_NE(previous, nullptr) << "the bitmap is still selected somewhere";
  if (previous)
    SelectObject(other, previous);
  DeleteDC(other);
  ReleaseDC(nullptr, screen);
}
