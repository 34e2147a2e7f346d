// The program-group browser: a modal list of the Start-menu folders below
// ShortcutGroup, walked by double-click. Every move rewrites ShortcutGroup
// at once, so OK and Cancel leave the same folder.
#pragma once

#include <windows.h>

// Runs IDD_BROWSE_SHORTCUT owned by owner; it always ends with 0.
INT_PTR RunGroupBrowser(HWND owner);
