// The copy page's side of the extraction (payload/extraction.h).
#pragma once

#include <windows.h>

// 1 once Cancel was pressed or a step failed; the copy page's result. The
// page's Cancel raises it, the message pump looks at it between two files.
extern int CopyStop;

// Command IDM_EXTRACT of the copy page: runs the extraction of the payload
// resource into InstallDir with the page's status line, progress bar,
// message pump and boxes; ends the page with CopyStop.
LRESULT ExtractPayload(HWND page, UINT id, UINT code, LPARAM lParam);
