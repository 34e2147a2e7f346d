// Writes one entry of the payload archive below the destination directory.
#pragma once

#include <windows.h>

#include <cstdio>

// Told the destination path once the entry's header is read and its path
// is settled, before its data is read: the copy page shows the path and
// takes a progress step there.
struct EntryAnnouncer {
  void (*announce)(void *context, const char *destinationPath);
  void *context;
};

enum EntryOutcome {
  EntryInstalled = 0,
  EntryTruncated,    // the archive ended inside this entry
  EntryBadName,      // empty, absolute, with a colon or leaving the directory
  EntryPathTooLong,  // a directory or the destination would not fit its buffer
  EntryNotCreated,   // the part file could not be created, or not moved over the
                     // destination (a read-only file, a directory)
  EntryWriteFailed,  // short write or failed close
};

// Reads the next entry from archive and writes it as installDir + "\" +
// name, creating the parent directories outermost first (their results are
// ignored: they may exist). Nothing is created or written for an entry whose
// header, name or data is faulty; a size of 0 makes an empty file. The
// data is copied through one fixed block, so no entry size needs more
// memory than another, into a new part file beside the destination (name +
// "." + 16 random hex digits + ".zvpart", see FormatPartPath), which is
// renamed over the destination through its handle only when all of it is
// written; a failed entry's part file is gone when its handle closes (a
// killed process's too), and any earlier file of that name stays as it was.
EntryOutcome InstallArchiveEntry(FILE *archive, const char *installDir,
                                 const EntryAnnouncer *announcer);
