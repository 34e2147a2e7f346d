// Work on a file or folder through a handle already held, never again by
// its name: between a check and the act, a name in a folder that other
// programs can write may come to stand for something else.
#pragma once

#include <windows.h>

// Sets (true) or clears (false) the delete disposition: a file marked is
// removed when its last handle closes, also when the process is killed, and
// clearing the mark keeps it. A folder must be empty to be marked.
bool SetDeleteDisposition(HANDLE handle, bool deleteOnClose);

// Gives the held file the full path newPath (same volume), over a file of
// that name when replace is true. Fails, changing nothing, on a read-only
// or running file at newPath.
bool RenameHeldFile(HANDLE handle, const char *newPath, bool replace);

// What the handle was opened on, read from the handle: a plain file, or a
// folder, and in neither case a reparse point (a link or junction opened
// with FILE_FLAG_OPEN_REPARSE_POINT).
bool HeldIsPlainFile(HANDLE handle);
bool HeldIsPlainFolder(HANDLE handle);

// The full path as the native calls take it: "\??\" and the path in UTF-16
// from the ANSI code page, into out (size characters). false when it does
// not fit.
bool NativePathOf(const char *path, wchar_t *out, size_t size, size_t *length);
