// The common controls, loaded at run time. comctl32 is not one of the DLLs
// that Windows always takes from its system directory, so importing it
// would load a comctl32.dll planted beside setup.exe before WinMain runs.
// Setup loads it by its full path in the system directory instead; loading
// it registers its window classes, among them the browsers' list view.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Loads comctl32.dll from the system directory, once; the main window calls
// it once the first page is up, before any page can open a browser. false when it cannot be loaded:
// a browser then fails to open, as a dialog with an unknown class does.
bool LoadCommonControls();

// ImageList_Create and ImageList_ReplaceIcon of that comctl32 (loaded on
// first use if need be); null and -1 when it cannot be loaded.
HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow);
int ImageListReplaceIcon(HIMAGELIST images, int index, HICON icon);
