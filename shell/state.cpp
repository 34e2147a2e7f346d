// The shared setup state, defined once; see state.h for each variable's role.
#include "shell/state.h"

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
int BannerWidth;
int BannerHeight;

// One level only: callers that need a chain create it outermost first, and
// the destination page relies on 0 for an existing directory.
BOOL CreateDir(const char *path)
{
  SECURITY_ATTRIBUTES security;
  security.nLength = sizeof(security);
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  return CreateDirectoryA(path, &security);
}
