// The install folder: judged or made, and held from the destination page to
// the end of the copy. Every level of its path, from the drive root down, is
// opened relative to the one above it, never followed through a link, and
// held without delete sharing, so no level can be renamed or swapped while
// setup writes. An existing level must be one that only administrators can
// rename or replace, an existing install folder one that only they can
// change (install_folder_rules.h); a missing one is made with the install
// folder's protected access in the same call that opens it, and its owner
// and list are read back. Existing folders are never given another owner or
// list. Setup's later features write below the held install folder
// (InstallDirHeld in state.h) and release the chain when the copy ends.
#pragma once

#include <windows.h>

// Settles InstallDir for the destination page (owner of every box): refuses
// a destination that "." or ".." lead back to baseDir or above it, a folder
// never installed into (common/never_install_rules.h), a volume without
// access lists or on the network, a link or a folder others can change at
// any level, each with a box that names the folder and says what to choose
// instead; asks about an existing install folder ("Directory allready
// exsist..."). true when setup may go on: the chain is held, InstallDirHeld
// is the install folder and InstallDirMade says whether this run made it.
// false leaves nothing held, and removes again the folders it made.
bool ClaimInstallFolder(HWND page, const char *baseDir);

// Closes every held level and InstallDirHeld, when anything is held. With
// removeMade, each level this run made is removed again through its held
// parent, innermost first, when it is empty: a first installation that
// stopped leaves no folder of its own behind.
void ReleaseInstallFolder(bool removeMade);
