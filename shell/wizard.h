// The wizard driver, run by the main window's command IDM_RUN_WIZARD.
#pragma once

#include <windows.h>

// Runs the pages, reports the outcome, closes the main window.
LRESULT SetupWizard(HWND window, UINT id, UINT code, LPARAM lParam);
