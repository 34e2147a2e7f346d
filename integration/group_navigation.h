// Navigation rules of the program-group browser, which walks the Start-menu
// folders in ShortcutGroup by double-click. Plain C++ with no Windows header.
#pragma once

#include <cstddef>

// A folder path longer than this lists the up entry "........" at position
// 0; at this length or less the browser cannot climb higher, and position 0
// is an ordinary subfolder.
inline constexpr size_t GroupUpEntryMinLength = 21;
// Characters the directory listing appends to the folder path while it
// enumerates ("\*.*"); the folder buffer must always keep room for them.
inline constexpr size_t ListingPatternLength = 4;

enum GroupBrowserMove {
  GroupStay,     // nothing (or nothing valid) selected: list the folder again
  GroupGoUp,     // the up entry: cut the folder at its last backslash
  GroupDescend,  // a listed entry: append its text to the folder
};

// True when a listing of a folder of this length starts with the up entry.
bool GroupListHasUpEntry(size_t groupLength);

// What a double-click does, given the selected position (-1 for none), the
// position of the final entry of the last listing and the folder's length.
// Navigation goes by position, as the list holds only texts.
GroupBrowserMove ChooseGroupMove(long selected, long lastItemIndex, size_t groupLength);

// Goes up one level by cutting group at its last backslash; no drive-root
// separator is kept (C:\Documents and Settings becomes C:). false, and
// group unchanged, when it holds no backslash.
bool GroupGoUpLevel(char *group);

// Appends a backslash and name to group, a buffer of groupSize characters.
// Refused (false, group unchanged) when the result with its terminator
// would not leave room for the listing pattern.
bool GroupDescendInto(char *group, size_t groupSize, const char *name);
