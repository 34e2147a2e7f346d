// The extraction pipeline behind the copy page.
#pragma once

#include <windows.h>

// 1 once Cancel was pressed or a step failed; the copy page's result. The
// page's Cancel raises it, the pipeline looks at it between two files.
extern int CopyStop;

// Command IDM_EXTRACT of the copy page: the whole pipeline from the payload
// resource to the installed files; ends the page with CopyStop.
LRESULT ExtractPayload(HWND page, UINT id, UINT code, LPARAM lParam);
