// Directory list shared by the folder browser and the program-group
// browser: a list view of subdirectories between an up entry "........" and
// a final entry showing BrowsePath, and the path line under it.
#pragma once

#include <windows.h>

// Image indices into the small-image list of the list being filled; each
// browser sets them when it opens (AttachFolderImages).
extern int FolderImage;
extern int UpImage;
extern int NewFolderImage;
// Position of the final entry of the last listing: the highest valid
// position a double-click may act on.
extern int LastItemIndex;

// mode 0: folder browser (path line 102); mode 1: program-group browser
// (path line 211). path is left as it was: the search pattern is composed
// in a buffer of its own, and a path too long to take it lists only the up
// entry (where the length rule calls for one) and the final entry.
void FillDirList(HWND dialog, HWND list, char *path, int mode);
int AddDirEntry(HWND list, const char *text, int position, int image);

// Makes a fresh 16 x 16 masked image list of icons 201, 202, 203, sets
// FolderImage, UpImage and NewFolderImage, and gives it to the list view
// as its small-image list (the list view destroys it with itself).
void AttachFolderImages(HWND list);
