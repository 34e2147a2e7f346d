// Stand-in shortcut page until the real one lands: goes on at once.
#include "shell/pages.h"

INT_PTR ShowShortcutPage(HWND) { return 0; }
