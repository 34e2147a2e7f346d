// Draws the progress bar over the fixed-point arithmetic of ProgressMath.
// The device context is held from ProgressInit to ProgressDone, so a step
// costs integer arithmetic, two fills and one text out; the text is
// measured only when the percentage changes.
#include "payload/progress_bar.h"

#include "payload/progress_bar_rules.h"

namespace {

struct ProgressBar {
  HBRUSH fillBrush;  // done part: 0xFF0000, pure blue
  HBRUSH restBrush;  // the rest: black
  HWND control;
  HDC dc;
  RECT doneRect;
  RECT restRect;
  SIZE textSize;
  ProgressMath math;
};

ProgressBar Bar;

}  // namespace

void ProgressInit(HWND control, int total)
{
  ZeroMemory(&Bar, sizeof(Bar));
  Bar.control = control;
  GetClientRect(control, &Bar.doneRect);
  Bar.restRect = Bar.doneRect;
  Bar.doneRect.left = 0;
  Bar.doneRect.right = 0;
  Bar.restRect.left = 0;
  ProgressMathInit(&Bar.math, Bar.restRect.right, total);
  Bar.textSize.cx = 0;
  Bar.dc = GetDC(control);
  Bar.fillBrush = CreateSolidBrush(0xFF0000);
  Bar.restBrush = CreateSolidBrush(0x000000);
}

void ProgressStep()
{
  if (ProgressMathStep(&Bar.math))
    GetTextExtentPoint32A(Bar.dc, Bar.math.text, lstrlenA(Bar.math.text), &Bar.textSize);
  Bar.doneRect.right = Bar.math.position;
  FillRect(Bar.dc, &Bar.doneRect, Bar.fillBrush);
  Bar.restRect.left = Bar.math.position;
  FillRect(Bar.dc, &Bar.restRect, Bar.restBrush);
  SetBkMode(Bar.dc, TRANSPARENT);
  SetTextColor(Bar.dc, 0xFFFFFF);
  int x = Bar.math.width / 2 - Bar.textSize.cx / 2;
  int y = (Bar.restRect.bottom - Bar.textSize.cy) / 2;
  TextOutA(Bar.dc, x, y, Bar.math.text, lstrlenA(Bar.math.text));
}

void ProgressDone()
{
  if (Bar.dc != nullptr) {
    ReleaseDC(Bar.control, Bar.dc);
    Bar.dc = nullptr;
  }
  if (Bar.fillBrush != nullptr) {
    DeleteObject(Bar.fillBrush);
    Bar.fillBrush = nullptr;
  }
  if (Bar.restBrush != nullptr) {
    DeleteObject(Bar.restBrush);
    Bar.restBrush = nullptr;
  }
  InvalidateRect(Bar.control, nullptr, TRUE);
}
