// The folder browser opened by the destination page's Browse button.
#pragma once

#include <windows.h>

// Shows the browser modally; it leaves its choice in BaseDir, BrowsePath,
// CurrentDrive and FreeSpaceKB however it is closed, and always returns 0
// (-1 when the dialog could not be created).
INT_PTR RunFolderBrowser(HWND owner);
