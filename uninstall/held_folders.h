// The folders the uninstaller holds open while what is in them goes:
// without FILE_SHARE_DELETE none of them can be renamed, or replaced by a
// link or junction, between the check and the delete.
#pragma once

#include "uninstall/removal_report.h"

// Holds every folder on the way to what path names: from the program
// folder down when path lies in it, otherwise its own folder. ResultDone
// when all are held; ResultGone when one is not there; ResultFailed when
// one is not a plain folder any more.
StepResult HoldWayTo(const char *programDir, const char *path);

// Lets the folder at path go (before it is removed itself).
void ReleaseFolder(const char *path);

void ReleaseAllFolders();
