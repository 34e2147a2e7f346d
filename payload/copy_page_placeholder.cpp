// Stand-in copy page until the real one lands: goes on at once.
#include "shell/pages.h"

INT_PTR RunCopyPage(HWND) { return 0; }
