// Writes one entry of the payload archive below the destination directory.
#pragma once

#include <windows.h>

#include <cstdio>

// Told the destination path once the entry's header is read and its path
// is settled, before its data is read: the copy page shows the path and
// takes a progress step there. clearWay (may be null) is asked once the
// entry's data is whole in its part file, before the part file takes the
// destination's name in the held folder: the copy moves an earlier file
// aside there, and false fails the entry. placed (may be null) is told when
// the part file has taken the name.
struct EntryAnnouncer {
  void (*announce)(void *context, const char *destinationPath);
  void *context;
  bool (*clearWay)(void *context, HANDLE folder, const char *leaf);
  void (*placed)(void *context);
};

enum EntryOutcome {
  EntryInstalled = 0,
  EntryTruncated,    // the archive ended inside this entry
  EntryBadName,      // empty, absolute, with a colon or leaving the directory
  EntryPathTooLong,  // the destination or its part file would not fit its buffer
  EntryNotCreated,   // a folder or the part file could not be created, or the part
                     // file not moved over the destination (a read-only file, a
                     // directory)
  EntryLinkOnPath,   // a link or junction stands at one of the entry's folders
  EntryWriteFailed,  // short write or failed close
};

// Reads the next entry from archive and writes it as installDir + "\" +
// name, through installFolder, the held install folder: each folder of the
// name is opened, or made, relative to the one above it, never through a
// link or junction (a plain folder made takes the install folder's
// inherited access). Nothing is created or written for an entry whose
// header, name or data is faulty; a size of 0 makes an empty file. The data
// is copied through one fixed block, so no entry size needs more memory than
// another, into a new part file beside the destination, created relative to
// its held folder (name + "." + 16 random hex digits + ".zvpart", see
// FormatPartPath), which is renamed over the destination through its handle,
// relative to the same folder, only when all of it is written; a failed
// entry's part file is gone when its handle closes (a killed process's too),
// and any earlier file of that name stays as it was. installDir only names
// the destination for the announcer and the path rules.
EntryOutcome InstallArchiveEntry(FILE *archive, HANDLE installFolder, const char *installDir,
                                 const EntryAnnouncer *announcer);
