// Arithmetic of the copy page's progress bar, apart from any drawing. The
// bar's width W is shared out over N steps as W / N in whole pixels plus four
// decimal digits of the fraction; the digits accumulate step by step and
// carry into whole pixels, so rounding remainders spread over the bar and
// the position meets the right edge at step N + 1. A step's whole-pixel
// share is applied at the following step; carries apply at once.
#pragma once

#include <cstdint>

inline constexpr int ProgressDigits = 4;
inline constexpr int ProgressTextSize = 16;

struct ProgressMath {
  int32_t width;                        // W, the client width in pixels
  int32_t total;                        // N, the number of steps
  int32_t position;                     // right edge of the done part
  int32_t step;                         // s, the step about to be taken (from 1)
  int32_t percent;                      // current percentage
  int32_t lastShown;                    // last percentage formatted
  int32_t share[ProgressDigits + 1];    // W / N: whole pixels, then digits
  int32_t pending[ProgressDigits + 1];  // pixels not yet applied, digits
  char text[ProgressTextSize];          // lastShown in decimal ("" at first)
};

// Clears the state and computes the shares. A total below 1 counts as 1 and
// a negative width as 0, so no step divides by zero or moves backwards.
void ProgressMathInit(ProgressMath *bar, int32_t width, int32_t total);

// Takes one step: carries the digits, moves the position (never beyond W)
// and, while s is at most N, works out the percentage. Returns true when the
// text changed and must be measured again.
bool ProgressMathStep(ProgressMath *bar);
