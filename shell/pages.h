// The four wizard pages, in the order the wizard runs them. Each shows its
// dialog modally, owned by the given window, and returns the dialog's end
// code: 0 go on, 1 cancelled (or, on the copy page, failed), -1 when the
// dialog could not be created.
#pragma once

#include <windows.h>

INT_PTR ShowAgreementPage(HWND owner);  // integration/agreement_page.cpp
INT_PTR RunDirPage(HWND owner);         // destination/dir_page.cpp
INT_PTR RunCopyPage(HWND owner);        // payload/copy_page.cpp
INT_PTR ShowShortcutPage(HWND owner);   // integration/shortcut_page.cpp
