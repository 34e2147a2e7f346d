// The copy page: extracts the payload into InstallDir as soon as it opens.
#pragma once

#include <windows.h>

#include "shell/product.h"

// The temporary directory of the last extraction, without a trailing "\".
extern char TempDir[ShortPathSize];
// 1 once Cancel was pressed or a step failed; the page's result.
extern int CopyStop;

// Command IDM_EXTRACT of the copy page: the whole pipeline from the payload
// resource to the installed files; ends the page with CopyStop.
LRESULT ExtractPayload(HWND page, UINT id, UINT code, LPARAM lParam);
