// The form of the part files setup writes before renaming each into place,
// and of the folder where it keeps the files of an earlier installation
// while it replaces them. A setup that was killed or lost power between
// creating a part file and renaming it leaves the file under its part name:
// the next setup sweeps such files before it writes, and the uninstaller
// before it removes a folder. A setup killed while it replaced an earlier
// installation leaves its kept folder: the next setup puts its files back
// before it writes, and the uninstaller removes it like part files. Both
// must recognise exactly these forms and nothing else.
// No Windows header: tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

// A part file is named destination + "." + 16 hex digits + PartFileSuffix.
inline constexpr const char *PartFileSuffix = ".zvpart";
inline constexpr size_t PartNameExtraLength = 1 + 16 + 7;

// Whether name, one level without a folder, is "<name>.<16 lower-case hex
// digits>.zvpart" with a <name> of at least one character. Only such files
// are setup's own part files; nothing else is ever swept or removed as one.
bool IsPartFileName(const char *name);

// The kept folder: directly below the install folder, named
// KeptFolderPrefix + 16 hex digits + KeptFolderSuffix
// ("earlier.0123456789abcdef.zvkeep"); it holds each file of the earlier
// installation that the copy replaced, at the same relative path as in the
// install folder, until the copy has placed its last entry.
inline constexpr const char *KeptFolderPrefix = "earlier.";
inline constexpr const char *KeptFolderSuffix = ".zvkeep";
inline constexpr size_t KeptFolderNameSize = 8 + 16 + 7 + 1;

// The kept folder's name for the 64 bits given into out (at least
// KeptFolderNameSize bytes); false, out unchanged, when size is smaller.
bool FormatKeptFolderName(char *out, size_t size, uint64_t bits);

// Whether name, one level without a folder, has exactly the kept folder's
// form (lower-case hex digits). Only such folders are ever put back or
// removed as kept folders.
bool IsKeptFolderName(const char *name);
