// Files in use: before the copy writes anything, each destination that
// already exists is asked whether it can be replaced now. A running
// Zorvane.exe cannot be, and a copy that found out only at that entry
// would leave a mix of the old installation and the new one.
#pragma once

#include <windows.h>

#include <cstdio>

// Whether the file at path exists and is in use: opening it for writing
// (OPEN_EXISTING, not truncated, closed at once) fails with a sharing
// violation. A missing or read-only file (access denied), or a folder, is
// not in use: the copy deals with those as before.
bool FileIsInUse(const char *path);

// Asked about a destination in use (its full path): true to look again
// (Retry), false to give up (Cancel).
typedef bool (*InUseQuestion)(void *context, const char *path);

// Walks the destinations of archive's first count entries (from its start;
// left at its start again) and, while one is in use, asks retry about the
// first one found. Retry looks again from the first entry; true when
// nothing is in use, false when the answer was Cancel.
bool WaitUntilNothingInUse(FILE *archive, int count, const char *installDir, InUseQuestion retry,
                           void *context);
