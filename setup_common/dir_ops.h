// The one-level directory creator of the pages that make a folder by name
// (the shortcut page's program group). The install folder is made and held
// by install_folder.h.
#pragma once

#include <windows.h>

// Creates exactly one directory level; true when it was created, false
// when not (it exists, its parent is missing, access denied, invalid name).
bool CreateDir(const char *path);
