// The sweep of part files that setup and the uninstaller both make before
// they rely on a folder's contents.
#pragma once

#include <windows.h>

// Deletes, in the held folder, every plain file whose name has setup's
// part-file form (IsPartFileName): what a setup ended from outside left
// before it could remove them. Links, folders and other files stay, and so
// does a part file open elsewhere. Returns how many went.
int SweepPartFiles(HANDLE folder);
