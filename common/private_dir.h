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

// The folder that private work folders go into, written into parent (size
// bytes): for an elevated process the Windows folder's Temp
// (GetSystemWindowsDirectoryA, the system's own even in a Remote Desktop
// session), where no standard user may rename or delete what another made;
// otherwise the user's temporary directory (GetTempPathA), or fallbackDir
// when the system names none ("" for none). See ChooseWorkParent. false
// when there is no such folder or it does not fit.
bool PrivateDirParent(char *parent, size_t size, const char *fallbackDir);

// What the held handle of a private folder may do besides holding it.
enum PrivateDirHold {
  // No DELETE access: another process may still open the folder without
  // sharing deletion, as one started with it as its current folder does.
  // ClosePrivateDir(held, path) removes it by name once released.
  HoldForUse = 0,
  // DELETE access as well, so that ClosePrivateDir removes the folder
  // through this very handle; while it is held, nothing else opens the
  // folder without sharing deletion.
  HoldForRemoval,
};

// Makes parent\prefix<16 hex digits of RandomBits64> (call RestrictDllSearch
// first) and writes its full path into path (size bytes). The folder is
// created and opened in one step (NtCreateFile, FILE_CREATE), with the
// protected descriptor of DescribePrivateDirAccess, so what is held is what
// was made; a name that exists (a folder, a file, a link, dangling or not)
// is neither opened nor deleted, another name is tried. *held receives the
// folder's handle: shared for reading and writing, not for deleting, so the
// folder cannot be renamed or removed by anyone else while it is held; it
// can be listed, and files can be made in it relative to the handle
// (OpenBelow). false, with nothing made, when no random bits could be had,
// the path does not fit, or no name could be made. Without hold, HoldForUse.
// With HoldForRemoval, folders of the same form in parent that a process
// ended from outside left behind empty are removed first (see
// SweepLeftPrivateDirs), so that a killed setup's folder does not outlive
// the next one.
bool MakePrivateDir(const char *parent, const char *prefix, char *path, size_t size, HANDLE *held);
bool MakePrivateDir(const char *parent, const char *prefix, PrivateDirHold hold, char *path,
                    size_t size, HANDLE *held);

// Removes every empty plain folder parent\prefix<16 hex digits>, each
// through a handle opened on the folder itself (a link or junction of that
// name is opened, found not to be a plain folder, and left alone). A folder
// that is not empty, or is held by a running program without delete
// sharing, stays.
void SweepLeftPrivateDirs(const char *parent, const char *prefix);

// The same with the 64 bits of each name drawn from draw: lets a test put
// something at the names to be tried first.
typedef bool (*RandomBitsSource)(uint64_t *bits);
bool MakePrivateDirDrawing(const char *parent, const char *prefix, PrivateDirHold hold, char *path,
                           size_t size, HANDLE *held, RandomBitsSource draw);

// Removes a folder made with HoldForRemoval through its held handle
// (SetDeleteDisposition), and closes the handle; nothing inside is deleted
// and no name is looked up. Files made with FILE_DELETE_ON_CLOSE go when
// their own last handle closes: close them first. true when the folder
// goes; false when something is still inside (the folder then stays) or
// the handle has no DELETE access. held may be INVALID_HANDLE_VALUE:
// nothing is done.
bool ClosePrivateDir(HANDLE held);
// The same for either hold; for a folder held without DELETE, path (the
// folder's full path) is opened again once released and the folder
// removed only when it is still the one held, a plain folder, and empty.
bool ClosePrivateDir(HANDLE held, const char *path);

// Whether the process token is elevated (TokenElevation). Systems without
// it count as not elevated.
bool ProcessIsElevated();
