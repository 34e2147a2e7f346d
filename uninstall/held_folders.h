// The folders the uninstaller holds open while what is in them goes:
// without FILE_SHARE_DELETE none of them can be renamed, or replaced by a
// link or junction, between the check and the delete. Each is opened
// relative to the held folder around it, so that what a name stands for is
// settled by the handle, never looked up again by path.
#pragma once

#include <windows.h>

#include "uninstall/uninstall_types.h"

// Holds every folder on the way to what path names: from the program
// folder down when path lies in it, otherwise its own folder. ResultDone
// when all are held, with *parent the handle of the folder path lies in;
// ResultGone when one is not there; ResultFailed when one is not a plain
// folder any more or cannot be opened.
StepResult HoldWayTo(const char *programDir, const char *path, HANDLE *parent);

// Lets the folder at path go (before it is removed itself).
void ReleaseFolder(const char *path);

void ReleaseAllFolders();
