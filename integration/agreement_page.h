// The licence agreement, the wizard's first page; it loads the banner every
// later page paints.
#pragma once

#include <windows.h>

// Shows the page modally, owned by owner, and returns the dialog's end
// code: 0 go on, 1 cancelled, -1 when the dialog could not be created.
INT_PTR ShowAgreementPage(HWND owner);
