// The rules of the folder list that both browsers show, free of system
// calls: which entries a listing has, the search pattern and the path line
// it writes, and where a double-click leads. The folder browser and the
// program-group browser differ only in their FolderListing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/ascii_text.h"
#include "resources/setup_texts.h"

// How one browser lists and walks folders.
struct FolderListing {
  // A path of this length or less is the top: no up entry "........" is
  // listed, and position 0 is an ordinary folder.
  size_t topLength;
  // true: a drive root keeps its separator. A path of DriveRootLength
  // characters or less is a root that already ends in "\" (C:\), so nothing
  // is put between it and a name, and going up from C:\Games gives C:\.
  // false: a "\" always separates, and going up from C:\Games gives C:.
  bool keepsRootSeparator;
  // The dialog control that shows the path line.
  int pathLineId;
};

// Room a listed path keeps for the search pattern appended to it ("\*.*").
inline constexpr size_t ListingPatternRoom = 4;
// File attribute bit of a directory, as the system reports it.
inline constexpr uint32_t DirectoryAttribute = 0x10;

// true when a listing of a path of this length starts with the up entry.
bool ListsUpEntry(const FolderListing &listing, size_t pathLength);

// Writes the enumeration pattern of path into out (outSize bytes): path,
// its separator and "*.*". false, and out empty, when it does not fit.
bool ComposeListingPattern(const FolderListing &listing, char *out, size_t outSize,
                           const char *path);

// Writes the path line - path, its separator and finalName - into out
// (outSize bytes), cut to fit: it is only shown.
void ComposeListingLine(const FolderListing &listing, char *out, size_t outSize, const char *path,
                        const char *finalName);

// A found entry is listed when it is a directory whose name does not begin
// with a dot (this drops "." and ".." and every dot-named directory).
bool IsListedEntry(uint32_t attributes, const char *name);

// What a double-click does.
enum ListingMove {
  ListingStay,     // nothing, or nothing valid, selected: list the folder again
  ListingGoUp,     // the up entry
  ListingDescend,  // a listed entry, or the final one: into the folder of its text
};
// selected: the selected position (-1 for none); lastItemIndex: the final
// entry's position. Navigation goes by position: the list holds only texts.
ListingMove ChooseListingMove(const FolderListing &listing, long selected, long lastItemIndex,
                              size_t pathLength);

// One level up: cuts path at its last separator, keeping a drive root's
// separator when the listing does. false, path unchanged, when there is no
// separator or nothing would change.
bool GoUpFolder(const FolderListing &listing, char *path);

// One level down into name, in place. Refused (false, path unchanged) when
// the result and the search pattern would not fit the pathSize bytes.
bool DescendFolder(const FolderListing &listing, char *path, size_t pathSize, const char *name);
