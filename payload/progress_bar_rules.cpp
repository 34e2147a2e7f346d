#include "payload/progress_bar_rules.h"

#include <cstdio>
#include <cstring>

void ProgressMathInit(ProgressMath *bar, int32_t width, int32_t total)
{
  std::memset(bar, 0, sizeof(*bar));
  bar->width = width < 0 ? 0 : width;
  bar->total = total < 1 ? 1 : total;
  bar->step = 1;
  bar->lastShown = 0;

  // 64-bit intermediates: 10 x remainder passes 32 bits for a huge N.
  int64_t remainder = bar->width % bar->total;
  bar->share[0] = bar->width / bar->total;
  for (int k = 1; k <= ProgressDigits; ++k) {
    bar->share[k] = static_cast<int32_t>(10 * remainder / bar->total);
    remainder = 10 * remainder % bar->total;
  }
}

bool ProgressMathStep(ProgressMath *bar)
{
  for (int k = ProgressDigits; k >= 1; --k) {
    bar->pending[k] += bar->share[k];
    if (bar->pending[k] > 9) {
      bar->pending[k - 1] += 1;
      bar->pending[k] -= 10;
    }
  }

  if (bar->share[0] != 0) {
    int64_t moved = static_cast<int64_t>(bar->position) + bar->pending[0];
    bar->position = moved > bar->width ? bar->width : static_cast<int32_t>(moved);
    bar->pending[0] = bar->share[0];
  } else if (bar->pending[0] > 0) {
    if (bar->position < bar->width)
      bar->position += 1;
    bar->pending[0] -= 1;
  }

  bool changed = false;
  if (bar->step <= bar->total) {
    bar->percent = static_cast<int32_t>(static_cast<int64_t>(bar->step) * 100 / bar->total);
    if (bar->percent != bar->lastShown) {
      bar->lastShown = bar->percent;
      std::snprintf(bar->text, sizeof(bar->text), "%d", static_cast<int>(bar->percent));
      changed = true;
    }
    bar->step += 1;
  }
  return changed;
}
