// The shared setup state, defined once; see state.h for each variable's role.
#include "setup_common/state.h"

HINSTANCE AppInstance;
char StartDir[PathBufferSize];
int InstallMode;
char BaseDir[PathBufferSize];
char BrowsePath[PathBufferSize];
char InstallDir[PathBufferSize];
int CurrentDrive;
DWORD FreeSpaceKB;
char ShortcutGroup[PathBufferSize];
char FinishOpenPath[PathBufferSize];
HBITMAP BannerBitmap;
HANDLE InstallDirHeld = INVALID_HANDLE_VALUE;
bool InstallDirMade;
