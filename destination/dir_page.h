// The destination directory page, the wizard's second page: the user picks
// the folder setup installs into; Next makes it and sets InstallDir.
#pragma once

#include <windows.h>

// Shows the page modally, owned by owner, and returns the dialog's end
// code: 0 go on, 1 cancelled, -1 when the dialog could not be created.
INT_PTR RunDirPage(HWND owner);
