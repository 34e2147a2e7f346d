// The sweep of part files that setup and the uninstaller both make before
// they rely on a folder's contents, and the uninstaller's removal of what a
// killed setup kept aside.
#pragma once

#include <windows.h>

// Deletes, in the held folder, every plain file whose name has setup's
// part-file form (IsPartFileName): what a setup ended from outside left
// before it could remove them. Links, folders and other files stay, and so
// does a part file open elsewhere. Returns how many went.
int SweepPartFiles(HANDLE folder);

// Removes, in the held folder, every plain folder of the kept folder's form
// (IsKeptFolderName) with the plain files and plain folders inside it, each
// opened relative to the one above: the earlier files that a setup ended
// from outside had kept aside. A link or junction inside stays (and with
// it the kept folder); nothing outside a kept folder is touched. Returns
// how many kept folders went. Setup never calls this: it puts kept files
// back instead.
int SweepKeptFolders(HANDLE folder);

// Removes the one kept folder name in the held folder as SweepKeptFolders
// does: setup's own, once its copy has placed the last entry. true when it
// went.
bool RemoveKeptFolder(HANDLE folder, const char *name);
