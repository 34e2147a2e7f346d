// Stand-in destination page until the real one lands: goes on at once.
#include "shell/pages.h"

INT_PTR RunDirPage(HWND) { return 0; }
