// Folders that are never an install folder, whatever their access lists
// say: the Windows folder and everything in it, the user profiles and the
// Public folder with everything in them, and the roots of Program files,
// Common files, ProgramData and the other shell folders, each with every
// folder above it. Setup refuses to install into one, and the uninstaller
// refuses to remove one: an installation there would hand the folder to the
// programs setup writes, and its removal would empty a folder of Windows or
// of a user. Plain C++ with no Windows header, so it is tested natively;
// common/never_install.h reads the folders of this machine.
#pragma once

#include <cstddef>

#include "common/product.h"

// How far a listed folder reaches.
enum ReservedReach : int {
  ReservedAtOrAbove = 0,   // the folder itself and each folder above it
  ReservedWithInside = 1,  // the same, and every folder inside it
};

struct ReservedFolder {
  char path[PathBufferSize];
  ReservedReach reach;
};

inline constexpr int MaxReservedFolders = 48;

struct NeverInstallFolders {
  bool windowsKnown;  // the Windows folder was read: without it nothing is clear of it
  int count;
  ReservedFolder folders[MaxReservedFolders];
};

// Adds the full path folder with its reach; the Windows folder is added
// with isWindows. An empty path (a folder this system lacks) or one that
// does not fit is left out; false then, or when the list is full.
bool AddReservedFolder(NeverInstallFolders *list, const char *folder, ReservedReach reach,
                       bool isWindows = false);

// Adds the folder that holds folder (the profiles folder above a user's
// profile, say), with its reach; false when folder has no parent below its
// drive root or the list is full.
bool AddReservedParent(NeverInstallFolders *list, const char *folder, ReservedReach reach);

// Whether folder (a full path, "X:\..." or "\\server\share\...") may never
// be an install folder: a drive root, a folder the list reaches, or any
// folder while the Windows folder is unknown. *which, when not null, gets
// the index of the listed folder that reaches it (-1 for the other
// reasons).
bool IsNeverInstallFolder(const char *folder, const NeverInstallFolders &list,
                          int *which = nullptr);
