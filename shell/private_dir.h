// A private work folder: made under a name no other program can guess,
// with access for nobody but SYSTEM and Administrators (the current user
// alone when the process is not elevated), and held open from its creation
// to its removal so that it cannot be renamed, replaced or swapped for a
// junction meanwhile. Setup unpacks its payload in one; the uninstaller
// runs its copy from one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Makes parent\prefix<16 hex digits of RandomBits64> (call RestrictDllSearch
// first) and writes its full path into path (size bytes). The folder is
// created and opened in one step (NtCreateFile, FILE_CREATE), with the
// protected descriptor of DescribePrivateDirAccess, so what is held is what
// was made; a name that exists (a folder, a file, a link, dangling or not)
// is neither opened nor deleted, another name is tried. *held receives the
// folder's handle (no DELETE access of its own): shared for reading and
// writing, not for deleting, so the folder cannot be renamed or removed by
// anyone else while it is held; it can be listed and be a current folder.
// false, with nothing made, when no random bits could be had, the path does
// not fit, or no name could be made.
bool MakePrivateDir(const char *parent, const char *prefix, char *path, size_t size, HANDLE *held);

// The same with the 64 bits of each name drawn from draw: lets a test put
// something at the names to be tried first.
typedef bool (*RandomBitsSource)(uint64_t *bits);
bool MakePrivateDirDrawing(const char *parent, const char *prefix, char *path, size_t size,
                           HANDLE *held, RandomBitsSource draw);

// Removes what MakePrivateDir made: deletes the plain files inside, each
// through a handle opened on the file itself (a folder, link or junction
// found there is left alone), closes the held handle and removes the folder,
// empty by then. Files still open elsewhere
// without delete sharing stay, and so does the folder then; files created
// with FILE_FLAG_DELETE_ON_CLOSE go when their last handle closes. true
// when the folder is gone. held may be INVALID_HANDLE_VALUE: nothing is
// done.
bool ClosePrivateDir(HANDLE held, const char *path);

// Whether the process token is elevated (TokenElevation). Systems without
// it count as not elevated.
bool ProcessIsElevated();
