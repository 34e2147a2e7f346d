// The earlier installation's files while the copy replaces them: each file
// an entry replaces is moved, not copied, into the run's kept folder below
// the install folder (the same volume, through held handles), at the same
// relative path, and nothing else touches it there. After the last entry
// the kept folder goes; on Cancel or a failure its files go back under
// their own names, with their contents and dates. A setup ended from
// outside leaves its kept folder, which the next setup puts back before it
// writes anything.
#pragma once

#include <windows.h>

#include "common/part_file_name.h"

// The run's kept folder, made at the first file kept; held without delete
// sharing from then on.
struct KeptFolder {
  HANDLE root;  // the held install folder
  HANDLE held;  // INVALID_HANDLE_VALUE until made
  char name[KeptFolderNameSize];
};

// A kept folder not made yet, below the held install folder root.
void StartKeptFolder(KeptFolder *kept, HANDLE root);

// Moves the plain file leaf of the held folder entryFolder (the folder of
// the entry name, relative to the install folder) into the kept folder at
// name, making the kept folder and its folders as needed. false, moving
// nothing, when it cannot: the entry then fails.
bool KeepEarlierFile(KeptFolder *kept, HANDLE entryFolder, const char *leaf, const char *name);

// After the last entry: removes the kept folder with the files in it.
void DiscardKeptFolder(KeptFolder *kept);

// Lets go of the kept folder (before it is put back).
void ReleaseKeptFolder(KeptFolder *kept);

// Told, with its full path, of each kept file that could not be put back:
// it stays where it is.
struct NotPutBackReport {
  void (*tell)(void *context, const char *keptPath);
  void *context;
};

// Puts back every kept folder below the held install folder root
// (installDir names it for the report): each kept file under its own name,
// over whatever stands there now (the kept file wins), its folders made as
// needed; each emptied kept folder goes. A file that cannot go back (a
// running program or a folder at its name) stays in its kept folder, which
// stays too, and is told to report. Returns how many files could not.
int PutBackKeptFolders(HANDLE root, const char *installDir, const NotPutBackReport *report);
