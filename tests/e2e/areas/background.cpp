// The background picture seen on the screen. Before setup starts, the area's
// shell file shows two X windows: a full-screen "desktop" picture and a small
// picture near the bottom-left corner (tests/e2e/areas/background.sh makes
// both with the formulas below). While the agreement page is up, the screen
// must show the desktop as it was, darkened by the checkerboard, with the
// title in the top-left corner; the small window, closed meanwhile, must stay
// in the picture. At 200 % the banner and the title are drawn for the scale.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "tests/shell/dib_header.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb &) const = default;
};

const Rgb Black{0, 0, 0};
const Rgb TitleLight{64, 160, 255};
const Rgb TitleDark{32, 0, 64};

// The pictures, as background.sh writes them. Neither holds black, a green of
// 0 or a blue above 230, so no title colour and no darkened pixel can be
// mistaken for them.
Rgb DesktopColour(int x, int y)
{
  return Rgb{16 + (x * 5 + y) % 200, 20 + (y * 3) % 180, 30 + (x + 2 * y) % 150};
}
Rgb SmallColour(int x, int y)
{
  return Rgb{230, 40 + (x * 11 + y) % 150, 90 + (y * 7) % 100};
}
// Where the shell file puts the small picture (display -geometry +40+560).
const RECT SmallWindow = {40, 560, 40 + 160, 560 + 120};

// The 8-bit pictures (background.sh: desktop8, small8) have few colours in
// 32-pixel blocks and one flat small window, all starting on even columns
// and lines.

bool Inside(const RECT &rect, int x, int y)
{
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

Rgb PictureColour(int x, int y)
{
  if (Inside(SmallWindow, x, y))
    return SmallColour(x - SmallWindow.left, y - SmallWindow.top);
  return DesktopColour(x, y);
}

// The whole screen as the X server shows it.
struct ScreenImage {
  int width = 0, height = 0;
  std::vector<uint8_t> bits;  // bottom-up 24-bit rows padded to 4 bytes
  Rgb At(int x, int y) const
  {
    const size_t row = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const uint8_t *p = bits.data() + row * (height - 1 - y) + 3 * static_cast<size_t>(x);
    return Rgb{p[2], p[1], p[0]};
  }
};

bool GrabScreen(ScreenImage *image)
{
  return Check(CaptureScreen(&image->width, &image->height, &image->bits), "screen grabbed (%dx%d)",
               image->width, image->height);
}

// What the darkened picture shows at (x, y): black where the storage row
// (counted from the bottom line) plus x is even, the picture elsewhere.
Rgb DarkenedColour(const ScreenImage &image, int x, int y)
{
  const int storageRow = image.height - 1 - y;
  return (x + storageRow) % 2 == 0 ? Black : PictureColour(x, y);
}

// The title band: the 72-pixel title cell from (10, 10) and some room.
const int TitleBandBottom = 13 + 72 + 40;

// Bottom screen line: pixels 0, 2, 4 ... black and 1, 3, 5 ... the picture's;
// the line above the other way round. Pixels under the page are skipped.
void CheckBottomLines(const ScreenImage &image, const RECT &page)
{
  for (int line = 0; line < 2; ++line) {
    const int y = image.height - 1 - line;
    int black = 0, kept = 0, wrong = 0, skipped = 0;
    for (int x = 0; x < image.width; ++x) {
      if (Inside(page, x, y)) {
        ++skipped;
        continue;
      }
      const Rgb got = image.At(x, y);
      const bool shouldBeBlack = (x + line) % 2 == 0;
      if (shouldBeBlack && got == Black)
        ++black;
      else if (!shouldBeBlack && got == PictureColour(x, y))
        ++kept;
      else if (++wrong <= 3)
        Log("  line %d pixel %d is %d,%d,%d", y, x, got.red, got.green, got.blue);
    }
    Check(wrong == 0 && black > 0 && kept > 0,
          "screen line %d: %d black and %d kept as expected, %d wrong, %d under the page", y, black,
          kept, wrong, skipped);
  }
}

// Every pixel away from the page and the title band is the darkened picture.
// Returns the number of pixels inside `area` that were checked.
int CheckDarkenedArea(const ScreenImage &image, const RECT &page, const RECT &area,
                      const char *what)
{
  int checked = 0, wrong = 0;
  for (int y = std::max<int>(area.top, TitleBandBottom); y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (Inside(page, x, y))
        continue;
      ++checked;
      const Rgb got = image.At(x, y);
      const Rgb expected = DarkenedColour(image, x, y);
      if (!(got == expected) && ++wrong <= 3)
        Log("  (%d, %d) is %d,%d,%d, expected %d,%d,%d", x, y, got.red, got.green, got.blue,
            expected.red, expected.green, expected.blue);
    }
  }
  Check(checked > 0 && wrong == 0, "%s: %d of %d pixels differ from the darkened picture", what,
        wrong, checked);
  return checked;
}

