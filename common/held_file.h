// Work on a file or folder through a handle already held, never again by
// its name: between a check and the act, a name in a folder that other
// programs can write may come to stand for something else.
#pragma once

#include <windows.h>

#include "common/nt_status.h"

// Sets (true) or clears (false) the delete disposition: a file marked is
// removed when its last handle closes, also when the process is killed, and
// clearing the mark keeps it. A folder must be empty to be marked.
bool SetDeleteDisposition(HANDLE handle, bool deleteOnClose);

// Gives the held file the full path newPath (same volume), over a file of
// that name when replace is true. Fails, changing nothing, on a read-only
// or running file at newPath.
bool RenameHeldFile(HANDLE handle, const char *newPath, bool replace);

// Gives the held file the one-level name in the held folder (as OpenBelow
// takes it), over a file of that name when replace is true: the folder is
// settled by its handle, so no link on the way to it is followed. Fails,
// changing nothing, on a read-only or running file, or a folder, at name.
bool RenameBelow(HANDLE handle, HANDLE folder, const char *name, bool replace);

// Whether the system names child exactly as folder's name + "\" + name
// (letter case aside): false when child was reached through a link that
// its attributes do not show (Wine shows a Unix symbolic link as the plain
// file or folder it points at, under the target's name), or when a name
// cannot be read.
bool HeldIsNamedBelow(HANDLE child, HANDLE folder, const char *name);

// Calls visit with each name in the held folder (opened with
// FILE_LIST_DIRECTORY), "." and ".." left out, and whether it is a folder
// or a reparse point as the listing shows it; false from visit stops. A
// name that does not convert to the ANSI code page and back unchanged is
// left out: opened by its converted form, it would name another file.
// false when the folder cannot be listed.
typedef bool (*BelowVisitor)(void *context, const char *name, DWORD attributes);
bool ListBelow(HANDLE folder, BelowVisitor visit, void *context);

// ListBelow through a new handle of the held folder itself, opened
// relative to it (an empty name) for listing only: a handle that was
// listed once may list the names of that time again (Wine keeps a
// handle's first listing, restart or not), so a folder whose names
// changed since is listed afresh. false when it cannot be opened or
// listed.
bool ListBelowAfresh(HANDLE folder, BelowVisitor visit, void *context);

// The attributes of what the handle (opened with FILE_READ_ATTRIBUTES) is
// open on. Only the attributes are asked for: GetFileInformationByHandle
// also reads the volume's serial number, which cost about 0.4 ms a call
// under Wine, several times for every entry the copy writes or replaces.
bool HeldAttributes(HANDLE handle, DWORD *attributes);

// What the handle was opened on, read from the handle: a plain file, or a
// folder, and in neither case a reparse point (a link or junction opened
// with FILE_FLAG_OPEN_REPARSE_POINT).
bool HeldIsPlainFile(HANDLE handle);
bool HeldIsPlainFolder(HANDLE handle);

// Whether the held file or folder, which shows the reparse-point attribute,
// holds reparse data, and so may redirect a look-up by name (a link, a
// junction, a mounted volume). false only when the file system says it is
// no reparse point at all: Wine marks each Unix mount point so, and a folder
// opened there is the folder itself. true when it cannot be read.
bool HeldHoldsReparseData(HANDLE handle);

// Opens or creates name through NtCreateFile relative to the held folder
// root (a full path when root is null), so that what a name in the parent
// stands for is settled by the handle, not looked up again. name is one
// level below root: a part with a separator is refused (a folder met on the
// way would be followed, link or not), and so are "", "." and "..".
// FILE_OPEN_REPARSE_POINT and FILE_SYNCHRONOUS_IO_NONALERT are always added
// to options: a link or junction at the name is opened itself, never
// followed. Returns the NTSTATUS (negative on failure; 0xC0000035 when
// disposition is FILE_CREATE and the name exists); *out is the handle on
// success, INVALID_HANDLE_VALUE otherwise.
struct BelowOpen {
  HANDLE root;         // held folder, or null for a full path in name
  const char *name;    // one level below root, in the ANSI code page
  ACCESS_MASK access;  // SYNCHRONIZE is added
  ULONG share;         // FILE_SHARE_*
  ULONG disposition;   // FILE_OPEN (1), FILE_CREATE (2), FILE_OPEN_IF (3)
  ULONG options;       // FILE_DIRECTORY_FILE (1), FILE_NON_DIRECTORY_FILE (0x40), ...
  ULONG attributes;    // FILE_ATTRIBUTE_* of a new file
  void *security;      // security descriptor of a new file or folder, or null
};
LONG OpenBelow(const BelowOpen &request, HANDLE *out);

// NtCreateFile's dispositions, options and statuses used with OpenBelow.
inline constexpr ULONG BelowOpenExisting = 1;            // FILE_OPEN
inline constexpr ULONG BelowCreateNew = 2;               // FILE_CREATE
inline constexpr ULONG BelowOpenOrCreate = 3;            // FILE_OPEN_IF
inline constexpr ULONG BelowDirectory = 0x00000001;      // FILE_DIRECTORY_FILE
inline constexpr ULONG BelowNonDirectory = 0x00000040;   // FILE_NON_DIRECTORY_FILE
inline constexpr ULONG BelowDeleteOnClose = 0x00001000;  // FILE_DELETE_ON_CLOSE
inline constexpr LONG BelowNameCollision = static_cast<LONG>(StatusNameCollision);

// Deletes what stands at name below folder (name a full path when folder is
// null) when it is a plain file, or with isFolder a plain folder, which
// must be empty: opened for deletion only, sharing share, then marked and
// closed. A link or junction, the other kind, a folder with anything
// inside, and below a held folder a name that leads elsewhere, all stay.
// true when it was marked: it goes once no other handle holds it.
bool DeletePlainBelow(HANDLE folder, const char *name, ULONG share, bool isFolder);

// The full path as the native calls take it: "\??\" and the path in UTF-16
// from the ANSI code page, into out (size characters). false when it does
// not fit.
bool NativePathOf(const char *path, wchar_t *out, size_t size, size_t *length);
