// The copy page, the wizard's third page: it extracts the payload into
// InstallDir and ends itself when done, failed or cancelled.
#pragma once

#include <windows.h>

// Shows the page modally, owned by owner, and returns the dialog's end
// code: 0 go on, 1 cancelled (or failed), -1 when the dialog could not be created.
INT_PTR RunCopyPage(HWND owner);
