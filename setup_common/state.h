// Process-wide setup state. The wizard pages pass nothing to one another
// through arguments or results: what one page settles and a later page uses
// lives here. Every buffer is zero-filled at start and touched only by the
// one user-interface thread.
#pragma once

#include <windows.h>

#include "common/product.h"

extern HINSTANCE AppInstance;                // the executable's own module
extern char StartDir[PathBufferSize];        // current directory at start-up ("D:" for a root)
extern int InstallMode;                      // 1 once Next was pressed on the destination page
extern char BaseDir[PathBufferSize];         // where the destination folder is made
extern char BrowsePath[PathBufferSize];      // name of the folder made in BaseDir
extern char InstallDir[PathBufferSize];      // the destination directory
extern int CurrentDrive;                     // index into the drive table
extern DWORD FreeSpaceKB;                    // free space on CurrentDrive, units of 1000 bytes
extern char ShortcutGroup[PathBufferSize];   // Start-menu folder holding the program group
extern char FinishOpenPath[PathBufferSize];  // folder the shell opens at the end
extern HBITMAP BannerBitmap;
// The install folder, held open from the destination page to the end of the
// copy without delete sharing, so that it cannot be renamed or swapped for a
// link meanwhile; what setup writes below it is opened relative to it.
// INVALID_HANDLE_VALUE while nothing is held.
extern HANDLE InstallDirHeld;  // painted at the top-left of each wizard page
// true when the destination page made the install folder itself in this run
extern bool InstallDirMade;
