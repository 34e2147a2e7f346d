// Settling the destination directory once its path is known: create it,
// or learn that it exists, or create its missing parents outermost first and
// then it. The file-system operations are passed in, so the rule runs
// natively against a fake and on Windows against the real calls.
#pragma once

// Positions of the separators that end each creatable parent level of path,
// outermost first: "C:\A\B\C" gives the ends of C:\A and C:\A\B. The root
// (C:\, \, \\server\share\) is never a level; empty levels are skipped.
// Returns the number of positions written (at most capacity).
int ListParentLevels(const char *path, int *ends, int capacity);

struct DirOps {
  int (*create)(const char *path, void *context);       // one level; non-zero when created
  int (*isDirectory)(const char *path, void *context);  // non-zero when it exists as a directory
  int (*remove)(const char *path, void *context);       // one empty level
  void *context;
};

enum DestinationOutcome : int {
  DestinationCreated = 0,  // made now (with any missing parents)
  DestinationExists = 1,   // was there already: ask whether to use it
  DestinationFailed = 2,   // could not be made (access denied, invalid name, a file in the way)
};

// Creates dir; when that fails and dir is not an existing directory, creates
// its missing parent levels outermost first and tries once more. When dir
// still cannot be made, the levels made on the way are removed again,
// innermost first, so a failure leaves nothing behind.
int SettleDestination(const char *dir, const DirOps &ops);
