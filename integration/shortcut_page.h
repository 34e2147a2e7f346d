// The shortcut page, the wizard's last page: on Finish it registers the
// application and makes the program group and its links.
#pragma once

#include <windows.h>

// Shows the page modally, owned by owner, and returns the dialog's end
// code: 0 go on, 1 cancelled, -1 when the dialog could not be created.
INT_PTR ShowShortcutPage(HWND owner);