// The light title colour lies near the top-left corner, starting from
// (13, 13), and nowhere far from it; the dark copy starts from (10, 10).
void CheckTitle(const ScreenImage &image, const RECT &page)
{
  int light = 0, dark = 0, lightFar = 0;
  int lightLeft = image.width, lightTop = image.height;
  int darkLeft = image.width, darkTop = image.height;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (Inside(page, x, y))
        continue;
      const Rgb got = image.At(x, y);
      if (got == TitleLight) {
        ++light;
        lightLeft = std::min(lightLeft, x);
        lightTop = std::min(lightTop, y);
        if (y >= TitleBandBottom)
          ++lightFar;
      } else if (got == TitleDark) {
        ++dark;
        darkLeft = std::min(darkLeft, x);
        darkTop = std::min(darkTop, y);
      }
    }
  }
  Check(light > 500, "title's light colour on %d pixels", light);
  Check(lightLeft >= 13 && lightTop >= 13 && lightLeft < 13 + 30 && lightTop < 13 + 40,
        "light title starts from (13, 13): first column %d, first line %d", lightLeft, lightTop);
  Check(lightFar == 0, "light title colour nowhere below line %d (%d pixels)", TitleBandBottom,
        lightFar);
  Check(dark > 0 && darkLeft >= 10 && darkTop >= 10 && darkLeft < lightLeft,
        "dark title copy from (10, 10): %d pixels, first column %d, first line %d", dark, darkLeft,
        darkTop);
}

// Asks the shell file to close the small picture's X window and waits until
// it is gone.
bool CloseSmallWindow()
{
  char request[MAX_PATH], done[MAX_PATH];
  snprintf(request, sizeof(request), "%s\\close-small.request", OutputDir);
  snprintf(done, sizeof(done), "%s\\close-small.done", OutputDir);
  FILE *file = fopen(request, "wb");
  if (file)
    fclose(file);
  for (int i = 0; i < 100; ++i) {
    if (GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES)
      return Check(true, "the small X window was closed");
    Sleep(100);
  }
  return Check(false, "the small X window was closed within 10 s");
}

// Declines the licence so that setup ends with its cancel message.
void CancelSetup(SetupRun *run, HWND page)
{
  Click(page, IDCANCEL);
  HWND question = WaitForMessageBox(run);
  if (question)
    AnswerMessageBox(question, IDYES);
  HWND box = WaitForMessageBox(run);
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(run) == 0, "setup exits with code 0");
}

HWND ShowAgreement(SetupRun *run, RECT *pageRect)
{
  HWND page = WaitForPage(run, IDC_LICENCE_TEXT);
  if (!Check(page != nullptr, "agreement page appears"))
    return nullptr;
  Pause(700);
  GetWindowRect(page, pageRect);
  return page;
}

// Setup started, its licence page shown and saved as the screenshot shot;
// null, the run ended, when the page did not come up.
HWND StartAtAgreement(SetupRun *run, RECT *page, const char *shot)
{
  if (!StartSetup(run))
    return nullptr;
  HWND agreement = ShowAgreement(run, page);
  if (!agreement) {
    EndRun(run);
    return nullptr;
  }
  SaveScreenshot(shot);
  return agreement;
}

