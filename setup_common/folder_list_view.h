// The folder list both browsers show: a list view of subdirectories between
// an up entry "........" and a final entry showing BrowsePath, the path line
// under it, and what a double-click in it does. The rules are those of
// setup_common/folder_list_view_rules.h; a browser passes its FolderListing.
#pragma once

#include <windows.h>

#include <cstddef>

#include "setup_common/folder_list_view_rules.h"

// Image indices into the small-image list of the list being filled; each
// browser sets them when it opens (AttachFolderImages).
extern int FolderImage;
extern int UpImage;
extern int NewFolderImage;
// Position of the final entry of the last listing: the highest valid
// position a double-click may act on.
extern int LastItemIndex;

// Lists the subdirectories of path and writes the path line of the
// listing's control in dialog. path is not changed: the search pattern is
// composed in a buffer of its own, and a path too long to take it lists only
// the up entry (where the length rule calls for one) and the final entry.
void FillDirList(HWND dialog, HWND list, const char *path, const FolderListing &listing);

// Inserts one entry; the list is sorted, so it lands by its text.
int AddDirEntry(HWND list, const char *text, int position, int image);

// Makes a fresh masked image list of icons 201, 202, 203 at the system's
// small-icon size (16 x 16 at 96 dpi), sets
// FolderImage, UpImage and NewFolderImage, and gives it to the list view
// as its small-image list (the list view destroys it with itself).
void AttachFolderImages(HWND list);

// A double-click in the list: goes up from path, or descends by the
// selected entry's text, or stays, then lists path again. false when a
// descent was refused because path (pathSize bytes) could not hold it.
bool FollowDoubleClick(HWND dialog, HWND list, char *path, size_t pathSize,
                       const FolderListing &listing);
