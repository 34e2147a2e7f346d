// Directory calls of the Win32 side: the one-level creator the pages use
// and the real calls behind the folder-making rules of parent_dirs.h.
#pragma once

#include <windows.h>

#include "common/parent_dirs.h"

// Creates exactly one directory level; true when it was created, false
// when not (it exists, its parent is missing, access denied, invalid name).
bool CreateDir(const char *path);

// The same with the given security descriptor (null: the access the parent
// passes on). An existing directory is left as it is and gives false.
bool CreateDirWith(const char *path, void *security);

// CreateDir, GetFileAttributesA and RemoveDirectoryA as DirOps.
extern const DirOps SystemDirOps;

// The same calls, each level made with the given security descriptor,
// which must outlive the ops.
DirOps SecuredDirOps(void *security);