int ScreenCaps(int index)
{
  HDC screen = GetDC(nullptr);
  const int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

void DarkenedDesktop()
{
  SetupRun run;
  RECT page;
  HWND agreement = StartAtAgreement(&run, &page, "agreement");
  if (!agreement)
    return;
  ScreenImage image;
  if (GrabScreen(&image)) {
    CheckBottomLines(image, page);
    const RECT whole = {0, 0, image.width, image.height};
    CheckDarkenedArea(image, page, whole, "whole screen below the title");
    CheckDarkenedArea(image, page, SmallWindow, "small window, darkened in the picture");
    CheckTitle(image, page);
  }

  // The small window goes away; the picture keeps it.
  if (CloseSmallWindow()) {
    HWND main = FindMainWindow(&run);
    Check(main != nullptr, "main window found");
    if (main)
      RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Pause(1000);
    SaveScreenshot("small-window-closed");
    ScreenImage after;
    if (GrabScreen(&after))
      CheckDarkenedArea(after, page, SmallWindow, "small window's place after it closed");
  }
  CancelSetup(&run, agreement);
  EndRun(&run);
}

// On an 8-bit display nothing is darkened: the picture keeps every pixel.
// (The palette itself is checked inside a process by background_8bit_tests,
// which the area's shell file runs on the same display afterwards.)
void EightBitDisplay()
{
  const int bits = ScreenCaps(BITSPIXEL);
  if (!Check(bits == 8, "display has 8 bits per pixel (has %d)", bits))
    return;
  SetupRun run;
  RECT page;
  HWND agreement = StartAtAgreement(&run, &page, "agreement-8bit");
  if (!agreement)
    return;
  // Wine shows other X clients' colours on an 8-bit display through its own
  // palette, so the colours read back need not be the picture's. The
  // picture's pixels come in equal pairs, across and down (its colour blocks
  // and the small window start on even columns and lines): darkening would
  // make one of each pair black.
  ScreenImage image;
  if (GrabScreen(&image)) {
    int pairs = 0, unequal = 0, black = 0;
    for (int y = (TitleBandBottom + 1) & ~1; y + 1 < image.height; y += 2) {
      for (int x = 0; x + 1 < image.width; x += 2) {
        if (Inside(page, x, y) || Inside(page, x + 1, y + 1))
          continue;
        const Rgb got = image.At(x, y);
        ++pairs;
        if ((!(got == image.At(x + 1, y)) || !(got == image.At(x, y + 1))) && ++unequal <= 3)
          Log("  pair at (%d, %d): %d,%d,%d / right %d,%d,%d / below %d,%d,%d", x, y, got.red,
              got.green, got.blue, image.At(x + 1, y).red, image.At(x + 1, y).green,
              image.At(x + 1, y).blue, image.At(x, y + 1).red, image.At(x, y + 1).green,
              image.At(x, y + 1).blue);
        if (got == Black || image.At(x + 1, y) == Black || image.At(x, y + 1) == Black)
          ++black;
      }
    }
    Check(pairs > 0 && unequal == 0 && black == 0,
          "8-bit picture undarkened: %d pixel pairs checked, %d unequal, %d with black", pairs,
          unequal, black);
    // The title's edges break the pairs in the top-left band.
    int broken = 0;
    for (int y = 10; y < TitleBandBottom; ++y) {
      for (int x = 10; x + 1 < image.width; x += 2)
        if (!(image.At(x, y) == image.At(x + 1, y)))
          ++broken;
    }
    Check(broken > 200, "title drawn over the 8-bit picture (%d broken pairs)", broken);
  }
  CancelSetup(&run, agreement);
  EndRun(&run);
}

// The height in pixels of the inked rows of the caption drawn with the
// title's font at fontHeight, in a picture of the driver's own.
int CaptionInkHeight(int fontHeight)
{
  const char caption[] = "The Zorvane - Setup";
  HFONT font =
      CreateFontA(fontHeight, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, OUT_STROKE_PRECIS,
                  CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial Black");
  const int width = fontHeight * 16, height = fontHeight * 2;
  BITMAPINFO info = DibHeader(width, -height, 32);
  void *bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  int top = height, bottom = -1;
  if (font && section) {
    HGDIOBJ oldBitmap = SelectObject(dc, section);
    HGDIOBJ oldFont = SelectObject(dc, font);
    std::memset(bits, 0xFF, static_cast<size_t>(width) * height * 4);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 0, 0, caption, static_cast<int>(strlen(caption)));
    GdiFlush();
    const uint32_t *pixels = static_cast<const uint32_t *>(bits);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) == 0) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
  }
  if (section)
    DeleteObject(section);
  if (font)
    DeleteObject(font);
  DeleteDC(dc);
  return bottom >= top ? bottom - top + 1 : 0;
}

// Where a run of 8 pixels of the dialog's face colour begins, walking from
// (x, y) by (dx, dy) up to `limit` steps: the end of the banner (limit when
// the banner fills the way).
int BannerExtent(const ScreenImage &image, int x, int y, int dx, int dy, int limit)
{
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const Rgb faceRgb{GetRValue(face), GetGValue(face), GetBValue(face)};
  int run = 0;
  for (int step = 0; step < limit; ++step) {
    run = image.At(x + step * dx, y + step * dy) == faceRgb ? run + 1 : 0;
    if (run == 8)
      return step - 7;
  }
  return limit;
}

// At 192 dpi (the shell file sets the prefix's display scale) the page and
// the backdrop are drawn in the screen's real pixels: the banner drawn for
// 200 % covers the larger page as the 96-dpi banner covers the 96-dpi page
// (the whole of it), and the title is as much higher as the dpi.
void ScaledDisplay()
{
  const int dpi = ScreenCaps(LOGPIXELSY);
  if (!Check(dpi == 192, "display at 192 dpi (is %d)", dpi))
    return;
  SetupRun run;
  RECT page;
  HWND agreement = StartAtAgreement(&run, &page, "agreement-192dpi");
  if (!agreement)
    return;
  ScreenImage image;
  if (GrabScreen(&image)) {
    // Along a line above the licence box and down a column left of it.
    const int pageWidth = page.right - page.left, pageHeight = page.bottom - page.top;
    const int margin = MulDiv(8, dpi, 96);
    const int width = BannerExtent(image, page.left, page.top + margin, 1, 0, pageWidth);
    const int height = BannerExtent(image, page.left + margin, page.top, 0, 1, pageHeight);
    Log("page %dx%d, banner seen %dx%d", pageWidth, pageHeight, width, height);
    Check(width >= pageWidth * 88 / 100 && height >= pageHeight * 88 / 100,
          "banner covers the page within 12 %%: %d of %d wide, %d of %d high", width, pageWidth,
          height, pageHeight);

    int top = image.height, bottom = -1, left = image.width;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        if (!Inside(page, x, y) && image.At(x, y) == TitleLight) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
          left = std::min(left, x);
        }
    const int seen = bottom - top + 1, at96 = CaptionInkHeight(72);
    Check(at96 > 0 && seen * 96 * 100 >= at96 * dpi * 85 && seen * 96 * 100 <= at96 * dpi * 115,
          "title %d pixels high, %d at 96 dpi: grows as the dpi within 15 %%", seen, at96);
    const int offset = MulDiv(13, dpi, 96);
    Check(left >= offset && top >= offset && left < 3 * offset && top < 4 * offset,
          "light title starts from (%d, %d): first column %d, first line %d", offset, offset, left,
          top);
  }
  CancelSetup(&run, agreement);
  EndRun(&run);
}

// Not a test: prints the time from CreateProcess to the first painted
// background, seen as the darkened desktop at the bottom-left corner.
void TimeToBackground()
{
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  // Started here rather than with StartSetup, which waits for the setup to
  // go idle: by then the background has long been painted.
  char folder[MAX_PATH];
  lstrcpynA(folder, SetupPath, MAX_PATH);
  char *slash = strrchr(folder, '\\');
  if (slash)
    *slash = '\0';
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof(commandLine), "\"%s\"", SetupPath);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  SetupRun run = {};
  QueryPerformanceCounter(&start);
  run.started = CreateProcessA(SetupPath, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder,
                               &startup, &run.process) != 0;
  if (!Check(run.started, "setup started (%s)", SetupPath))
    return;
  double elapsedMs = -1;
  for (;;) {
    QueryPerformanceCounter(&now);
    const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    if (ms > 30000)
      break;
    HDC screen = GetDC(nullptr);
    bool painted = true;
    for (int x = 0; x < 4 && painted; ++x) {
      const COLORREF pixel = GetPixel(screen, x, height - 1);
      const Rgb got{GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
      painted = got == (x % 2 == 0 ? Black : PictureColour(x, height - 1));
    }
    ReleaseDC(nullptr, screen);
    if (painted) {
      elapsedMs = ms;
      break;
    }
    Sleep(1);
  }
  Check(elapsedMs >= 0, "background painted within 30 s");
  printf("background %dx%d: first painted %.0f ms after the process was started\n", width, height,
         elapsedMs);
  HWND page = WaitForPage(&run, IDC_LICENCE_TEXT);
  if (page)
    CancelSetup(&run, page);
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"darkened_desktop", DarkenedDesktop},
    {"eight_bit_display", EightBitDisplay},
    {"scaled_display", ScaledDisplay},
    {"time_to_background", TimeToBackground, StepOnly},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
